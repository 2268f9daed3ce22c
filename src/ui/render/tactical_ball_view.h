// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointF>

#include <optional>

#include "core/pitch/ball_orientation.h"

class QPainter;

namespace vantrel {

// The 3D view's football: a shaded sphere with twelve dark pentagon panels that rolls as
// the store's running ball rotation grows. The orientation is this object's own state,
// so keep one per surface for as long as the ball is shown.
class TacticalBallView {
public:
    // Takes the store's running rotation (degrees) and the ball's direction of travel on
    // screen. The first call rolls the identity by the whole total; later calls roll by
    // the change since the last one, about the direction current now.
    void setRotation(double degrees, QPointF direction);

    const BallOrientation& orientation() const { return orientation_; }

    // The ball in a disc of `diameter` points around `centre`, lit from the upper left.
    void paint(QPainter& painter, QPointF centre, double diameter) const;

private:
    std::optional<double> rotation_;
    BallOrientation orientation_;
};

}  // namespace vantrel

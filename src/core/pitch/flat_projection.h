// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/model/point.h"
#include "core/pitch/pitch_perspective.h"

namespace vantrel {

// A rectangle in view points.
struct ViewRect {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;

    bool operator==(const ViewRect&) const = default;
};

// The 2D view's projection: the unit square maps onto the largest rectangle of aspect
// 1.55 (the pitch's length to width) centred in the surface.
struct FlatProjection {
    ViewSize size;

    bool operator==(const FlatProjection&) const = default;

    ViewRect rect() const;
    Point toView(Point pitchPoint) const;
    // The inverse of `toView`, unclamped; an empty rectangle gives the centre spot.
    Point toPitch(Point viewPoint) const;

    // The ball at pitch point `ball`, `height` above the turf (in drawing-rectangle heights):
    // 12 points right of and 20 below the point (at the feet of a token standing there),
    // raised by 0.55 of the rectangle's height per unit of height over a shadow that stays
    // on the ground.
    BallPlacement ballPlacement(Point ball, double height) const;
};

}  // namespace vantrel

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/model/point.h"

namespace vantrel {

// The size of a drawing surface in view points.
struct ViewSize {
    double width = 0;
    double height = 0;

    bool operator==(const ViewSize&) const = default;

    // Both sides strictly positive (NaN is not).
    bool isPositive() const { return width > 0 && height > 0; }
};

// Where a view draws the ball and its shadow, in view points. The shadow stays on the
// ground while the ball rises, grows and fades with the height.
struct BallPlacement {
    Point centre;          // the drawn ball's centre
    double radius = 0;     // the drawn ball's radius
    Point shadowCentre;
    double shadowWidth = 0;
    double shadowHeight = 0;
    double shadowOpacity = 0;
    double shadowBlur = 0;   // blur radius; 0 for a sharp shadow

    bool operator==(const BallPlacement&) const = default;
};

// The 3D view's projection between normalised pitch points and view points: the pitch
// seen from above the near touchline, the far touchline (y = 0) narrower and higher.
struct PitchPerspective {
    ViewSize size;

    bool operator==(const PitchPerspective&) const = default;

    // Horizontal scale at pitch depth y: 0.7 at the far touchline, 0.98 at the near one.
    static double depthScale(double y) { return 0.7 + 0.28 * y; }

    // The far touchline lies at 14 % of the height, the near one at 88 %.
    Point project(Point pitchPoint) const;

    // The inverse of `project`, clamped so that every point lands in [0.04, 0.96] on both
    // axes; a non-finite view point (or an empty size) lands on that square's edge.
    Point unproject(Point viewPoint) const;

    // Token scale at pitch depth y: 0.76 at the far touchline, 1.1 at the near one.
    static double tokenScale(double y) { return 0.76 + 0.34 * y; }

    // The ball at pitch point `ball`, `height` above the turf (in view heights; a negative
    // height counts as 0). It lies at the feet of a puck there, to its right and in front,
    // and rises by 0.85 of the view height per unit of height.
    BallPlacement ballPlacement(Point ball, double height) const;
};

}  // namespace vantrel

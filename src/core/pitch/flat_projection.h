// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/model/equipment.h"
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

// The 2D view's projection. The whole pitch: the unit square maps onto the largest
// rectangle of aspect 1.55 (the pitch's length to width) centred in the surface. A half or
// the final third: the pitch is turned a quarter anticlockwise (the attacked goal at the
// top, the touchline y = 0 on the left) and scaled so the area, from just short of its
// back line to the goal line, fills the surface; the rest lies outside it.
struct FlatProjection {
    ViewSize size;
    PitchArea area = PitchArea::full;

    bool operator==(const FlatProjection&) const = default;

    bool turned() const { return area != PitchArea::full; }
    // The whole pitch's rectangle in its own frame: where it lies in the view when not
    // turned; turned, its size, with the frame placed by `origin`.
    ViewRect rect() const;
    // Where the frame's top-left (pitch point 0, 0) lies in the view. A frame point
    // (fx, fy) lands at origin + (fx, fy), or, turned, at origin + (fy, -fx).
    Point origin() const;
    // The part of the view the shown area covers.
    ViewRect window() const;
    // The pitch x where a turned view begins (0 for the whole pitch).
    double windowStart() const;

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

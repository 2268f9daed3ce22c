// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

namespace vantrel {

// A point or direction in ball space: the unit sphere, x to the right, y down the screen,
// z towards the viewer.
struct BallVector {
    double x = 0;
    double y = 0;
    double z = 0;

    bool operator==(const BallVector&) const = default;
};

// The rolling ball's orientation as a unit quaternion (vector part x, y, z; scalar w).
struct BallOrientation {
    double x = 0;
    double y = 0;
    double z = 0;
    double w = 1;

    bool operator==(const BallOrientation&) const = default;

    // Turned by `degrees` about the screen-plane axis perpendicular to the direction of
    // travel (dx, dy), applied after this orientation, so the top of the ball moves
    // along the direction. Without a direction the ball turns about the vertical axis;
    // a turn of 0.00001° or less returns this orientation unchanged. The result is
    // renormalised, so the length stays 1 over any number of rolls.
    BallOrientation rolling(double degrees, double dx, double dy) const;

    // v turned by this orientation (q v q*).
    BallVector rotate(BallVector v) const;
};

namespace BallPanelGeometry {

// The twelve pentagon panels of a football, each a closed outline of 25 points on the
// unit sphere (five curved edges of five steps), centred on an icosahedron's vertices.
// Built on first use and shared.
const std::vector<std::vector<BallVector>>& pentagons();

}  // namespace BallPanelGeometry

}  // namespace vantrel

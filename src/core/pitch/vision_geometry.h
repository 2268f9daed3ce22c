// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <span>
#include <vector>

#include "core/model/point.h"

namespace vantrel {

namespace VisionGeometry {

// Occluding radius of a player, in x units (pitch lengths).
inline constexpr double kPlayerRadius = 0.018;

// What the ball carrier at `origin` can see: a star-shaped polygon around it, clipped to
// the pitch, with a shadow behind every blocker (a disc of `radius` x units). The work is
// done in a space where the pitch is [0, 1] × [0, 1 / aspect], so discs are round on the
// drawn pitch. Corners come in increasing angle from the +x axis, in normalised pitch
// coordinates within [0, 1]².
//
// Odd input yields a sound answer rather than garbage: an origin that is not a finite
// point, or an aspect that is not a positive finite number, gives an empty polygon; an
// origin off the pitch is moved onto its nearest edge; blockers that are not finite
// points, and all blockers when the radius is not a positive finite number, cast no shadow.
std::vector<Point> visiblePolygon(Point origin, std::span<const Point> blockers, double aspect = kPitchAspect,
                                  double radius = kPlayerRadius);

}  // namespace VisionGeometry

namespace VisionTransition {

// Opacity of the vision overlay while the ball changes carrier over a transition of
// `duration` seconds: full until a quarter, then the old view fades out over 0.2 s; from
// three quarters the new view fades in over 0.32 s. An elapsed time that is not a number
// counts as 0, and so does a duration that is negative or not a number.
double stage(double elapsed, double duration);

}  // namespace VisionTransition

}  // namespace vantrel

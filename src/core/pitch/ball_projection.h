// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

#include "core/model/board.h"
#include "core/pitch/pitch_perspective.h"

namespace vantrel {

// The 3D view's ball between pitch and screen: where a dragged ball lands, and in which
// depth layer a ball is drawn among the pucks.
namespace BallProjection {

// The pitch position of a ball on the turf whose drawn centre is at `viewPoint`: the exact
// inverse of `PitchPerspective::ballPlacement` at height 0 (the ball sits 17 s right of and
// 7 s - 7.4 s below its ground point, s depending on the depth being solved for), found by
// three rounds of fixed-point iteration. Always inside [0.04, 0.96]².
Point modelPosition(Point viewPoint, const PitchPerspective& perspective);

// The ball's depth key among pucks keyed 100 · y + 1: 100 · y + 0.6 (behind the puck it
// stands beside), raised over a nearer puck whose head a lofted ball crosses on screen.
double layerIndex(Point ball, double height, const std::vector<Player>& players, const PitchPerspective& perspective);

}  // namespace BallProjection

}  // namespace vantrel

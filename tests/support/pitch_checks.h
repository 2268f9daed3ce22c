// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/model/point.h"

namespace vantrel::testing {

// Whether `p` lies in the part of the pitch a player can be dragged to, 0.04 to 0.96 on
// both axes; a non-finite point never does.
inline bool onDraggableSquare(Point p) { return p.x >= 0.04 && p.x <= 0.96 && p.y >= 0.04 && p.y <= 0.96; }

}  // namespace vantrel::testing

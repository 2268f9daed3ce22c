// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace vantrel {

// The one ease of every animation on the board: smoothstep, from 0 to 1 with zero slope
// at both ends, so a run starts and stops without a jolt. Input outside [0, 1] is
// clamped; a value that is not a number counts as 0.
inline constexpr double smoothstep(double v) {
    if (!(v > 0.0)) return 0.0;
    if (v >= 1.0) return 1.0;
    return v * v * (3.0 - 2.0 * v);
}

}  // namespace vantrel

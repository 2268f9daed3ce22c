// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cmath>

namespace vantrel {

// Normalised pitch coordinates: x along the pitch (0 = the goal line team 0 defends),
// y across it. Both run over [0, 1] on the pitch; values outside are kept as given.
struct Point {
    double x = 0.0;
    double y = 0.0;

    bool operator==(const Point&) const = default;
};

// The pitch is 1.55 times as long as it is wide; distances that must look the same
// along and across the pitch stretch x by this factor.
inline constexpr double kPitchAspect = 1.55;
inline constexpr double kPitchLengthMetres = 60.0;
inline constexpr double kPitchWidthMetres = 60.0 / 1.55;   // 38.70967741935484 m

// Aspect-weighted distance in normalised width units.
inline double aspectDistance(Point a, Point b) {
    return std::hypot((a.x - b.x) * kPitchAspect, a.y - b.y);
}

// Physical distance in metres on the 60 m pitch.
inline double metresBetween(Point a, Point b) {
    return std::hypot((b.x - a.x) * kPitchLengthMetres, (b.y - a.y) * kPitchWidthMetres);
}

inline bool isFinite(Point p) { return std::isfinite(p.x) && std::isfinite(p.y); }

inline double clampUnit(double v, double lo = 0.04, double hi = 0.96) {
    // NaN stays out of the pitch's interior: it is pinned to the lower bound.
    if (!(v >= lo)) return lo;
    if (v > hi) return hi;
    return v;
}

// Dragged positions lie in [0.04, 0.96] on both axes.
inline Point clampToPitch(Point p) { return {clampUnit(p.x), clampUnit(p.y)}; }

}  // namespace vantrel

// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/pitch/pitch_perspective.h"

#include <algorithm>

namespace vantrel {

namespace {
constexpr double kFarTouchline = 0.14;   // fraction of the height
constexpr double kDepthSpan = 0.74;      // near touchline at 0.14 + 0.74 = 0.88
constexpr double kMinDepth = 0.04;
constexpr double kMaxDepth = 0.96;
}  // namespace

Point PitchPerspective::project(Point p) const {
    return {size.width * (0.5 + (p.x - 0.5) * depthScale(p.y)),
            size.height * (kFarTouchline + kDepthSpan * p.y)};
}

Point PitchPerspective::unproject(Point v) const {
    double depth = (v.y / size.height - kFarTouchline) / kDepthSpan;
    if (!(depth >= kMinDepth)) depth = kMinDepth;   // also NaN
    // Beyond the last dragged row the scale stays at k(0.96), so x never jumps.
    const double k = depth < kMaxDepth ? depthScale(depth) : depthScale(kMaxDepth);
    const double x = clampUnit((v.x / size.width - 0.5) / k + 0.5, kMinDepth, kMaxDepth);
    return {x, depth < kMaxDepth ? depth : kMaxDepth};
}

BallPlacement PitchPerspective::ballPlacement(Point ball, double height) const {
    const double s = tokenScale(ball.y);
    const double r = 7.4 * s;
    const double lift = 0.85 * size.height * std::max(height, 0.0);
    const Point ground = project(ball);
    const Point foot{ground.x + 17 * s, ground.y + 7 * s};
    return {
        .centre = {foot.x, foot.y - r - lift},
        .radius = r,
        .shadowCentre = foot,
        .shadowWidth = 1.9 * r + 0.22 * lift,
        .shadowHeight = 0.6 * r + 0.07 * lift,
        .shadowOpacity = std::max(0.19 - 0.0015 * lift, 0.065),
        .shadowBlur = 1.1 + 0.065 * lift,
    };
}

}  // namespace vantrel

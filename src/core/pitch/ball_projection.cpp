// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/pitch/ball_projection.h"

#include <algorithm>
#include <cmath>

namespace vantrel::BallProjection {

namespace {
constexpr double kMinDepth = 0.04;
constexpr double kMaxDepth = 0.96;
}  // namespace

Point modelPosition(Point v, const PitchPerspective& perspective) {
    const double W = perspective.size.width;
    const double H = perspective.size.height;
    // The ground point lies 0.4 s below the drawn centre (foot 7 s down, radius 7.4 s up).
    double y = clampUnit((v.y / H - 0.14) / 0.74, kMinDepth, kMaxDepth);
    double s = PitchPerspective::tokenScale(y);
    for (int round = 0; round < 3; ++round) {
        s = PitchPerspective::tokenScale(std::max(y, kMinDepth));
        y = ((v.y + 0.4 * s) / H - 0.14) / 0.74;
        if (!std::isfinite(y)) y = kMinDepth;
    }
    s = PitchPerspective::tokenScale(std::max(y, kMinDepth));
    const double depth = clampUnit(y, kMinDepth, kMaxDepth);
    const double x = clampUnit(((v.x - 17 * s) / W - 0.5) / PitchPerspective::depthScale(y) + 0.5, kMinDepth, kMaxDepth);
    return {x, depth};
}

double layerIndex(Point ball, double height, const std::vector<Player>& players, const PitchPerspective& perspective) {
    double z = 100 * ball.y + 0.6;
    const BallPlacement placement = perspective.ballPlacement(ball, height);
    const double lift = 0.85 * perspective.size.height * std::max(height, 0.0);
    if (!(lift > 0)) return z;
    const double r = placement.radius;
    const Point c = placement.centre;
    for (const auto& p : players) {
        if (p.position.y < ball.y) continue;
        const double sp = PitchPerspective::tokenScale(p.position.y);
        const Point puck = perspective.project(p.position);
        const bool overHead = lift > 8 * sp;
        const bool overlapsVertically = puck.y - 22 * sp < c.y + r && c.y - r < puck.y + 7 * sp;
        const bool overlapsHorizontally = std::abs(c.x - puck.x) < 16 * sp + r;
        if (overHead && overlapsVertically && overlapsHorizontally) z = std::max(z, 100 * p.position.y + 1.1);
    }
    return z;
}

}  // namespace vantrel::BallProjection

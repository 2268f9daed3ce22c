// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/model/ball_flight.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vantrel::BallFlight {

namespace {
constexpr double kGravity = 9.81;           // m/s²
constexpr double kBallRadiusMetres = 0.11;
constexpr double kLoftSpinDegreesPerSecond = 420.0;
}  // namespace

double loftApexMetres(double distanceMetres) { return std::min(0.12 * distanceMetres, 5.5); }

double rollDegrees(double metres) { return metres / kBallRadiusMetres * 180.0 / std::numbers::pi; }

double duration(Point from, Point to, PassStyle style) {
    const double d = metresBetween(from, to);
    if (!(d > 0)) return 0.12;
    if (style == PassStyle::ground) {
        const double speed = std::min(12.0 + 0.14 * d, 22.0);
        return std::max(d / speed, 0.22);
    }
    const double apex = loftApexMetres(d);
    const double hang = 2.0 * std::sqrt(2.0 * apex / kGravity);
    return std::max({hang, d / 26.0, 0.3});
}

Sample sample(Point from, Point to, double progress, PassStyle style) {
    double p = std::isfinite(progress) ? std::clamp(progress, 0.0, 1.0) : 0.0;
    const double d = metresBetween(from, to);
    if (!(d > 0)) return {from, 0.0, 0.0};

    const double q = style == PassStyle::ground ? p + 0.2 * p * (1 - p) : p;
    Point position;
    if (p == 0) {
        position = from;
    } else if (p == 1) {
        position = to;
    } else {
        position = {from.x + (to.x - from.x) * q, from.y + (to.y - from.y) * q};
    }

    double height = 0;
    double rotation = 0;
    if (style == PassStyle::ground) {
        const double degrees = rollDegrees(std::max(q * d, 0.0));
        rotation = std::isfinite(degrees) ? degrees : 0.0;
    } else {
        height = 4 * p * (1 - p) * loftApexMetres(d) / kPitchWidthMetres;
        rotation = p * duration(from, to, PassStyle::loft) * kLoftSpinDegreesPerSecond;
    }
    return {position, height, rotation};
}

}  // namespace vantrel::BallFlight

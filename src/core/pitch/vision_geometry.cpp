// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/pitch/vision_geometry.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <numbers>

#include "core/pitch/easing.h"

namespace vantrel {

namespace VisionGeometry {

namespace {

// A blocker this close to the carrier is the carrier itself (or stands on it).
constexpr double kOverlapMargin = 0.0001;
// Rays this far either side of a shadow edge keep the edge sharp.
constexpr double kEdgeOffset = 0.00001;
constexpr int kSweepRays = 360;   // one per degree

// A blocker in the isotropic space, with what every ray test needs precomputed.
struct Disc {
    double mx;   // origin − centre
    double my;
    double c;   // |origin − centre|² − r², positive since the origin lies outside
};

}  // namespace

std::vector<Point> visiblePolygon(Point origin, std::span<const Point> blockers, double aspect,
                                  double radius) {
    if (!isFinite(origin) || !(aspect > 0.0) || !std::isfinite(aspect)) return {};

    const double height = 1.0 / aspect;   // the pitch's width in x units
    const double ox = std::clamp(origin.x, 0.0, 1.0);
    const double oy = std::clamp(origin.y / aspect, 0.0, height);
    const bool occluding = radius > 0.0 && std::isfinite(radius);
    constexpr double twoPi = 2.0 * std::numbers::pi;

    std::vector<double> angles;
    angles.reserve(kSweepRays + 6 * (occluding ? blockers.size() : 0) + 4);
    for (int i = 0; i < kSweepRays; ++i) angles.push_back(i * std::numbers::pi / 180.0);

    std::vector<Disc> discs;
    if (occluding) {
        discs.reserve(blockers.size());
        for (Point blocker : blockers) {
            if (!isFinite(blocker)) continue;
            const double dx = blocker.x - ox;
            const double dy = blocker.y / aspect - oy;
            const double d = std::hypot(dx, dy);
            if (!(d > radius + kOverlapMargin) || !std::isfinite(d)) continue;
            const double theta = std::atan2(dy, dx);
            const double alpha = std::asin(radius / d);   // half-width of the shadow, d > r
            for (double edge : {theta - alpha, theta + alpha})
                for (double offset : {-kEdgeOffset, 0.0, kEdgeOffset}) angles.push_back(edge + offset);
            discs.push_back({-dx, -dy, dx * dx + dy * dy - radius * radius});
        }
    }
    const std::array<Point, 4> corners{Point{0.0, 0.0}, Point{1.0, 0.0}, Point{1.0, height},
                                       Point{0.0, height}};
    for (Point corner : corners) angles.push_back(std::atan2(corner.y - oy, corner.x - ox));

    // Every angle is finite here (finite origin, blockers and radius), so sorting is sound.
    for (double& angle : angles)
        if (angle < 0.0) angle += twoPi;
    std::sort(angles.begin(), angles.end());
    angles.erase(std::unique(angles.begin(), angles.end()), angles.end());

    std::vector<Point> polygon;
    polygon.reserve(angles.size());
    for (double angle : angles) {
        const double ux = std::cos(angle);
        const double uy = std::sin(angle);

        // Distance to the pitch's edge; the origin is inside, so every exit is ahead.
        double length = std::numeric_limits<double>::infinity();
        if (ux > 0.0) length = std::min(length, (1.0 - ox) / ux);
        if (ux < 0.0) length = std::min(length, -ox / ux);
        if (uy > 0.0) length = std::min(length, (height - oy) / uy);
        if (uy < 0.0) length = std::min(length, -oy / uy);
        if (!std::isfinite(length)) length = 0.0;

        // Nearest blocker ahead: the first root of |m + t·u|² = r².
        for (const Disc& disc : discs) {
            const double b = disc.mx * ux + disc.my * uy;
            const double discriminant = b * b - disc.c;
            if (!(discriminant >= 0.0)) continue;
            const double t = -b - std::sqrt(discriminant);
            if (t > 0.0 && t < length) length = t;
        }

        polygon.push_back(
            {std::clamp(ox + length * ux, 0.0, 1.0), std::clamp((oy + length * uy) * aspect, 0.0, 1.0)});
    }
    return polygon;
}

}  // namespace VisionGeometry

namespace VisionTransition {

namespace {
constexpr double kFadeOutSeconds = 0.2;
constexpr double kFadeInSeconds = 0.32;
}  // namespace

double stage(double elapsed, double duration) {
    if (std::isnan(elapsed)) elapsed = 0.0;
    if (!(duration >= 0.0)) duration = 0.0;   // an infinite one never reaches its quarter
    const double fadeOutAt = 0.25 * duration;   // the kick
    const double fadeInAt = 0.75 * duration;    // the reception
    if (elapsed < fadeOutAt) return 1.0;
    if (elapsed < fadeInAt) return 1.0 - smoothstep((elapsed - fadeOutAt) / kFadeOutSeconds);
    return smoothstep((elapsed - fadeInAt) / kFadeInSeconds);
}

}  // namespace VisionTransition

}  // namespace vantrel

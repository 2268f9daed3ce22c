// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/pitch/ball_orientation.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace vantrel {

namespace {

BallVector normalized(BallVector v) {
    const double len = std::max(std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z), 0.00001);
    return {v.x / len, v.y / len, v.z / len};
}

BallVector cross(BallVector a, BallVector b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

}  // namespace

BallOrientation BallOrientation::rolling(double degrees, double dx, double dy) const {
    if (!(std::abs(degrees) > 0.00001)) return *this;
    const double len = std::hypot(dx, dy);
    const double nx = len > 0.00001 ? -dy / len : 0.0;
    const double ny = len > 0.00001 ? dx / len : 1.0;
    const double h = degrees * std::numbers::pi / 360;
    const BallOrientation r{nx * std::sin(h), ny * std::sin(h), 0, std::cos(h)};
    const BallOrientation& q = *this;
    BallOrientation p{r.w * q.x + r.x * q.w + r.y * q.z - r.z * q.y,
                      r.w * q.y - r.x * q.z + r.y * q.w + r.z * q.x,
                      r.w * q.z + r.x * q.y - r.y * q.x + r.z * q.w,
                      r.w * q.w - r.x * q.x - r.y * q.y - r.z * q.z};
    const double n = std::sqrt(p.x * p.x + p.y * p.y + p.z * p.z + p.w * p.w);
    if (!(n > 0) || !std::isfinite(n)) return *this;
    return {p.x / n, p.y / n, p.z / n, p.w / n};
}

BallVector BallOrientation::rotate(BallVector v) const {
    // v' = v + 2 w (u × v) + 2 u × (u × v), u the vector part: q v q* for a unit q.
    const BallVector u{x, y, z};
    const BallVector t = cross(u, v);
    const BallVector t2{2 * t.x, 2 * t.y, 2 * t.z};
    const BallVector c = cross(u, t2);
    return {v.x + w * t2.x + c.x, v.y + w * t2.y + c.y, v.z + w * t2.z + c.z};
}

namespace BallPanelGeometry {

const std::vector<std::vector<BallVector>>& pentagons() {
    static const std::vector<std::vector<BallVector>> panels = [] {
        constexpr double phi = 1.618033988749895;
        // The icosahedron's vertices: cyclic permutations of (0, ±1, ±φ).
        std::vector<BallVector> centres;
        for (double a : {-1.0, 1.0})
            for (double b : {-phi, phi}) {
                centres.push_back(normalized({0, a, b}));
                centres.push_back(normalized({a, b, 0}));
                centres.push_back(normalized({b, 0, a}));
            }
        // A spherical cap of about 17.8°: a² + b² = 1.
        constexpr double a = 0.9523335698857134;
        constexpr double b = 0.3050586364434435;
        std::vector<std::vector<BallVector>> out;
        for (const BallVector c : centres) {
            const BallVector aux = std::abs(c.z) < 0.8 ? BallVector{0, 0, 1} : BallVector{1, 0, 0};
            const BallVector u = normalized(cross(c, aux));
            const BallVector w = normalized(cross(c, u));
            std::array<BallVector, 5> corners;
            for (int k = 0; k < 5; ++k) {
                const double t = 2 * std::numbers::pi * k / 5;
                corners[k] = {a * c.x + b * (std::cos(t) * u.x + std::sin(t) * w.x),
                              a * c.y + b * (std::cos(t) * u.y + std::sin(t) * w.y),
                              a * c.z + b * (std::cos(t) * u.z + std::sin(t) * w.z)};
            }
            std::vector<BallVector> outline;
            outline.reserve(25);
            for (int k = 0; k < 5; ++k) {
                const BallVector from = corners[k], to = corners[(k + 1) % 5];
                for (int j = 0; j < 5; ++j) {
                    const double t = j / 5.0;
                    outline.push_back(normalized({from.x + (to.x - from.x) * t, from.y + (to.y - from.y) * t,
                                                  from.z + (to.z - from.z) * t}));
                }
            }
            out.push_back(std::move(outline));
        }
        return out;
    }();
    return panels;
}

}  // namespace BallPanelGeometry

}  // namespace vantrel

// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/pitch/flat_projection.h"

#include <algorithm>

namespace vantrel {

namespace {

// How far short of the area's back line a turned view begins, in pitch lengths: the line
// and a little of the play before it stay in sight.
constexpr double kLeadIn = 0.03;

}  // namespace

double FlatProjection::windowStart() const {
    if (!turned()) return 0;
    return std::max(0.0, pitchAreaRect(area).x0 - kLeadIn);
}

ViewRect FlatProjection::rect() const {
    if (turned()) {
        // Turned, the pitch's width runs across the view and the shown length down it.
        const double span = 1 - windowStart();
        const double w = std::max(0.0, std::min(size.width * kPitchAspect, size.height / span));
        return {0, 0, w, w / kPitchAspect};
    }
    double w = size.width;
    double h = size.width / kPitchAspect;
    if (h > size.height) {
        h = size.height;
        w = size.height * kPitchAspect;
    }
    return {(size.width - w) / 2, (size.height - h) / 2, w, h};
}

ViewRect FlatProjection::window() const {
    const ViewRect r = rect();
    if (!turned()) return r;
    const double w = r.height, h = (1 - windowStart()) * r.width;
    return {(size.width - w) / 2, (size.height - h) / 2, w, h};
}

Point FlatProjection::origin() const {
    if (!turned()) {
        const ViewRect r = rect();
        return {r.left, r.top};
    }
    const ViewRect w = window();
    // The goal line x = 1 runs along the window's top edge.
    return {w.left, w.top + rect().width};
}

Point FlatProjection::toView(Point p) const {
    const ViewRect r = rect();
    const Point o = origin();
    if (turned()) return {o.x + p.y * r.height, o.y - p.x * r.width};
    return {o.x + p.x * r.width, o.y + p.y * r.height};
}

Point FlatProjection::toPitch(Point v) const {
    const ViewRect r = rect();
    if (!(r.width > 0 && r.height > 0)) return {0.5, 0.5};
    const Point o = origin();
    if (turned()) return {(o.y - v.y) / r.width, (v.x - o.x) / r.height};
    return {(v.x - o.x) / r.width, (v.y - o.y) / r.height};
}

BallPlacement FlatProjection::ballPlacement(Point ball, double height) const {
    const ViewRect r = rect();
    const Point at = toView(ball);
    const Point ground{at.x + 12, at.y};
    return {
        .centre = {ground.x, ground.y + 20 - 0.55 * r.height * height},
        .radius = 7,
        .shadowCentre = {ground.x, ground.y + 24},
        .shadowWidth = 17 + 35 * height,
        .shadowHeight = 6 + 12 * height,
        .shadowOpacity = height > 0.005 ? 0.12 : 0.18,
        .shadowBlur = 0,
    };
}

}  // namespace vantrel

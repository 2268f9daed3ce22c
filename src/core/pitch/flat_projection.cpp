// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/pitch/flat_projection.h"

namespace vantrel {

ViewRect FlatProjection::rect() const {
    double w = size.width;
    double h = size.width / kPitchAspect;
    if (h > size.height) {
        h = size.height;
        w = size.height * kPitchAspect;
    }
    return {(size.width - w) / 2, (size.height - h) / 2, w, h};
}

Point FlatProjection::toView(Point p) const {
    const ViewRect r = rect();
    return {r.left + p.x * r.width, r.top + p.y * r.height};
}

Point FlatProjection::toPitch(Point v) const {
    const ViewRect r = rect();
    if (!(r.width > 0 && r.height > 0)) return {0.5, 0.5};
    return {(v.x - r.left) / r.width, (v.y - r.top) / r.height};
}

BallPlacement FlatProjection::ballPlacement(Point ball, double height) const {
    const ViewRect r = rect();
    const Point ground{r.left + r.width * ball.x + 12, r.top + r.height * ball.y};
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

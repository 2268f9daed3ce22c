// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/annotation/render_path.h"

namespace vantrel {

RenderPath RenderPath::polyline(std::span<const Point> points) {
    RenderPath path;
    if (points.empty()) return path;
    path.elements.reserve(points.size());
    path.moveTo(points.front());
    for (std::size_t i = 1; i < points.size(); ++i) path.lineTo(points[i]);
    return path;
}

RenderPath RenderPath::polygon(std::span<const Point> points) {
    RenderPath path = polyline(points);
    if (!path.empty()) path.close();
    return path;
}

}  // namespace vantrel

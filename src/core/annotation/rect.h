// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <cmath>

#include "core/model/point.h"

namespace vantrel {

// An axis-aligned rectangle: origin and size. Used in model space (normalised pitch
// units) and in view space (view points) alike; a negative size is allowed and read
// through the min/max accessors.
struct Rect {
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;

    bool operator==(const Rect&) const = default;

    double minX() const { return width < 0 ? x + width : x; }
    double minY() const { return height < 0 ? y + height : y; }
    double maxX() const { return width < 0 ? x : x + width; }
    double maxY() const { return height < 0 ? y : y + height; }
    double midX() const { return x + width / 2; }
    double midY() const { return y + height / 2; }

    // The same rectangle with a non-negative size.
    Rect standardized() const { return {minX(), minY(), maxX() - minX(), maxY() - minY()}; }
    // All four of x, y, width and height are finite.
    bool isFinite() const {
        return std::isfinite(x) && std::isfinite(y) && std::isfinite(width) && std::isfinite(height);
    }
    static Rect spanning(Point a, Point b) {
        const double left = std::min(a.x, b.x);
        const double top = std::min(a.y, b.y);
        return {left, top, std::max(a.x, b.x) - left, std::max(a.y, b.y) - top};
    }
};

}  // namespace vantrel

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <span>
#include <vector>

#include "core/model/point.h"

namespace vantrel {

// A path in view points, as a list of elements the painter replays one by one onto its
// own path type. Elements only; no geometry queries beyond what rendering needs.
struct RenderPath {
    enum class Verb : unsigned char { move, line, quad, cubic, close };

    struct Element {
        Verb verb = Verb::move;
        Point to;         // end point (unused by close)
        Point control1;   // quad: its control point; cubic: the first control point
        Point control2;   // cubic: the second control point

        bool operator==(const Element&) const = default;
    };

    std::vector<Element> elements;

    bool operator==(const RenderPath&) const = default;

    bool empty() const { return elements.empty(); }

    void moveTo(Point p) { elements.push_back({Verb::move, p, {}, {}}); }
    void lineTo(Point p) { elements.push_back({Verb::line, p, {}, {}}); }
    void quadTo(Point control, Point p) { elements.push_back({Verb::quad, p, control, {}}); }
    void cubicTo(Point c1, Point c2, Point p) { elements.push_back({Verb::cubic, p, c1, c2}); }
    void close() { elements.push_back({Verb::close, {}, {}, {}}); }

    // The closed path through `points`; empty when there are none.
    static RenderPath polygon(std::span<const Point> points);
    // The open polyline through `points`; empty when there are none.
    static RenderPath polyline(std::span<const Point> points);
};

}  // namespace vantrel

// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/annotation/annotation_render.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <numbers>
#include <unordered_map>

#include "core/annotation/seeded_random.h"

namespace vantrel {

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();
constexpr std::size_t kEllipseSamples = 96;
constexpr double kSampleLength = 12;            // view points per resampled piece
constexpr double kMaxPiecesPerSegment = 120;
constexpr double kHatchWidth = 1.2;             // view points
constexpr double kHatchReach = 2;               // view points a hatch line runs past the shape's edge
constexpr std::size_t kMaxHatchLines = 4096;
constexpr double kArrowWing = 0.48;             // radians either side of the shaft
constexpr double kMinTextWidth = 20;            // view points
constexpr double kMinTextHeight = 16;
// The arrow head's grains come from their own stream, past the seven a grain uses, so
// they do not repeat the shaft's first grains.
constexpr std::uint64_t kArrowHeadStream = 7;

// `v` limited to [lo, hi]; NaN becomes `lo`.
double clampValue(double v, double lo, double hi) {
    if (!(v >= lo)) return lo;
    return v > hi ? hi : v;
}

Point lerp(Point a, Point b, double t) { return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t}; }
Point midpoint(Point a, Point b) { return {(a.x + b.x) / 2, (a.y + b.y) / 2}; }

double strokeWidthFor(const AnnotationStyle& style) {
    return clampValue(style.lineWidth, 0.7, GraphiteStroke::kMaxWidth);
}

// View points are kept within one surface size of the surface's edges. Drawings on the
// pitch lie inside the surface and are untouched; a point moved or imported absurdly far
// away is pulled in, which bounds every length after it, and so the pieces the grains walk
// and the dashes the painter lays, by what the surface can show.
class ViewClamp {
public:
    explicit ViewClamp(ViewSize size) {
        const double margin = std::max(size.width, size.height);
        low_ = {-margin, -margin};
        high_ = {size.width + margin, size.height + margin};
    }
    // NaN stays NaN, for the caller to drop.
    Point operator()(Point v) const { return {std::clamp(v.x, low_.x, high_.x), std::clamp(v.y, low_.y, high_.y)}; }

private:
    Point low_;
    Point high_;
};

std::vector<Point> thinned(std::span<const Point> points) {
    const std::size_t n = points.size();
    if (n <= AnnotationRenderItem::kMaxPencilSamples) return {points.begin(), points.end()};
    std::vector<Point> kept(AnnotationRenderItem::kMaxPencilSamples);
    for (std::size_t i = 0; i < AnnotationRenderItem::kMaxPencilSamples; ++i)
        kept[i] = points[i * (n - 1) / (AnnotationRenderItem::kMaxPencilSamples - 1)];
    return kept;
}

std::vector<Point> projectFinite(std::span<const Point> modelPoints, const AnnotationCanvasGeometry& canvas,
                                 const ViewClamp& clamp) {
    std::vector<Point> result;
    result.reserve(modelPoints.size());
    for (const Point& p : modelPoints) {
        const Point v = canvas.project(p);
        if (isFinite(v)) result.push_back(clamp(v));
    }
    return result;
}

// Catmull–Rom through q as cubic Bézier pieces, controls at ±(neighbour difference) / 6.
void appendCatmullRom(RenderPath& path, const std::vector<Point>& q, bool closed) {
    const std::size_t n = q.size();
    const auto at = [&](std::ptrdiff_t i) {
        const auto count = static_cast<std::ptrdiff_t>(n);
        if (closed) return q[static_cast<std::size_t>(((i % count) + count) % count)];
        return q[static_cast<std::size_t>(std::clamp<std::ptrdiff_t>(i, 0, count - 1))];
    };
    path.moveTo(q.front());
    const std::size_t pieces = closed ? n : n - 1;
    for (std::size_t k = 0; k < pieces; ++k) {
        const auto i = static_cast<std::ptrdiff_t>(k);
        const Point p0 = at(i - 1), p1 = at(i), p2 = at(i + 1), p3 = at(i + 2);
        path.cubicTo({p1.x + (p2.x - p0.x) / 6, p1.y + (p2.y - p0.y) / 6},
                     {p2.x - (p3.x - p1.x) / 6, p2.y - (p3.y - p1.y) / 6}, p2);
    }
    if (closed) path.close();
}

// Closed paths (the 96 samples of an ellipse) run through the midpoints of their sides with
// each point a quadratic control, so the polygon reads as a smooth curve. Open ones are
// straight shapes resampled every 12 points; straight pieces keep them straight, and
// unlike curves they are not cut into one-point pieces for the grains, which keeps the
// grain count of long lines and hatching down by about a third.
void appendPieces(RenderPath& path, const std::vector<Point>& q, bool closed) {
    const std::size_t n = q.size();
    if (closed && n > 2) {
        path.moveTo(midpoint(q[n - 1], q[0]));
        for (std::size_t i = 0; i < n; ++i) path.quadTo(q[i], midpoint(q[i], q[(i + 1) % n]));
        path.close();
        return;
    }
    path.moveTo(q[0]);
    for (std::size_t i = 1; i < n; ++i) path.lineTo(q[i]);
    if (closed) path.close();
}

// The parts of the line x + y = c inside `polygon` (even–odd), as intervals of x − y.
void polygonCrossings(const std::vector<Point>& polygon, double c, std::vector<double>& crossings) {
    crossings.clear();
    const std::size_t n = polygon.size();
    for (std::size_t i = 0; i < n; ++i) {
        const Point a = polygon[i];
        const Point b = polygon[(i + 1) % n];
        const double fa = a.x + a.y - c;
        const double fb = b.x + b.y - c;
        if ((fa < 0) == (fb < 0)) continue;
        const Point hit = lerp(a, b, fa / (fa - fb));
        crossings.push_back(hit.x - hit.y);
    }
    std::sort(crossings.begin(), crossings.end());
}

// Hatch lines at 45° (rising to the right on screen) across the shape's view polygon,
// `spacing` apart, each a little longer than the shape so the clip to the fill path, not
// the line's end, makes the edge.
RenderPath hatchLines(const std::vector<Point>& polygon, double spacing, std::uint64_t seed, Rect visible) {
    RenderPath hatching;
    if (polygon.size() < 3) return hatching;
    double low = kInfinity, high = -kInfinity;
    for (const Point& p : polygon) {
        low = std::min(low, p.x + p.y);
        high = std::max(high, p.x + p.y);
    }
    const double step = spacing * std::numbers::sqrt2;   // along x + y for a perpendicular spacing
    // Lines that cannot touch the surface are not made; indices (and so each line's
    // wobble) still count from the shape's own first line.
    const double firstVisible = visible.minX() + visible.minY() - kHatchReach;
    const double lastVisible = visible.maxX() + visible.maxY() + kHatchReach;
    const double firstIndex = std::max(std::ceil((firstVisible - low) / step - 0.5), 0.0);
    const double lastIndex = std::min(std::floor((std::min(high, lastVisible) - low) / step - 0.5),
                                      firstIndex + static_cast<double>(kMaxHatchLines) - 1);
    if (!(firstIndex <= lastIndex)) return hatching;

    std::vector<double> crossings;
    const auto count = static_cast<std::size_t>(lastIndex - firstIndex) + 1;   // at most kMaxHatchLines
    for (std::size_t k = 0; k < count; ++k) {
        const double index = firstIndex + static_cast<double>(k);
        const double c = low + (index + 0.5) * step;
        polygonCrossings(polygon, c, crossings);
        for (std::size_t pair = 0; pair + 1 < crossings.size(); pair += 2) {
            const double from = crossings[pair] - kHatchReach;
            const double to = crossings[pair + 1] + kHatchReach;
            const std::array<Point, 2> ends{Point{(c + from) / 2, (c - from) / 2}, Point{(c + to) / 2, (c - to) / 2}};
            const auto samples = AnnotationRenderItem::sampleSegments(ends, false);
            // 0 is the outline's. Indices beyond 2^53 only occur on absurd shapes; they wrap.
            const double wrapped = index < 9e15 ? index : std::fmod(index, 4294967296.0);
            const auto variation = static_cast<std::uint64_t>(wrapped) + 1;
            const RenderPath line = AnnotationRenderItem::pencilPath(samples, false, seed, variation, true, false);
            hatching.elements.insert(hatching.elements.end(), line.elements.begin(), line.elements.end());
        }
    }
    return hatching;
}

}  // namespace

RenderPath AnnotationRenderItem::pencilPath(std::span<const Point> points, bool closed, std::uint64_t seed,
                                            std::uint64_t variation, bool textured, bool interpolating) {
    RenderPath path;
    const std::size_t n = points.size();
    if (n == 0) return path;
    if (n == 1) {
        path.moveTo(points.front());
        return path;
    }
    const double amplitude = interpolating ? 0.06 : 0.12;
    const std::uint64_t state = seed + variation * SeededRandom::kStream;
    std::vector<Point> displaced(n);
    for (std::size_t i = 0; i < n; ++i) {
        double offset = 0;
        if (textured) {
            const double fade =
                closed ? 1.0 : std::min(static_cast<double>(std::min(i, n - 1 - i)) / 3, 1.0);
            offset = (2 * SeededRandom::unit(state + i * SeededRandom::kStep) - 1) * amplitude * fade;
        }
        const Point next = points[std::min(i + 1, n - 1)];
        const Point previous = points[i == 0 ? 0 : i - 1];
        const double tx = next.x - previous.x;
        const double ty = next.y - previous.y;
        const double scale = std::max(std::hypot(tx, ty), 0.01);
        displaced[i] = {points[i].x - ty / scale * offset, points[i].y + tx / scale * offset};
    }
    if (interpolating) appendCatmullRom(path, displaced, closed);
    else appendPieces(path, displaced, closed);
    return path;
}

std::vector<Point> AnnotationRenderItem::sampleSegments(std::span<const Point> points, bool close) {
    std::vector<Point> result;
    if (points.empty()) return result;
    const std::size_t segments = close ? points.size() : points.size() - 1;
    result.reserve(points.size());
    result.push_back(points.front());
    for (std::size_t i = 0; i < segments; ++i) {
        const Point a = points[i];
        const Point b = points[(i + 1) % points.size()];
        const double pieces = clampValue(std::floor(std::hypot(b.x - a.x, b.y - a.y) / kSampleLength), 1,
                                         kMaxPiecesPerSegment);
        const auto k = static_cast<std::size_t>(pieces);
        for (std::size_t j = 1; j < k; ++j) result.push_back(lerp(a, b, static_cast<double>(j) / pieces));
        if (!close || i + 1 < segments) result.push_back(b);
    }
    return result;
}

double AnnotationRenderItem::arrowHeadLength(double lineWidth) { return clampValue(4 * lineWidth + 6, 9, 17); }

std::array<Point, 3> AnnotationRenderItem::arrowHeadPoints(Point reference, Point tip, double lineWidth) {
    const double theta = std::atan2(tip.y - reference.y, tip.x - reference.x);
    const double h = arrowHeadLength(lineWidth);
    return {Point{tip.x - h * std::cos(theta - kArrowWing), tip.y - h * std::sin(theta - kArrowWing)}, tip,
            Point{tip.x - h * std::cos(theta + kArrowWing), tip.y - h * std::sin(theta + kArrowWing)}};
}

double AnnotationRenderItem::hatchSpacing(ViewSize size) {
    return std::max(clampValue(size.width, 0, kInfinity) * 7 / 1000, 4.0);
}

AnnotationRenderItem AnnotationRenderItem::build(const BoardAnnotation& annotation, ViewSize size, bool is3D,
                                                 OutlineGrains outlineGrains) {
    const AnnotationCanvasGeometry canvas{size, is3D};
    const Rect visible = visibleArea(size);
    const AnnotationStyle& style = annotation.style;
    // The finite points, copied only when some are not: a stroke may hold a million.
    std::vector<Point> finiteCopy;
    std::span<const Point> modelPoints = annotation.points;
    if (!std::all_of(modelPoints.begin(), modelPoints.end(), [](Point p) { return isFinite(p); })) {
        finiteCopy = AnnotationGeometry::finitePoints(annotation);
        modelPoints = finiteCopy;
    }
    const Rect bounds = AnnotationGeometry::bounds(annotation);

    AnnotationRenderItem item;
    item.annotation = annotation;
    item.strokeWidth = strokeWidthFor(style);
    item.dash = dashArray(style.effectivePattern(), item.strokeWidth);
    item.depth = PitchPerspective::depthScale(bounds.midY());
    item.graphite.width = item.strokeWidth;
    item.hatchGraphite.width = kHatchWidth;
    // Nothing can be seen on an empty (or unbounded) surface.
    if (!size.isPositive() || !std::isfinite(size.width) || !std::isfinite(size.height)) return item;

    const ViewClamp clamp(size);
    const auto modelCorners = AnnotationGeometry::corners(bounds);
    for (std::size_t i = 0; i < 4; ++i) item.selectionCorners[i] = clamp(canvas.project(modelCorners[i]));
    const auto& c = item.selectionCorners;
    const std::array<Point, 4> ring{c[0], c[1], c[3], c[2]};
    if (std::all_of(ring.begin(), ring.end(), [](Point p) { return isFinite(p); }))
        item.selection = RenderPath::polygon(ring);

    const std::uint64_t seed = annotation.seed;
    std::vector<Point> shape;   // view points of the outline before the hand-drawn wobble
    bool closed = false;
    bool interpolating = false;
    switch (annotation.kind) {
        case AnnotationTool::pencil:
            shape = projectFinite(thinned(modelPoints), canvas, clamp);
            interpolating = true;
            // A stroke whose points all coincide would lay no grain; it is a dot like a click.
            if (!shape.empty() && std::all_of(shape.begin(), shape.end(), [&](Point p) {
                    return std::hypot(p.x - shape.front().x, p.y - shape.front().y) <= 0.001;
                })) {
                item.dot = shape.front();
                item.dotRadius = std::max(clampValue(style.lineWidth, 0, GraphiteStroke::kMaxWidth) * 0.5, 0.7);
            }
            break;
        case AnnotationTool::line:
        case AnnotationTool::arrow: {
            if (modelPoints.empty()) break;
            const std::array ends{modelPoints.front(), modelPoints.back()};
            shape = sampleSegments(projectFinite(ends, canvas, clamp), false);
            break;
        }
        case AnnotationTool::ellipse: {
            if (modelPoints.empty()) break;
            // Sampled on the pitch, then projected, so in 3D the ellipse lies on the grass.
            std::vector<Point> samples(kEllipseSamples);
            for (std::size_t j = 0; j < kEllipseSamples; ++j) {
                const double angle = 2 * std::numbers::pi * static_cast<double>(j) / kEllipseSamples;
                samples[j] = {bounds.midX() + bounds.width / 2 * std::cos(angle),
                              bounds.midY() + bounds.height / 2 * std::sin(angle)};
            }
            shape = projectFinite(samples, canvas, clamp);
            closed = true;
            break;
        }
        case AnnotationTool::rectangle: {
            if (modelPoints.empty()) break;
            const std::array box{modelCorners[0], modelCorners[1], modelCorners[3], modelCorners[2]};
            shape = sampleSegments(projectFinite(box, canvas, clamp), true);
            closed = true;
            interpolating = true;
            break;
        }
        case AnnotationTool::text: {
            if (modelPoints.empty()) break;
            double left = kInfinity, top = kInfinity, right = -kInfinity, bottom = -kInfinity;
            for (const Point& p : c) {
                left = std::min(left, p.x);
                top = std::min(top, p.y);
                right = std::max(right, p.x);
                bottom = std::max(bottom, p.y);
            }
            // Anchored at the top-left, where the note begins.
            item.textBounds = {left, top, std::max(right - left, kMinTextWidth), std::max(bottom - top, kMinTextHeight)};
            if (!item.textBounds.isFinite()) item.textBounds = {};
            const double scale = std::max(clampValue(size.width, 0, kInfinity) / 1000, 0.55);
            item.fontSize = AnnotationGeometry::effectiveFontSize(style.fontSize) * scale *
                            (is3D ? std::min(item.depth, 0.74) : 1.0);
            break;
        }
        case AnnotationTool::select:
        case AnnotationTool::eraser: break;
    }

    item.outline = pencilPath(shape, closed, seed, 0, true, interpolating);
    if (outlineGrains == OutlineGrains::laid) {
        item.graphite = GraphiteStroke::build(item.outline, item.strokeWidth, seed, visible);
    } else {
        item.graphite.centerline = item.outline;
        item.graphite.width = GraphiteStroke::build({}, item.strokeWidth, seed).width;   // clamped alike
    }

    if (closed && style.fill != AnnotationFill::none && !item.outline.empty()) {
        item.fillPath = item.outline;
        if (style.fill == AnnotationFill::hatch) {
            // The unwobbled shape: the projected ellipse samples or rectangle corners.
            std::vector<Point> polygon = shape;
            if (annotation.kind == AnnotationTool::rectangle) {
                const std::array box{modelCorners[0], modelCorners[1], modelCorners[3], modelCorners[2]};
                polygon = projectFinite(box, canvas, clamp);
            }
            item.hatching = hatchLines(polygon, hatchSpacing(size), seed, visible);
            item.hatchGraphite = GraphiteStroke::build(item.hatching, kHatchWidth, seed, visible);
        }
    }

    if (annotation.kind == AnnotationTool::arrow && !shape.empty()) {
        // The head follows the shaft, first point to last.
        const auto head = arrowHeadPoints(shape.front(), shape.back(), style.lineWidth);
        item.arrowHead = RenderPath::polyline(head);
        item.arrowGraphite = GraphiteStroke::build(*item.arrowHead, item.strokeWidth,
                                                   seed + kArrowHeadStream * SeededRandom::kStream, visible);
    }
    return item;
}

std::vector<BoardAnnotation> annotationsToPaint(std::span<const BoardAnnotation> annotations,
                                                const std::optional<BoardAnnotation>& draft) {
    std::vector<BoardAnnotation> result(annotations.begin(), annotations.end());
    if (!draft) return result;
    const auto stored = std::find_if(result.begin(), result.end(), [&](const auto& a) { return a.id == draft->id; });
    if (stored != result.end()) *stored = *draft;
    else result.push_back(*draft);
    return result;
}

const std::vector<AnnotationRenderItem>& AnnotationRenderCache::items(std::span<const BoardAnnotation> annotations,
                                                                      ViewSize size, bool is3D) {
    std::vector<AnnotationRenderItem> previous;
    if (size == size_ && is3D == is3D_) previous = std::move(items_);
    size_ = size;
    is3D_ = is3D;
    // Unclaimed previous items by id; ids may repeat in an imported list.
    std::unordered_multimap<Uuid, std::size_t, UuidHash> byId;
    for (std::size_t i = 0; i < previous.size(); ++i) byId.emplace(previous[i].annotation.id, i);

    items_.clear();
    items_.reserve(annotations.size());
    for (const BoardAnnotation& annotation : annotations) {
        bool reused = false;
        auto [begin, end] = byId.equal_range(annotation.id);
        for (auto it = begin; it != end; ++it) {
            if (previous[it->second].annotation == annotation) {
                items_.push_back(std::move(previous[it->second]));
                byId.erase(it);
                reused = true;
                break;
            }
        }
        if (!reused) {
            items_.push_back(AnnotationRenderItem::build(annotation, size, is3D));
            ++builds_;
        }
    }
    return items_;
}

}  // namespace vantrel

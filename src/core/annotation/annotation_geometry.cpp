// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/annotation/annotation_geometry.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

#include "core/annotation/annotation_text.h"

namespace vantrel {

namespace {

// Reference surface on which model units become points: text em widths are measured per
// 1000 points across and 645 down.
constexpr double kReferenceWidth = 1000;
constexpr double kReferenceHeight = 645;
constexpr double kAnchorLineHeight = 1.35;      // em per line of an anchored note
constexpr double kCommittedLineHeight = 1.4;    // em per wrapped row of a saved note

// `v` limited to [lo, hi]; NaN becomes `lo`.
double clampValue(double v, double lo, double hi) {
    if (!(v >= lo)) return lo;
    return v > hi ? hi : v;
}

double distanceToSegment(Point p, Point from, Point to) {
    const double dx = to.x - from.x;
    const double dy = to.y - from.y;
    const double lengthSquared = dx * dx + dy * dy;
    if (lengthSquared > 1e-10) {
        const double t = clampValue(((p.x - from.x) * dx + (p.y - from.y) * dy) / lengthSquared, 0, 1);
        return std::hypot(p.x - (from.x + t * dx), p.y - (from.y + t * dy));
    }
    return std::hypot(p.x - from.x, p.y - from.y);
}

bool usesFirstAndLast(AnnotationTool kind) {
    switch (kind) {
        case AnnotationTool::line:
        case AnnotationTool::arrow:
        case AnnotationTool::ellipse:
        case AnnotationTool::rectangle:
        case AnnotationTool::text: return true;
        case AnnotationTool::select:
        case AnnotationTool::eraser:
        case AnnotationTool::pencil: return false;
    }
    return false;
}

Rect anchorBox(Point anchor, const std::string& text, double fontSize) {
    const auto lines = AnnotationText::lines(text);
    double widestEm = 1;   // an empty note still gets a box one em wide
    for (auto line : lines) widestEm = std::max(widestEm, AnnotationText::emWidth(line));
    const double size = AnnotationGeometry::effectiveFontSize(fontSize);
    return {anchor.x, anchor.y, size * widestEm / kReferenceWidth,
            size * static_cast<double>(lines.size()) * kAnchorLineHeight / kReferenceHeight};
}

bool contains(Rect r, Point p, double grow) {
    return p.x >= r.minX() - grow && p.x <= r.maxX() + grow && p.y >= r.minY() - grow && p.y <= r.maxY() + grow;
}

}  // namespace

namespace AnnotationGeometry {

std::vector<Point> finitePoints(const BoardAnnotation& annotation) {
    std::vector<Point> result;
    result.reserve(annotation.points.size());
    for (const Point& p : annotation.points)
        if (vantrel::isFinite(p)) result.push_back(p);
    return result;
}

double effectiveFontSize(double fontSize) {
    if (!std::isfinite(fontSize)) return 18;
    return fontSize < 1 ? 1 : fontSize;
}

Rect bounds(const BoardAnnotation& annotation) {
    // Over the finite points in place: a stroke may hold a million.
    const auto& points = annotation.points;
    const auto finite = [](const Point& p) { return vantrel::isFinite(p); };
    const auto first = std::find_if(points.begin(), points.end(), finite);
    if (first == points.end()) return {};
    const auto last = std::find_if(points.rbegin(), points.rend(), finite);
    if (annotation.kind == AnnotationTool::text && &*first == &*last)
        return anchorBox(*first, annotation.text, annotation.style.fontSize);
    if (usesFirstAndLast(annotation.kind)) return Rect::spanning(*first, *last);
    double minX = first->x, maxX = minX, minY = first->y, maxY = minY;
    for (const Point& p : points) {
        if (!finite(p)) continue;
        minX = std::min(minX, p.x);
        maxX = std::max(maxX, p.x);
        minY = std::min(minY, p.y);
        maxY = std::max(maxY, p.y);
    }
    return {minX, minY, maxX - minX, maxY - minY};
}

bool hitTest(const BoardAnnotation& annotation, Point p, double tolerance) {
    if (!vantrel::isFinite(p)) return false;
    const auto points = finitePoints(annotation);
    if (points.empty()) return false;
    const double t = std::isfinite(tolerance) && tolerance >= 0 ? tolerance : 0;
    const Rect box = bounds(annotation);
    if (!contains(box, p, t)) return false;
    const Point first = points.front();
    const Point last = points.back();

    switch (annotation.kind) {
        case AnnotationTool::select:
        case AnnotationTool::eraser: return false;
        case AnnotationTool::pencil:
            if (points.size() == 1) return std::hypot(p.x - first.x, p.y - first.y) <= t;
            for (std::size_t i = 1; i < points.size(); ++i)
                if (distanceToSegment(p, points[i - 1], points[i]) <= t) return true;
            return false;
        case AnnotationTool::line:
        case AnnotationTool::arrow: return distanceToSegment(p, first, last) <= t;
        case AnnotationTool::ellipse: {
            const double rx = box.width / 2;
            const double ry = box.height / 2;
            if (rx <= 1e-7 || ry <= 1e-7) return distanceToSegment(p, first, last) <= t;
            const double dx = p.x - box.midX();
            const double dy = p.y - box.midY();
            const double r = std::hypot(dx / rx, dy / ry);
            if (annotation.style.fill != AnnotationFill::none && r <= 1) return true;
            if (r < 1e-7) return std::min(rx, ry) <= t;
            // Radial projection onto the outline: cheap, and close enough at 9 points.
            const Point onOutline{box.midX() + dx / r, box.midY() + dy / r};
            return std::hypot(p.x - onOutline.x, p.y - onOutline.y) <= t;
        }
        case AnnotationTool::rectangle: {
            if (annotation.style.fill != AnnotationFill::none) return true;
            const Point a{box.minX(), box.minY()}, b{box.maxX(), box.minY()};
            const Point c{box.maxX(), box.maxY()}, d{box.minX(), box.maxY()};
            return distanceToSegment(p, a, b) <= t || distanceToSegment(p, b, c) <= t ||
                   distanceToSegment(p, c, d) <= t || distanceToSegment(p, d, a) <= t;
        }
        case AnnotationTool::text: return true;
    }
    return false;
}

BoardAnnotation translated(const BoardAnnotation& annotation, Point delta) {
    if (!vantrel::isFinite(delta)) return annotation;
    BoardAnnotation result = annotation;
    for (Point& p : result.points) {
        p.x += delta.x;
        p.y += delta.y;
    }
    return result;
}

BoardAnnotation resized(const BoardAnnotation& annotation, Rect from, Rect to) {
    const Rect r0 = from.standardized();
    const Rect r1 = to.standardized();
    if (!r0.isFinite() || !r1.isFinite()) return annotation;
    BoardAnnotation result = annotation;
    if (annotation.kind == AnnotationTool::text && finitePoints(annotation).size() == 1) {
        result.points = {{r1.minX(), r1.minY()}, {r1.maxX(), r1.maxY()}};
        return result;
    }
    for (Point& p : result.points) {
        p.x = r0.width > 1e-7 ? r1.minX() + (p.x - r0.minX()) / r0.width * r1.width : r1.midX();
        p.y = r0.height > 1e-7 ? r1.minY() + (p.y - r0.minY()) / r0.height * r1.height : r1.midY();
    }
    return result;
}

std::array<Point, 4> corners(Rect rect) {
    return {Point{rect.minX(), rect.minY()}, Point{rect.maxX(), rect.minY()}, Point{rect.minX(), rect.maxY()},
            Point{rect.maxX(), rect.maxY()}};
}

std::vector<Point> newTextPoints(Point point) {
    return {point, {std::min(point.x + 0.24, 1.0), std::min(point.y + 0.07, 1.0)}};
}

std::vector<Point> committedTextPoints(Point anchor, std::string_view text, double fontSize) {
    const double size = effectiveFontSize(fontSize);
    std::vector<double> lineWidths;   // points at the reference scale
    if (!text.empty())
        for (auto line : AnnotationText::lines(text)) lineWidths.push_back(AnnotationText::emWidth(line) * size);
    double widest = 0;
    for (double w : lineWidths) widest = std::max(widest, w);
    const double boxWidth = lineWidths.empty() ? 0.14 : clampValue(widest / kReferenceWidth, 0.14, 0.5);
    double rows = 0;
    for (double w : lineWidths) rows += std::max(1.0, std::ceil(w / (boxWidth * kReferenceWidth)));
    const double boxHeight = std::max(rows * size * kCommittedLineHeight / kReferenceHeight, 0.04);
    return {anchor, {std::min(anchor.x + boxWidth, 1.0), std::min(anchor.y + boxHeight, 1.0)}};
}

}  // namespace AnnotationGeometry

Point AnnotationCanvasGeometry::normalise(Point v) const {
    if (!size.isPositive()) return {0.5, 0.5};
    if (is3D) return PitchPerspective{size}.unproject(v);
    return {clampUnit(v.x / size.width, 0, 1), clampUnit(v.y / size.height, 0, 1)};
}

Point AnnotationCanvasGeometry::project(Point p) const {
    if (is3D) return PitchPerspective{size}.project(p);
    return {p.x * size.width, p.y * size.height};
}

double AnnotationCanvasGeometry::hitTolerance() const {
    const double shorter = std::min(size.width, size.height);
    return kHitRadius / (shorter >= 1 ? shorter : 1);
}

std::optional<BoardAnnotation> AnnotationCanvasGeometry::hitAnnotation(Point viewPoint,
                                                                       std::span<const BoardAnnotation> annotations,
                                                                       std::span<const Uuid> skipped) const {
    const Point p = normalise(viewPoint);
    const double tolerance = hitTolerance();
    for (auto it = annotations.rbegin(); it != annotations.rend(); ++it) {
        if (std::find(skipped.begin(), skipped.end(), it->id) != skipped.end()) continue;
        if (AnnotationGeometry::hitTest(*it, p, tolerance)) return *it;
    }
    return std::nullopt;
}

std::optional<int> AnnotationCanvasGeometry::cornerHandle(const BoardAnnotation& selected, Point viewPoint) const {
    const auto corners = AnnotationGeometry::corners(AnnotationGeometry::bounds(selected));
    int nearest = 0;
    double nearestDistance = std::numeric_limits<double>::infinity();
    for (int i = 0; i < 4; ++i) {
        const Point c = project(corners[static_cast<std::size_t>(i)]);
        const double distance = std::hypot(viewPoint.x - c.x, viewPoint.y - c.y);
        if (distance < nearestDistance) {   // strictly: a tie keeps the earlier corner
            nearest = i;
            nearestDistance = distance;
        }
    }
    if (nearestDistance < kHandleRadius) return nearest;
    return std::nullopt;
}

Rect AnnotationCanvasGeometry::resizeBox(Rect startBounds, int corner, Point viewPointer) const {
    const Rect start = startBounds.standardized();
    const Point p = normalise(viewPointer);
    const bool grabsMaxX = corner == 1 || corner == 3;
    const bool grabsMaxY = corner == 2 || corner == 3;
    // Grabbing a maximum side: the minimum stays, the maximum follows the pointer but
    // keeps kMinimumResize (or what is left up to 1) and never passes 1. Mirrored for a
    // minimum side.
    const auto growMax = [](double fixed, double pointer) {
        return std::min(std::max(pointer, fixed + std::min(kMinimumResize, 1 - fixed)), 1.0);
    };
    const auto growMin = [](double fixed, double pointer) {
        return std::max(std::min(pointer, fixed - std::min(kMinimumResize, fixed)), 0.0);
    };
    double minX = start.minX(), maxX = start.maxX(), minY = start.minY(), maxY = start.maxY();
    if (grabsMaxX) maxX = growMax(minX, p.x);
    else minX = growMin(maxX, p.x);
    if (grabsMaxY) maxY = growMax(minY, p.y);
    else minY = growMin(maxY, p.y);
    return Rect{minX, minY, maxX - minX, maxY - minY}.standardized();
}

BoardAnnotation AnnotationCanvasGeometry::resizing(const BoardAnnotation& original, Rect startBounds, int corner,
                                                   Point viewPointer) const {
    if (corner < 0 || corner > 3) return original;
    const Rect start = startBounds.standardized();
    const Rect box = resizeBox(start, corner, viewPointer);
    BoardAnnotation result = AnnotationGeometry::resized(original, start, box);
    if (original.kind == AnnotationTool::text && start.isFinite() && box.isFinite()) {
        const double scale =
            std::min(box.width / std::max(start.width, 0.001), box.height / std::max(start.height, 0.001));
        const double base = AnnotationGeometry::effectiveFontSize(original.style.fontSize);
        result.style.fontSize = clampValue(base * scale, 8, 96);
    }
    return result;
}

Point AnnotationCanvasGeometry::moveDelta(const BoardAnnotation& original, Point viewStart, Point viewPointer) const {
    const Point from = normalise(viewStart);
    const Point to = normalise(viewPointer);
    double dx = to.x - from.x;
    double dy = to.y - from.y;
    const Rect box = AnnotationGeometry::bounds(original);
    if (!box.isFinite()) return {0, 0};
    // For a box on the pitch these are [−minX, 1 − maxX]; the zero bounds keep a box that
    // is already partly off the pitch from jumping when it is merely clicked.
    dx = std::min(std::max(dx, std::min(-box.minX(), 0.0)), std::max(1 - box.maxX(), 0.0));
    dy = std::min(std::max(dy, std::min(-box.minY(), 0.0)), std::max(1 - box.maxY(), 0.0));
    return {dx, dy};
}

BoardAnnotation AnnotationCanvasGeometry::moving(const BoardAnnotation& original, Point viewStart,
                                                 Point viewPointer) const {
    return AnnotationGeometry::translated(original, moveDelta(original, viewStart, viewPointer));
}

Point AnnotationCanvasGeometry::constrainedEndpoint(Point from, Point location, AnnotationTool kind,
                                                    bool shift) const {
    if (!size.isPositive()) return {0.5, 0.5};
    if (!shift || !vantrel::isFinite(from)) return normalise(location);
    const Point start = project(from);
    double dx = location.x - start.x;
    double dy = location.y - start.y;
    if (kind == AnnotationTool::ellipse || kind == AnnotationTool::rectangle) {
        const double m = std::max(std::abs(dx), std::abs(dy));
        dx = std::copysign(m, dx);
        dy = std::copysign(m, dy);
    } else {
        const double length = std::hypot(dx, dy);
        constexpr double step = std::numbers::pi / 4;
        const double angle = std::round(std::atan2(dy, dx) / step) * step;
        dx = length * std::cos(angle);
        dy = length * std::sin(angle);
    }
    return normalise({start.x + dx, start.y + dy});
}

bool AnnotationCanvasGeometry::isLargeEnough(const BoardAnnotation& annotation) const {
    const auto points = AnnotationGeometry::finitePoints(annotation);
    if (annotation.kind == AnnotationTool::pencil) return !points.empty();
    if (points.size() < 2) return false;
    const Point a = project(points.front());
    const Point b = project(points.back());
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    if (annotation.kind == AnnotationTool::ellipse || annotation.kind == AnnotationTool::rectangle)
        return std::abs(dx) > 4 && std::abs(dy) > 4;
    return std::hypot(dx, dy) > 5;
}

bool AnnotationCanvasGeometry::isNewPencilSample(Point lastModelPoint, Point viewLocation) const {
    const Point last = project(lastModelPoint);
    // NaN distances are not "near", so a broken last point never blocks the stroke.
    return !(std::hypot(viewLocation.x - last.x, viewLocation.y - last.y) < kPencilMinimumStep);
}

namespace PencilStabilizer {

Point interior(Point a, Point b, Point c) {
    const double ux = (b.x - a.x) * kReferenceWidth, uy = (b.y - a.y) * kReferenceHeight;
    const double vx = (c.x - b.x) * kReferenceWidth, vy = (c.y - b.y) * kReferenceHeight;
    const double lengthU = std::hypot(ux, uy);
    const double lengthV = std::hypot(vx, vy);
    if (!std::isfinite(lengthU) || !std::isfinite(lengthV) || lengthU <= 0.001 || lengthV <= 0.001) return b;
    // Corners sharper than 60° between samples at least 8 points long are meant.
    if (lengthU >= 8 && lengthV >= 8 && (ux * vx + uy * vy) / (lengthU * lengthV) < 0.5) return b;
    double mx = ((a.x + c.x) / 2 - b.x) * kReferenceWidth * 0.09;
    double my = ((a.y + c.y) / 2 - b.y) * kReferenceHeight * 0.09;
    const double pull = std::hypot(mx, my);
    if (pull > 0.75) {
        mx *= 0.75 / pull;
        my *= 0.75 / pull;
    }
    return {b.x + mx / kReferenceWidth, b.y + my / kReferenceHeight};
}

}  // namespace PencilStabilizer

}  // namespace vantrel

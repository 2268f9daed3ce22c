#include "ui/render/annotation_drawing.h"

#include <QPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>

#include <algorithm>
#include <cmath>

#include "ui/style/studio_style.h"

namespace vantrel {

namespace {

constexpr qreal kSolidFillOpacity = 0.17;
constexpr qreal kHatchFillOpacity = 0.04;
constexpr qreal kHatchGraphiteOpacity = 0.8;
constexpr qreal kShadowFillOpacity = 0.08;
constexpr qreal kShadowEdgeOpacity = 0.3;
constexpr qreal kShadowEdgeWidth = 13;      // view points
constexpr qreal kShadowBlurRadius = 5;      // view points
constexpr qreal kSelectionOpacity = 0.84;
constexpr qreal kHandleSize = 7;
constexpr qreal kHandleRadius = 2;
// How far an item's image reaches past its paths: half the widest grain jitter and the
// grain itself beyond the stroke's half width, in view points.
constexpr qreal kGrainReach = 1.5;
// Images stop this far outside the surface; nothing of an annotation beyond shows anyway.
constexpr qreal kSurfaceMargin = 24;

QColor inkColor(const AnnotationStyle& style) {
    const Rgb c = style.ink();
    return QColor::fromRgbF(static_cast<float>(std::clamp(c.red, 0.0, 1.0)),
                            static_cast<float>(std::clamp(c.green, 0.0, 1.0)),
                            static_cast<float>(std::clamp(c.blue, 0.0, 1.0)));
}

QColor withAlpha(QColor c, qreal alpha) {
    c.setAlphaF(static_cast<float>(alpha));
    return c;
}

// A dash in view points as a pen's pattern, which counts in pen widths.
QList<qreal> penDashes(const std::vector<double>& dash, qreal penWidth) {
    QList<qreal> pattern;
    if (dash.empty() || penWidth <= 0) return pattern;
    for (double d : dash) pattern.append(std::max(d, 0.001) / penWidth);
    if (pattern.size() % 2 == 1) pattern.append(pattern);
    return pattern;
}

QPen graphitePen(const QColor& color, qreal width, const std::vector<double>& dash) {
    QPen pen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    pen.setMiterLimit(10);
    if (!dash.empty()) pen.setDashPattern(penDashes(dash, width));
    return pen;
}

// Coverage of [a0, a1) over pixel [i, i + 1).
inline float overlap(float a0, float a1, int i) {
    return std::max(0.0f, std::min(a1, float(i + 1)) - std::max(a0, float(i)));
}

// Lays the grains of `stroke` as ink into an image in device pixels and draws it, clipped to
// whatever clip the painter holds. A grain is smaller than a pixel at ordinary ratios, so
// each is deposited as its area spread over the pixels its box covers (a box filter), with
// the tone layer's opacity; overlapping grains build up as paint does. That is the picture
// an anti-aliased fill of every little ellipse would give, at a fraction of its cost.
void paintGrains(QPainter& painter, const GraphiteStroke& stroke, const QColor& ink) {
    const QTransform world = painter.worldTransform();
    const qreal dpr = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    if (world.isRotating()) {
        // Not a case the views use; the plain way keeps any transform right.
        painter.setPen(Qt::NoPen);
        for (std::size_t layer = 0; layer < 4; ++layer) {
            QPainterPath path;
            for (const auto& g : stroke.deposits[layer])
                path.addEllipse(QPointF(g.x, g.y), g.width / 2.0, g.height / 2.0);
            painter.fillPath(path, withAlpha(ink, GraphiteStroke::kDepositOpacity[layer]));
        }
        return;
    }
    const qreal sx = world.m11() * dpr, sy = world.m22() * dpr;
    const qreal tx = world.dx() * dpr, ty = world.dy() * dpr;

    float minX = 1e30f, minY = 1e30f, maxX = -1e30f, maxY = -1e30f;
    std::size_t count = 0;
    for (const auto& layer : stroke.deposits)
        for (const auto& g : layer) {
            minX = std::min(minX, g.x - g.width);
            maxX = std::max(maxX, g.x + g.width);
            minY = std::min(minY, g.y - g.height);
            maxY = std::max(maxY, g.y + g.height);
            ++count;
        }
    if (count == 0) return;
    QRect pixels(QPoint(int(std::floor(minX * sx + tx)), int(std::floor(minY * sy + ty))),
                 QPoint(int(std::ceil(maxX * sx + tx)), int(std::ceil(maxY * sy + ty))));
    if (painter.device()) pixels &= QRect(0, 0, painter.device()->width() * int(std::ceil(dpr)) + 1,
                                          painter.device()->height() * int(std::ceil(dpr)) + 1);
    if (pixels.isEmpty()) return;

    const int w = pixels.width(), h = pixels.height();
    std::vector<float> alpha(std::size_t(w) * std::size_t(h), 0.0f);
    const float ox = float(tx) - float(pixels.left()), oy = float(ty) - float(pixels.top());
    constexpr float kQuarterPi = 0.78539816f;
    for (std::size_t layer = 0; layer < 4; ++layer) {
        const float opacity = float(GraphiteStroke::kDepositOpacity[layer]);
        for (const auto& g : stroke.deposits[layer]) {
            const float cx = g.x * float(sx) + ox, cy = g.y * float(sy) + oy;
            const float hw = g.width * float(sx) / 2, hh = g.height * float(sy) / 2;
            const float x0 = cx - hw, x1 = cx + hw, y0 = cy - hh, y1 = cy + hh;
            // The ellipse's share of its bounding box.
            const float density = opacity * kQuarterPi;
            const int i0 = std::max(0, int(std::floor(x0))), i1 = std::min(w - 1, int(std::floor(x1)));
            const int j0 = std::max(0, int(std::floor(y0))), j1 = std::min(h - 1, int(std::floor(y1)));
            for (int j = j0; j <= j1; ++j) {
                const float cyCover = overlap(y0, y1, j);
                if (cyCover <= 0) continue;
                float* row = alpha.data() + std::size_t(j) * std::size_t(w);
                for (int i = i0; i <= i1; ++i) {
                    const float a = std::min(1.0f, density * cyCover * overlap(x0, x1, i));
                    row[i] += a * (1.0f - row[i]);
                }
            }
        }
    }

    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    const float r = float(ink.redF()), gr = float(ink.greenF()), b = float(ink.blueF());
    for (int j = 0; j < h; ++j) {
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(j));
        const float* row = alpha.data() + std::size_t(j) * std::size_t(w);
        for (int i = 0; i < w; ++i) {
            const float a = row[i];
            if (a <= 0) {
                out[i] = 0;
                continue;
            }
            const int ai = std::min(255, int(a * 255.0f + 0.5f));
            out[i] = qRgba(int(r * float(ai) + 0.5f), int(gr * float(ai) + 0.5f), int(b * float(ai) + 0.5f), ai);
        }
    }
    image.setDevicePixelRatio(dpr);
    painter.save();
    painter.resetTransform();
    painter.drawImage(QPointF(pixels.left() / dpr, pixels.top() / dpr), image);
    painter.restore();
}

void drawGraphite(QPainter& painter, const GraphiteStroke& stroke, const QColor& ink, const std::vector<double>& dash) {
    if (stroke.centerline.empty()) return;
    const QPainterPath centerline = AnnotationDrawing::toPainterPath(stroke.centerline);
    painter.save();
    if (!dash.empty()) {
        // Grains only on the dashes: the clip is the dashed centreline, a little wider.
        QPainterPathStroker stroker;
        stroker.setWidth(stroke.clipWidth());
        stroker.setCapStyle(Qt::RoundCap);
        stroker.setJoinStyle(Qt::MiterJoin);
        stroker.setMiterLimit(10);
        stroker.setDashPattern(penDashes(dash, stroke.clipWidth()));
        painter.setClipPath(stroker.createStroke(centerline), Qt::IntersectClip);
    }
    painter.setBrush(Qt::NoBrush);
    painter.setPen(graphitePen(withAlpha(ink, GraphiteStroke::kCenterlineOpacity),
                               stroke.width * GraphiteStroke::kCenterlineWidthFactor, dash));
    painter.drawPath(centerline);
    paintGrains(painter, stroke, ink);
    painter.restore();
}

// A box blur run three times approximates a Gaussian of the given radius. The image is
// one ink at varying alpha, so only alpha is blurred and the ink re-applied.
void blurAlpha(QImage& image, int radius, const QColor& ink) {
    if (radius <= 0 || image.isNull()) return;
    const int w = image.width(), h = image.height();
    std::vector<float> a(std::size_t(w) * std::size_t(h)), tmp(a.size());
    for (int j = 0; j < h; ++j) {
        const auto* in = reinterpret_cast<const QRgb*>(image.constScanLine(j));
        for (int i = 0; i < w; ++i) a[std::size_t(j) * w + i] = float(qAlpha(in[i]));
    }
    const int box = std::max(1, radius / 2);
    const float norm = 1.0f / float(2 * box + 1);
    for (int pass = 0; pass < 3; ++pass) {
        for (int j = 0; j < h; ++j) {
            const float* row = a.data() + std::size_t(j) * w;
            float* out = tmp.data() + std::size_t(j) * w;
            float sum = 0;
            for (int i = -box; i <= box; ++i) sum += row[std::clamp(i, 0, w - 1)];
            for (int i = 0; i < w; ++i) {
                out[i] = sum * norm;
                sum += row[std::min(i + box + 1, w - 1)] - row[std::max(i - box, 0)];
            }
        }
        for (int i = 0; i < w; ++i) {
            float sum = 0;
            for (int j = -box; j <= box; ++j) sum += tmp[std::size_t(std::clamp(j, 0, h - 1)) * w + i];
            for (int j = 0; j < h; ++j) {
                a[std::size_t(j) * w + i] = sum * norm;
                sum += tmp[std::size_t(std::min(j + box + 1, h - 1)) * w + i] - tmp[std::size_t(std::max(j - box, 0)) * w + i];
            }
        }
    }
    const float r = float(ink.redF()), g = float(ink.greenF()), b = float(ink.blueF());
    for (int j = 0; j < h; ++j) {
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(j));
        for (int i = 0; i < w; ++i) {
            const int ai = std::clamp(int(a[std::size_t(j) * w + i] + 0.5f), 0, 255);
            out[i] = qRgba(int(r * float(ai) + 0.5f), int(g * float(ai) + 0.5f), int(b * float(ai) + 0.5f), ai);
        }
    }
}

// The soft inner shadow: the fill path's edge stroked wide and blurred, kept inside the path.
void drawInnerShadow(QPainter& painter, const QPainterPath& fill, const QColor& ink) {
    const qreal dpr = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    const QTransform world = painter.worldTransform();
    const QRectF area = fill.boundingRect().adjusted(-kShadowEdgeWidth, -kShadowEdgeWidth, kShadowEdgeWidth, kShadowEdgeWidth);
    const QRect pixels = QTransform(world).scale(1, 1).mapRect(area).toAlignedRect();
    if (pixels.isEmpty() || world.isRotating()) return;
    QRect devicePixels(QPoint(int(std::floor(pixels.left() * dpr)), int(std::floor(pixels.top() * dpr))),
                       QSize(int(std::ceil(pixels.width() * dpr)) + 1, int(std::ceil(pixels.height() * dpr)) + 1));
    QImage edge(devicePixels.size(), QImage::Format_ARGB32_Premultiplied);
    edge.fill(Qt::transparent);
    {
        QPainter p(&edge);
        p.setRenderHint(QPainter::Antialiasing);
        p.translate(-devicePixels.left(), -devicePixels.top());
        p.scale(dpr, dpr);
        p.setTransform(world, true);
        p.setPen(QPen(ink, kShadowEdgeWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPath(fill);
    }
    blurAlpha(edge, int(std::round(kShadowBlurRadius * dpr)), ink);
    edge.setDevicePixelRatio(dpr);
    painter.save();
    painter.setClipPath(fill, Qt::IntersectClip);
    painter.setOpacity(painter.opacity() * kShadowEdgeOpacity);
    painter.resetTransform();
    painter.drawImage(QPointF(devicePixels.left() / dpr, devicePixels.top() / dpr), edge);
    painter.restore();
}

// Everything of an item that can show, in surface points.
QRectF itemExtent(const AnnotationRenderItem& item) {
    QRectF extent;
    const auto unite = [&](const QRectF& r) { extent = extent.isNull() ? r : extent.united(r); };
    const qreal reach = item.strokeWidth / 2 + kGrainReach;
    if (!item.outline.empty())
        unite(AnnotationDrawing::toPainterPath(item.outline).boundingRect().adjusted(-reach, -reach, reach, reach));
    if (item.arrowHead)
        unite(AnnotationDrawing::toPainterPath(*item.arrowHead).boundingRect().adjusted(-reach, -reach, reach, reach));
    if (item.fillPath) unite(AnnotationDrawing::toPainterPath(*item.fillPath).boundingRect().adjusted(-1, -1, 1, 1));
    if (item.dot) {
        const qreal r = item.dotRadius + 1;
        unite(QRectF(item.dot->x - r, item.dot->y - r, 2 * r, 2 * r));
    }
    if (item.annotation.kind == AnnotationTool::text && !item.annotation.text.empty()) {
        const Rect& t = item.textBounds;
        // Wrapped text may run below its box; let it, up to a few lines.
        unite(QRectF(t.x - 2, t.y - 2, t.width + 4, t.height + item.fontSize * 4 + 4));
    }
    return extent;
}

}  // namespace

QPainterPath AnnotationDrawing::toPainterPath(const RenderPath& path) {
    QPainterPath result;
    for (const auto& e : path.elements) {
        switch (e.verb) {
            case RenderPath::Verb::move: result.moveTo(e.to.x, e.to.y); break;
            case RenderPath::Verb::line: result.lineTo(e.to.x, e.to.y); break;
            case RenderPath::Verb::quad: result.quadTo(e.control1.x, e.control1.y, e.to.x, e.to.y); break;
            case RenderPath::Verb::cubic:
                result.cubicTo(e.control1.x, e.control1.y, e.control2.x, e.control2.y, e.to.x, e.to.y);
                break;
            case RenderPath::Verb::close: result.closeSubpath(); break;
        }
    }
    return result;
}

void AnnotationDrawing::paintItem(QPainter& painter, const AnnotationRenderItem& item) {
    const AnnotationStyle& style = item.annotation.style;
    const QColor ink = inkColor(style);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);

    if (item.annotation.kind == AnnotationTool::text) {
        QFont font = painter.font();
        font.setPixelSize(std::max(1, int(std::lround(item.fontSize))));
        font.setWeight(style.isBold() ? QFont::Bold : QFont::Medium);
        painter.setFont(font);
        painter.setPen(ink);
        const Rect& t = item.textBounds;
        painter.drawText(QRectF(t.x, t.y, t.width, t.height + item.fontSize * 4),
                         Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, QString::fromStdString(item.annotation.text));
        painter.restore();
        return;
    }
    if (item.dot) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(ink);
        painter.drawEllipse(QPointF(item.dot->x, item.dot->y), item.dotRadius, item.dotRadius);
        painter.restore();
        return;
    }
    if (item.fillPath) {
        const QPainterPath fill = toPainterPath(*item.fillPath);
        switch (style.fill) {
            case AnnotationFill::solid: painter.fillPath(fill, withAlpha(ink, kSolidFillOpacity)); break;
            case AnnotationFill::hatch:
                painter.fillPath(fill, withAlpha(ink, kHatchFillOpacity));
                painter.save();
                painter.setClipPath(fill, Qt::IntersectClip);
                painter.setOpacity(painter.opacity() * kHatchGraphiteOpacity);
                drawGraphite(painter, item.hatchGraphite, ink, {});
                painter.restore();
                break;
            case AnnotationFill::shadow:
                painter.fillPath(fill, withAlpha(ink, kShadowFillOpacity));
                drawInnerShadow(painter, fill, ink);
                break;
            case AnnotationFill::none: break;
        }
    }
    drawGraphite(painter, item.graphite, ink, item.dash);
    if (item.arrowGraphite) drawGraphite(painter, *item.arrowGraphite, ink, {});
    painter.restore();
}

void AnnotationDrawing::paintSelection(QPainter& painter, const RenderPath& selection, const std::array<Point, 4>& corners) {
    if (selection.empty()) return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    QPen pen(StudioStyle::withOpacity(StudioStyle::onPitch(), kSelectionOpacity), 1, Qt::CustomDashLine);
    pen.setDashPattern({4, 3});
    pen.setMiterLimit(10);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(toPainterPath(selection));
    painter.setPen(QPen(StudioStyle::pitchShade(), 1.2));
    painter.setBrush(StudioStyle::onPitch());
    for (const Point& c : corners)
        painter.drawRoundedRect(QRectF(c.x - kHandleSize / 2, c.y - kHandleSize / 2, kHandleSize, kHandleSize),
                                kHandleRadius, kHandleRadius);
    painter.restore();
}

AnnotationDrawing::Entry& AnnotationDrawing::entryFor(const BoardAnnotation& annotation, const AnnotationSurface& surface,
                                                      qreal dpr) {
    auto [begin, end] = entries_.equal_range(annotation.id);
    for (auto it = begin; it != end; ++it)
        if (!it->second.used && it->second.annotation == annotation) return it->second;
    // Another version of this annotation (the previous draft) is no longer wanted.
    for (auto it = begin; it != end;) it = it->second.used ? std::next(it) : entries_.erase(it);

    const AnnotationRenderItem item = AnnotationRenderItem::build(annotation, surface.size, surface.is3D);
    Entry entry;
    entry.annotation = annotation;
    entry.selection = item.selection;
    entry.corners = item.selectionCorners;
    const QRectF bounds(QPointF(-kSurfaceMargin, -kSurfaceMargin),
                        QSizeF(surface.size.width + 2 * kSurfaceMargin, surface.size.height + 2 * kSurfaceMargin));
    const QRectF extent = itemExtent(item).intersected(bounds);
    if (!extent.isEmpty()) {
        // Whole device pixels of the view, so the image is drawn without resampling.
        const QRectF inView = extent.translated(surface.origin);
        const QPoint topLeft(int(std::floor(inView.left() * dpr)), int(std::floor(inView.top() * dpr)));
        const QPoint bottomRight(int(std::ceil(inView.right() * dpr)), int(std::ceil(inView.bottom() * dpr)));
        entry.image = QImage(QSize(bottomRight.x() - topLeft.x() + 1, bottomRight.y() - topLeft.y() + 1),
                             QImage::Format_ARGB32_Premultiplied);
        entry.image.setDevicePixelRatio(dpr);
        entry.image.fill(Qt::transparent);
        entry.imageOrigin = QPointF(topLeft.x() / dpr, topLeft.y() / dpr);
        QPainter p(&entry.image);
        p.translate(surface.origin - entry.imageOrigin);
        paintItem(p, item);
        ++imageBuilds_;
    }
    return entries_.emplace(annotation.id, std::move(entry))->second;
}

void AnnotationDrawing::paint(QPainter& painter, const AnnotationSurface& surface) {
    if (surface.isEmpty()) return;
    const qreal dpr = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    if (!(surface == surface_) || dpr != dpr_) {
        entries_.clear();
        surface_ = surface;
        dpr_ = dpr;
    }
    for (auto& [id, entry] : entries_) entry.used = false;

    const std::vector<BoardAnnotation> shown = annotationsToPaint(scene_.annotations, scene_.draft);
    painter.save();
    const Entry* selected = nullptr;
    for (const BoardAnnotation& annotation : shown) {
        Entry& entry = entryFor(annotation, surface, dpr);
        entry.used = true;
        if (!entry.image.isNull()) {
            painter.setOpacity(std::clamp(annotation.style.opacity, 0.0, 1.0));
            painter.drawImage(entry.imageOrigin, entry.image);
        }
        if (scene_.showSelection && scene_.selectedID == annotation.id) selected = &entry;
    }
    painter.setOpacity(1);
    if (selected) {
        painter.translate(surface.origin);
        paintSelection(painter, selected->selection, selected->corners);
    }
    painter.restore();
    for (auto it = entries_.begin(); it != entries_.end();) it = it->second.used ? std::next(it) : entries_.erase(it);
}

QRectF AnnotationDrawing::paintedRect(const Uuid& id) const {
    auto it = entries_.find(id);
    if (it == entries_.end() || it->second.image.isNull()) return {};
    return {it->second.imageOrigin, it->second.image.deviceIndependentSize()};
}

}  // namespace vantrel

// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/render/annotation_drawing.h"

#include <QPaintDevice>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

#include "ui/render/graphite_painting.h"
#include "ui/render/growing_stroke.h"
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

using GraphitePainting::drawGraphite;
using GraphitePainting::inkColor;
using GraphitePainting::withAlpha;

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

// The parts of an image that hold anything, as tiles (whole rows of them merged), so that
// a long thin stroke is drawn without blending the empty rest of its box every frame.
std::vector<QRect> inkedTiles(const QImage& image) {
    constexpr int kTile = 64;
    std::vector<QRect> tiles;
    for (int ty = 0; ty < image.height(); ty += kTile) {
        const int h = std::min(kTile, image.height() - ty);
        QRect run;
        for (int tx = 0; tx < image.width(); tx += kTile) {
            const int w = std::min(kTile, image.width() - tx);
            bool inked = false;
            for (int j = 0; j < h && !inked; ++j) {
                const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(ty + j)) + tx;
                for (int i = 0; i < w; ++i)
                    if (row[i]) {
                        inked = true;
                        break;
                    }
            }
            const QRect tile(tx, ty, w, h);
            if (inked) {
                run = run.isNull() ? tile : run.united(tile);
            } else if (!run.isNull()) {
                tiles.push_back(run);
                run = {};
            }
        }
        if (!run.isNull()) tiles.push_back(run);
    }
    return tiles;
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

void AnnotationDrawing::paintGraphite(QPainter& painter, const GraphiteStroke& stroke, const QColor& ink) {
    drawGraphite(painter, stroke, ink, {});
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

std::multimap<Uuid, AnnotationDrawing::Entry>::iterator AnnotationDrawing::erase(std::multimap<Uuid, Entry>::iterator it) {
    if (!it->second.image.isNull()) cachedPixels_ -= std::size_t(it->second.pixels.width()) * std::size_t(it->second.pixels.height());
    return entries_.erase(it);
}

std::size_t AnnotationDrawing::cachedImages() const {
    return std::size_t(std::count_if(entries_.begin(), entries_.end(), [](const auto& e) { return !e.second.image.isNull(); }));
}

std::vector<QRect> AnnotationDrawing::render(QImage& image, QRect pixels, const AnnotationRenderItem& item,
                                             const AnnotationSurface& surface) {
    {
        QPainter p(&image);
        p.translate(surface.origin - QPointF(pixels.topLeft()) / image.devicePixelRatio());
        paintItem(p, item);
    }
    ++imageBuilds_;
    return inkedTiles(image);
}

bool AnnotationDrawing::drawStroke(QPainter& painter, QRect pixels, const AnnotationRenderItem& item,
                                   const AnnotationSurface& surface, qreal dpr) {
    const bool oneSolidStroke = item.annotation.kind != AnnotationTool::text && !item.dot && !item.fillPath &&
                                !item.arrowGraphite && item.dash.empty();
    if (!oneSolidStroke) return false;
    ++imageBuilds_;
    // The transform and the device render() would give the stroke in an image of `pixels`.
    const QTransform world = QTransform::fromTranslate(surface.origin.x() - pixels.left() / dpr,
                                                       surface.origin.y() - pixels.top() / dpr);
    const auto tiles =
        GraphitePainting::layStroke(item.graphite, world, dpr, GraphitePainting::devicePixels(pixels.width(), pixels.height(), dpr));
    if (!tiles) return true;
    const QImage& image = tiles->colour(inkColor(item.annotation.style), float(GraphiteStroke::kCenterlineOpacity), dpr);
    const QRect inImage(QPoint(0, 0), pixels.size());
    const QPoint box = tiles->pixels().topLeft();
    const QPointF origin = QPointF(pixels.topLeft()) / dpr;
    tiles->forEachRun([&](std::size_t cell) { return tiles->touched(cell); }, [&](const QRect& cells) {
        const QRect shown = cells.translated(box) & inImage;
        if (!shown.isEmpty())
            painter.drawImage(QRectF(origin + QPointF(shown.topLeft()) / dpr, QSizeF(shown.size()) / dpr), image,
                              QRectF(shown.translated(-box)));
    });
    return true;
}

QImage AnnotationDrawing::scratchImage(QRect pixels, qreal dpr) {
    if (scratch_.width() < pixels.width() || scratch_.height() < pixels.height())
        scratch_ = QImage(std::max(scratch_.width(), pixels.width()), std::max(scratch_.height(), pixels.height()),
                          QImage::Format_ARGB32_Premultiplied);
    // The item's own size over the scratch rows, so it is laid exactly as a kept image is.
    QImage image(scratch_.bits(), pixels.width(), pixels.height(), scratch_.bytesPerLine(),
                 QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(dpr);
    image.fill(Qt::transparent);
    return image;
}

AnnotationDrawing::Entry& AnnotationDrawing::entryFor(const BoardAnnotation& annotation, const AnnotationSurface& surface,
                                                      qreal dpr, std::optional<AnnotationRenderItem>& item) {
    const auto keep = [&](Entry& entry) {
        const std::size_t area = std::size_t(entry.pixels.width()) * std::size_t(entry.pixels.height());
        if (entry.pixels.isEmpty() || cachedPixels_ + area > pixelBudget_) return;
        if (!item) item = AnnotationRenderItem::build(annotation, surface.size, surface.is3D);
        entry.image = QImage(entry.pixels.size(), QImage::Format_ARGB32_Premultiplied);
        entry.image.setDevicePixelRatio(dpr);
        entry.image.fill(Qt::transparent);
        entry.tiles = render(entry.image, entry.pixels, *item, surface);
        cachedPixels_ += area;
    };
    auto [begin, end] = entries_.equal_range(annotation.id);
    for (auto it = begin; it != end; ++it)
        if (!it->second.used && it->second.annotation == annotation) {
            // Room may have been freed since it was left out.
            if (it->second.image.isNull()) keep(it->second);
            return it->second;
        }
    // Another version of this annotation (the previous draft) is no longer wanted.
    for (auto it = begin; it != end;) it = it->second.used ? std::next(it) : erase(it);

    item = AnnotationRenderItem::build(annotation, surface.size, surface.is3D);
    Entry entry;
    entry.annotation = annotation;
    entry.selection = item->selection;
    entry.corners = item->selectionCorners;
    const QRectF bounds(QPointF(-kSurfaceMargin, -kSurfaceMargin),
                        QSizeF(surface.size.width + 2 * kSurfaceMargin, surface.size.height + 2 * kSurfaceMargin));
    const QRectF extent = itemExtent(*item).intersected(bounds);
    if (!extent.isEmpty()) {
        // Whole device pixels of the view, so the image is drawn without resampling.
        const QRectF inView = extent.translated(surface.origin);
        const QPoint topLeft(int(std::floor(inView.left() * dpr)), int(std::floor(inView.top() * dpr)));
        const QPoint bottomRight(int(std::ceil(inView.right() * dpr)), int(std::ceil(inView.bottom() * dpr)));
        entry.pixels = QRect(topLeft, bottomRight);
    }
    keep(entry);
    return entries_.emplace(annotation.id, std::move(entry))->second;
}

void AnnotationDrawing::paint(QPainter& painter, const AnnotationSurface& surface) {
    if (surface.isEmpty()) return;
    if (surface.turned) {
        // Drawn upright in the surface's own frame, which the painter turns into place.
        AnnotationSurface upright = surface;
        upright.origin = {};
        upright.turned = false;
        painter.save();
        painter.translate(surface.origin);
        painter.rotate(-90);
        paint(painter, upright);
        painter.restore();
        return;
    }
    const qreal dpr = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    if (!(surface == surface_) || dpr != dpr_) {
        clearCache();
        scratch_ = QImage();
        surface_ = surface;
        dpr_ = dpr;
    }
    for (auto& [id, entry] : entries_) entry.used = false;

    const std::vector<BoardAnnotation> shown = annotationsToPaint(scene_.annotations, scene_.draft);
    bool keepGrowing = false;
    bool scratchUsed = false;
    painter.save();
    std::optional<std::pair<RenderPath, std::array<Point, 4>>> selection;
    for (const BoardAnnotation& annotation : shown) {
        const bool selected = scene_.showSelection && scene_.selectedID == annotation.id;
        const qreal opacity = std::clamp(annotation.style.opacity, 0.0, 1.0);
        if (scene_.draft && annotation == *scene_.draft) {
            // Changes with every pointer move: painted straight, never kept; a growing pencil
            // stroke keeps what of it has settled.
            const bool growing = annotation.kind == AnnotationTool::pencil;
            AnnotationRenderItem item = AnnotationRenderItem::build(
                annotation, surface.size, surface.is3D,
                growing ? AnnotationRenderItem::OutlineGrains::left : AnnotationRenderItem::OutlineGrains::laid);
            painter.save();
            painter.translate(surface.origin);
            painter.setOpacity(opacity);
            if (growing) {
                if (!growing_) growing_ = std::make_unique<GrowingStroke>();
                keepGrowing = true;
                if (!growing_->paint(painter, item, surface)) {
                    item = AnnotationRenderItem::build(annotation, surface.size, surface.is3D);
                    paintItem(painter, item);
                }
            } else {
                paintItem(painter, item);
            }
            painter.restore();
            if (selected) selection.emplace(item.selection, item.selectionCorners);
            continue;
        }
        std::optional<AnnotationRenderItem> item;
        Entry& entry = entryFor(annotation, surface, dpr, item);
        entry.used = true;
        const auto draw = [&](const QImage& image, const std::vector<QRect>& tiles) {
            const QPointF origin = QPointF(entry.pixels.topLeft()) / dpr;
            painter.setOpacity(opacity);
            for (const QRect& tile : tiles)
                painter.drawImage(QRectF(origin + QPointF(tile.topLeft()) / dpr, QSizeF(tile.size()) / dpr), image, QRectF(tile));
        };
        if (!entry.image.isNull()) {
            draw(entry.image, entry.tiles);
        } else if (!entry.pixels.isEmpty()) {
            // Over budget: laid afresh into the scratch and drawn as a kept image would be.
            if (!item) item = AnnotationRenderItem::build(annotation, surface.size, surface.is3D);
            painter.setOpacity(opacity);
            if (!drawStroke(painter, entry.pixels, *item, surface, dpr)) {
                scratchUsed = true;
                QImage image = scratchImage(entry.pixels, dpr);
                const std::vector<QRect> tiles = render(image, entry.pixels, *item, surface);
                draw(image, tiles);
            }
        }
        if (selected) selection.emplace(entry.selection, entry.corners);
    }
    painter.setOpacity(1);
    if (selection) {
        painter.translate(surface.origin);
        paintSelection(painter, selection->first, selection->second);
    }
    painter.restore();
    for (auto it = entries_.begin(); it != entries_.end();) it = it->second.used ? std::next(it) : erase(it);
    if (!keepGrowing) growing_.reset();
    // Held only while some item is over budget.
    if (!scratchUsed) scratch_ = QImage();
}

AnnotationDrawing::AnnotationDrawing() = default;
AnnotationDrawing::~AnnotationDrawing() = default;

QRectF AnnotationDrawing::paintedRect(const Uuid& id) const {
    auto it = entries_.find(id);
    if (it == entries_.end() || it->second.pixels.isEmpty()) return {};
    const QRect& p = it->second.pixels;
    return {QPointF(p.topLeft()) / dpr_, QSizeF(p.size()) / dpr_};
}

}  // namespace vantrel

// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/render/growing_stroke.h"

#include <QPaintDevice>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace vantrel {

using namespace GraphitePainting;

bool AnnotationDrawing::GrowingStroke::paint(QPainter& painter, const AnnotationRenderItem& item,
                                             const AnnotationSurface& surface) {
    if (item.dot || item.outline.empty()) return false;
    const QColor ink = inkColor(item.annotation.style);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);   // the dash clip's edges, as paintItem has them
    clipToDashes(painter, item.graphite, item.dash);
    const bool painted = paintOutline(painter, item, ink, surface.size, surface.is3D);
    painter.restore();
    return painted;
}

bool AnnotationDrawing::GrowingStroke::paintOutline(QPainter& painter, const AnnotationRenderItem& item, const QColor& ink,
                                                    ViewSize surface, bool is3D) {
    const QTransform world = painter.worldTransform();
    const qreal dpr = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    if (world.isRotating() || !painter.device()) return false;
    const RenderPath& outline = item.outline;
    const GraphiteStroke& stroke = item.graphite;
    BoardAnnotation kind = item.annotation;
    kind.points.clear();
    const QRect box = devicePixels(painter, dpr);
    if (!(kind == kind_) || world != world_ || dpr != dpr_ || box != box_ || !(surface == surface_) ||
        is3D != is3D_ || !settledIsPrefixOf(outline)) {
        kind_ = std::move(kind);
        world_ = world;
        dpr_ = dpr;
        box_ = box;
        surface_ = surface;
        is3D_ = is3D;
        settled_.emplace(box);
        elements_.clear();
        walk_ = {};
        image_ = QImage(box.size(), QImage::Format_ARGB32_Premultiplied);
        image_.setDevicePixelRatio(dpr);
        live_.assign(settled_->cells(), 0);
    }
    const PixelScale scale(world, dpr);
    const QTransform toPixels = scale.into(box.topLeft());
    const float half = centrelineHalf(stroke) * float(std::abs(scale.sx));
    const std::uint64_t seed = item.annotation.seed;
    const Rect visible = AnnotationRenderItem::visibleArea(surface);

    const std::size_t count = outline.elements.size();
    const std::size_t settle = count > kLiveElements ? count - kLiveElements : 0;
    if (settle > walk_.elements) {
        const std::size_t from = walk_.elements;
        const auto grains = GraphiteStroke::continueWalk(outline, settle, stroke.width, seed, visible, walk_);
        depositGrains(*settled_, grains.deposits, scale);
        depositCentreline(*settled_, centrelinePieces(outline, toPixels, from, settle), half);
        elements_.insert(elements_.end(), outline.elements.begin() + std::ptrdiff_t(from),
                         outline.elements.begin() + std::ptrdiff_t(settle));
    }
    GrainTiles live(box, &*settled_);
    GraphiteStroke::Walk walk = walk_;
    depositGrains(live, GraphiteStroke::continueWalk(outline, count, stroke.width, seed, visible, walk).deposits, scale);
    depositCentreline(live, centrelinePieces(outline, toPixels, walk_.elements, count), half);

    // A cell is coloured again when its settled coverage grew, when the growing end
    // covers it now, or when it covered it last time and has moved on.
    const float lineOpacity = float(GraphiteStroke::kCenterlineOpacity);
    for (std::size_t cell = 0; cell < live_.size(); ++cell) {
        const bool settledChanged = settled_->takeChanged(cell);
        if (const GrainTiles::Tile* tile = live.tileOf(cell)) {
            live.writeCell(image_, cell, tile, ink, lineOpacity);
            live_[cell] = 1;
        } else if (settledChanged || live_[cell]) {
            settled_->writeCell(image_, cell, settled_->tileOf(cell), ink, lineOpacity);
            live_[cell] = 0;
        }
    }
    settled_->drawCells(painter, image_, dpr, [&](std::size_t cell) {
        return live_[cell] || settled_->tileOf(cell) != nullptr;
    });
    return true;
}

bool AnnotationDrawing::GrowingStroke::settledIsPrefixOf(const RenderPath& outline) const {
    return elements_.size() <= outline.elements.size() &&
           std::equal(elements_.begin(), elements_.end(), outline.elements.begin());
}

}  // namespace vantrel

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPointF>
#include <QRect>
#include <QRectF>
#include <QTransform>

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <limits>
#include <optional>
#include <utility>
#include <vector>

#include "core/annotation/graphite_stroke.h"
#include "core/annotation/render_path.h"
#include "core/model/annotation.h"

// Graphite laid in device pixels rather than filled as shapes: the annotation drawing
// paints whole strokes with it, and the growing pencil stroke keeps its settled coverage
// between pointer moves in the same tiles.
namespace vantrel::GraphitePainting {

// An annotation's ink, its components clamped to 0 … 1.
QColor inkColor(const AnnotationStyle& style);
// `c` with its alpha set to `alpha` (0 … 1).
QColor withAlpha(QColor c, qreal alpha);

// Graphite coverage in device pixels, kept only in the tiles a stroke touches: a long
// stroke crosses a large box but covers little of it, and every pass below (deposit,
// colour, composite) then costs what the stroke covers, not what its box does. Two
// channels: the faint centreline (its coverage, the largest of its pieces, so pieces that
// meet do not darken) and the grains (built up as paint does).
class GrainTiles {
public:
    static constexpr int kTile = 32;
    struct Tile {
        std::array<float, kTile * kTile> line;
        std::array<float, kTile * kTile> grain;
    };

    // With a base, a tile starts as the base's tile of the same place: the coverage of a
    // stroke's settled part with its growing end laid over it.
    explicit GrainTiles(QRect pixels, const GrainTiles* base = nullptr)
        : pixels_(pixels), columns_((pixels.width() + kTile - 1) / kTile), rows_((pixels.height() + kTile - 1) / kTile),
          index_(std::size_t(columns_) * std::size_t(rows_), -1), changed_(index_.size(), 0), base_(base) {}

    QRect pixels() const { return pixels_; }
    int width() const { return pixels_.width(); }
    int height() const { return pixels_.height(); }
    std::size_t cells() const { return index_.size(); }
    const Tile* tileOf(std::size_t cell) const {
        const int slot = index_[cell];
        return slot < 0 ? nullptr : &tiles_[std::size_t(slot)];
    }

    // Pixels are counted from the box's top-left, so never negative.
    std::size_t cellOf(int x, int y) const {
        return std::size_t(unsigned(y) / kTile) * std::size_t(columns_) + std::size_t(unsigned(x) / kTile);
    }
    // The tile of pixel (x, y), made if missing. It stays where it is while the tiles last.
    Tile& tileAt(int x, int y) {
        const std::size_t cell = cellOf(x, y);
        changed_[cell] = 1;
        int& slot = index_[cell];
        if (slot < 0) {
            slot = int(tiles_.size());
            const Tile* from = base_ ? base_->tileOf(cell) : nullptr;
            if (from) tiles_.push_back(*from);
            else tiles_.emplace_back();   // value-initialised: no coverage
        }
        return tiles_[std::size_t(slot)];
    }
    static std::size_t offset(int x, int y) { return std::size_t(unsigned(y) % kTile) * kTile + std::size_t(unsigned(x) % kTile); }

    void deposit(int x, int y, float a) {
        float& value = tileAt(x, y).grain[offset(x, y)];
        value += a * (1.0f - value);
    }
    void line(int x, int y, float a) {
        float& value = tileAt(x, y).line[offset(x, y)];
        value = std::max(value, a);
    }

    // Whether a cell was written since the last call, and the flag cleared.
    bool takeChanged(std::size_t cell) {
        const bool changed = changed_[cell];
        changed_[cell] = 0;
        return changed;
    }

    // Colours one cell of `image` (the box's size) from `tile`, or clears it when null.
    void writeCell(QImage& image, std::size_t cell, const Tile* tile, const QColor& ink, float lineOpacity) const {
        const int tx = int(cell % std::size_t(columns_)) * kTile, ty = int(cell / std::size_t(columns_)) * kTile;
        const int w = std::min(kTile, pixels_.width() - tx), h = std::min(kTile, pixels_.height() - ty);
        const float r = float(ink.redF()), g = float(ink.greenF()), b = float(ink.blueF());
        for (int j = 0; j < h; ++j) {
            auto* out = reinterpret_cast<QRgb*>(image.scanLine(ty + j)) + tx;
            if (!tile) {
                std::fill(out, out + w, 0u);
                continue;
            }
            const float* grains = tile->grain.data() + std::size_t(j) * kTile;
            const float* lines = tile->line.data() + std::size_t(j) * kTile;
            // Most rows of a tile a stroke crosses hold nothing: cleared at once.
            std::uint32_t inked = 0;
            for (int i = 0; i < w; ++i) inked |= std::bit_cast<std::uint32_t>(grains[i]) | std::bit_cast<std::uint32_t>(lines[i]);
            if (inked == 0) {
                std::fill(out, out + w, 0u);
                continue;
            }
            // Without branches, so the row is coloured several pixels at a time; a pixel
            // below half a step of alpha stays clear.
            for (int i = 0; i < w; ++i) {
                const float a = (grains[i] + lines[i] * lineOpacity * (1.0f - grains[i])) * 255.0f;
                const QRgb pixel = qRgba(int(r * a + 0.5f), int(g * a + 0.5f), int(b * a + 0.5f), int(a + 0.5f));
                out[i] = pixel & (0u - QRgb(a >= 0.5f));
            }
        }
    }

    // Hands `run` each row of cells for which `shown(cell)` holds, the cells next to each
    // other joined, as a rectangle of the box's pixels (relative to its top-left).
    template <typename Shown, typename Run>
    void forEachRun(Shown shown, Run run) const {
        for (int row = 0; row < rows_; ++row) {
            int runStart = -1;
            for (int column = 0; column <= columns_; ++column) {
                if (column < columns_ && shown(std::size_t(row) * std::size_t(columns_) + std::size_t(column))) {
                    if (runStart < 0) runStart = column;
                    continue;
                }
                if (runStart < 0) continue;
                const int tx = runStart * kTile, ty = row * kTile;
                run(QRect(tx, ty, std::min(column * kTile, pixels_.width()) - tx, std::min(kTile, pixels_.height() - ty)));
                runStart = -1;
            }
        }
    }

    // Draws the cells for which `shown(cell)` holds from `image`, through the painter (its
    // clip and opacity apply). Shown cells next to each other in a row go out as one image.
    template <typename Shown>
    void drawCells(QPainter& painter, const QImage& image, qreal dpr, Shown shown) const {
        painter.save();
        painter.resetTransform();
        forEachRun(shown, [&](const QRect& cells) {
            painter.drawImage(QRectF((pixels_.left() + cells.left()) / dpr, (pixels_.top() + cells.top()) / dpr,
                                     cells.width() / dpr, cells.height() / dpr),
                              image, QRectF(cells));
        });
        painter.restore();
    }

    // Every touched tile coloured in `ink` (the centreline at `lineOpacity`, the grains over
    // it) into one image shared by all strokes, laid out as the box; only those tiles are
    // written, so what earlier strokes left elsewhere must not be shown.
    const QImage& colour(const QColor& ink, float lineOpacity, qreal dpr) const {
        // Grown as needed: a fresh one per stroke would fault in a box-sized allocation on
        // every pointer move.
        static QImage scratch;
        if (scratch.width() < pixels_.width() || scratch.height() < pixels_.height())
            scratch = QImage(std::max(scratch.width(), pixels_.width()), std::max(scratch.height(), pixels_.height()),
                             QImage::Format_ARGB32_Premultiplied);
        scratch.setDevicePixelRatio(dpr);
        for (std::size_t cell = 0; cell < index_.size(); ++cell)
            if (const Tile* tile = tileOf(cell)) writeCell(scratch, cell, tile, ink, lineOpacity);
        return scratch;
    }
    bool touched(std::size_t cell) const { return index_[cell] >= 0; }

    // Draws every touched tile in `ink`: the centreline at `lineOpacity`, the grains over it.
    void draw(QPainter& painter, const QColor& ink, float lineOpacity, qreal dpr) const {
        if (tiles_.empty()) return;
        drawCells(painter, colour(ink, lineOpacity, dpr), dpr, [this](std::size_t cell) { return touched(cell); });
    }

private:
    QRect pixels_;
    int columns_;
    int rows_;
    std::vector<int> index_;   // per cell: its tile, or -1
    std::vector<std::uint8_t> changed_;
    // A deque, as a stroke round the whole pitch touches hundreds of tiles of 8 KB each,
    // which a growing vector would copy over and over.
    std::deque<Tile> tiles_;
    const GrainTiles* base_;
};

// The centreline of path.elements[first, last) in pieces about 2 points long (curves
// flattened as the grains walk them), in the painter's device pixels.
std::vector<std::pair<QPointF, QPointF>> centrelinePieces(const RenderPath& path, const QTransform& toPixels,
                                                          std::size_t first = 0,
                                                          std::size_t last = std::numeric_limits<std::size_t>::max());

// Where surface points land in device pixels: x · sx + tx, y · sy + ty.
struct PixelScale {
    qreal sx = 1, sy = 1, tx = 0, ty = 0;

    PixelScale(const QTransform& world, qreal dpr)
        : sx(world.m11() * dpr), sy(world.m22() * dpr), tx(world.dx() * dpr), ty(world.dy() * dpr) {}
    // The same map into the pixels of a box whose top-left is `origin`.
    QTransform into(QPoint origin) const { return QTransform(sx, 0, 0, sy, tx - origin.x(), ty - origin.y()); }
};

// Lays grains as ink in device pixels. A grain is smaller than a pixel at ordinary ratios,
// so each is deposited as its area spread over the pixels its box covers (a box filter),
// with the tone layer's opacity; overlapping grains build up as paint does. That is the
// picture an anti-aliased fill of every little ellipse would give, at a fraction of its cost.
void depositGrains(GrainTiles& tiles, const std::array<std::vector<GraphiteGrain>, 4>& deposits, const PixelScale& scale);

// The centreline: each pixel covered as far as it lies within `half` pixels of a piece.
void depositCentreline(GrainTiles& tiles, const std::vector<std::pair<QPointF, QPointF>>& pieces, float half);

// The device's pixels with a little margin: grains beyond cannot show.
QRect devicePixels(const QPainter& painter, qreal dpr);
// The same for a device that reports `width` × `height` (an image reports its pixels).
QRect devicePixels(int width, int height, qreal dpr);

// The grains and the faint centreline of `stroke` laid as coverage in device pixels, as a
// painter with the world transform `world` (not rotating) and `dpr` device pixels per
// point lays them, cut to `device` when given; none when nothing of it lies there.
std::optional<GrainTiles> layStroke(const GraphiteStroke& stroke, const QTransform& world, qreal dpr,
                                    std::optional<QRect> device);

// Half the faint centreline's width, in surface points.
float centrelineHalf(const GraphiteStroke& stroke);

// Grains only on the dashes: the clip is the dashed centreline, a little wider.
void clipToDashes(QPainter& painter, const GraphiteStroke& stroke, const std::vector<double>& dash);

// A graphite stroke in `ink` at the painter's opacity, its grains and centreline cut to
// `dash` (view points; empty for a solid stroke).
void drawGraphite(QPainter& painter, const GraphiteStroke& stroke, const QColor& ink, const std::vector<double>& dash);

}  // namespace vantrel::GraphitePainting

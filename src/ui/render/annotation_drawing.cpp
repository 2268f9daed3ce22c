#include "ui/render/annotation_drawing.h"

#include <QPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

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


// Coverage of [a0, a1) over pixel [i, i + 1).
inline float overlap(float a0, float a1, int i) {
    return std::max(0.0f, std::min(a1, float(i + 1)) - std::max(a0, float(i)));
}

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
          index_(std::size_t(columns_) * std::size_t(rows_), -1), changed_(index_.size(), 0), base_(base) {
        tiles_.reserve(64);
    }

    QRect pixels() const { return pixels_; }
    int width() const { return pixels_.width(); }
    int height() const { return pixels_.height(); }
    std::size_t cells() const { return index_.size(); }
    const Tile* tileOf(std::size_t cell) const {
        const int slot = index_[cell];
        return slot < 0 ? nullptr : &tiles_[std::size_t(slot)];
    }

    Tile& tileAt(int x, int y) {
        const std::size_t cell = std::size_t(y / kTile) * std::size_t(columns_) + std::size_t(x / kTile);
        changed_[cell] = 1;
        int& slot = index_[cell];
        if (slot < 0) {
            slot = int(tiles_.size());
            const Tile* from = base_ ? base_->tileOf(cell) : nullptr;
            tiles_.emplace_back();
            if (from) {
                tiles_.back() = *from;
            } else {
                tiles_.back().line.fill(0.0f);
                tiles_.back().grain.fill(0.0f);
            }
        }
        return tiles_[std::size_t(slot)];
    }
    static std::size_t offset(int x, int y) { return std::size_t(y % kTile) * kTile + std::size_t(x % kTile); }

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
            for (int i = 0; i < w; ++i) {
                const float a = (grains[i] + lines[i] * lineOpacity * (1.0f - grains[i])) * 255.0f;
                out[i] = a < 0.5f ? 0u : qRgba(int(r * a + 0.5f), int(g * a + 0.5f), int(b * a + 0.5f), int(a + 0.5f));
            }
        }
    }

    // Draws the cells for which `shown(cell)` holds from `image`, through the painter (its
    // clip and opacity apply). Shown cells next to each other in a row go out as one image.
    template <typename Shown>
    void drawCells(QPainter& painter, const QImage& image, qreal dpr, Shown shown) const {
        painter.save();
        painter.resetTransform();
        for (int row = 0; row < rows_; ++row) {
            int runStart = -1;
            for (int column = 0; column <= columns_; ++column) {
                if (column < columns_ && shown(std::size_t(row) * std::size_t(columns_) + std::size_t(column))) {
                    if (runStart < 0) runStart = column;
                    continue;
                }
                if (runStart < 0) continue;
                const int tx = runStart * kTile, ty = row * kTile;
                const int w = std::min(column * kTile, pixels_.width()) - tx, h = std::min(kTile, pixels_.height() - ty);
                painter.drawImage(QRectF((pixels_.left() + tx) / dpr, (pixels_.top() + ty) / dpr, w / dpr, h / dpr), image,
                                  QRectF(tx, ty, w, h));
                runStart = -1;
            }
        }
        painter.restore();
    }

    // Draws every touched tile in `ink`: the centreline at `lineOpacity`, the grains over it.
    void draw(QPainter& painter, const QColor& ink, float lineOpacity, qreal dpr) const {
        if (tiles_.empty()) return;
        // One scratch image for every stroke, grown as needed: a fresh one per stroke would
        // fault in a box-sized allocation on every pointer move. Only touched tiles are
        // written and drawn, so what earlier strokes left elsewhere never shows.
        static QImage scratch;
        if (scratch.width() < pixels_.width() || scratch.height() < pixels_.height())
            scratch = QImage(std::max(scratch.width(), pixels_.width()), std::max(scratch.height(), pixels_.height()),
                             QImage::Format_ARGB32_Premultiplied);
        scratch.setDevicePixelRatio(dpr);
        for (std::size_t cell = 0; cell < index_.size(); ++cell)
            if (const Tile* tile = tileOf(cell)) writeCell(scratch, cell, tile, ink, lineOpacity);
        drawCells(painter, scratch, dpr, [this](std::size_t cell) { return index_[cell] >= 0; });
    }

private:
    QRect pixels_;
    int columns_;
    int rows_;
    std::vector<int> index_;   // per cell: its tile, or -1
    std::vector<std::uint8_t> changed_;
    std::vector<Tile> tiles_;
    const GrainTiles* base_;
};

// The centreline of path.elements[first, last) in pieces about 2 points long (curves
// flattened as the grains walk them), in the painter's device pixels.
std::vector<std::pair<QPointF, QPointF>> centrelinePieces(const RenderPath& path, const QTransform& toPixels,
                                                          std::size_t first = 0,
                                                          std::size_t last = std::numeric_limits<std::size_t>::max()) {
    std::vector<std::pair<QPointF, QPointF>> pieces;
    QPointF current, start;
    last = std::min(last, path.elements.size());
    for (std::size_t index = 0; index < last; ++index) {
        const auto& e = path.elements[index];
        const QPointF to(e.to.x, e.to.y);
        // Earlier elements only say where the first one starts.
        const bool laid = index >= first;
        const auto piece = [&](QPointF end) {
            if (laid) pieces.emplace_back(toPixels.map(current), toPixels.map(end));
            current = end;
        };
        switch (e.verb) {
            case RenderPath::Verb::move: current = start = to; break;
            case RenderPath::Verb::line: piece(to); break;
            case RenderPath::Verb::quad:
            case RenderPath::Verb::cubic: {
                if (!laid) {
                    current = to;
                    break;
                }
                const QPointF c1(e.control1.x, e.control1.y);
                const QPointF c2 = e.verb == RenderPath::Verb::cubic ? QPointF(e.control2.x, e.control2.y) : c1;
                const QPointF p0 = current;
                const double reach = QLineF(p0, to).length() + QLineF(p0, c1).length() + QLineF(c1, c2).length() +
                                     QLineF(c2, to).length();
                const int n = std::clamp(int(std::ceil(reach / 4)), 1, 4096);
                for (int k = 1; k <= n; ++k) {
                    const double t = double(k) / n, u = 1 - t;
                    QPointF p;
                    if (e.verb == RenderPath::Verb::quad) p = u * u * p0 + 2 * u * t * c1 + t * t * to;
                    else p = u * u * u * p0 + 3 * u * u * t * c1 + 3 * u * t * t * c2 + t * t * t * to;
                    piece(p);
                }
                break;
            }
            case RenderPath::Verb::close: piece(start); break;
        }
    }
    return pieces;
}

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
void depositGrains(GrainTiles& tiles, const std::array<std::vector<GraphiteGrain>, 4>& deposits, const PixelScale& scale) {
    const int w = tiles.width(), h = tiles.height();
    const float ox = float(scale.tx) - float(tiles.pixels().left()), oy = float(scale.ty) - float(tiles.pixels().top());
    const float fsx = float(scale.sx), fsy = float(scale.sy);
    constexpr float kQuarterPi = 0.78539816f;   // an ellipse's share of its bounding box
    for (std::size_t layer = 0; layer < 4; ++layer) {
        const float density = float(GraphiteStroke::kDepositOpacity[layer]) * kQuarterPi;
        for (const auto& g : deposits[layer]) {
            const float cx = g.x * fsx + ox, cy = g.y * fsy + oy;
            const float hw = std::abs(g.width * fsx) / 2, hh = std::abs(g.height * fsy) / 2;
            const float x0 = cx - hw, x1 = cx + hw, y0 = cy - hh, y1 = cy + hh;
            const int i0 = std::max(0, int(std::floor(x0))), i1 = std::min(w - 1, int(std::floor(x1)));
            const int j0 = std::max(0, int(std::floor(y0))), j1 = std::min(h - 1, int(std::floor(y1)));
            if (i0 > i1 || j0 > j1) continue;
            // Nearly every grain falls inside one tile: find it once.
            const bool oneTile = i0 / GrainTiles::kTile == i1 / GrainTiles::kTile && j0 / GrainTiles::kTile == j1 / GrainTiles::kTile;
            float* grains = oneTile ? tiles.tileAt(i0, j0).grain.data() : nullptr;
            for (int j = j0; j <= j1; ++j) {
                const float cover = density * overlap(y0, y1, j);
                if (cover <= 0) continue;
                for (int i = i0; i <= i1; ++i) {
                    const float a = std::min(1.0f, cover * overlap(x0, x1, i));
                    if (a <= 0) continue;
                    if (grains) {
                        float& value = grains[GrainTiles::offset(i, j)];
                        value += a * (1.0f - value);
                    } else {
                        tiles.deposit(i, j, a);
                    }
                }
            }
        }
    }
}

// The centreline: each pixel covered as far as it lies within `half` pixels of a piece.
void depositCentreline(GrainTiles& tiles, const std::vector<std::pair<QPointF, QPointF>>& pieces, float half) {
    const int w = tiles.width(), h = tiles.height();
    for (const auto& [a, b] : pieces) {
        const float ax = float(a.x()), ay = float(a.y()), bx = float(b.x()), by = float(b.y());
        const float dx = bx - ax, dy = by - ay, length2 = dx * dx + dy * dy;
        const int i0 = std::max(0, int(std::floor(std::min(ax, bx) - half - 1)));
        const int i1 = std::min(w - 1, int(std::ceil(std::max(ax, bx) + half + 1)));
        const int j0 = std::max(0, int(std::floor(std::min(ay, by) - half - 1)));
        const int j1 = std::min(h - 1, int(std::ceil(std::max(ay, by) + half + 1)));
        if (i0 > i1 || j0 > j1) continue;
        const bool oneTile = i0 / GrainTiles::kTile == i1 / GrainTiles::kTile && j0 / GrainTiles::kTile == j1 / GrainTiles::kTile;
        float* lines = oneTile ? tiles.tileAt(i0, j0).line.data() : nullptr;
        const float inverse = length2 > 1e-6f ? 1.0f / length2 : 0.0f;
        const float reach2 = (half + 0.5f) * (half + 0.5f);
        for (int j = j0; j <= j1; ++j)
            for (int i = i0; i <= i1; ++i) {
                const float px = float(i) + 0.5f - ax, py = float(j) + 0.5f - ay;
                const float t = std::clamp((px * dx + py * dy) * inverse, 0.0f, 1.0f);
                const float ex = px - t * dx, ey = py - t * dy;
                const float d2 = ex * ex + ey * ey;
                if (d2 >= reach2) continue;
                const float cover = std::min(1.0f, half + 0.5f - std::sqrt(d2));
                if (lines) {
                    float& value = lines[GrainTiles::offset(i, j)];
                    value = std::max(value, cover);
                } else {
                    tiles.line(i, j, cover);
                }
            }
    }
}

// The device's pixels with a little margin: grains beyond cannot show.
QRect devicePixels(const QPainter& painter, qreal dpr) {
    const QPaintDevice* device = painter.device();
    if (!device) return {};
    return QRect(-2, -2, int(std::ceil(device->width() * dpr)) + 4, int(std::ceil(device->height() * dpr)) + 4);
}

float centrelineHalf(const GraphiteStroke& stroke) { return float(stroke.width * GraphiteStroke::kCenterlineWidthFactor / 2); }

// The fallback for a rotated painter, which the views never use: every grain an ellipse.
void fillGrainEllipses(QPainter& painter, const GraphiteStroke& stroke, const QColor& ink) {
    painter.setPen(Qt::NoPen);
    for (std::size_t layer = 0; layer < 4; ++layer) {
        QPainterPath path;
        for (const auto& g : stroke.deposits[layer]) path.addEllipse(QPointF(g.x, g.y), g.width / 2.0, g.height / 2.0);
        painter.fillPath(path, withAlpha(ink, GraphiteStroke::kDepositOpacity[layer]));
    }
}

// Lays the grains and the faint centreline of `stroke` as ink in device pixels and draws
// them, clipped to whatever clip the painter holds.
void paintGrains(QPainter& painter, const GraphiteStroke& stroke, const QColor& ink) {
    if (stroke.centerline.empty()) return;
    const QTransform world = painter.worldTransform();
    const qreal dpr = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    if (world.isRotating()) return fillGrainEllipses(painter, stroke, ink);
    const PixelScale scale(world, dpr);

    const float lineHalf = centrelineHalf(stroke);
    const QRectF lineBox = AnnotationDrawing::toPainterPath(stroke.centerline).controlPointRect();
    float minX = float(lineBox.left()) - lineHalf - 1;
    float minY = float(lineBox.top()) - lineHalf - 1;
    float maxX = float(lineBox.right()) + lineHalf + 1;
    float maxY = float(lineBox.bottom()) + lineHalf + 1;
    for (const auto& layer : stroke.deposits)
        for (const auto& g : layer) {
            minX = std::min(minX, g.x - g.width);
            maxX = std::max(maxX, g.x + g.width);
            minY = std::min(minY, g.y - g.height);
            maxY = std::max(maxY, g.y + g.height);
        }
    if (minX > maxX) return;
    const qreal sx = scale.sx, sy = scale.sy, tx = scale.tx, ty = scale.ty;
    QRect pixels(QPoint(int(std::floor(std::min(minX * sx, maxX * sx) + tx)), int(std::floor(std::min(minY * sy, maxY * sy) + ty))),
                 QPoint(int(std::ceil(std::max(minX * sx, maxX * sx) + tx)), int(std::ceil(std::max(minY * sy, maxY * sy) + ty))));
    if (painter.device()) pixels &= devicePixels(painter, dpr);
    if (pixels.isEmpty()) return;

    GrainTiles tiles(pixels);
    depositGrains(tiles, stroke.deposits, scale);
    depositCentreline(tiles, centrelinePieces(stroke.centerline, scale.into(pixels.topLeft())), lineHalf * float(std::abs(sx)));
    tiles.draw(painter, ink, float(GraphiteStroke::kCenterlineOpacity), dpr);
}


// Grains only on the dashes: the clip is the dashed centreline, a little wider.
void clipToDashes(QPainter& painter, const GraphiteStroke& stroke, const std::vector<double>& dash) {
    if (dash.empty()) return;
    QPainterPathStroker stroker;
    stroker.setWidth(stroke.clipWidth());
    stroker.setCapStyle(Qt::RoundCap);
    stroker.setJoinStyle(Qt::MiterJoin);
    stroker.setMiterLimit(10);
    stroker.setDashPattern(penDashes(dash, stroke.clipWidth()));
    painter.setClipPath(stroker.createStroke(AnnotationDrawing::toPainterPath(stroke.centerline)), Qt::IntersectClip);
}

void drawGraphite(QPainter& painter, const GraphiteStroke& stroke, const QColor& ink, const std::vector<double>& dash) {
    if (stroke.centerline.empty()) return;
    painter.save();
    // The faint centreline is laid with the grains; under a dash the clip cuts both.
    clipToDashes(painter, stroke, dash);
    paintGrains(painter, stroke, ink);
    painter.restore();
}

}  // namespace

// A pencil stroke being drawn grows at its end, and every earlier piece of it keeps its
// grains: a sample's wobble settles once three more follow it, and the grain walk can be
// resumed. So the settled part's coverage is kept between pointer moves and only the last
// few pieces are laid again, over a copy of the tiles they touch; the picture is the one
// the whole stroke would give.
class AnnotationDrawing::GrowingStroke {
public:
    // Elements at the end of the outline laid afresh on every move: the last four change
    // as samples are added; the rest is margin.
    static constexpr std::size_t kLiveElements = 8;

    // Paints a pencil draft (`item` built with its outline's grains left to the painter)
    // at full opacity; false when the painter's transform is not one this can follow.
    bool paint(QPainter& painter, const AnnotationRenderItem& item, const AnnotationSurface& surface) {
        if (item.dot || item.outline.empty()) return false;
        const QColor ink = inkColor(item.annotation.style);
        painter.save();
        painter.setRenderHint(QPainter::Antialiasing);   // the dash clip's edges, as paintItem has them
        clipToDashes(painter, item.graphite, item.dash);
        const bool painted = paintOutline(painter, item, ink, surface.size, surface.is3D);
        painter.restore();
        return painted;
    }

private:
    bool paintOutline(QPainter& painter, const AnnotationRenderItem& item, const QColor& ink, ViewSize surface, bool is3D) {
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

    bool settledIsPrefixOf(const RenderPath& outline) const {
        return elements_.size() <= outline.elements.size() &&
               std::equal(elements_.begin(), elements_.end(), outline.elements.begin());
    }

    BoardAnnotation kind_;   // the draft without its points: id, tool, style, seed
    QTransform world_;
    qreal dpr_ = 0;
    QRect box_;
    ViewSize surface_;
    bool is3D_ = false;
    std::optional<GrainTiles> settled_;
    std::vector<RenderPath::Element> elements_;   // the outline's settled elements
    GraphiteStroke::Walk walk_;                   // where the walk stands after them
    QImage image_;                                // device pixels of `box_`, coloured per cell
    std::vector<std::uint8_t> live_;              // cells whose image shows the growing end
};

namespace {

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
        {
            QPainter p(&entry.image);
            p.translate(surface.origin - entry.imageOrigin);
            paintItem(p, item);
        }
        entry.tiles = inkedTiles(entry.image);
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
    bool keepGrowing = false;
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
        Entry& entry = entryFor(annotation, surface, dpr);
        entry.used = true;
        if (!entry.image.isNull()) {
            painter.setOpacity(opacity);
            for (const QRect& tile : entry.tiles)
                painter.drawImage(QRectF(entry.imageOrigin + QPointF(tile.topLeft()) / dpr, QSizeF(tile.size()) / dpr),
                                  entry.image, QRectF(tile));
        }
        if (selected) selection.emplace(entry.selection, entry.corners);
    }
    painter.setOpacity(1);
    if (selection) {
        painter.translate(surface.origin);
        paintSelection(painter, selection->first, selection->second);
    }
    painter.restore();
    for (auto it = entries_.begin(); it != entries_.end();) it = it->second.used ? std::next(it) : entries_.erase(it);
    if (!keepGrowing) growing_.reset();
}

AnnotationDrawing::AnnotationDrawing() = default;
AnnotationDrawing::~AnnotationDrawing() = default;

QRectF AnnotationDrawing::paintedRect(const Uuid& id) const {
    auto it = entries_.find(id);
    if (it == entries_.end() || it->second.image.isNull()) return {};
    return {it->second.imageOrigin, it->second.image.deviceIndependentSize()};
}

}  // namespace vantrel

// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/render/graphite_painting.h"

#include <QLineF>
#include <QPaintDevice>
#include <QPainterPath>
#include <QPainterPathStroker>

#include <cmath>
#include <cstring>
#include <limits>

#include "ui/render/annotation_drawing.h"

namespace vantrel::GraphitePainting {

namespace {

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

// Four floats at once (a GCC and Clang vector): graphite is laid four pixels of a row at a
// time, each lane computed as the scalar code computes one pixel, to the same bits.
using Float4 = float __attribute__((vector_size(16)));
constexpr Float4 kLanes{0.0f, 1.0f, 2.0f, 3.0f};

// `overlap` of four pixels from `pixel` on: std::min and std::max written out.
inline Float4 overlap4(float a0, float a1, Float4 pixel) {
    const Float4 end = pixel + 1.0f;
    const Float4 d = (end < a1 ? end : a1) - (a0 < pixel ? pixel : a0);
    return 0.0f < d ? d : 0.0f;
}

// Whether any lane is above zero (the lanes are never negative).
inline bool anyPositive(Float4 v) { return v[0] > 0 || v[1] > 0 || v[2] > 0 || v[3] > 0; }

// ⌊v⌋ for v in the range of int, in a form the compiler lays several at a time.
inline int floorToInt(float v) {
    const int t = int(v);
    return t - int(float(t) > v);
}

}  // namespace

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

// The centreline of path.elements[first, last) in pieces about 2 points long (curves
// flattened as the grains walk them), in the painter's device pixels.
std::vector<std::pair<QPointF, QPointF>> centrelinePieces(const RenderPath& path, const QTransform& toPixels, std::size_t first,
                                                          std::size_t last) {
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

// Lays grains as ink in device pixels. A grain is smaller than a pixel at ordinary ratios,
// so each is deposited as its area spread over the pixels its box covers (a box filter),
// with the tone layer's opacity; overlapping grains build up as paint does. That is the
// picture an anti-aliased fill of every little ellipse would give, at a fraction of its cost.
void depositGrains(GrainTiles& tiles, const std::array<std::vector<GraphiteGrain>, 4>& deposits, const PixelScale& scale) {
    constexpr int kTile = GrainTiles::kTile;
    const int w = tiles.width(), h = tiles.height();
    const float ox = float(scale.tx) - float(tiles.pixels().left()), oy = float(scale.ty) - float(tiles.pixels().top());
    const float fsx = float(scale.sx), fsy = float(scale.sy);
    constexpr float kQuarterPi = 0.78539816f;   // an ellipse's share of its bounding box
    // Grains are placed a batch at a time, several at once, and laid one by one in their
    // order, which is what the picture depends on. Placed: the box, and for a grain of
    // at most 3 × 3 pixels its coverage of the 4 × 3 pixels from (left, top), kept inside
    // the tile of (i0, j0), the pixels it does not cover given nothing.
    constexpr std::size_t kBatch = 256;
    std::array<float, kBatch> x0s, x1s, y0s, y1s;
    std::array<int, kBatch> i0s, i1s, j0s, j1s, lefts, tops;
    std::array<std::array<float, kBatch>, 4> across;
    std::array<std::array<float, kBatch>, 3> down;
    // Grains follow the stroke, so most fall in the tile of the grain before.
    std::size_t lastCell = std::numeric_limits<std::size_t>::max();
    float* lastGrains = nullptr;
    for (std::size_t layer = 0; layer < 4; ++layer) {
        const float density = float(GraphiteStroke::kDepositOpacity[layer]) * kQuarterPi;
        const std::vector<GraphiteGrain>& grains = deposits[layer];
        for (std::size_t first = 0; first < grains.size(); first += kBatch) {
            const std::size_t count = std::min(kBatch, grains.size() - first);
            const GraphiteGrain* batch = grains.data() + first;
            for (std::size_t n = 0; n < count; ++n) {
                const GraphiteGrain& g = batch[n];
                const float cx = g.x * fsx + ox, cy = g.y * fsy + oy;
                const float hw = std::abs(g.width * fsx) / 2, hh = std::abs(g.height * fsy) / 2;
                const float x0 = cx - hw, x1 = cx + hw, y0 = cy - hh, y1 = cy + hh;
                const int i0 = std::max(0, floorToInt(x0)), i1 = std::min(w - 1, floorToInt(x1));
                const int j0 = std::max(0, floorToInt(y0)), j1 = std::min(h - 1, floorToInt(y1));
                const int left = i0 - std::max(0, i0 % kTile - (kTile - 4));
                const int top = j0 - std::max(0, j0 % kTile - (kTile - 3));
                for (int k = 0; k < 4; ++k) {
                    const float cover = overlap(x0, x1, left + k);
                    across[std::size_t(k)][n] = (left + k >= i0) & (left + k <= i1) ? cover : 0.0f;
                }
                for (int k = 0; k < 3; ++k) {
                    const float cover = overlap(y0, y1, top + k);
                    down[std::size_t(k)][n] = density * ((top + k >= j0) & (top + k <= j1) ? cover : 0.0f);
                }
                x0s[n] = x0, x1s[n] = x1, y0s[n] = y0, y1s[n] = y1;
                i0s[n] = i0, i1s[n] = i1, j0s[n] = j0, j1s[n] = j1, lefts[n] = left, tops[n] = top;
            }
            for (std::size_t n = 0; n < count; ++n) {
                const float x0 = x0s[n], x1 = x1s[n], y0 = y0s[n], y1 = y1s[n];
                const int i0 = i0s[n], i1 = i1s[n], j0 = j0s[n], j1 = j1s[n];
                if (i0 > i1 || j0 > j1) continue;
                if (i1 - i0 <= 2 && j1 - j0 <= 2 && i0 / kTile == i1 / kTile && j0 / kTile == j1 / kTile) {
                    // Nearly every grain: four pixels of a row at a time, those it does not
                    // cover staying exactly as they were (v + 0 · (1 − v) = v).
                    const std::size_t cell = tiles.cellOf(i0, j0);
                    if (cell != lastCell) {
                        lastGrains = tiles.tileAt(i0, j0).grain.data();
                        lastCell = cell;
                    }
                    const Float4 row{across[0][n], across[1][n], across[2][n], across[3][n]};
                    float* pixels = lastGrains + GrainTiles::offset(lefts[n], tops[n]);
                    for (std::size_t k = 0; k < 3; ++k, pixels += kTile) {
                        Float4 value;
                        std::memcpy(&value, pixels, sizeof value);
                        const Float4 a = down[k][n] * row;
                        value += (a < 1.0f ? a : 1.0f) * (1.0f - value);
                        std::memcpy(pixels, &value, sizeof value);
                    }
                    continue;
                }
                if (i1 - i0 <= 2 && j1 - j0 <= 2) {
                    // Across tiles (rarely): laid in each as above, a tile made only when
                    // the grain gives it something, as the pixel-wise walk below (see the
                    // centreline for why).
                    const auto lay = [&](int a0, int a1, int b0, int b1) {
                        // The 4 × 3 pixels from (left, top), kept inside the tile.
                        const int left = a0 - std::max(0, a0 % kTile - (kTile - 4));
                        const int top = b0 - std::max(0, b0 % kTile - (kTile - 3));
                        const Float4 column = float(left) + kLanes, row = float(top) + kLanes;
                        const Float4 across =
                            ((column >= float(a0)) & (column <= float(a1))) ? overlap4(x0, x1, column) : Float4{};
                        const Float4 down =
                            ((row >= float(b0)) & (row <= float(b1))) ? density * overlap4(y0, y1, row) : Float4{};
                        std::array<Float4, 3> a;
                        for (std::size_t k = 0; k < 3; ++k) a[k] = down[k] * across;
                        if (!anyPositive(a[0] + a[1] + a[2])) return;
                        const std::size_t cell = tiles.cellOf(a0, b0);
                        if (cell != lastCell) {
                            lastGrains = tiles.tileAt(a0, b0).grain.data();
                            lastCell = cell;
                        }
                        float* pixels = lastGrains + GrainTiles::offset(left, top);
                        for (std::size_t k = 0; k < 3; ++k, pixels += kTile) {
                            Float4 value;
                            std::memcpy(&value, pixels, sizeof value);
                            value += (a[k] < 1.0f ? a[k] : 1.0f) * (1.0f - value);
                            std::memcpy(pixels, &value, sizeof value);
                        }
                    };
                    for (int ty = j0 / kTile; ty <= j1 / kTile; ++ty)
                        for (int tx = i0 / kTile; tx <= i1 / kTile; ++tx)
                            lay(std::max(i0, tx * kTile), std::min(i1, tx * kTile + kTile - 1), std::max(j0, ty * kTile),
                                std::min(j1, ty * kTile + kTile - 1));
                    continue;
                }
                const bool oneTile = i0 / kTile == i1 / kTile && j0 / kTile == j1 / kTile;
                float* inTile = oneTile ? tiles.tileAt(i0, j0).grain.data() : nullptr;
                for (int j = j0; j <= j1; ++j) {
                    const float cover = density * overlap(y0, y1, j);
                    if (cover <= 0) continue;
                    for (int i = i0; i <= i1; ++i) {
                        const float a = std::min(1.0f, cover * overlap(x0, x1, i));
                        if (a <= 0) continue;
                        if (inTile) {
                            float& value = inTile[GrainTiles::offset(i, j)];
                            value += a * (1.0f - value);
                        } else {
                            tiles.deposit(i, j, a);
                        }
                    }
                }
            }
        }
    }
}

// The centreline: each pixel covered as far as it lies within `half` pixels of a piece.
void depositCentreline(GrainTiles& tiles, const std::vector<std::pair<QPointF, QPointF>>& pieces, float half) {
    constexpr int kTile = GrainTiles::kTile;
    const int w = tiles.width(), h = tiles.height();
    const float reach = half + 0.5f, reach2 = reach * reach;
    std::size_t lastCell = std::numeric_limits<std::size_t>::max();
    float* lastLines = nullptr;
    const auto lines = [&](int x, int y) {
        if (const std::size_t cell = tiles.cellOf(x, y); cell != lastCell) {
            lastLines = tiles.tileAt(x, y).line.data();
            lastCell = cell;
        }
        return lastLines;
    };
    for (const auto& [a, b] : pieces) {
        const float ax = float(a.x()), ay = float(a.y()), bx = float(b.x()), by = float(b.y());
        const float dx = bx - ax, dy = by - ay, length2 = dx * dx + dy * dy;
        const int i0 = std::max(0, int(std::floor(std::min(ax, bx) - half - 1)));
        const int i1 = std::min(w - 1, int(std::ceil(std::max(ax, bx) + half + 1)));
        const int j0 = std::max(0, int(std::floor(std::min(ay, by) - half - 1)));
        const int j1 = std::min(h - 1, int(std::ceil(std::max(ay, by) + half + 1)));
        if (i0 > i1 || j0 > j1) continue;
        const float inverse = length2 > 1e-6f ? 1.0f / length2 : 0.0f;
        // The tiles made decide the cells drawn, and an empty cell drawn under a dash's clip
        // still shifts the clip's soft edge by a step: a piece within one tile makes that
        // tile, a piece across tiles only those it reaches.
        const bool split = i0 / kTile != i1 / kTile || j0 / kTile != j1 / kTile;
        if (!split) lines(i0, j0);
        // Rows and columns whose pixel centres lie a quarter pixel or more beyond reach of
        // the piece are out of reach whatever the rounding, and are not walked.
        const int left = std::max(i0, int(std::ceil(std::min(ax, bx) - reach - 0.75f)));
        const int right = std::min(i1, int(std::floor(std::max(ax, bx) + reach - 0.25f)));
        const int first = std::max(j0, int(std::ceil(std::min(ay, by) - reach - 0.75f)));
        const int last = std::min(j1, int(std::floor(std::max(ay, by) + reach - 0.25f)));
        // Tile by tile, four pixels of a row at a time from a multiple of four. A pixel out
        // of reach or outside the box is given nothing, which leaves its coverage (never
        // negative) as it was.
        for (int ty = first / kTile; ty <= last / kTile; ++ty)
            for (int tx = left / kTile; tx <= right / kTile; ++tx) {
                const int from = std::max(left, tx * kTile) / 4 * 4, to = std::min(right, tx * kTile + kTile - 1);
                const int top = std::max(first, ty * kTile), bottom = std::min(last, ty * kTile + kTile - 1);
                float* tile = split ? nullptr : lines(from, top);
                for (int j = top; j <= bottom; ++j) {
                    const float py = float(j) + 0.5f - ay;
                    for (int i = from; i <= to; i += 4) {
                        const Float4 column = float(i) + kLanes;
                        const Float4 px = column + 0.5f - ax;
                        Float4 t = (px * dx + py * dy) * inverse;
                        t = t < 0.0f ? 0.0f : t;
                        t = 1.0f < t ? 1.0f : t;
                        const Float4 ex = px - t * dx, ey = py - t * dy;
                        const Float4 d2 = ex * ex + ey * ey;
                        Float4 root;
                        for (int k = 0; k < 4; ++k) root[k] = std::sqrt(d2[k]);
                        Float4 cover = reach - root;
                        cover = cover < 1.0f ? cover : 1.0f;
                        const auto reached = (d2 < reach2) & (column >= float(i0)) & (column <= float(i1));
                        if (!tile) {
                            if (!(reached[0] | reached[1] | reached[2] | reached[3])) continue;
                            tile = lines(from, top);
                        }
                        cover = reached ? cover : 0.0f;
                        float* row = tile + GrainTiles::offset(i, j);
                        Float4 value;
                        std::memcpy(&value, row, sizeof value);
                        value = value < cover ? cover : value;
                        std::memcpy(row, &value, sizeof value);
                    }
                }
            }
    }
}

// The device's pixels with a little margin: grains beyond cannot show.
QRect devicePixels(const QPainter& painter, qreal dpr) {
    const QPaintDevice* device = painter.device();
    if (!device) return {};
    return devicePixels(device->width(), device->height(), dpr);
}

QRect devicePixels(int width, int height, qreal dpr) {
    return QRect(-2, -2, int(std::ceil(width * dpr)) + 4, int(std::ceil(height * dpr)) + 4);
}

float centrelineHalf(const GraphiteStroke& stroke) { return float(stroke.width * GraphiteStroke::kCenterlineWidthFactor / 2); }

std::optional<GrainTiles> layStroke(const GraphiteStroke& stroke, const QTransform& world, qreal dpr,
                                   std::optional<QRect> device) {
    if (stroke.centerline.empty()) return std::nullopt;
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
    if (minX > maxX) return std::nullopt;
    const qreal sx = scale.sx, sy = scale.sy, tx = scale.tx, ty = scale.ty;
    QRect pixels(QPoint(int(std::floor(std::min(minX * sx, maxX * sx) + tx)), int(std::floor(std::min(minY * sy, maxY * sy) + ty))),
                 QPoint(int(std::ceil(std::max(minX * sx, maxX * sx) + tx)), int(std::ceil(std::max(minY * sy, maxY * sy) + ty))));
    if (device) pixels &= *device;
    if (pixels.isEmpty()) return std::nullopt;

    std::optional<GrainTiles> tiles(std::in_place, pixels);
    depositGrains(*tiles, stroke.deposits, scale);
    depositCentreline(*tiles, centrelinePieces(stroke.centerline, scale.into(pixels.topLeft())), lineHalf * float(std::abs(sx)));
    return tiles;
}

namespace {

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
    const std::optional<QRect> device =
        painter.device() ? std::optional<QRect>(devicePixels(painter.device()->width(), painter.device()->height(), dpr))
                         : std::nullopt;
    if (const auto tiles = layStroke(stroke, world, dpr, device))
        tiles->draw(painter, ink, float(GraphiteStroke::kCenterlineOpacity), dpr);
}

}  // namespace

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

}  // namespace vantrel::GraphitePainting

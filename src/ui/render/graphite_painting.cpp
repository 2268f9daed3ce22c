// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/render/graphite_painting.h"

#include <QLineF>
#include <QPaintDevice>
#include <QPainterPath>
#include <QPainterPathStroker>

#include <cmath>

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

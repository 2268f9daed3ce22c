// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/render/equipment_painting.h"

#include <QImage>
#include <QLineF>
#include <QPainterPath>
#include <QPolygonF>

#include <algorithm>
#include <cmath>
#include <initializer_list>

#include "ui/render/pitch_painting.h"
#include "ui/style/studio_style.h"

namespace vantrel::EquipmentPainting {

namespace {

// A piece's frame on screen: its ground centre, one metre along its axis, one metre
// across it, and one metre up (zero on the flat board).
struct Frame {
    QPointF centre;
    QPointF along;
    QPointF across;
    QPointF up;

    QPointF at(double u, double v, double h = 0) const { return centre + along * u + across * v + up * h; }
};

Frame frameOf(Point position, double degrees, const View& view) {
    const double a = degrees * M_PI / 180;
    const double ca = std::cos(a), sa = std::sin(a);
    Frame f;
    f.centre = view.project(position);
    auto metre = [&](double mx, double my) {
        return view.project({position.x + mx / view.metresAlong, position.y + my / view.metresAcross}) - f.centre;
    };
    f.along = metre(ca, sa);
    f.across = metre(-sa, ca);
    if (view.upright) {
        const QPointF sideways = metre(1, 0);
        f.up = QPointF(0, -std::hypot(sideways.x(), sideways.y()));
    }
    return f;
}

double length(QPointF v) { return std::hypot(v.x(), v.y()); }

// How a piece is drawn bigger than life on the board, so that a cone reads at a glance:
// its footprint in metres (along, across) and its height.
struct Shape {
    double along;
    double across;
    double height;
};

Shape shapeOf(EquipmentKind kind) {
    switch (kind) {
    case EquipmentKind::cone: return {0.7, 0.7, 0.6};
    case EquipmentKind::pole: return {0.35, 0.35, 1.8};
    case EquipmentKind::mannequin: return {0.9, 0.45, 1.85};
    case EquipmentKind::miniGoal: return {2.2, 1.1, 1.1};
    case EquipmentKind::goal: return {7.32, 2.0, 2.44};
    case EquipmentKind::ladder: return {4.0, 0.7, 0};
    case EquipmentKind::hurdle: return {1.1, 0.3, 0.45};
    case EquipmentKind::ball: return {0.55, 0.55, 0.55};
    }
    return {1, 1, 1};
}

QPolygonF quad(const Frame& f, double u0, double v0, double u1, double v1, double h = 0) {
    return QPolygonF({f.at(u0, v0, h), f.at(u1, v0, h), f.at(u1, v1, h), f.at(u0, v1, h)});
}

// A goal: posts at ±half along, the crossbar `height` up (3D), the net back to `depth`
// across, its frame white, its net a light mesh. From above, a goal standing on a drawn
// goal line (`onLine`) leaves the line to the pitch's markings: its frame and net start
// just behind it, so the line keeps one brightness.
void drawGoal(QPainter& p, const Frame& f, double half, double depth, double height, QColor frame, bool upright,
              bool onLine = false) {
    const QColor net(255, 255, 255, 110);
    p.setBrush(Qt::NoBrush);
    if (!upright) {
        const double v0 = onLine ? 0.15 : 0;
        QPainterPath netPath;
        netPath.addPolygon(quad(f, -half, v0, half, depth));
        p.setPen(QPen(net, 1));
        p.fillPath(netPath, QColor(255, 255, 255, 40));
        const int count = std::max(2, static_cast<int>(half * 2));
        QPainterPath strands;
        for (int i = 1; i < count; ++i) {
            const double u = -half + 2 * half * i / count;
            strands.moveTo(f.at(u, v0));
            strands.lineTo(f.at(u, depth));
        }
        p.drawPath(strands);
        p.setPen(QPen(frame, 2.5, Qt::SolidLine, onLine ? Qt::FlatCap : Qt::RoundCap, Qt::RoundJoin));
        if (onLine) {
            p.drawLine(f.at(-half, v0), f.at(-half, depth));
            p.drawLine(f.at(half, v0), f.at(half, depth));
        } else {
            p.drawPolyline(QPolygonF({f.at(-half, depth), f.at(-half, 0), f.at(half, 0), f.at(half, depth)}));
        }
        p.setPen(QPen(frame.darker(130), 1.2));
        p.drawLine(f.at(-half, depth), f.at(half, depth));
        return;
    }
    // The net: the back and the roof sloping to the ground behind, drawn first; its
    // strands in one path, stroked once.
    const double top = height, back = height * 0.45;
    QPainterPath netPath;
    netPath.addPolygon(QPolygonF({f.at(-half, 0, top), f.at(half, 0, top), f.at(half, depth, back), f.at(-half, depth, back)}));
    netPath.addPolygon(QPolygonF({f.at(-half, depth, back), f.at(half, depth, back), f.at(half, depth, 0), f.at(-half, depth, 0)}));
    p.fillPath(netPath, QColor(255, 255, 255, 38));
    QPainterPath strands;
    auto line = [&strands](std::initializer_list<QPointF> points) {
        auto it = points.begin();
        strands.moveTo(*it);
        for (++it; it != points.end(); ++it) strands.lineTo(*it);
    };
    const int count = std::max(3, static_cast<int>(half * 2.5));
    for (int i = 0; i <= count; ++i) {
        const double u = -half + 2 * half * i / count;
        line({f.at(u, 0, top), f.at(u, depth, back), f.at(u, depth, 0)});
    }
    for (double k : {0.33, 0.66}) {
        line({f.at(-half, depth * k, top + (back - top) * k), f.at(half, depth * k, top + (back - top) * k)});
        line({f.at(-half, depth, back * k), f.at(half, depth, back * k)});
    }
    line({f.at(-half, 0, 0), f.at(-half, depth, 0), f.at(-half, depth, back)});
    line({f.at(half, 0, 0), f.at(half, depth, 0), f.at(half, depth, back)});
    p.setBrush(Qt::NoBrush);
    // Grey strands: the net reads on the turf and on the surround, light or dark.
    p.setPen(QPen(QColor(150, 160, 155, 200), 0.8));
    p.drawPath(strands);
    // The frame: posts and crossbar.
    const double thick = std::clamp(length(f.along) * 0.12, 1.5, 4.0);
    const QPolygonF posts({f.at(-half, 0, 0), f.at(-half, 0, top), f.at(half, 0, top), f.at(half, 0, 0)});
    // A dark casing keeps the white frame apart from a light surround.
    p.setPen(QPen(QColor(30, 40, 35, 150), thick + 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(posts);
    p.setPen(QPen(frame, thick, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(posts);
}

void drawFlatSymbol(QPainter& p, const SceneEquipment& e, const Frame& f, QColor fill) {
    const Shape s = shapeOf(e.piece.kind);
    const QColor edge = fill.darker(160);
    const double metre = std::max(length(f.along), 1e-6);
    switch (e.piece.kind) {
    case EquipmentKind::cone: {
        const double r = std::max(s.along / 2 * metre, 5.5);
        p.setPen(QPen(edge, 1));
        p.setBrush(fill);
        p.drawEllipse(f.centre, r, r);
        p.setBrush(fill.lighter(140));
        p.setPen(Qt::NoPen);
        p.drawEllipse(f.centre, r * 0.35, r * 0.35);
        break;
    }
    case EquipmentKind::pole: {
        const double r = std::max(s.along / 2 * metre, 4.0);
        p.setPen(QPen(edge, 1));
        p.setBrush(fill);
        p.drawEllipse(f.centre, r, r);
        p.setPen(QPen(Qt::white, 1.2));
        p.drawLine(f.centre - QPointF(r * 0.6, 0), f.centre + QPointF(r * 0.6, 0));
        break;
    }
    case EquipmentKind::mannequin: {
        p.setPen(QPen(edge, 1));
        p.setBrush(fill);
        p.drawPolygon(quad(f, -s.along / 2, -s.across / 2, s.along / 2, s.across / 2));
        const double r = std::max(0.2 * metre, 3.5);
        p.setBrush(fill.lighter(130));
        p.drawEllipse(f.centre, r, r);
        break;
    }
    case EquipmentKind::miniGoal:
    case EquipmentKind::goal:
        drawGoal(p, f, s.along / 2, s.across, s.height, fill, false);
        break;
    case EquipmentKind::ladder: {
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(fill, 1.6));
        const double half = s.along / 2, w = s.across / 2;
        p.drawLine(f.at(-half, -w), f.at(half, -w));
        p.drawLine(f.at(-half, w), f.at(half, w));
        for (double u = -half; u <= half + 1e-9; u += 0.5) p.drawLine(f.at(u, -w), f.at(u, w));
        break;
    }
    case EquipmentKind::hurdle: {
        const double half = s.along / 2;
        p.setPen(QPen(fill, 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(f.at(-half, 0), f.at(half, 0));
        p.setPen(QPen(edge, 2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(f.at(-half, -s.across), f.at(-half, s.across));
        p.drawLine(f.at(half, -s.across), f.at(half, s.across));
        break;
    }
    case EquipmentKind::ball:
        PitchPainting::drawFootball(p, f.centre, std::max(s.along * metre, 9.0), e.piece.degrees(), 0.25);
        break;
    }
}

void drawUpright(QPainter& p, const SceneEquipment& e, const Frame& f, QColor fill) {
    const Shape s = shapeOf(e.piece.kind);
    const QColor edge = fill.darker(160);
    const double metre = std::max(length(f.along), 1e-6);
    const double tall = std::max(-f.up.y(), 1e-6);
    // A soft contact shadow on the turf.
    auto shadow = [&](double rx, double ry) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 0, 60));
        p.drawEllipse(f.centre, rx, ry);
    };
    const double squash = 0.45;   // the turf seen from above one touchline
    switch (e.piece.kind) {
    case EquipmentKind::cone: {
        const double r = std::max(s.along / 2 * metre, 5.0), h = std::max(s.height * tall, 8.0);
        shadow(r * 1.1, r * squash * 1.1);
        p.setPen(QPen(edge, 1));
        p.setBrush(fill);
        QPainterPath body;
        body.moveTo(f.centre + QPointF(-r, 0));
        body.lineTo(f.centre + QPointF(0, -h));
        body.lineTo(f.centre + QPointF(r, 0));
        body.arcTo(QRectF(f.centre.x() - r, f.centre.y() - r * squash, 2 * r, 2 * r * squash), 0, -180);
        p.drawPath(body);
        p.setPen(QPen(QColor(255, 255, 255, 200), 1.2));
        p.drawLine(f.centre + QPointF(-r * 0.45, -h * 0.45), f.centre + QPointF(r * 0.45, -h * 0.45));
        break;
    }
    case EquipmentKind::pole: {
        const double r = std::max(0.05 * metre, 1.5), h = std::max(s.height * tall, 18.0);
        shadow(r * 3, r * 3 * squash);
        p.setPen(Qt::NoPen);
        p.setBrush(fill);
        p.drawRect(QRectF(f.centre.x() - r, f.centre.y() - h, 2 * r, h));
        p.setBrush(Qt::white);
        for (double k : {0.25, 0.6}) p.drawRect(QRectF(f.centre.x() - r, f.centre.y() - h * k - h * 0.06, 2 * r, h * 0.12));
        break;
    }
    case EquipmentKind::mannequin: {
        // Facing its angle: its width is the screen width of the body along its axis.
        const double w = std::max(std::abs((f.along * (s.along / 2)).x()), 3.5), h = std::max(s.height * tall, 22.0);
        shadow(w * 1.2, w * squash);
        p.setPen(QPen(edge, 1));
        p.setBrush(fill);
        QPainterPath body;
        body.addRoundedRect(QRectF(f.centre.x() - w, f.centre.y() - h * 0.82, 2 * w, h * 0.82), w * 0.4, w * 0.4);
        p.drawPath(body);
        const double head = std::max(w * 0.55, 2.5);
        p.drawEllipse(QPointF(f.centre.x(), f.centre.y() - h * 0.82 - head * 0.9), head, head);
        break;
    }
    case EquipmentKind::miniGoal:
    case EquipmentKind::goal:
        drawGoal(p, f, s.along / 2, s.across, s.height, fill, true);
        break;
    case EquipmentKind::ladder:
        drawFlatSymbol(p, e, f, fill);
        break;
    case EquipmentKind::hurdle: {
        const double half = s.along / 2, h = s.height;
        p.setPen(QPen(edge, 2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(f.at(-half, 0, 0), f.at(-half, 0, h));
        p.drawLine(f.at(half, 0, 0), f.at(half, 0, h));
        p.setPen(QPen(fill, 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(f.at(-half, 0, h), f.at(half, 0, h));
        break;
    }
    case EquipmentKind::ball: {
        const double d = std::max(s.along * metre, 8.0);
        shadow(d * 0.45, d * 0.45 * squash);
        PitchPainting::drawFootball(p, f.centre - QPointF(0, d / 2), d, e.piece.degrees(), 0.2);
        break;
    }
    }
}

double reach(const SceneEquipment& e, const Frame& f) {
    const Shape s = shapeOf(e.piece.kind);
    return std::max(std::max(s.along, s.across) / 2 * std::max(length(f.along), length(f.across)), 9.0);
}

void drawBody(QPainter& p, const SceneEquipment& e, const Frame& f, bool upright) {
    const QColor fill = QColor::fromRgb(static_cast<QRgb>(0xFF000000u | e.color));
    if (upright) drawUpright(p, e, f, fill);
    else drawFlatSymbol(p, e, f, fill);
}

void drawSelection(QPainter& p, const SceneEquipment& e, const Frame& f, const View& view);

// The smallest rectangle of an ARGB32 premultiplied image holding every pixel that is not
// fully transparent; one pixel when all are.
QRect coveredPixels(const QImage& image) {
    int x0 = image.width(), x1 = -1, y0 = image.height(), y1 = -1;
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        int first = 0, last = image.width() - 1;
        while (first <= last && row[first] == 0) ++first;
        if (first > last) continue;
        while (row[last] == 0) --last;
        x0 = std::min(x0, first), x1 = std::max(x1, last);
        y0 = std::min(y0, y), y1 = y;
    }
    return x1 < 0 ? QRect(0, 0, 1, 1) : QRect(QPoint(x0, y0), QPoint(x1, y1));
}

}  // namespace

void PieceSprites::draw(QPainter& p, const SceneEquipment& e, const View& view, qreal dpr) {
    if (e.opacity <= 0) return;
    if (PitchPainting::isVectorDevice(p)) {
        drawPiece(p, e, view);
        return;
    }
    const Frame f = frameOf(e.piece.position, e.piece.degrees(), view);
    auto q = [](double v) { return static_cast<int>(std::lround(v * 4)); };
    const Key key{static_cast<int>(e.piece.kind), e.color, q(f.along.x()), q(f.along.y()), q(f.across.x()),
                  q(f.across.y()), q(f.up.y()), static_cast<int>(std::lround(dpr * 100)),
                  static_cast<int>(std::lround(e.piece.kind == EquipmentKind::ball ? e.piece.degrees() : 0))};
    auto it = sprites_.find(key);
    if (it == sprites_.end()) {
        if (sprites_.size() > 1500) sprites_.clear();   // pieces that moved leave theirs behind
        // Large enough for the piece's footprint and height, and for the minimum sizes
        // small pieces are drawn at.
        // The box of the piece's footprint (across both ways: a goal's net lies behind
        // it) and height, with room for the minimum sizes small pieces are drawn at.
        const Shape s = shapeOf(e.piece.kind);
        double left = -12, right = 12, top = view.upright ? -30 : -12, bottom = 12;
        for (double u : {-s.along / 2, s.along / 2})
            for (double v : {-s.across, s.across})
                for (double h : {0.0, s.height}) {
                    const QPointF c = f.along * u + f.across * v + f.up * h;
                    left = std::min(left, c.x() - 4), right = std::max(right, c.x() + 4);
                    top = std::min(top, c.y() - 4), bottom = std::max(bottom, c.y() + 4);
                }
        const QPointF origin(-left, -top);
        const QSize size(static_cast<int>(std::ceil(right - left)), static_cast<int>(std::ceil(bottom - top)));
        QImage canvas(size * dpr, QImage::Format_ARGB32_Premultiplied);
        canvas.setDevicePixelRatio(dpr);
        canvas.fill(Qt::transparent);
        QPainter sp(&canvas);
        sp.setRenderHint(QPainter::Antialiasing);
        Frame local = f;
        local.centre = origin;
        SceneEquipment plain = e;
        plain.opacity = 1;
        drawBody(sp, plain, local, view.upright);
        sp.end();
        // Cut to the pixels the piece covers, whole device pixels, so a frame blends no
        // empty margin and each pixel lands where it did on the whole canvas.
        const QRect used = coveredPixels(canvas);
        QImage cut = canvas.copy(used);
        cut.setDevicePixelRatio(dpr);
        it = sprites_.emplace(key, Sprite{QPixmap::fromImage(std::move(cut)), origin - QPointF(used.topLeft()) / dpr}).first;
    }
    const qreal opacity = p.opacity();
    if (e.opacity < 1) p.setOpacity(opacity * e.opacity);
    p.drawPixmap(f.centre - it->second.origin, it->second.pixmap);
    p.setOpacity(opacity);
    if (e.selected) drawSelection(p, e, f, view);
}

namespace {

void drawSelection(QPainter& p, const SceneEquipment& e, const Frame& f, const View& view) {
    const double r = reach(e, f) + 4;
    const QColor brand = StudioStyle::brand();
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(brand, 1.5, Qt::DashLine));
    p.drawEllipse(f.centre, r, view.upright ? r * 0.5 : r);
    const QPointF handle = turnHandle(e, view);
    p.setPen(QPen(brand, 1.2));
    p.drawLine(f.centre, handle);
    PitchPainting::drawRouteHandle(p, handle);
}

}  // namespace

void drawPiece(QPainter& p, const SceneEquipment& e, const View& view) {
    if (e.opacity <= 0) return;
    const Frame f = frameOf(e.piece.position, e.piece.degrees(), view);
    const qreal opacity = p.opacity();
    if (e.opacity < 1) p.setOpacity(opacity * e.opacity);
    drawBody(p, e, f, view.upright);
    p.setOpacity(opacity);
    if (e.selected) drawSelection(p, e, f, view);
}

QPointF turnHandle(const SceneEquipment& e, const View& view) {
    const Frame f = frameOf(e.piece.position, e.piece.degrees(), view);
    const double len = std::max(length(f.along), 1e-6);
    return f.centre + f.along / len * (reach(e, f) + 14);
}

namespace {

// The middle of the disc a piece answers the pointer in: on the 3D view the body stands
// above its foot.
QPointF hitCentre(const SceneEquipment& e, const Frame& f, const View& view) {
    return view.upright ? f.centre + f.up * (shapeOf(e.piece.kind).height / 2) : f.centre;
}

}  // namespace

bool contains(const SceneEquipment& e, const View& view, QPointF v) {
    const Frame f = frameOf(e.piece.position, e.piece.degrees(), view);
    return QLineF(hitCentre(e, f, view), v).length() <= reach(e, f);
}

QRectF bounds(const SceneEquipment& e, const View& view) {
    const Frame f = frameOf(e.piece.position, e.piece.degrees(), view);
    const QPointF c = hitCentre(e, f, view);
    const double r = reach(e, f);
    return {c.x() - r, c.y() - r, 2 * r, 2 * r};
}

void drawPitchGoals(QPainter& p, const View& view) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const QColor frame(250, 250, 250);
    // The goal line is x = 0 and x = 1; the net lies behind it, off the pitch. A goal
    // faces into the pitch: turned 90° at the home end, 270° at the away end.
    for (const auto& [x, degrees] : {std::pair{0.0, 90.0}, std::pair{1.0, 270.0}}) {
        const Frame f = frameOf({x, 0.5}, degrees, view);
        drawGoal(p, f, 7.32 / 2, view.upright ? 2.0 : 0.8, 2.44, frame, view.upright, true);   // flat: within the margin
    }
    p.restore();
}

void drawPitchAreas(QPainter& p, const PitchAreas& areas, const View& view) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    auto polygon = [&](double x0, double y0, double x1, double y1) {
        return QPolygonF({view.project({x0, y0}), view.project({x1, y0}), view.project({x1, y1}), view.project({x0, y1})});
    };
    const PitchArea area = areas.effectiveArea();
    if (area != PitchArea::full) {
        const PitchRect r = pitchAreaRect(area);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 0, 70));
        if (r.x0 > 0) p.drawPolygon(polygon(0, 0, r.x0, 1));
        if (r.x1 < 1) p.drawPolygon(polygon(r.x1, 0, 1, 1));
        // The outline as four dashed lines, each taking the dashes on where the last side
        // left them: the raster engine dashes single lines on its fast path, a closed
        // polygon through the general stroker at several times the cost per frame.
        QPen edge(QColor(255, 255, 255, 190), 2, Qt::DashLine);
        const QPolygonF corners = polygon(r.x0, r.y0, r.x1, r.y1);
        double along = 0;   // in pen widths, the unit of the dash pattern
        for (int i = 0; i < 4; ++i) {
            const QLineF side(corners[i], corners[(i + 1) % 4]);
            edge.setDashOffset(along);
            p.setPen(edge);
            p.drawLine(side);
            along += side.length() / edge.widthF();
        }
    }
    const PitchGridLines lines = pitchGridLines(areas.effectiveGrid());
    p.setPen(QPen(QColor(255, 255, 255, 95), 1.2, Qt::DashLine));
    for (double x : lines.xs) p.drawLine(view.project({x, 0}), view.project({x, 1}));
    for (double y : lines.ys) p.drawLine(view.project({0, y}), view.project({1, y}));
    p.restore();
}

}  // namespace vantrel::EquipmentPainting

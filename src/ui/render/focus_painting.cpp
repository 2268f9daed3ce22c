// SPDX-License-Identifier: GPL-3.0-or-later
// "聚焦球员" on the pitch: one player's runs through the whole tactic, numbered by step.
#include <QFontMetricsF>
#include <QPainterPath>

#include "ui/render/pitch_painting.h"
#include "ui/style/studio_style.h"

namespace vantrel::PitchPainting {

QColor interceptionColor(int team, const BoardScene& scene) {
    if (team >= 0 && team < 2 && scene.kits[static_cast<std::size_t>(team)]) return teamFill(team, scene);
    return StudioStyle::destructive();
}

void drawFocusPath(QPainter& p, const SceneFocus& focus, const BoardScene& scene,
                   const std::function<QPointF(Point)>& project, const std::function<qreal(Point)>& scale) {
    const QColor ink = routeColor(focus.team, scene);
    p.save();
    for (const RunCurve& run : focus.runs) {
        QPolygonF line;
        for (int i = 0; i <= 32; ++i) line << project(run.at(i / 32.0));
        const qreal s = scale(run.end);
        // The casing keeps the path readable over dimmed tokens and over turf of any tone:
        // pale under a dark kit, dark under a light one.
        const QColor casing = numberInk(ink) == Qt::white ? QColor(255, 255, 255, 150) : QColor(0, 0, 0, 120);
        p.setPen(QPen(casing, 6 * s, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(line);
        SceneMove move;
        move.curve = run;
        QPolygonF shaft = line;
        drawMove(p, move, shaft, ink, 0.5 * kTokenDiameter * s + 2);
    }
    QFont font = p.font();
    font.setWeight(QFont::Bold);
    for (const SceneFocus::Stop& stop : focus.stops) {
        const qreal s = scale(stop.at);
        font.setPixelSize(std::max(8, qRound(10 * s)));
        p.setFont(font);
        const QString label = QString::fromStdString(stop.label);
        const qreal width = std::max(16 * s, QFontMetricsF(font).horizontalAdvance(label) + 8 * s);
        // Above and to the right of where he stands, so his token never hides it.
        const QPointF at = project(stop.at) + QPointF(0.5 * kTokenDiameter * s + 2, -0.5 * kTokenDiameter * s);
        const QRectF box(at.x(), at.y() - 8 * s, width, 16 * s);
        p.setPen(QPen(ink, 1.5));
        p.setBrush(Qt::white);
        p.drawRoundedRect(box, 8 * s, 8 * s);
        p.setPen(QColor(0x1a, 0x1a, 0x1a));
        p.drawText(box, Qt::AlignCenter, label);
    }
    p.restore();
}

void drawFocusHalo(QPainter& p, QPointF centre, qreal radiusX, qreal radiusY, QColor color) {
    p.save();
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::white, 5));
    p.drawEllipse(centre, radiusX, radiusY);
    p.setPen(QPen(color, 2.5));
    p.drawEllipse(centre, radiusX, radiusY);
    p.restore();
}

}  // namespace vantrel::PitchPainting

// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/render/tactical_ball_view.h"

#include <QPainter>
#include <QRadialGradient>

#include <algorithm>
#include <array>

namespace vantrel {

void TacticalBallView::setRotation(double degrees, QPointF direction) {
    if (!rotation_) {
        orientation_ = BallOrientation{}.rolling(degrees, direction.x(), direction.y());
    } else if (degrees != *rotation_) {
        orientation_ = orientation_.rolling(degrees - *rotation_, direction.x(), direction.y());
    }
    rotation_ = degrees;
}

void TacticalBallView::paint(QPainter& painter, QPointF c, double diameter) const {
    const double R = diameter / 2;
    if (!(R > 0.5)) return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);

    QRadialGradient base(c + QPointF(-0.48 * R, -0.48 * R), 1.8 * R);
    base.setColorAt(0.0, QColor::fromRgbF(0.96, 0.97, 0.96));
    base.setColorAt(0.4, QColor::fromRgbF(0.96, 0.97, 0.96));
    base.setColorAt(0.76, QColor::fromRgbF(0.79, 0.82, 0.80));
    base.setColorAt(1.0, QColor::fromRgbF(0.54, 0.59, 0.55));
    painter.setPen(Qt::NoPen);
    painter.setBrush(base);
    painter.drawEllipse(c, R, R);

    // Orthographic projection of the unit sphere lies inside the disc, so the panels
    // need no clip. Panels whose centre faces away are left out; the rest go back to front.
    struct Panel {
        double depth;
        QPolygonF outline;
    };
    std::array<Panel, 12> panels;
    int count = 0;
    for (const auto& pentagon : BallPanelGeometry::pentagons()) {
        double depth = 0;
        QPolygonF outline;
        outline.reserve(static_cast<int>(pentagon.size()));
        for (const BallVector v : pentagon) {
            const BallVector r = orientation_.rotate(v);
            depth += r.z;
            outline << c + QPointF(R * r.x, R * r.y);
        }
        if (depth <= 0) continue;
        panels[count++] = {depth, std::move(outline)};
    }
    std::sort(panels.begin(), panels.begin() + count, [](const Panel& a, const Panel& b) { return a.depth < b.depth; });
    const QColor panelColor = QColor::fromRgbF(0.12, 0.17, 0.14);
    painter.setPen(QPen(QColor(255, 255, 255, 60), std::max(0.35, 0.04 * R)));
    painter.setBrush(panelColor);
    for (int i = 0; i < count; ++i) painter.drawPolygon(panels[i].outline);

    QRadialGradient highlight(c + QPointF(-0.38 * R, -0.38 * R), 0.95 * R);
    highlight.setColorAt(0.0, QColor(255, 255, 255, qRound(255 * 0.42)));
    highlight.setColorAt(1.0, QColor(255, 255, 255, 0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(highlight);
    painter.drawEllipse(c, R, R);

    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(0, 0, 0, qRound(255 * 0.2)), 0.65));
    painter.drawEllipse(c, R - 0.3, R - 0.3);
    painter.restore();
}

}  // namespace vantrel

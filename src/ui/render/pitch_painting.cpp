#include "ui/render/pitch_painting.h"

#include <QPainterPath>
#include <QtMath>

#include "ui/style/studio_style.h"

namespace vantrel::PitchPainting {

QPolygonF arrowhead(QPointF from, QPointF to) {
    const qreal theta = std::atan2(to.y() - from.y(), to.x() - from.x());
    const QPointF direction(std::cos(theta), std::sin(theta));
    const QPointF normal(-std::sin(theta), std::cos(theta));
    const QPointF base = to - 8 * direction;
    return QPolygonF({to, base + 3.5 * normal, base - 3.5 * normal});
}

QColor routeColor(const std::vector<Player>& players, const std::optional<std::string>& playerID) {
    if (playerID) {
        for (const auto& p : players)
            if (p.id == *playerID) return p.team == 1 ? StudioStyle::orangeRoute() : StudioStyle::blueRoute();
    }
    return StudioStyle::blueRoute();
}

void drawFootball(QPainter& painter, QPointF centre, qreal diameter, qreal rotationDegrees, qreal shadowOpacity) {
    const qreal r = diameter / 2;
    painter.save();
    painter.setPen(Qt::NoPen);
    QColor shadow(0, 0, 0);
    shadow.setAlphaF(shadowOpacity);
    painter.setBrush(shadow);
    painter.drawEllipse(centre + QPointF(0, 1.2), r + 0.6, r + 0.6);

    painter.translate(centre);
    painter.rotate(rotationDegrees);
    painter.setBrush(Qt::white);
    painter.setPen(QPen(QColor(30, 34, 38, 200), 0.8));
    painter.drawEllipse(QPointF(0, 0), r, r);

    // A dark pentagon in the middle and five panel edges reaching to the rim: the
    // classic ball reads at 14 points and shows its spin.
    QPainterPath clip;
    clip.addEllipse(QPointF(0, 0), r - 0.4, r - 0.4);
    painter.setClipPath(clip, Qt::IntersectClip);
    const QColor panel(30, 34, 38);
    QPolygonF pentagon;
    for (int i = 0; i < 5; ++i) {
        const qreal a = qDegreesToRadians(-90.0 + 72.0 * i);
        pentagon << QPointF(std::cos(a), std::sin(a)) * (r * 0.38);
    }
    painter.setPen(QPen(panel, 0.9));
    painter.setBrush(panel);
    painter.drawPolygon(pentagon);
    for (int i = 0; i < 5; ++i) {
        const qreal a = qDegreesToRadians(-90.0 + 72.0 * i);
        const QPointF corner = pentagon[i];
        const QPointF rim(std::cos(a) * r, std::sin(a) * r);
        painter.drawLine(corner, rim);
        // Outer panels: a dark cap where two seams meet the rim.
        const qreal b = qDegreesToRadians(-54.0 + 72.0 * i);
        const QPointF outer(std::cos(b) * r, std::sin(b) * r);
        painter.drawEllipse(outer, r * 0.32, r * 0.32);
    }
    painter.restore();
}

void drawToken(QPainter& painter, QPointF centre, const Player& player, bool selected, qreal opacity) {
    const qreal r = kTokenDiameter / 2;
    painter.save();
    painter.setOpacity(painter.opacity() * opacity);

    if (selected) {
        QColor brandRing = StudioStyle::brand();
        brandRing.setAlphaF(0.3);
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(brandRing, 3));
        painter.drawEllipse(centre, r + 6, r + 6);
        painter.setPen(QPen(Qt::white, 2));
        painter.drawEllipse(centre, r + 3, r + 3);
    }

    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, qRound(255 * 0.18)));
    painter.drawEllipse(centre + QPointF(0, 1.5), r + 0.5, r + 0.5);

    painter.setBrush(player.team == 0 ? StudioStyle::blueTeam() : StudioStyle::orangeTeam());
    QColor rim(255, 255, 255);
    rim.setAlphaF(0.9);
    painter.setPen(QPen(rim, 1.5));
    painter.drawEllipse(centre, r, r);

    QFont font = painter.font();
    font.setPixelSize(13);
    font.setWeight(QFont::DemiBold);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRectF(centre.x() - r, centre.y() - r, 2 * r, 2 * r), Qt::AlignCenter,
                     QString::number(player.number));
    painter.restore();
}

void TokenSprites::draw(QPainter& painter, QPointF centre, const Player& player, bool selected, qreal opacity,
                        qreal dpr) {
    constexpr qreal kExtent = 50;   // token, both selection rings and the shadow
    const auto key = std::make_tuple(player.team == 0 ? 0 : 1, player.number, selected, qRound(dpr * 100));
    auto it = sprites_.find(key);
    if (it == sprites_.end()) {
        QPixmap sprite(QSize(qCeil(kExtent * dpr), qCeil(kExtent * dpr)));
        sprite.setDevicePixelRatio(dpr);
        sprite.fill(Qt::transparent);
        QPainter p(&sprite);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        drawToken(p, QPointF(kExtent / 2, kExtent / 2), player, selected, 1.0);
        p.end();
        it = sprites_.emplace(key, sprite).first;
    }
    const qreal previous = painter.opacity();
    painter.setOpacity(previous * opacity);
    painter.drawPixmap(centre - QPointF(kExtent / 2, kExtent / 2), it->second);
    painter.setOpacity(previous);
}

}  // namespace vantrel::PitchPainting

// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/render/pitch_painting.h"

#include <QFontMetricsF>

#include <QPaintEngine>


#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>

#include <algorithm>
#include <cstdlib>

#include "ui/style/studio_style.h"

namespace vantrel::PitchPainting {

QPolygonF arrowhead(QPointF from, QPointF to) {
    const qreal theta = std::atan2(to.y() - from.y(), to.x() - from.x());
    const QPointF direction(std::cos(theta), std::sin(theta));
    const QPointF normal(-std::sin(theta), std::cos(theta));
    const QPointF base = to - 8 * direction;
    return QPolygonF({to, base + 3.5 * normal, base - 3.5 * normal});
}

namespace {

void fillHead(QPainter& painter, const QPen& pen, QPointF from, QPointF to) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(pen.color());
    painter.drawPolygon(arrowhead(from, to));
}

}  // namespace

void drawArrow(QPainter& painter, const QPolygonF& line, const QPen& pen) {
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawPolyline(line);
    fillHead(painter, pen, line[line.size() - 2], line.back());
}

void drawArrow(QPainter& painter, const QPainterPath& curve, const QPen& pen, QPointF headFrom, QPointF tip) {
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(curve);
    fillHead(painter, pen, headFrom, tip);
}

void drawMove(QPainter& painter, const SceneMove& move, QPolygonF line, QColor color, qreal tipGap) {
    // Shortened from the tip; a move shorter than its gap draws nothing.
    for (qreal left = tipGap; left > 0 && line.size() >= 2;) {
        const QLineF last(line[line.size() - 2], line.back());
        if (last.length() > left) {
            line.back() = last.pointAt((last.length() - left) / last.length());
            break;
        }
        left -= last.length();
        line.removeLast();
    }
    if (line.size() < 2 || QLineF(line.front(), line.back()).length() < 14) return;   // a stub beside a token says nothing
    QPen pen(color, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    if (move.kind == SceneMove::Kind::pass) {
        if (move.pass.style == PassStyle::loft) pen.setDashPattern({3, 2.5});   // in pen widths
        return drawArrow(painter, line, pen);
    }
    if (move.kind == SceneMove::Kind::run) return drawArrow(painter, line, pen);

    // A dribble waves across its line, 3 points either side every 12 points, and runs
    // straight over its last wave so the head sits on a calm line.
    constexpr qreal kAmplitude = 3, kWavelength = 12;
    std::vector<qreal> along{0};
    for (int i = 1; i < line.size(); ++i) along.push_back(along.back() + QLineF(line[i - 1], line[i]).length());
    const qreal total = along.back();
    if (total < 2 * kWavelength) return drawArrow(painter, line, pen);
    QPainterPath wave(line.front());
    int piece = 1;
    for (qreal s = 2; s <= total; s += 2) {
        while (piece < line.size() - 1 && along[std::size_t(piece)] < s) ++piece;
        const QPointF a = line[piece - 1], b = line[piece];
        const qreal length = std::max<qreal>(along[std::size_t(piece)] - along[std::size_t(piece - 1)], 1e-6);
        const qreal t = std::clamp((s - along[std::size_t(piece - 1)]) / length, 0.0, 1.0);
        const QPointF onLine = a + t * (b - a);
        const QPointF normal(-(b - a).y() / length, (b - a).x() / length);
        const qreal fade = std::clamp((total - kWavelength - s) / kWavelength, 0.0, 1.0);
        wave.lineTo(onLine + normal * (kAmplitude * fade * std::sin(2 * M_PI * s / kWavelength)));
    }
    wave.lineTo(line.back());
    drawArrow(painter, wave, pen, line[line.size() - 2], line.back());
}

QColor routeColor(int team) { return team == 1 ? StudioStyle::orangeRoute() : StudioStyle::blueRoute(); }

namespace {

// A squad's kit by team, or `own` (the team's colour for that use). The away kit turns
// darker or lighter when it would pass for the home one, so the teams stay apart.
QColor kitOr(int team, const BoardScene& scene, QColor own) {
    const auto& kit = scene.kits[team == 1 ? 1 : 0];
    QColor colour = kit ? QColor::fromRgb(*kit) : own;
    if (team == 1 && (scene.kits[0] || scene.kits[1])) {
        const QColor home = scene.kits[0] ? QColor::fromRgb(*scene.kits[0]) : StudioStyle::blueTeam();
        const int apart = std::abs(colour.red() - home.red()) + std::abs(colour.green() - home.green()) +
                          std::abs(colour.blue() - home.blue());
        if (apart < 90) colour = colour.lightness() > 110 ? colour.darker(190) : colour.lighter(190);
    }
    return colour;
}

}  // namespace

QColor routeColor(int team, const BoardScene& scene) { return kitOr(team, scene, routeColor(team)); }

QColor offsideColor(int team, const BoardScene& scene) {
    return kitOr(team, scene, team == 1 ? StudioStyle::offsideOrange() : StudioStyle::offsideBlue());
}

QColor teamFill(int team, const BoardScene& scene) {
    return kitOr(team, scene, team == 0 ? StudioStyle::blueTeam() : StudioStyle::orangeTeam());
}

QColor numberInk(QColor fill) {
    // Relative luminance (sRGB weights on the stored values): white reads on darker fills.
    const qreal luminance = 0.2126 * fill.redF() + 0.7152 * fill.greenF() + 0.0722 * fill.blueF();
    return luminance > 0.62 ? QColor(0x1c, 0x1c, 0x1e) : QColor(Qt::white);
}

void drawNames(QPainter& painter, std::vector<std::pair<QPointF, QString>> labels, qreal offset) {
    if (labels.empty()) return;
    painter.save();
    QFont font = painter.font();
    font.setPixelSize(11);
    font.setWeight(QFont::DemiBold);
    painter.setFont(font);
    const QFontMetricsF metrics(font);
    std::vector<QRectF> placed;
    for (auto& [anchor, name] : labels) {
        const QString text = metrics.elidedText(name, Qt::ElideRight, 84);
        const qreal w = metrics.horizontalAdvance(text) + 8, h = metrics.height() + 2;
        QRectF box(anchor.x() - w / 2, offset >= 0 ? anchor.y() + offset : anchor.y() + offset - h, w, h);
        for (int tries = 0; tries < 4; ++tries) {
            const bool covers = std::any_of(placed.begin(), placed.end(), [&](const QRectF& r) { return r.intersects(box); });
            if (!covers) break;
            box.translate(0, offset >= 0 ? h : -h);
        }
        placed.push_back(box);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0, 0, 0, 110));
        painter.drawRoundedRect(box, 4, 4);
        painter.setPen(Qt::white);
        painter.drawText(box, Qt::AlignCenter, text);
    }
    painter.restore();
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
    // At 13 points the ball must read as white: a light body with a clear dark outline,
    // a small centre pentagon and five small panels cut by the rim, joined by hairline seams.
    QRadialGradient body(QPointF(-0.35 * r, -0.35 * r), 1.5 * r);
    body.setColorAt(0, QColor(255, 255, 255));
    body.setColorAt(0.6, QColor(246, 248, 247));
    body.setColorAt(1, QColor(206, 212, 209));
    painter.setBrush(body);
    painter.drawEllipse(QPointF(0, 0), r, r);

    // The panels are cut by the rim; the board's own clip stays in force around them.
    painter.save();
    QPainterPath clip;
    clip.addEllipse(QPointF(0, 0), r, r);
    painter.setClipPath(clip, Qt::IntersectClip);
    const QColor panel(34, 40, 38);
    QPolygonF pentagon;
    for (int i = 0; i < 5; ++i) {
        const qreal a = qDegreesToRadians(-90.0 + 72.0 * i);
        pentagon << QPointF(std::cos(a), std::sin(a)) * (r * 0.3);
    }
    painter.setPen(QPen(QColor(34, 40, 38, 110), 0.5));
    for (int i = 0; i < 5; ++i) {
        const qreal a = qDegreesToRadians(-90.0 + 72.0 * i);
        painter.drawLine(pentagon[i], QPointF(std::cos(a), std::sin(a)) * r);
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(panel);
    painter.drawPolygon(pentagon);
    for (int i = 0; i < 5; ++i) {
        const qreal b = qDegreesToRadians(-54.0 + 72.0 * i);
        QPolygonF outer;
        for (int k = 0; k < 5; ++k) {
            const qreal a = b + qDegreesToRadians(180.0 + 72.0 * k);
            outer << QPointF(std::cos(b), std::sin(b)) * (r * 1.02) + QPointF(std::cos(a), std::sin(a)) * (r * 0.26);
        }
        painter.drawPolygon(outer);
    }
    painter.restore();
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(24, 28, 27, 215), 0.9));
    painter.drawEllipse(QPointF(0, 0), r - 0.2, r - 0.2);
    painter.restore();
}

void drawRouteHandle(QPainter& painter, QPointF centre) {
    const qreal r = kHandleDiameter / 2;
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, qRound(255 * 0.12)));
    painter.drawEllipse(centre + QPointF(0, 1), r + 1, r + 1);
    painter.setBrush(Qt::white);
    painter.setPen(QPen(StudioStyle::brand(), 2));
    painter.drawEllipse(centre, r, r);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(0, 0, 0, 110), 1));
    painter.drawEllipse(centre, r + 1.5, r + 1.5);
    painter.restore();
}

QColor shadowOverWash() {
    const QColor turf = StudioStyle::pitch(), wash = StudioStyle::onPitch(), shade = StudioStyle::pitchShade();
    auto channel = [](qreal t, qreal w, qreal s) {
        const qreal washed = t + 0.055 * (w - t);
        const qreal target = t + 0.28 * (s - t);
        return std::clamp(washed + (target - washed) / 0.5, 0.0, 1.0);
    };
    return QColor::fromRgbF(channel(turf.redF(), wash.redF(), shade.redF()),
                            channel(turf.greenF(), wash.greenF(), shade.greenF()),
                            channel(turf.blueF(), wash.blueF(), shade.blueF()), 0.5);
}

void drawToken(QPainter& painter, QPointF centre, const Player& player, bool selected, qreal opacity,
               std::optional<QColor> fill) {
    const qreal r = kTokenDiameter / 2;
    painter.save();
    painter.setOpacity(painter.opacity() * opacity);

    if (selected) {
        QColor brandRing = StudioStyle::brand();
        brandRing.setAlphaF(0.3);
        painter.setBrush(Qt::NoBrush);
        // A dark hairline outside the brand ring keeps it visible on the green turf.
        painter.setPen(QPen(QColor(0, 0, 0, 90), 1));
        painter.drawEllipse(centre, r + 8, r + 8);
        painter.setPen(QPen(brandRing, 3));
        painter.drawEllipse(centre, r + 6, r + 6);
        painter.setPen(QPen(Qt::white, 2));
        painter.drawEllipse(centre, r + 3, r + 3);
    }

    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, qRound(255 * 0.18)));
    painter.drawEllipse(centre + QPointF(0, 1.5), r + 0.5, r + 0.5);

    const QColor body = fill.value_or(player.team == 0 ? StudioStyle::blueTeam() : StudioStyle::orangeTeam());
    painter.setBrush(body);
    QColor rim(255, 255, 255);
    rim.setAlphaF(0.9);
    painter.setPen(QPen(rim, 1.5));
    painter.drawEllipse(centre, r, r);

    QFont font = painter.font();
    font.setPixelSize(13);
    font.setWeight(QFont::DemiBold);
    painter.setFont(font);
    painter.setPen(numberInk(body));
    painter.drawText(QRectF(centre.x() - r, centre.y() - r, 2 * r, 2 * r), Qt::AlignCenter,
                     QString::number(player.number));
    painter.restore();
}

bool isVectorDevice(const QPainter& painter) {
    const QPaintEngine* engine = painter.paintEngine();
    if (!engine) return false;
    const auto type = engine->type();
    return type == QPaintEngine::Pdf || type == QPaintEngine::SVG || type == QPaintEngine::Picture;
}

void TokenSprites::draw(QPainter& painter, QPointF centre, const Player& player, bool selected, qreal opacity,
                        qreal dpr, QColor fill) {
    // A vector page (a PDF handout) gets the token itself, so it prints sharp at any size.
    if (isVectorDevice(painter)) {
        drawToken(painter, centre, player, selected, opacity, fill);
        return;
    }
    constexpr qreal kExtent = 50;   // token, both selection rings and the shadow
    const auto key = std::make_tuple(fill.rgb(), player.number, selected, qRound(dpr * 100));
    auto it = sprites_.find(key);
    if (it == sprites_.end()) {
        QPixmap sprite(QSize(qCeil(kExtent * dpr), qCeil(kExtent * dpr)));
        sprite.setDevicePixelRatio(dpr);
        sprite.fill(Qt::transparent);
        QPainter p(&sprite);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        drawToken(p, QPointF(kExtent / 2, kExtent / 2), player, selected, 1.0, fill);
        p.end();
        it = sprites_.emplace(key, sprite).first;
    }
    const qreal previous = painter.opacity();
    painter.setOpacity(previous * opacity);
    painter.drawPixmap(centre - QPointF(kExtent / 2, kExtent / 2), it->second);
    painter.setOpacity(previous);
}

}  // namespace vantrel::PitchPainting

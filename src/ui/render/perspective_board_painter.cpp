// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/render/perspective_board_painter.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>

#include <algorithm>
#include <cmath>

#include "core/pitch/ball_projection.h"
#include "ui/render/equipment_painting.h"
#include "ui/render/pitch_painting.h"
#include "ui/style/studio_style.h"

namespace vantrel {

namespace {

constexpr double kEdge = 0.02;   // the playing area spans [0.02, 0.98] on both axes
constexpr double kHandleDiameter = PitchPainting::kHandleDiameter;
// A puck sprite covers x in [-24, 24] and y in [-34, 14] points around the ground point.
constexpr double kSpriteHalfWidth = 24;
constexpr double kSpriteTop = 34;
constexpr double kSpriteHeight = 48;

QPointF toQt(Point p) { return {p.x, p.y}; }

QColor withAlpha(QColor c, qreal alpha) {
    c.setAlphaF(c.alphaF() * alpha);
    return c;
}

QPolygonF projected(const PitchPerspective& view, std::initializer_list<Point> points) {
    QPolygonF out;
    for (Point p : points) out << toQt(view.project(p));
    return out;
}

}  // namespace

bool TacticalPuck::contains(QPointF centre, double scale, QPointF v) {
    const double rx = (kWidth / 2 + 1) * scale;
    const double ry = (kHeight / 2 + 1) * scale;
    const double dx = v.x() - centre.x();
    auto inside = [&](double cy) {
        const double dy = v.y() - cy;
        return (dx * dx) / (rx * rx) + (dy * dy) / (ry * ry) <= 1;
    };
    const double bottom = centre.y() - (kLift - kThickness) * scale;
    const double top = centre.y() - kLift * scale;
    return inside(bottom) || inside(top) || (std::abs(dx) <= rx && v.y() >= top && v.y() <= bottom);
}

void TacticalPuck::paint(QPainter& p, QPointF c) const {
    const QColor team = fill.isValid() ? fill : (player.team == 0 ? StudioStyle::blueTeam() : StudioStyle::orangeTeam());
    const double rx = kWidth / 2, ry = kHeight / 2;
    const QPointF bottom = c - QPointF(0, kLift - kThickness);
    const QPointF top = c - QPointF(0, kLift);

    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, qRound(255 * 0.15)));
    p.drawEllipse(c + QPointF(0, 1), 16, 5.5);

    if (selected) {
        // Rings on the turf around the puck's foot; the dark hairline keeps the brand ring
        // apart from the green turf, where brand green alone would vanish.
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(0, 0, 0, 90), 1));
        p.drawEllipse(bottom, 37.0 / 2 + 2, 27.0 / 2 + 2);
        p.setPen(QPen(withAlpha(StudioStyle::brand(), 0.3), 3));
        p.drawEllipse(bottom, 37.0 / 2, 27.0 / 2);
        p.setPen(QPen(Qt::white, 2));
        p.drawEllipse(bottom, 34.0 / 2, 24.0 / 2);
    }

    QPainterPath side;
    side.addEllipse(bottom, rx, ry);
    side.addRect(QRectF(c.x() - rx, top.y(), 2 * rx, bottom.y() - top.y()));
    side.setFillRule(Qt::WindingFill);
    p.setPen(Qt::NoPen);
    p.setBrush(team.darker(140));
    p.drawPath(side.simplified());

    QLinearGradient face(top - QPointF(0, ry), top + QPointF(0, ry));
    face.setColorAt(0, team.lighter(128));
    face.setColorAt(1, team.lighter(106));
    p.setBrush(face);
    p.setPen(QPen(QColor(255, 255, 255, qRound(255 * 0.9)), 1));
    p.drawEllipse(top, rx - 0.5, ry - 0.5);

    if (hovered) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, qRound(255 * 0.07)));
        p.drawPath(side.simplified());
    }

    QFont font = p.font();
    font.setPixelSize(13);
    font.setWeight(QFont::DemiBold);
    p.setFont(font);
    p.setPen(PitchPainting::numberInk(team.lighter(118)));
    p.drawText(QRectF(top.x() - rx, top.y() - ry, 2 * rx, 2 * ry), Qt::AlignCenter, QString::number(player.number));
}

EquipmentPainting::View PerspectiveBoardPainter::markedPitch(const PitchPerspective& view) {
    return {[view](Point pt) { return toQt(view.project({kEdge + pt.x * (1 - 2 * kEdge), kEdge + pt.y * (1 - 2 * kEdge)})); },
            true};
}

EquipmentPainting::View PerspectiveBoardPainter::equipmentView(QSizeF size) const {
    const PitchPerspective view = projectionFor(size);
    return {[view](Point pt) { return toQt(view.project(pt)); }, true};
}

QPointF PerspectiveBoardPainter::toView(QSizeF size, Point p) const { return toQt(projectionFor(size).project(p)); }

Point PerspectiveBoardPainter::toPitch(QSizeF size, QPointF v) const {
    return projectionFor(size).unproject({v.x(), v.y()});
}

Point PerspectiveBoardPainter::ballPosition(QSizeF size, QPointF v) const {
    return BallProjection::modelPosition({v.x(), v.y()}, projectionFor(size));
}

QRectF PerspectiveBoardPainter::tokenRect(QSizeF size, const SceneToken& token) const {
    // The puck's top face and body, lifted above its ground point and grown with nearness.
    const QPointF ground = toView(size, token.player.position);
    const double scale = PitchPerspective::tokenScale(token.player.position.y);
    const double rx = (TacticalPuck::kWidth / 2 + 1) * scale, ry = (TacticalPuck::kHeight / 2 + 1) * scale;
    const double top = ground.y() - TacticalPuck::kLift * scale;
    const double bottom = ground.y() - (TacticalPuck::kLift - TacticalPuck::kThickness) * scale;
    return QRectF(QPointF(ground.x() - rx, top - ry), QPointF(ground.x() + rx, bottom + ry));
}

bool PerspectiveBoardPainter::tokenContains(QSizeF size, const SceneToken& token, QPointF v) const {
    return TacticalPuck::contains(toView(size, token.player.position), PitchPerspective::tokenScale(token.player.position.y), v);
}

QPointF PerspectiveBoardPainter::ballCentre(const BoardScene& scene, QSizeF size) const {
    return toQt(projectionFor(size).ballPlacement(scene.ball.position, scene.ball.height).centre);
}

double PerspectiveBoardPainter::ballRadius(const BoardScene& scene, QSizeF size) const {
    return projectionFor(size).ballPlacement(scene.ball.position, scene.ball.height).radius;
}

void PerspectiveBoardPainter::clearCaches() {
    puckSprites_.clear();
    staticPitch_ = QPixmap();
}

void PerspectiveBoardPainter::prepareStaticPitch(QSize size, qreal dpr) {
    if (staticPitchSize_ == size && !staticPitch_.isNull() && staticPitch_.devicePixelRatio() == dpr) return;
    staticPitchSize_ = size;
    const PitchPerspective view = projectionFor(QSizeF(size));
    staticPitch_ = QPixmap(size * dpr);
    staticPitch_.setDevicePixelRatio(dpr);
    staticPitch_.fill(StudioStyle::canvas3D());

    QPainter p(&staticPitch_);
    p.setRenderHint(QPainter::Antialiasing);
    const QPolygonF area = projected(view, {{kEdge, kEdge}, {1 - kEdge, kEdge}, {1 - kEdge, 1 - kEdge}, {kEdge, 1 - kEdge}});
    p.setPen(Qt::NoPen);
    p.setBrush(StudioStyle::pitch());
    p.drawPolygon(area);
    QPainterPath clip;
    clip.addPolygon(area);
    p.setClipPath(clip);

    const double band = (1 - 2 * kEdge) / 10;
    p.setBrush(QColor(255, 255, 255, qRound(255 * 0.018)));
    for (int i = 0; i < 10; i += 2) {
        const double x0 = kEdge + i * band, x1 = x0 + band;
        p.drawPolygon(projected(view, {{x0, kEdge}, {x1, kEdge}, {x1, 1 - kEdge}, {x0, 1 - kEdge}}));
    }

    // Every marking in one path, stroked once: where two meet, the translucent ink is
    // laid once and the lines keep one brightness.
    QPainterPath lines;
    lines.addPolygon(area);
    lines.closeSubpath();
    lines.moveTo(toQt(view.project({0.5, kEdge})));
    lines.lineTo(toQt(view.project({0.5, 1 - kEdge})));
    QPolygonF circle;
    for (int i = 0; i <= 48; ++i) {
        const double a = 2 * M_PI * i / 48;
        circle << toQt(view.project({0.5 + 0.07 * std::cos(a), 0.5 + 0.115 * std::sin(a)}));
    }
    lines.addPolygon(circle);
    // Penalty and goal areas open on the goal line, which the outline already draws.
    for (const auto& [depth, top, bottom] : {std::tuple{0.15, 0.25, 0.75}, std::tuple{0.055, 0.38, 0.62}}) {
        lines.addPolygon(projected(view, {{kEdge, top}, {kEdge + depth, top}, {kEdge + depth, bottom}, {kEdge, bottom}}));
        lines.addPolygon(projected(view, {{1 - kEdge, top}, {1 - kEdge - depth, top}, {1 - kEdge - depth, bottom},
                                          {1 - kEdge, bottom}}));
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(StudioStyle::pitchLine(), 1.5, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    p.drawPath(lines);

    p.setPen(Qt::NoPen);
    p.setBrush(StudioStyle::pitchLine());
    const qreal W = size.width(), H = size.height();
    for (QPointF spot : {QPointF(0.5 * W, 0.51 * H), QPointF(0.1766 * W, 0.51 * H), QPointF(0.8234 * W, 0.51 * H)})
        p.drawEllipse(spot, 2, 2);
    p.setClipping(false);   // the nets stand behind the goal lines, off the turf
    EquipmentPainting::drawPitchGoals(p, markedPitch(view));
    p.end();

    // The same pitch under the vision overlay's light wash.
    washedPitch_ = staticPitch_;
    QPainter w(&washedPitch_);
    w.setRenderHint(QPainter::Antialiasing);
    w.setPen(Qt::NoPen);
    w.setBrush(withAlpha(StudioStyle::onPitch(), 0.055));
    w.drawPolygon(area);
}

void PerspectiveBoardPainter::paintBoard(QPainter& painter, const BoardScene& scene, QSizeF size, qreal dpr) {
    const int appearance = StudioStyle::isDark() ? 1 : 0;
    if (appearance != appearance_) {
        clearCaches();
        appearance_ = appearance;
    }
    const PitchPerspective view = projectionFor(size);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);

    prepareStaticPitch(QSize(qRound(size.width()), qRound(size.height())), dpr);
    const double washed = scene.vision ? scene.vision->opacity : 0.0;
    if (washed < 1) painter.drawPixmap(QPointF(0, 0), staticPitch_);
    if (washed > 0) {
        painter.setOpacity(washed);
        painter.drawPixmap(QPointF(0, 0), washedPitch_);
        painter.setOpacity(1);
    }
    if (scene.pitchAreas) {
        EquipmentPainting::View marked = markedPitch(view);
        marked.upright = false;
        EquipmentPainting::drawPitchAreas(painter, *scene.pitchAreas, marked);
    }
    if (scene.vision) paintVision(painter, view, *scene.vision);
    if (scene.offside) paintOffside(painter, view, *scene.offside, scene);
    paintMoves(painter, view, scene);
    if (scene.focus)
        PitchPainting::drawFocusPath(painter, *scene.focus, scene, [&](Point q) { return toQt(view.project(q)) - QPointF(0, 3); },
                                     [](Point q) { return PitchPerspective::tokenScale(q.y); });
    if (scene.passPreview) paintPassPreview(painter, view, *scene.passPreview, scene);
    if (scene.route) paintSelectedRoute(painter, view, *scene.route, scene);
    if (const SceneToken* focused = scene.focus ? scene.token(scene.focus->playerID) : nullptr) {
        const double s = PitchPerspective::tokenScale(focused->player.position.y);
        PitchPainting::drawFocusHalo(painter, toQt(view.project(focused->player.position)),
                                     (TacticalPuck::kWidth / 2 + 6) * s, (TacticalPuck::kHeight / 2 + 5) * s,
                                     PitchPainting::routeColor(focused->player.team, scene));
    }
    paintPucksAndBall(painter, view, scene, dpr);
    paintInterceptionRisk(painter, view, scene);
    painter.restore();
}

// The pass or dribble into this step that playback would stop: the interceptor's ground
// ring in red and a marker where the ball is cut out, both laid on the turf.
void PerspectiveBoardPainter::paintInterceptionRisk(QPainter& p, const PitchPerspective& view,
                                                    const BoardScene& scene) {
    const auto& risk = scene.risk;
    if (!risk) return;
    const QColor red = StudioStyle::destructive();
    const QPointF at = toQt(view.project(risk->at));
    const double depth = PitchPerspective::tokenScale(risk->at.y);
    p.save();
    if (const SceneToken* interceptor = scene.token(risk->interceptor.id)) {
        const QPointF c = toQt(view.project(interceptor->player.position));
        const double s = PitchPerspective::tokenScale(interceptor->player.position.y);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(PitchPainting::interceptionColor(interceptor->player.team, scene), 3));
        p.drawEllipse(c, (TacticalPuck::kWidth / 2 + 4) * s, (TacticalPuck::kHeight / 2 + 3) * s);
    }
    const double rx = 9 * depth;
    const double ry = 6 * depth;
    p.setPen(QPen(Qt::white, 5));
    p.drawEllipse(at, rx, ry);
    p.setPen(QPen(red, 2.5, Qt::SolidLine, Qt::RoundCap));
    QColor fill = red;
    fill.setAlphaF(0.25);
    p.setBrush(fill);
    p.drawEllipse(at, rx, ry);
    p.drawLine(at + QPointF(-rx / 2, -ry / 2), at + QPointF(rx / 2, ry / 2));
    p.drawLine(at + QPointF(-rx / 2, ry / 2), at + QPointF(rx / 2, -ry / 2));
    p.restore();
}

void PerspectiveBoardPainter::paintVision(QPainter& p, const PitchPerspective& view, const SceneVision& vision) {
    const std::vector<Point>& polygon = vision.polygon;
    // Pulled into the playing area before projecting, so no clip is needed: corners on
    // the pitch's edge land on the area's edge, which projects to straight lines.
    QPolygonF visible;
    visible.reserve(static_cast<int>(polygon.size()));
    for (Point pt : polygon)
        visible << toQt(view.project({std::clamp(pt.x, kEdge, 1 - kEdge), std::clamp(pt.y, kEdge, 1 - kEdge)}));
    QPainterPath shade;
    shade.setFillRule(Qt::OddEvenFill);
    shade.addPolygon(projected(view, {{kEdge, kEdge}, {1 - kEdge, kEdge}, {1 - kEdge, 1 - kEdge}, {kEdge, 1 - kEdge}}));
    shade.closeSubpath();
    shade.addPolygon(visible);
    shade.closeSubpath();
    p.save();
    p.setOpacity(p.opacity() * vision.opacity);
    p.setPen(Qt::NoPen);
    // The wash lies under the whole area (the washed pitch image); this ink turns washed
    // turf into the turf under the 0.28 shade.
    p.setBrush(PitchPainting::shadowOverWash());
    // Filled without antialiasing, then only the shadows' edges are smoothed: an
    // antialiased fill of the whole area costs several milliseconds a frame.
    p.setRenderHint(QPainter::Antialiasing, false);
    p.drawPath(shade);
    p.setRenderHint(QPainter::Antialiasing, true);
    QColor edge = PitchPainting::shadowOverWash();
    edge.setAlphaF(edge.alphaF() * 0.5);
    p.setPen(QPen(edge, 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawPolygon(visible);
    p.restore();
}

void PerspectiveBoardPainter::paintOffside(QPainter& p, const PitchPerspective& view, const OffsideLines& offside, const BoardScene& scene) {
    for (const auto& [x, color] : {std::pair{offside.blue, PitchPainting::offsideColor(0, scene)},
                                   std::pair{offside.orange, PitchPainting::offsideColor(1, scene)}}) {
        const QPointF a = toQt(view.project({x, kEdge}));
        const QPointF b = toQt(view.project({x, 1 - kEdge}));
        p.setPen(Qt::NoPen);
        p.setBrush(withAlpha(color, 0.065));
        p.drawPolygon(QPolygonF({a, b, b - QPointF(0, 54), a - QPointF(0, 40)}));
        QPen pen(withAlpha(color, 0.75), 1.5);
        pen.setDashPattern({6 / 1.5, 5 / 1.5});   // dash lengths are in pen widths
        p.setPen(pen);
        p.drawLine(a, b);
    }
}

void PerspectiveBoardPainter::paintMoves(QPainter& p, const PitchPerspective& view, const BoardScene& scene) {
    if (scene.moves.empty() || scene.movesOpacity <= 0) return;
    p.save();
    p.setOpacity(p.opacity() * scene.movesOpacity);
    for (const SceneMove& move : scene.moves) {
        QPolygonF line;
        Point tip;
        if (move.kind == SceneMove::Kind::pass) {
            // A lofted pass arcs over the turf as the ball flies.
            for (const auto& s : move.pass.samples())
                line << toQt(view.project(s.position)) - QPointF(0, 0.85 * view.size.height * std::max(s.height, 0.0) + 3);
            tip = move.pass.end;
        } else {
            for (int i = 0; i <= 24; ++i) line << toQt(view.project(move.curve.at(i / 24.0))) - QPointF(0, 3);
            tip = move.curve.end;
        }
        // The token standing at the tip is drawn smaller towards the far touchline.
        const qreal gap = 0.5 * PitchPainting::kTokenDiameter * PitchPerspective::tokenScale(tip.y) + 2;
        PitchPainting::drawMove(p, move, line, withAlpha(PitchPainting::routeColor(move.team, scene), 0.85), gap);
    }
    p.restore();
}

void PerspectiveBoardPainter::paintPassPreview(QPainter& p, const PitchPerspective& view, const ScenePass& pass, const BoardScene& scene) {
    const auto& samples = passPreviewCache_.samples(pass.path);
    if (samples.size() < 2) return;
    QPolygonF line;
    for (const auto& s : samples)
        line << toQt(view.project(s.position)) - QPointF(0, 0.85 * view.size.height * std::max(s.height, 0.0) + 3);
    const QColor color = withAlpha(PitchPainting::routeColor(pass.team, scene), 0.75);
    PitchPainting::drawArrow(p, line, QPen(color, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
}

void PerspectiveBoardPainter::paintSelectedRoute(QPainter& p, const PitchPerspective& view, const SceneRun& run, const BoardScene& scene) {
    const RunCurve* route = &run.curve;
    QPolygonF line;
    for (int i = 0; i <= 24; ++i) line << toQt(view.project(route->at(i / 24.0))) - QPointF(0, 3);
    const QColor color = withAlpha(PitchPainting::routeColor(run.team, scene), 0.75);
    PitchPainting::drawArrow(p, line, QPen(color, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));

    PitchPainting::drawRouteHandle(p, toQt(view.project(route->at(0.5))));
}

void PerspectiveBoardPainter::drawPuck(QPainter& p, const TacticalPuck& puck, QPointF centre, qreal opacity, qreal dpr) {
    const int hundredths = qRound(puck.scale * 100);
    const auto key = std::make_tuple(puck.fill.rgb(), puck.player.number, puck.selected, puck.hovered,
                                     hundredths, qRound(dpr * 100));
    auto it = puckSprites_.find(key);
    if (it == puckSprites_.end()) {
        if (puckSprites_.size() > 600) puckSprites_.clear();   // scales seen while dragging
        const double s = hundredths / 100.0;
        QPixmap sprite(QSize(qCeil(2 * kSpriteHalfWidth * s * dpr), qCeil(kSpriteHeight * s * dpr)));
        sprite.setDevicePixelRatio(dpr);
        sprite.fill(Qt::transparent);
        QPainter sp(&sprite);
        sp.setRenderHint(QPainter::Antialiasing);
        sp.setRenderHint(QPainter::TextAntialiasing);
        sp.scale(s, s);
        puck.paint(sp, QPointF(kSpriteHalfWidth, kSpriteTop));
        sp.end();
        it = puckSprites_.emplace(key, std::move(sprite)).first;
    }
    const double s = hundredths / 100.0;
    const qreal previous = p.opacity();
    p.setOpacity(previous * opacity);
    p.drawPixmap(centre - QPointF(kSpriteHalfWidth * s, kSpriteTop * s), it->second);
    p.setOpacity(previous);
}

void PerspectiveBoardPainter::paintPucksAndBall(QPainter& p, const PitchPerspective& view, const BoardScene& scene,
                                                qreal dpr) {
    struct Item {
        double z;
        int kind;   // 0 puck, 1 ball shadow, 2 ball, 3 a piece of equipment
        const SceneToken* token;
        const SceneEquipment* piece = nullptr;
    };
    std::vector<Item> items;
    items.reserve(scene.players.size() + scene.equipment.size() + 2);
    for (const auto& e : scene.equipment) items.push_back({e.depth, 3, nullptr, &e});
    const EquipmentPainting::View pieces{[&view](Point pt) { return toQt(view.project(pt)); }, true};
    std::vector<Player> players;
    players.reserve(scene.players.size());
    for (const auto& t : scene.players) {
        items.push_back({t.depth, 0, &t, nullptr});
        players.push_back(t.player);
    }
    // The 3D ball always stands free beside its carrier's puck; a lofted one is layered
    // over the heads it passes on screen.
    const Point ball = scene.ball.position;
    const double height = scene.ball.height;
    items.push_back({100 * ball.y + 0.1, 1, nullptr, nullptr});
    items.push_back({BallProjection::layerIndex(ball, height, players, view), 2, nullptr, nullptr});
    std::stable_sort(items.begin(), items.end(), [](const Item& a, const Item& b) { return a.z < b.z; });

    const BallPlacement placement = view.ballPlacement(ball, height);
    // The direction of travel on screen: the ball and a point 0.01 further along it.
    Point travel = scene.ball.travelDirection;
    const double len = std::hypot(travel.x, travel.y);
    QPointF screenDirection(0, 0);
    if (len > 1e-9) {
        const Point ahead{ball.x + 0.01 * travel.x / len, ball.y + 0.01 * travel.y / len};
        screenDirection = toQt(view.project(ahead)) - toQt(view.project(ball));
    }
    ball_.setRotation(scene.ball.rotation, screenDirection);

    for (const auto& item : items) {
        switch (item.kind) {
            case 0: {
                const Player& player = item.token->player;
                const TacticalPuck puck{player, PitchPerspective::tokenScale(player.position.y), item.token->selected,
                                        hovered_ && *hovered_ == player.id, PitchPainting::teamFill(player.team, scene)};
                drawPuck(p, puck, toQt(view.project(player.position)), item.token->opacity, dpr);
                break;
            }
            case 1: {
                // A soft ellipse: opaque core, fading over the blur radius.
                const double rx = placement.shadowWidth / 2 + placement.shadowBlur;
                const double ry = placement.shadowHeight / 2 + placement.shadowBlur * placement.shadowHeight /
                                                                   std::max(placement.shadowWidth, 1.0);
                const QPointF c = toQt(placement.shadowCentre);
                QRadialGradient g(QPointF(0, 0), 1);
                const QColor ink(0, 0, 0, qRound(255 * placement.shadowOpacity));
                const double core = std::clamp((placement.shadowWidth / 2 - placement.shadowBlur) / rx, 0.0, 0.95);
                g.setColorAt(0, ink);
                g.setColorAt(core, ink);
                g.setColorAt(1, QColor(0, 0, 0, 0));
                p.save();
                p.translate(c);
                p.scale(rx, ry);
                p.setPen(Qt::NoPen);
                p.setBrush(g);
                p.drawEllipse(QPointF(0, 0), 1.0, 1.0);
                p.restore();
                break;
            }
            case 2:
                ball_.paint(p, toQt(placement.centre), 2 * placement.radius);
                break;
            case 3:
                pieceSprites_.draw(p, *item.piece, pieces, dpr);
                break;
        }
    }
    // The squad's names above their pucks, nearest the viewer last so they stay on top.
    std::vector<std::pair<QPointF, QString>> names;
    for (const SceneToken& token : scene.players)
        if (!token.name.empty() && token.opacity > 0.5) {
            const double scale = PitchPerspective::tokenScale(token.player.position.y);
            const QPointF top = toQt(view.project(token.player.position)) -
                                QPointF(0, (TacticalPuck::kLift + TacticalPuck::kHeight / 2 + 2) * scale);
            names.emplace_back(top, QString::fromStdString(token.name));
        }
    std::sort(names.begin(), names.end(), [](const auto& a, const auto& b) { return a.first.y() > b.first.y(); });
    PitchPainting::drawNames(p, std::move(names), -1);
}

}  // namespace vantrel

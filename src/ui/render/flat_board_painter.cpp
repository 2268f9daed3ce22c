// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/render/flat_board_painter.h"

#include <QPainter>
#include <QLineF>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <optional>
#include <tuple>

#include "ui/render/equipment_painting.h"
#include "ui/style/studio_style.h"

namespace vantrel {

namespace {

constexpr qreal kCornerRadius = 16;
constexpr qreal kMargin = 22;   // painted pitch inset, points

QColor withAlpha(QColor c, qreal alpha) {
    c.setAlphaF(c.alphaF() * alpha);
    return c;
}

// The visibility polygon in view points, without the runs of collinear corners that the
// sweep rays leave along the touchlines: the rasteriser's cost grows with the edge count.
QPolygonF simplifiedPolygon(const std::vector<Point>& polygon, const QRectF& r) {
    QPolygonF out;
    out.reserve(static_cast<int>(polygon.size()));
    for (auto pt : polygon) {
        const QPointF v(r.left() + pt.x * r.width(), r.top() + pt.y * r.height());
        if (!out.isEmpty() && QLineF(out.back(), v).length() < 0.05) continue;
        while (out.size() >= 2) {
            const QPointF a = out[out.size() - 2], b = out.back();
            const QPointF ab = b - a, bv = v - b;
            const qreal cross = ab.x() * bv.y() - ab.y() * bv.x();
            const qreal dot = ab.x() * bv.x() + ab.y() * bv.y();
            // b lies on the straight line from a to v (within a hundredth of a point).
            if (dot > 0 && std::abs(cross) <= 0.01 * std::hypot(bv.x(), bv.y()) + 1e-9) out.removeLast();
            else break;
        }
        out << v;
    }
    return out;
}

// The shaded part of the pitch, as one polygon per shadow: a run of visibility corners
// that leave the pitch's edge, closed along the edge (through the pitch corners it
// passes) back to where the run started. Filling these costs in proportion to the
// shadows' size, where the rectangle-minus-polygon path costs a full frame. Absent
// when the visible region touches no edge (the carrier is walled in): the caller
// then fills the whole complement.
std::optional<std::vector<QPolygonF>> shadowPolygons(const QPolygonF& visible, QPointF origin, const QRectF& bounds) {
    const int n = visible.size();
    auto onEdge = [&](QPointF v) {
        return std::min({std::abs(v.x() - bounds.left()), std::abs(v.x() - bounds.right()),
                         std::abs(v.y() - bounds.top()), std::abs(v.y() - bounds.bottom())}) < 0.5;
    };
    auto angle = [&](QPointF v) { return std::atan2(v.y() - origin.y(), v.x() - origin.x()); };
    int first = -1;
    for (int i = 0; i < n; ++i)
        if (onEdge(visible[i])) {
            first = i;
            break;
        }
    if (first < 0) return std::nullopt;

    const QPointF corners[] = {bounds.topLeft(), bounds.topRight(), bounds.bottomRight(), bounds.bottomLeft()};
    std::vector<QPolygonF> shadows;
    for (int k = 0; k < n;) {
        const int a = (first + k) % n;
        const int next = (a + 1) % n;
        if (onEdge(visible[next])) {
            ++k;
            continue;
        }
        // visible[a] is on the edge and the run a+1 … b-1 is inside the pitch.
        int steps = 1;
        while (steps < n && !onEdge(visible[(a + steps) % n])) ++steps;
        const int b = (a + steps) % n;
        QPolygonF shadow;
        for (int j = 0; j <= steps; ++j) shadow << visible[(a + j) % n];
        const double thetaA = angle(visible[a]);
        auto relative = [&](double theta) {
            double d = theta - thetaA;
            while (d < 0) d += 2 * M_PI;
            while (d >= 2 * M_PI) d -= 2 * M_PI;
            return d;
        };
        const double span = relative(angle(visible[b]));
        std::vector<std::pair<double, QPointF>> passed;
        for (QPointF c : corners) {
            const double rel = relative(angle(c));
            if (rel > 0 && rel < span) passed.emplace_back(rel, c);
        }
        std::sort(passed.begin(), passed.end(), [](const auto& x, const auto& y) { return x.first > y.first; });
        for (const auto& [rel, c] : passed) shadow << c;
        shadows.push_back(shadow);
        k += steps;
    }
    return shadows;
}

QPointF toQt(Point p) { return {p.x, p.y}; }

}  // namespace

const QPixmap& FlatBoardPainter::staticPitch(const FlatProjection& view, qreal dpr) {
    const ViewRect frame = view.rect(), window = view.window();
    const QSize size(qRound(window.width), qRound(window.height));
    if (staticPitchSize_ == size && staticPitchArea_ == view.area && !staticPitch_.isNull() &&
        staticPitch_.devicePixelRatio() == dpr)
        return staticPitch_;
    staticPitchSize_ = size;
    staticPitchArea_ = view.area;
    staticPitch_ = QPixmap(size * dpr);
    staticPitch_.setDevicePixelRatio(dpr);
    staticPitch_.fill(Qt::transparent);

    const QSizeF pitch(qRound(frame.width), qRound(frame.height));
    const QRectF painted(kMargin, kMargin, pitch.width() - 2 * kMargin, pitch.height() - 2 * kMargin);
    // The whole pitch in its frame, placed as the view places it relative to the window;
    // a turned window is cut from the pitch with corners rounded like the whole one's.
    const QTransform place = frameTransform(view) * QTransform::fromTranslate(-window.left, -window.top);
    QPainter p(&staticPitch_);
    if (view.turned()) {
        QPainterPath clip;
        clip.addRoundedRect(QRectF(QPointF(0, 0), QSizeF(size)), kCornerRadius, kCornerRadius);
        p.setClipPath(clip);
    }
    p.setTransform(place);
    paintPitchSurface(p, pitch, view.turned() ? 1.0 : dpr);
    p.end();

    // The same pitch under the vision overlay's light wash, so a frame with the overlay
    // blits one image instead of washing the whole pitch again.
    washedPitch_ = staticPitch_;
    QPainter w(&washedPitch_);
    w.setTransform(place);
    w.fillRect(painted, withAlpha(StudioStyle::onPitch(), 0.055));
    return staticPitch_;
}

QTransform FlatBoardPainter::frameTransform(const FlatProjection& view) {
    const Point o = view.origin();
    QTransform t = QTransform::fromTranslate(o.x, o.y);
    if (view.turned()) t.rotate(-90);   // frame (x, y) lands at origin + (y, -x)
    return t;
}

// The turf, the stripes and the markings of a pitch of `size` points with its corner at
// the painter's origin.
void FlatBoardPainter::paintPitchSurface(QPainter& p, QSizeF size, qreal dpr) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const qreal W = size.width();
    const qreal H = size.height();
    QPainterPath clip;
    clip.addRoundedRect(QRectF(0, 0, W, H), kCornerRadius, kCornerRadius);
    p.setClipPath(clip, Qt::IntersectClip);   // within a turned window's own rounded cut
    p.fillRect(QRectF(0, 0, W, H), StudioStyle::pitch());

    const QRectF painted(kMargin, kMargin, W - 2 * kMargin, H - 2 * kMargin);
    const qreal band = painted.width() / 10;
    for (int i = 0; i < 10; i += 2)
        p.fillRect(QRectF(painted.left() + i * band, painted.top(), band, painted.height()),
                   withAlpha(StudioStyle::pitchStripe(), 0.35));

    // Every marking in one path, stroked once: where the penalty and goal areas meet the
    // goal line the translucent ink is laid once, so a line keeps one brightness. Straight
    // lines sit on device pixels (a 1.5-point line from a pixel edge), so they stay crisp.
    const QColor line = StudioStyle::pitchLine();
    constexpr qreal kLineWidth = 1.5;
    auto snap = [dpr](qreal c) {
        const qreal half = kLineWidth * dpr / 2;
        return (std::round(c * dpr - half) + half) / dpr;
    };
    const qreal left = snap(kMargin), right = snap(W - kMargin), top = snap(kMargin), bottom = snap(H - kMargin);
    const qreal middle = snap(W / 2);
    QPainterPath markings;
    markings.addPolygon(QPolygonF({{left, top}, {right, top}, {right, bottom}, {left, bottom}}));
    markings.closeSubpath();
    markings.moveTo(middle, top);
    markings.lineTo(middle, bottom);
    markings.addEllipse(QPointF(W / 2, H / 2), 48, 48);
    for (const auto& [width, from, to] : {std::tuple{0.15, 0.25, 0.75}, std::tuple{0.055, 0.38, 0.62}}) {
        const qreal y0 = snap(from * H), y1 = snap(to * H);
        const qreal inLeft = snap(kMargin + width * W), inRight = snap(W - kMargin - width * W);
        markings.addPolygon(QPolygonF({{left, y0}, {inLeft, y0}, {inLeft, y1}, {left, y1}}));
        markings.addPolygon(QPolygonF({{right, y0}, {inRight, y0}, {inRight, y1}, {right, y1}}));
    }
    p.setPen(QPen(line, kLineWidth, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(markings);
    p.setPen(Qt::NoPen);
    p.setBrush(line);
    for (QPointF spot : {QPointF(W / 2, H / 2), QPointF(0.115 * W, H / 2), QPointF(0.885 * W, H / 2)})
        p.drawEllipse(spot, 2, 2);
    EquipmentPainting::drawPitchGoals(p, markedPitch(QRectF(0, 0, W, H)));
    p.restore();
}

EquipmentPainting::View FlatBoardPainter::markedPitch(const QRectF& r) {
    const QRectF m = r.adjusted(kMargin, kMargin, -kMargin, -kMargin);
    return {[m](Point pt) { return QPointF(m.left() + pt.x * m.width(), m.top() + pt.y * m.height()); }};
}

EquipmentPainting::View FlatBoardPainter::equipmentView(QSizeF size) const {
    const FlatProjection view = projectionFor(size);
    return {[view](Point pt) { return toQt(view.toView(pt)); }};
}

QPointF FlatBoardPainter::toView(QSizeF size, Point p) const { return toQt(projectionFor(size).toView(p)); }

Point FlatBoardPainter::toPitch(QSizeF size, QPointF v) const { return projectionFor(size).toPitch({v.x(), v.y()}); }

QRectF FlatBoardPainter::tokenRect(QSizeF size, const SceneToken& token) const {
    const QPointF c = toView(size, token.player.position);
    const qreal r = PitchPainting::kTokenDiameter / 2;
    return {c.x() - r, c.y() - r, 2 * r, 2 * r};
}

bool FlatBoardPainter::tokenContains(QSizeF size, const SceneToken& token, QPointF v) const {
    return QLineF(toView(size, token.player.position), v).length() <= PitchPainting::kTokenDiameter / 2 + 1;
}

QPointF FlatBoardPainter::ballCentre(const BoardScene& scene, QSizeF size) const {
    return toQt(projectionFor(size).ballPlacement(scene.ballGround(), scene.ballDrawnHeight()).centre);
}

void FlatBoardPainter::paintBoard(QPainter& painter, const BoardScene& scene, QSizeF size, qreal dpr) {
    area_ = scene.pitchAreas ? scene.pitchAreas->effectiveArea() : PitchArea::full;
    const FlatProjection view = projectionFor(size);
    const ViewRect rect = view.rect(), window = view.window();
    // The whole pitch in its frame; `frame` places it in the view (turned for an area).
    const QRectF r(0, 0, rect.width, rect.height);
    const QRectF shown(window.left, window.top, window.width, window.height);
    const QTransform frame = frameTransform(view);
    if (r.width() < 1 || r.height() < 1) return;
    const int appearance = StudioStyle::isDark() ? 1 : 0;
    if (appearance != appearance_) {
        clearCaches();
        appearance_ = appearance;
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);

    const QSize pitchSize(qRound(r.width()), qRound(r.height()));
    const double washed = scene.vision ? scene.vision->opacity : 0.0;
    // On whole device pixels, so the snapped markings stay crisp.
    const QPointF origin(std::round(shown.left() * dpr) / dpr, std::round(shown.top() * dpr) / dpr);
    if (PitchPainting::isVectorDevice(painter)) {
        // A handout page keeps the pitch as lines and fills, sharp when printed.
        painter.save();
        QPainterPath cut;
        cut.addRoundedRect(shown, kCornerRadius, kCornerRadius);
        painter.setClipPath(cut, Qt::IntersectClip);
        painter.setTransform(frame, true);
        paintPitchSurface(painter, QSizeF(pitchSize), dpr);
        if (washed > 0)
            painter.fillRect(QRectF(kMargin, kMargin, pitchSize.width() - 2 * kMargin, pitchSize.height() - 2 * kMargin),
                             withAlpha(StudioStyle::onPitch(), 0.055 * washed));
        painter.restore();
    } else {
        const QPixmap& plain = staticPitch(view, dpr);
        if (washed < 1) painter.drawPixmap(origin, plain);
        if (washed > 0) {
            painter.setOpacity(washed);
            painter.drawPixmap(origin, washedPitch_);
            painter.setOpacity(1);
        }
    }

    // A rectangular clip keeps every fill on the raster engine's fast path. Nothing that
    // moves reaches the rounded corners: positions stay 0.04 of the pitch from its edges.
    painter.setClipRect(shown, Qt::IntersectClip);
    // What lies on the turf is drawn in the pitch's frame; pieces and their paths below
    // stand upright at their projected points.
    painter.save();
    painter.setTransform(frame, true);
    if (scene.pitchAreas) EquipmentPainting::drawPitchAreas(painter, *scene.pitchAreas, markedPitch(r));
    if (scene.vision) paintVision(painter, r, *scene.vision);
    if (scene.offside) paintOffside(painter, r, *scene.offside, scene);
    painter.restore();
    paintMoves(painter, view, scene);
    const auto project = [&](Point q) { return toQt(view.toView(q)); };
    if (scene.focus) PitchPainting::drawFocusPath(painter, *scene.focus, scene, project, [](Point) { return 1.0; });
    if (scene.passPreview) paintPassPreview(painter, view, *scene.passPreview, scene);
    if (scene.route) paintSelectedRoute(painter, view, *scene.route, scene);
    if (const SceneToken* focused = scene.focus ? scene.token(scene.focus->playerID) : nullptr) {
        const qreal r = PitchPainting::kTokenDiameter / 2 + 5;
        PitchPainting::drawFocusHalo(painter, project(focused->player.position), r, r,
                                     PitchPainting::routeColor(focused->player.team, scene));
    }
    paintPlayersAndBall(painter, view, scene, dpr);
    paintInterceptionRisk(painter, view, scene);
    painter.restore();
}

void FlatBoardPainter::paintVision(QPainter& p, const QRectF& r, const SceneVision& vision) {
    const QPolygonF visible = simplifiedPolygon(vision.polygon, r);
    const QPointF origin(r.left() + std::clamp(vision.origin.x, 0.0, 1.0) * r.width(),
                         r.top() + std::clamp(vision.origin.y, 0.0, 1.0) * r.height());

    const QRectF painted = r.adjusted(kMargin, kMargin, -kMargin, -kMargin);
    p.save();
    p.setClipRect(painted, Qt::IntersectClip);
    p.setOpacity(p.opacity() * vision.opacity);
    p.setPen(Qt::NoPen);
    // The light wash lies under the whole painted area (the washed pitch image) and the
    // shadows go over it, in an ink that turns washed turf into exactly the turf under
    // the shade. Washing only the visible polygon would cost a full-frame antialiased fill.
    p.setBrush(PitchPainting::shadowOverWash());
    const auto shadows = shadowPolygons(visible, origin, r);
    if (shadows) {
        p.setRenderHint(QPainter::Antialiasing, false);
        for (const auto& shadow : *shadows) p.drawPolygon(shadow);
        p.setRenderHint(QPainter::Antialiasing, true);
        QColor edge = PitchPainting::shadowOverWash();
        edge.setAlphaF(edge.alphaF() * 0.5);
        p.setPen(QPen(edge, 1.0));
        p.setBrush(Qt::NoBrush);
        for (const auto& shadow : *shadows) p.drawPolyline(shadow);
    } else {
        QPainterPath shade;
        shade.setFillRule(Qt::OddEvenFill);
        shade.addRect(painted);
        shade.addPolygon(visible);
        shade.closeSubpath();
        p.drawPath(shade);
    }
    p.restore();
}

void FlatBoardPainter::paintOffside(QPainter& p, const QRectF& r, const OffsideLines& offside, const BoardScene& scene) {
    struct Line {
        double x;
        QColor color;
        QString label;
        qreal width;
    };
    const Line lines[] = {
        {offside.blue, PitchPainting::offsideColor(0, scene), QStringLiteral("OFFSIDE · BLUE"), 94},
        {offside.orange, PitchPainting::offsideColor(1, scene), QStringLiteral("OFFSIDE · ORANGE"), 110},
    };
    QFont font = p.font();
    font.setPixelSize(9);
    font.setWeight(QFont::Medium);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 0.35);
    const QColor turf = StudioStyle::pitch(), shade = StudioStyle::pitchShade();
    const QColor labelBacking = QColor::fromRgbF(turf.redF() + 0.6 * (shade.redF() - turf.redF()),
                                                 turf.greenF() + 0.6 * (shade.greenF() - turf.greenF()),
                                                 turf.blueF() + 0.6 * (shade.blueF() - turf.blueF()));
    for (const auto& line : lines) {
        const qreal x = r.left() + r.width() * line.x;
        QPen pen(withAlpha(line.color, 0.75), 1.5);
        pen.setDashPattern({6 / 1.5, 5 / 1.5});   // dash lengths are in pen widths
        p.setPen(pen);
        p.drawLine(QPointF(x, r.top() + kMargin), QPointF(x, r.bottom() - kMargin));

        const qreal lo = r.left() + kMargin + line.width / 2;
        const qreal cx = std::clamp(x, lo, std::max(lo, r.right() - kMargin - line.width / 2));
        const QRectF label(cx - line.width / 2, r.top() + 27, line.width, 20);
        // Opaque: the shade at 0.6 laid over the turf beforehand, so the dashed line stops
        // at the label instead of running through the text.
        p.setPen(Qt::NoPen);
        p.setBrush(labelBacking);
        p.drawRoundedRect(label, 7, 7);
        p.setFont(font);
        p.setPen(withAlpha(line.color, 0.95));
        p.drawText(QRectF(cx - line.width / 2, r.top() + 37 - 10, line.width, 20), Qt::AlignCenter, line.label);
    }
}

void FlatBoardPainter::paintMoves(QPainter& p, const FlatProjection& view, const BoardScene& scene) {
    if (scene.moves.empty() || scene.movesOpacity <= 0) return;
    p.save();
    p.setOpacity(p.opacity() * scene.movesOpacity);
    for (const SceneMove& move : scene.moves) {
        QPolygonF line;
        if (move.kind == SceneMove::Kind::pass)
            for (const auto& s : move.pass.samples()) line << toQt(view.ballPlacement(s.position, s.height).centre);
        else
            for (int i = 0; i <= 24; ++i) line << toQt(view.toView(move.curve.at(i / 24.0)));
        PitchPainting::drawMove(p, move, line, withAlpha(PitchPainting::routeColor(move.team, scene), 0.85),
                                PitchPainting::kTokenDiameter / 2 + 2);
    }
    p.restore();
}

void FlatBoardPainter::paintPassPreview(QPainter& p, const FlatProjection& view, const ScenePass& pass, const BoardScene& scene) {
    const auto& samples = passPreviewCache_.samples(pass.path);
    if (samples.size() < 2) return;
    QPolygonF line;
    for (const auto& s : samples)
        line << toQt(view.ballPlacement(s.position, s.height).centre);   // ends where the ball is drawn
    const QColor color = PitchPainting::routeColor(pass.team, scene);
    QPen pen(color, 2, Qt::CustomDashLine, Qt::RoundCap, Qt::RoundJoin);
    pen.setDashPattern({5.0 / 2, 5.0 / 2});
    PitchPainting::drawArrow(p, line, pen);
}

void FlatBoardPainter::paintSelectedRoute(QPainter& p, const FlatProjection& view, const SceneRun& run, const BoardScene& scene) {
    const RunCurve* route = &run.curve;
    auto map = [&](Point pt) { return toQt(view.toView(pt)); };
    const QPointF start = map(route->start), control = map(route->control), end = map(route->end);
    const QColor color = withAlpha(PitchPainting::routeColor(run.team, scene), 0.75);
    QPainterPath curve(start);
    curve.quadTo(control, end);
    PitchPainting::drawArrow(p, curve, QPen(color, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin), control, end);

    PitchPainting::drawRouteHandle(p, map(route->at(0.5)));
}

void FlatBoardPainter::paintPlayersAndBall(QPainter& p, const FlatProjection& view, const BoardScene& scene, qreal dpr) {
    const SceneBall& ball = scene.ball;
    const BallPlacement placement = view.ballPlacement(ball.position, ball.height);
    const EquipmentPainting::View pieces{[&view](Point pt) { return toQt(view.toView(pt)); }};
    for (const auto& item : scene.order) {
        switch (item.layer) {
            case BoardScene::Layer::token: {
                const SceneToken& token = scene.players[static_cast<std::size_t>(item.player)];
                tokenSprites_.draw(p, toQt(view.toView(token.player.position)), token.player, token.selected,
                                   token.opacity, dpr, PitchPainting::teamFill(token.player.team, scene));
                break;
            }
            case BoardScene::Layer::ballAtFeet: {
                const Point feet = scene.players[static_cast<std::size_t>(item.player)].player.position;
                PitchPainting::drawFootball(p, toQt(view.ballPlacement(feet, 0).centre), 13, ball.rotation, 0.3);
                break;
            }
            case BoardScene::Layer::ballShadow:
                p.setPen(Qt::NoPen);
                p.setBrush(QColor(0, 0, 0, qRound(255 * placement.shadowOpacity)));
                p.drawEllipse(toQt(placement.shadowCentre), placement.shadowWidth / 2, placement.shadowHeight / 2);
                break;
            case BoardScene::Layer::ball:
                PitchPainting::drawFootball(p, toQt(placement.centre), 2 * placement.radius, ball.rotation, 0.25);
                break;
            case BoardScene::Layer::equipment:
                pieceSprites_.draw(p, scene.equipment[static_cast<std::size_t>(item.player)], pieces, dpr);
                break;
        }
    }
    // The squad's names under their tokens, over everything else on the turf.
    std::vector<std::pair<QPointF, QString>> names;
    for (const SceneToken& token : scene.players)
        if (!token.name.empty() && token.opacity > 0.5) {
            // The ball at a carrier's feet sits below his token: his name goes under it.
            const bool carrier = ball.carrierID && *ball.carrierID == token.player.id;
            names.emplace_back(toQt(view.toView(token.player.position)) + QPointF(0, carrier ? 7 : 0),
                               QString::fromStdString(token.name));
        }
    std::sort(names.begin(), names.end(), [](const auto& a, const auto& b) { return a.first.y() < b.first.y(); });
    PitchPainting::drawNames(p, std::move(names), PitchPainting::kTokenDiameter / 2 + 3);
}

void FlatBoardPainter::paintInterceptionRisk(QPainter& p, const FlatProjection& view, const BoardScene& scene) {
    const auto& risk = scene.risk;
    if (!risk) return;
    const QColor red = StudioStyle::destructive();
    const QPointF at = toQt(view.toView(risk->at));
    p.save();
    if (const SceneToken* interceptor = scene.token(risk->interceptor.id)) {
        const QColor ring = PitchPainting::interceptionColor(interceptor->player.team, scene);
        const QPointF c = toQt(view.toView(interceptor->player.position));
        const qreal r = PitchPainting::kTokenDiameter / 2 + 2.5;
        // His way to the ball, from the rim of his ring to the marker's.
        const QLineF reach(c, at);
        if (reach.length() > r + 10) {
            p.setPen(QPen(withAlpha(ring, 0.75), 1.5, Qt::DashLine, Qt::RoundCap));
            p.drawLine(reach.pointAt(r / reach.length()), reach.pointAt(1 - 10 / reach.length()));
        }
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(Qt::white, 5));
        p.drawEllipse(c, r, r);
        p.setPen(QPen(ring, 3));
        p.drawEllipse(c, r, r);
    }
    // The point of interception: a red ring with a cross, readable on turf of any tone.
    p.setPen(QPen(Qt::white, 5));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(at, 8, 8);
    p.setPen(QPen(red, 2.5, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(withAlpha(red, 0.25));
    p.drawEllipse(at, 8, 8);
    p.drawLine(at + QPointF(-4, -4), at + QPointF(4, 4));
    p.drawLine(at + QPointF(-4, 4), at + QPointF(4, -4));
    p.restore();
}

}  // namespace vantrel

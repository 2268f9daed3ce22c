#include "ui/tools/perspective_board_geometry.h"

#include <QLineF>

#include <algorithm>
#include <cmath>

#include "core/pitch/ball_projection.h"
#include "core/store/board_store.h"
#include "ui/render/pitch_painting.h"
#include "ui/render/perspective_renderer.h"

namespace vantrel {

QPointF PerspectiveBoardGeometry::toView(Point p) const {
    const Point v = perspective_.project(p);
    return {v.x, v.y};
}

Point PerspectiveBoardGeometry::toPitch(QPointF v) const { return perspective_.unproject({v.x(), v.y()}); }

Point PerspectiveBoardGeometry::ballPosition(QPointF v) const {
    return BallProjection::modelPosition({v.x(), v.y()}, perspective_);
}

std::optional<std::string> PerspectiveBoardGeometry::playerAt(QPointF v) const {
    const Player* hit = nullptr;
    double hitZ = -1e9;
    const auto players = store_.displayPlayers();
    for (const auto& pl : players) {
        if (!TacticalPuck::contains(toView(pl.position), PitchPerspective::tokenScale(pl.position.y), v)) continue;
        const double z = 100 * pl.position.y + 1;
        if (!hit || z >= hitZ) hit = &pl, hitZ = z;   // the puck drawn on top wins
    }
    if (!hit) return std::nullopt;
    return hit->id;
}

QPointF PerspectiveBoardGeometry::ballCentre() const {
    const Point c = perspective_.ballPlacement(store_.displayBall(), store_.displayBallHeight()).centre;
    return {c.x, c.y};
}

double PerspectiveBoardGeometry::ballRadius() const {
    return perspective_.ballPlacement(store_.displayBall(), store_.displayBallHeight()).radius;
}

bool PerspectiveBoardGeometry::ballAt(QPointF v) const { return QLineF(ballCentre(), v).length() <= ballRadius() + 2; }

std::optional<QPointF> PerspectiveBoardGeometry::routeHandleCentre() const {
    const auto route = store_.shownRoute();
    if (!route) return std::nullopt;
    return toView(route->at(0.5));
}

bool PerspectiveBoardGeometry::routeHandleAt(QPointF v) const {
    const auto handle = routeHandleCentre();
    return handle && QLineF(*handle, v).length() <= PitchPainting::kHandleDiameter / 2 + 3;
}

}  // namespace vantrel

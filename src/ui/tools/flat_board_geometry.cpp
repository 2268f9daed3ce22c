#include "ui/tools/flat_board_geometry.h"

#include <QLineF>

#include <cmath>

#include "core/store/board_store.h"
#include "ui/render/pitch_painting.h"

namespace vantrel {

QPointF FlatBoardGeometry::toView(Point p) const {
    const Point v = projection_.toView(p);
    return {v.x, v.y};
}

Point FlatBoardGeometry::toPitch(QPointF v) const { return projection_.toPitch({v.x(), v.y()}); }

std::optional<std::string> FlatBoardGeometry::playerAt(QPointF v) const {
    const auto players = store_.displayPlayers();
    const Player* hit = nullptr;
    double hitZ = -1e9;
    for (const auto& pl : players) {
        if (QLineF(toView(pl.position), v).length() <= PitchPainting::kTokenDiameter / 2 + 1) {
            const double z = 100 * pl.position.y + 1;
            if (!hit || z >= hitZ) hit = &pl, hitZ = z;   // the token drawn on top wins
        }
    }
    if (!hit) return std::nullopt;
    return hit->id;
}

QPointF FlatBoardGeometry::ballCentre() const {
    // At its owner's feet unless a pass is in flight; free, it rises with its height.
    Point ball = store_.displayBall();
    double height = store_.displayBallHeight();
    const auto owner = store_.displayOwnerID();
    if (owner && !store_.passingFromID()) {
        for (const auto& pl : store_.displayPlayers())
            if (pl.id == *owner) ball = pl.position, height = 0;
    }
    const Point c = projection_.ballPlacement(ball, height).centre;
    return {c.x, c.y};
}

bool FlatBoardGeometry::ballAt(QPointF v) const { return QLineF(ballCentre(), v).length() <= 9; }

std::optional<QPointF> FlatBoardGeometry::routeHandleCentre() const {
    const auto route = store_.shownRoute();
    if (!route) return std::nullopt;
    return toView(route->at(0.5));
}

bool FlatBoardGeometry::routeHandleAt(QPointF v) const {
    const auto handle = routeHandleCentre();
    return handle && QLineF(*handle, v).length() <= PitchPainting::kHandleDiameter / 2 + 3;
}

}  // namespace vantrel

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QPainter>
#include <QPointF>
#include <QPixmap>
#include <QPolygonF>

#include <functional>
#include <map>
#include <optional>
#include <tuple>
#include <string>
#include <vector>

#include "core/model/board.h"
#include "core/scene/board_scene.h"

namespace vantrel {

// Drawing pieces shared by the pitch views.
namespace PitchPainting {

// A closed triangle 8 points long and 7 wide whose tip is `to`, pointing away from `from`.
QPolygonF arrowhead(QPointF from, QPointF to);
// A run or a pass: `line` (at least two points) stroked with `pen`, with an arrowhead of
// the pen's colour on its last piece. A curve gives the direction of its head itself.
void drawArrow(QPainter& painter, const QPolygonF& line, const QPen& pen);
void drawArrow(QPainter& painter, const QPainterPath& curve, const QPen& pen, QPointF headFrom, QPointF tip);
// One move of a coaching diagram along `line` (view coordinates, start to tip, at least
// two points) in `color`: a run solid, a dribble wavy, a pass solid along the ground and
// dashed when lofted; each with its arrowhead, `tipGap` points short of the line's end
// (the token standing there).
void drawMove(QPainter& painter, const SceneMove& move, QPolygonF line, QColor color, qreal tipGap);

// Team 1 runs in orange, everything else in blue; in the squad's kit colour when the
// scene has one for the team.
QColor routeColor(int team);
QColor routeColor(int team, const BoardScene& scene);
// The offside line of a team's attackers: its own colour, or the squad's kit.
QColor offsideColor(int team, const BoardScene& scene);
// The ring and reach of a player who cuts a move out: the squad's kit of his team, else
// the warning red.
QColor interceptionColor(int team, const BoardScene& scene);
// One focused player's path (focus_painting.cpp): each run an arrow in his team's colour
// on a pale casing, each stop a disc with its step numbers; `project` maps pitch to view
// points and `scale` gives the size of a token there (1 on the flat board).
void drawFocusPath(QPainter& painter, const SceneFocus& focus, const BoardScene& scene,
                   const std::function<QPointF(Point)>& project, const std::function<qreal(Point)>& scale);
// A halo around the focused player's token of `radius` points.
void drawFocusHalo(QPainter& painter, QPointF centre, qreal radiusX, qreal radiusY, QColor color);
// A token's fill: the team's colour, or the squad's kit.
QColor teamFill(int team, const BoardScene& scene);
// The shirt number's ink on `fill`: white, or near black on a light kit.
QColor numberInk(QColor fill);
// The squad's names by their tokens: each label centred `offset` points below (negative:
// above) its anchor, shortened with "…" beyond 84 points, and moved further from the
// anchor while it would cover a label already drawn. `labels` pairs anchor and name.
void drawNames(QPainter& painter, std::vector<std::pair<QPointF, QString>> labels, qreal offset);

// A white football of `diameter` points with its dark panels, turned by `rotationDegrees`.
void drawFootball(QPainter& painter, QPointF centre, qreal diameter, qreal rotationDegrees, qreal shadowOpacity);

// The selected run's control handle: a white disc with a brand outline, kept apart from
// the turf by a dark hairline (brand green alone vanishes on the pitch in light mode).
void drawRouteHandle(QPainter& painter, QPointF centre);

// Shade 0.28 of `pitchShade` over the turf, as an ink at opacity 0.5 for turf that already
// carries the vision overlay's 0.055 `onPitch` wash.
QColor shadowOverWash();

// A round team token: fill (the team's colour unless given), white rim, shirt number;
// selected tokens get two rings.
void drawToken(QPainter& painter, QPointF centre, const Player& player, bool selected, qreal opacity,
               std::optional<QColor> fill = std::nullopt);

inline constexpr qreal kTokenDiameter = 31;
inline constexpr qreal kHandleDiameter = 13;   // the selected run's control handle

// True when `painter` draws onto a vector device (PDF, SVG, picture): cached images
// would print soft there, so such a page gets shapes instead.
bool isVectorDevice(const QPainter& painter);

// Painted tokens kept as pixmaps: a frame blits 22 small images instead of laying out 22
// numbers. Keyed by fill, number, selection and pixel ratio; `clear` after an
// appearance change (the selection ring follows the brand colour).
class TokenSprites {
public:
    void draw(QPainter& painter, QPointF centre, const Player& player, bool selected, qreal opacity, qreal dpr,
              QColor fill);
    void clear() { sprites_.clear(); }

private:
    std::map<std::tuple<QRgb, int, bool, int>, QPixmap> sprites_;
};

}  // namespace PitchPainting

}  // namespace vantrel

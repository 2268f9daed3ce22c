// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPainter>
#include <QPointF>
#include <QRectF>

#include <QPixmap>

#include <functional>
#include <map>
#include <tuple>

#include "core/model/equipment.h"
#include "core/scene/board_scene.h"

namespace vantrel::EquipmentPainting {

// How a surface shows the pitch: `project` maps pitch points to view points; on the 3D
// view pieces stand up, as tall on screen per metre as the turf is wide there.
struct View {
    std::function<QPointF(Point)> project;
    bool upright = false;
    double metresAlong = kPitchLengthMetres;   // pitch x 0 … 1 in metres
    double metresAcross = kPitchWidthMetres;   // pitch y 0 … 1 in metres
};

// One piece: its 2D symbol or its 3D shape, at its opacity; a selected piece gets a
// ring and its turning handle.
void drawPiece(QPainter& painter, const SceneEquipment& piece, const View& view);
// Pieces kept as pixmaps: a frame blits 200 small images instead of stroking 200 shapes.
// Keyed by kind, colour, the piece's projected axes (to a quarter point) and pixel
// ratio, so a piece standing still is drawn once; a vector device (PDF, SVG) gets shapes.
class PieceSprites {
public:
    void draw(QPainter& painter, const SceneEquipment& piece, const View& view, qreal dpr);
    void clear() { sprites_.clear(); }

private:
    using Key = std::tuple<int, unsigned, int, int, int, int, int, int, int>;
    struct Sprite {
        QPixmap pixmap;
        QPointF origin;   // the piece's ground point in the pixmap, in points
    };
    std::map<Key, Sprite> sprites_;
};

// Where the turning handle of a piece is drawn, and whether a view point lies on the piece.
QPointF turnHandle(const SceneEquipment& piece, const View& view);
bool contains(const SceneEquipment& piece, const View& view, QPointF viewPoint);
// The square around the disc `contains` takes for the piece, in view points.
QRectF bounds(const SceneEquipment& piece, const View& view);
inline constexpr qreal kHandleRadius = 6.5;

// Both full-size goals at the goal lines, as part of the pitch: `view` maps the marked
// pitch (goal line to goal line, touchline to touchline) onto 0 … 1. In 3D a frame and a
// net, in 2D the frame seen from above.
void drawPitchGoals(QPainter& painter, const View& view);

// The tactic's pitch area and grid over the marked pitch (as for the goals): the part
// outside the area dimmed behind a line, the grid as faint lines.
void drawPitchAreas(QPainter& painter, const PitchAreas& areas, const View& view);

}  // namespace vantrel::EquipmentPainting

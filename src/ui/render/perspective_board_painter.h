// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QPixmap>
#include <QPointF>
#include <QSize>

#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "core/pitch/motion_path.h"
#include "core/pitch/pitch_perspective.h"
#include "ui/render/board_painter.h"
#include "ui/render/tactical_ball_view.h"

class QPainter;

namespace vantrel {

// A player of the 3D view: a round puck standing on the turf, drawn around its projected
// ground point and scaled by its depth. Sizes are in points at scale 1.
struct TacticalPuck {
    Player player;
    double scale = 1;
    bool selected = false;
    bool hovered = false;
    QColor fill;   // the team's colour or the squad's kit

    static constexpr double kWidth = 30;        // the top face and the body
    static constexpr double kHeight = 20;
    static constexpr double kThickness = 6;     // the side between body and top face
    static constexpr double kLift = 9;          // top face centre above the ground point

    // Whether `viewPoint` lies on the puck standing at `centre` (its projected ground point).
    static bool contains(QPointF centre, double scale, QPointF viewPoint);

    // The puck at scale 1 with its ground point at `centre`.
    void paint(QPainter& painter, QPointF centre) const;
};

// The board seen from above one touchline: the far touchline narrower and higher, pucks
// that grow towards the viewer, the rolling ball rising over its soft shadow.
class PerspectiveBoardPainter : public BoardPainter {
public:
    static PitchPerspective projectionFor(QSizeF size) { return {{size.width(), size.height()}}; }

    Projection projection() const override { return Projection::perspective; }
    QPointF toView(QSizeF size, Point pitchPoint) const override;
    Point toPitch(QSizeF size, QPointF viewPoint) const override;
    Point ballPosition(QSizeF size, QPointF viewPoint) const override;
    QRectF tokenRect(QSizeF size, const SceneToken& token) const override;
    QPointF ballCentre(const BoardScene& scene, QSizeF size) const override;
    double ballRadius(const BoardScene& scene, QSizeF size) const override;
    void clearCaches() override;
    EquipmentPainting::View equipmentView(QSizeF size) const override;

    const TacticalBallView& ball() const { return ball_; }

protected:
    void paintBoard(QPainter& painter, const BoardScene& scene, QSizeF size, qreal dpr) override;
    bool tokenContains(QSizeF size, const SceneToken& token, QPointF viewPoint) const override;

private:
    void prepareStaticPitch(QSize size, qreal dpr);
    // The marked pitch (goal line to goal line) as 0 … 1, pieces standing up.
    static EquipmentPainting::View markedPitch(const PitchPerspective& view);
    void paintVision(QPainter& p, const PitchPerspective& view, const SceneVision& vision);
    void paintOffside(QPainter& p, const PitchPerspective& view, const OffsideLines& offside, const BoardScene& scene);
    void paintPassPreview(QPainter& p, const PitchPerspective& view, const ScenePass& pass, const BoardScene& scene);
    void paintMoves(QPainter& p, const PitchPerspective& view, const BoardScene& scene);
    void paintSelectedRoute(QPainter& p, const PitchPerspective& view, const SceneRun& run, const BoardScene& scene);
    void paintInterceptionRisk(QPainter& p, const PitchPerspective& view, const BoardScene& scene);
    void paintPucksAndBall(QPainter& p, const PitchPerspective& view, const BoardScene& scene, qreal dpr);
    void drawPuck(QPainter& p, const TacticalPuck& puck, QPointF centre, qreal opacity, qreal dpr);

    PathPreviewCache passPreviewCache_;
    TacticalBallView ball_;
    EquipmentPainting::PieceSprites pieceSprites_;
    QPixmap staticPitch_;
    QPixmap washedPitch_;
    QSize staticPitchSize_;
    int appearance_ = -1;
    // Keyed by team, number, selected, hovered, scale in hundredths and pixel ratio.
    std::map<std::tuple<QRgb, int, bool, bool, int, int>, QPixmap> puckSprites_;
};

}  // namespace vantrel

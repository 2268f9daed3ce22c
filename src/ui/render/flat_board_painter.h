// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTransform>

#include <QPixmap>
#include <QSize>

#include "core/pitch/flat_projection.h"
#include "core/pitch/motion_path.h"
#include "ui/render/board_painter.h"
#include "ui/render/pitch_painting.h"

namespace vantrel {

// The flat, top-down board: the unit square on the largest rectangle of aspect 1.55
// centred in the surface, round tokens, the ball at its carrier's feet or free above its
// shadow.
class FlatBoardPainter : public BoardPainter {
public:
    // The projection of the area last painted (a half or the final third turns the pitch
    // to fill the view), so hit tests answer for what is on screen.
    FlatProjection projectionFor(QSizeF size) const { return {{size.width(), size.height()}, area_}; }
    // Where the pitch's frame (the whole pitch at `rect()`'s size, corner at 0, 0) lies in
    // the view.
    static QTransform frameTransform(const FlatProjection& view);
    AnnotationSurface annotationSurface(QSizeF size) const override { return AnnotationSurface::flat(size, area_); }

    Projection projection() const override { return Projection::flat; }
    QPointF toView(QSizeF size, Point pitchPoint) const override;
    Point toPitch(QSizeF size, QPointF viewPoint) const override;
    Point ballPosition(QSizeF size, QPointF viewPoint) const override { return toPitch(size, viewPoint); }
    QRectF tokenRect(QSizeF size, const SceneToken& token) const override;
    QPointF ballCentre(const BoardScene& scene, QSizeF size) const override;
    double ballRadius(const BoardScene&, QSizeF) const override { return 7; }
    void clearCaches() override { tokenSprites_.clear(); }
    EquipmentPainting::View equipmentView(QSizeF size) const override;

protected:
    void paintBoard(QPainter& painter, const BoardScene& scene, QSizeF size, qreal dpr) override;
    bool tokenContains(QSizeF size, const SceneToken& token, QPointF viewPoint) const override;

private:
    // The pitch as the view shows it, painted once per size, area and appearance.
    const QPixmap& staticPitch(const FlatProjection& view, qreal dpr);
    static void paintPitchSurface(QPainter& p, QSizeF size, qreal dpr);
    // The marked pitch (goal line to goal line) of the pitch rectangle `r` as 0 … 1.
    static EquipmentPainting::View markedPitch(const QRectF& r);
    void paintVision(QPainter& p, const QRectF& r, const SceneVision& vision);
    void paintOffside(QPainter& p, const QRectF& r, const OffsideLines& offside, const BoardScene& scene);
    void paintPassPreview(QPainter& p, const FlatProjection& view, const ScenePass& pass, const BoardScene& scene);
    void paintMoves(QPainter& p, const FlatProjection& view, const BoardScene& scene);
    void paintSelectedRoute(QPainter& p, const FlatProjection& view, const SceneRun& run, const BoardScene& scene);
    void paintPlayersAndBall(QPainter& p, const FlatProjection& view, const BoardScene& scene, qreal dpr);
    // Where playback of the move into the step would be cut out, and by whom (red ring).
    void paintInterceptionRisk(QPainter& p, const FlatProjection& view, const BoardScene& scene);

    PathPreviewCache passPreviewCache_;
    PitchPainting::TokenSprites tokenSprites_;
    EquipmentPainting::PieceSprites pieceSprites_;
    QPixmap staticPitch_;
    QPixmap washedPitch_;
    QSize staticPitchSize_;
    PitchArea staticPitchArea_ = PitchArea::full;
    PitchArea area_ = PitchArea::full;
    int appearance_ = -1;   // the appearance the sprites were drawn in: 0 light, 1 dark
};

}  // namespace vantrel

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointF>
#include <QRectF>
#include <QSizeF>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/scene/board_scene.h"
#include "ui/render/annotation_drawing.h"
#include "ui/render/annotation_surface.h"
#include "ui/render/equipment_painting.h"

class QPainter;

namespace vantrel {

// What lies under a point of a painted scene, in the order a press takes it: the run's
// bend handle, then the ball, then the topmost token.
struct BoardHit {
    enum class Kind { none, routeHandle, ball, player };
    Kind kind = Kind::none;
    std::string playerID;
};

// Paints a `BoardScene` into any painter (a widget, an image, a PDF page, a video frame)
// and answers where its pieces lie, through one projection: the same shapes serve
// painting and hit-testing. One painter per surface keeps what frames reuse (the static
// pitch per size, token sprites, pass-preview samples, the rolling ball, the drawings'
// images).
class BoardPainter {
public:
    enum class Projection { flat, perspective };

    virtual ~BoardPainter();

    static std::unique_ptr<BoardPainter> make(Projection projection);

    virtual Projection projection() const = 0;
    bool is3D() const { return projection() == Projection::perspective; }

    // One complete frame: the board, then the drawings (the layer set below, else the
    // scene's own). `size` is in the painter's points, `devicePixelRatio` device pixels
    // (or, for a PDF, cached-image pixels) per point.
    void paint(QPainter& painter, const BoardScene& scene, QSizeF size, qreal devicePixelRatio = 1.0);

    // The drawing layer painted over every frame instead of the scene's drawings (the
    // canvas's, with its draft and selection); null: the scene's. Owned by the caller.
    void setAnnotationDrawing(AnnotationDrawing* drawing) { external_ = drawing; }
    virtual AnnotationSurface annotationSurface(QSizeF size) const;

    // Between pitch and surface points.
    virtual QPointF toView(QSizeF size, Point pitchPoint) const = 0;
    virtual Point toPitch(QSizeF size, QPointF viewPoint) const = 0;
    // Where the ball lies on the turf when its drawn centre is put at `viewPoint`.
    virtual Point ballPosition(QSizeF size, QPointF viewPoint) const = 0;

    // Where pieces are drawn, in surface points.
    virtual QRectF tokenRect(QSizeF size, const SceneToken& token) const = 0;
    virtual QPointF ballCentre(const BoardScene& scene, QSizeF size) const = 0;
    virtual double ballRadius(const BoardScene& scene, QSizeF size) const = 0;
    std::optional<QPointF> routeHandleCentre(const BoardScene& scene, QSizeF size) const;

    std::optional<std::string> playerAt(const BoardScene& scene, QSizeF size, QPointF viewPoint) const;
    bool ballAt(const BoardScene& scene, QSizeF size, QPointF viewPoint) const;
    bool routeHandleAt(const BoardScene& scene, QSizeF size, QPointF viewPoint) const;
    BoardHit hitTest(const BoardScene& scene, QSizeF size, QPointF viewPoint) const;

    // Training equipment, projected as this surface draws it: the topmost piece under a
    // point, and whether a point lies on the selected piece's turning handle.
    virtual EquipmentPainting::View equipmentView(QSizeF size) const = 0;
    std::optional<Uuid> equipmentAt(const BoardScene& scene, QSizeF size, QPointF viewPoint) const;
    bool turnHandleAt(const BoardScene& scene, QSizeF size, QPointF viewPoint) const;

    // The token under the pointer gets a light veil (3D).
    void setHoveredPlayer(std::optional<std::string> id) { hovered_ = std::move(id); }
    const std::optional<std::string>& hoveredPlayer() const { return hovered_; }

    // Drops what is drawn in appearance colours; frames notice an appearance switch
    // themselves.
    virtual void clearCaches() = 0;

protected:
    virtual void paintBoard(QPainter& painter, const BoardScene& scene, QSizeF size, qreal dpr) = 0;
    virtual bool tokenContains(QSizeF size, const SceneToken& token, QPointF viewPoint) const = 0;

    std::optional<std::string> hovered_;

private:
    AnnotationDrawing* external_ = nullptr;
    AnnotationDrawing own_;
    // What own_ was last given; held, so a new list never reuses its address.
    std::shared_ptr<const std::vector<BoardAnnotation>> ownSource_;
};

}  // namespace vantrel

// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/render/board_painter.h"

#include <QLineF>

#include "ui/render/flat_board_painter.h"
#include "ui/render/perspective_board_painter.h"
#include "ui/render/pitch_painting.h"

namespace vantrel {

BoardPainter::~BoardPainter() = default;

std::unique_ptr<BoardPainter> BoardPainter::make(Projection projection) {
    if (projection == Projection::perspective) return std::make_unique<PerspectiveBoardPainter>();
    return std::make_unique<FlatBoardPainter>();
}

AnnotationSurface BoardPainter::annotationSurface(QSizeF size) const {
    return is3D() ? AnnotationSurface::perspective(size) : AnnotationSurface::flat(size);
}

void BoardPainter::paint(QPainter& painter, const BoardScene& scene, QSizeF size, qreal dpr) {
    if (size.width() < 1 || size.height() < 1) return;
    paintBoard(painter, scene, size, dpr);
    if (external_) {
        external_->paint(painter, annotationSurface(size));
        return;
    }
    if (scene.annotations != ownSource_) {
        ownSource_ = scene.annotations;
        AnnotationScene drawn;
        if (ownSource_) drawn.annotations = *ownSource_;
        if (!(drawn == own_.scene())) own_.setScene(std::move(drawn));
    }
    if (!own_.scene().annotations.empty()) own_.paint(painter, annotationSurface(size));
}

std::optional<QPointF> BoardPainter::routeHandleCentre(const BoardScene& scene, QSizeF size) const {
    if (!scene.route) return std::nullopt;
    return toView(size, scene.route->curve.at(0.5));
}

std::optional<std::string> BoardPainter::playerAt(const BoardScene& scene, QSizeF size, QPointF v) const {
    const SceneToken* hit = nullptr;
    for (const auto& token : scene.players)
        if (tokenContains(size, token, v) && (!hit || token.depth >= hit->depth)) hit = &token;   // drawn on top wins
    if (!hit) return std::nullopt;
    return hit->player.id;
}

bool BoardPainter::ballAt(const BoardScene& scene, QSizeF size, QPointF v) const {
    return QLineF(ballCentre(scene, size), v).length() <= ballRadius(scene, size) + 2;
}

bool BoardPainter::routeHandleAt(const BoardScene& scene, QSizeF size, QPointF v) const {
    const auto handle = routeHandleCentre(scene, size);
    return handle && QLineF(*handle, v).length() <= PitchPainting::kHandleDiameter / 2 + 3;
}

BoardHit BoardPainter::hitTest(const BoardScene& scene, QSizeF size, QPointF v) const {
    if (routeHandleAt(scene, size, v)) return {BoardHit::Kind::routeHandle, {}};
    if (ballAt(scene, size, v)) return {BoardHit::Kind::ball, {}};
    if (auto id = playerAt(scene, size, v)) return {BoardHit::Kind::player, *id};
    return {};
}

std::optional<Uuid> BoardPainter::equipmentAt(const BoardScene& scene, QSizeF size, QPointF viewPoint) const {
    const EquipmentPainting::View view = equipmentView(size);
    // The topmost first: the draw order's last piece under the point.
    for (auto it = scene.order.rbegin(); it != scene.order.rend(); ++it)
        if (it->layer == BoardScene::Layer::equipment) {
            const SceneEquipment& piece = scene.equipment[static_cast<std::size_t>(it->player)];
            if (piece.opacity > 0.5 && EquipmentPainting::contains(piece, view, viewPoint)) return piece.piece.id;
        }
    return std::nullopt;
}

bool BoardPainter::turnHandleAt(const BoardScene& scene, QSizeF size, QPointF viewPoint) const {
    const EquipmentPainting::View view = equipmentView(size);
    for (const SceneEquipment& piece : scene.equipment)
        if (piece.selected)
            return QLineF(EquipmentPainting::turnHandle(piece, view), viewPoint).length() <=
                   EquipmentPainting::kHandleRadius + 3;
    return false;
}

}  // namespace vantrel

// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/tools/board_tool.h"

#include <QLineF>

#include <utility>

#include "core/store/board_store.h"

namespace vantrel {

namespace {
constexpr qreal kPlayerDragStart = 5;   // points a token must travel before it moves
}

bool BoardTool::blocked() const { return store_.transitionRunning() || suspended_; }

bool BoardTool::press(const BoardGeometry& view, QPointF at, Qt::MouseButton button,
                      Qt::KeyboardModifiers modifiers) {
    drag_ = DragKind::none;
    dragStarted_ = false;
    if (blocked() || button != Qt::LeftButton) return false;
    pressPoint_ = at;
    if (modifiers & Qt::ControlModifier) {
        if (auto id = view.playerAt(at)) store_.selectPlayer(*id, true);
        return true;
    }
    if (view.routeHandleAt(at)) {
        drag_ = DragKind::routeHandle;
    } else if (view.ballAt(at)) {
        drag_ = DragKind::ball;
    } else if (auto id = view.playerAt(at)) {
        drag_ = DragKind::player;
        dragPlayer_ = *id;
    }
    return true;
}

void BoardTool::move(const BoardGeometry& view, QPointF at) {
    if (drag_ == DragKind::none) return;
    if (blocked()) {
        if (drag_ == DragKind::player && dragStarted_) store_.setDraggingPlayer(false);
        drag_ = DragKind::none;
        return;
    }
    switch (drag_) {
        case DragKind::player:
            if (!dragStarted_ && QLineF(pressPoint_, at).length() < kPlayerDragStart) return;
            if (!dragStarted_) store_.setDraggingPlayer(true);
            dragStarted_ = true;
            store_.selectPlayer(dragPlayer_, false);
            store_.movePlayer(dragPlayer_, view.toPitch(at));
            break;
        case DragKind::ball:
            dragStarted_ = true;
            store_.moveBall(view.ballPosition(at), false);
            break;
        case DragKind::routeHandle:
            // The handle is the curve's midpoint, a quarter of each end and half the
            // control: this control point keeps it under the pointer.
            if (auto route = store_.selectedRoute()) {
                const Point p = view.toPitch(at);
                dragStarted_ = true;
                store_.setRouteControl({2 * p.x - (route->start.x + route->end.x) / 2,
                                        2 * p.y - (route->start.y + route->end.y) / 2});
            }
            break;
        case DragKind::none:
            break;
    }
}

void BoardTool::release(const BoardGeometry& view, QPointF at) {
    const DragKind kind = std::exchange(drag_, DragKind::none);
    if (kind == DragKind::player) {
        if (dragStarted_) store_.setDraggingPlayer(false);
        else if (!blocked()) store_.selectPlayer(dragPlayer_, false);   // a click
    } else if (kind == DragKind::ball && !blocked()) {
        store_.moveBall(view.ballPosition(at), true);
    }
}

void BoardTool::doubleClick(const BoardGeometry& view, QPointF at, Qt::MouseButton button) {
    drag_ = DragKind::none;
    if (blocked() || button != Qt::LeftButton) return;
    auto id = view.playerAt(at);
    if (!id) return;
    store_.closePlayerInfo();
    store_.passOrGiveBall(*id);
}

}  // namespace vantrel

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointF>
#include <Qt>

#include <optional>
#include <string>

#include "core/model/point.h"

namespace vantrel {

class BoardStore;

// What the board gestures need of a view: where its pointer lands on the pitch and what
// is drawn under it. The flat view, the 3D view and the drawing canvas answer this each
// through their own projection.
class BoardGeometry {
public:
    virtual ~BoardGeometry() = default;

    virtual Point toPitch(QPointF viewPoint) const = 0;
    // Where the ball lies when its drawn centre is put at `viewPoint`.
    virtual Point ballPosition(QPointF viewPoint) const = 0;
    // The topmost token under the point, the ball, the selected run's control handle.
    virtual std::optional<std::string> playerAt(QPointF viewPoint) const = 0;
    virtual bool ballAt(QPointF viewPoint) const = 0;
    virtual bool routeHandleAt(QPointF viewPoint) const = 0;
};

// The board's pointer gestures as store commands: drag a token (after 5 points), the ball
// or the run handle, click or Control-click a token, double-click to pass or give the
// ball. Each event brings the geometry of the frame it lands on.
class BoardTool {
public:
    explicit BoardTool(BoardStore& store) : store_(store) {}

    // While set (the annotation tools are drawing), the board ignores the pointer.
    void setSuspended(bool on) { suspended_ = on; }
    bool suspended() const { return suspended_; }

    // False when the press is not for the board (another button, or input ignored), so
    // the host can pass it on.
    bool press(const BoardGeometry& view, QPointF at, Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
    void move(const BoardGeometry& view, QPointF at);
    void release(const BoardGeometry& view, QPointF at);
    void doubleClick(const BoardGeometry& view, QPointF at, Qt::MouseButton button);

private:
    enum class DragKind { none, player, ball, routeHandle };

    bool blocked() const;

    BoardStore& store_;
    bool suspended_ = false;
    DragKind drag_ = DragKind::none;
    std::string dragPlayer_;
    QPointF pressPoint_;
    bool dragStarted_ = false;
};

}  // namespace vantrel

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFrame>
#include <QObject>
#include <QPointF>

#include <optional>

#include "core/model/equipment.h"
#include "core/model/uuid.h"

class QMenu;
class QToolButton;

namespace vantrel {

class BoardStore;
class BoardView;

// The board's equipment gestures, ahead of the player gestures: a click with a kind armed
// on the shelf places a piece there, a piece dropped from the shelf lands where it is
// dropped; a press on a piece selects it and drags it, a press on the selected piece's
// handle turns it; Esc lets go of an armed kind and the selection (the board view's own
// keys select, move, turn and delete pieces). Each drag is one undo level.
class EquipmentTool : public QObject {
    Q_OBJECT
public:
    EquipmentTool(BoardStore& store, BoardView& view, QObject* parent = nullptr);

    // The kind the next click on the pitch places; none: clicks go to the board.
    void arm(std::optional<EquipmentKind> kind);
    const std::optional<EquipmentKind>& armed() const { return armed_; }

    // The drag from the shelf carries the kind's raw value under this type.
    static QString mimeType();

signals:
    void armedChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class Drag { none, move, turn };
    bool press(QPointF at);
    void move(QPointF at);

    BoardStore& store_;
    BoardView& view_;
    std::optional<EquipmentKind> armed_;
    Drag drag_ = Drag::none;
    Uuid dragged_;
    Point grab_;   // pitch offset from the pointer to the piece
};

// The "器材" shelf: one button per kind (a click arms it, a drag carries it onto the
// pitch), the colours of a selected cone, pole or mannequin, and "删除器材".
class EquipmentShelf : public QFrame {
    Q_OBJECT
public:
    EquipmentShelf(BoardStore& store, EquipmentTool& tool, QWidget* parent = nullptr);
    ~EquipmentShelf() override;
    QToolButton* kindButton(EquipmentKind kind) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void refresh();

    BoardStore& store_;
    EquipmentTool& tool_;
    std::vector<QToolButton*> kinds_;
    std::vector<QToolButton*> colours_;
    QToolButton* remove_ = nullptr;
    QPoint pressAt_;
    std::shared_ptr<void> subscription_;
};

// "场地区域": the tactic's area ("全场", "半场", "禁区前沿") and grid, and whether they show.
QMenu* pitchAreaMenu(BoardStore& store, QWidget* parent);

}  // namespace vantrel

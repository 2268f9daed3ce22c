// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>
#include <QToolButton>
#include <QWidget>

#include <map>

#include "core/annotation/drawing_session.h"
#include "core/store/board_store.h"
#include "ui/style/quiet_hover_style.h"

class QAction;
#include <QMessageBox>

namespace vantrel {

// Enters and leaves drawing mode. Its help text says what a click does: "绘画与注释"
// while drawing mode is off, "退出注释模式" while it is on.
class DrawingToggleButton : public QuietHoverStyle {
    Q_OBJECT
public:
    DrawingToggleButton(DrawingSession& session, QWidget* parent = nullptr);
    ~DrawingToggleButton() override;

private:
    void refresh();
    DrawingSession& session_;
    Subscription subscription_;
};

// The bar shown while drawing: the tools (select, pencil, line, arrow, the shapes, text,
// eraser), the ink, undo and redo, delete, lock, the layer menu and exit. It changes only
// session fields or calls session operations.
class DrawingToolbarView : public QWidget {
    Q_OBJECT
public:
    DrawingToolbarView(BoardStore& store, DrawingSession& session, QWidget* parent = nullptr);
    ~DrawingToolbarView() override;

    QToolButton* toolButton(AnnotationTool tool) const;
    QToolButton* shapesButton() const { return shapes_; }
    QToolButton* inkButton() const { return ink_; }
    QToolButton* undoButton() const { return undo_; }
    QToolButton* redoButton() const { return redo_; }
    QToolButton* deleteButton() const { return delete_; }
    QToolButton* lockButton() const { return lock_; }
    QToolButton* layerMenuButton() const { return layerMenu_; }
    QToolButton* exitButton() const { return exit_; }
    QAction* clearAction() const { return clear_; }
    // The clear question while it is open.
    QMessageBox* clearConfirmation() const { return confirmation_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void refresh();
    void askToClear();

    BoardStore& store_;
    DrawingSession& session_;
    std::map<AnnotationTool, QToolButton*> tools_;
    QToolButton* shapes_ = nullptr;
    QToolButton* ink_ = nullptr;
    QToolButton* undo_ = nullptr;
    QToolButton* redo_ = nullptr;
    QToolButton* delete_ = nullptr;
    QToolButton* lock_ = nullptr;
    QToolButton* layerMenu_ = nullptr;
    QToolButton* exit_ = nullptr;
    QAction* showLayer_ = nullptr;
    QAction* front_ = nullptr;
    QAction* back_ = nullptr;
    QAction* clear_ = nullptr;
    QPointer<QMessageBox> confirmation_;
    Subscription storeSubscription_;
    Subscription sessionSubscription_;
};

}  // namespace vantrel

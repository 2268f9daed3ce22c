// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

#include "core/annotation/drawing_session.h"
#include "core/store/board_store.h"
#include "core/store/workspace_preferences.h"

class QAction;
class QToolButton;

namespace vantrel {

class AnnotationCanvasView;
class DrawingPanelsOverlay;
class DrawingToggleButton;
class DrawingToolbarView;
class BoardView;
class StudioSegmentedControl;

// The tactical canvas: the view switch "视角", the display toggles and the board in the
// mode of "pitchViewMode". The annotation canvas lies over the board, the
// drawing toolbar floats at its top while drawing mode is on, and the drawing toggle sits
// in the bar.
class CanvasPanel : public QWidget {
    Q_OBJECT
public:
    CanvasPanel(BoardStore& store, DrawingSession& session, WorkspacePreferences& workspace, QWidget* parent = nullptr);
    ~CanvasPanel() override;

    BoardView& pitchView() const { return *pitch_; }
    StudioSegmentedControl* viewSwitch() const { return viewSwitch_; }
    QToolButton* visionToggle() const { return vision_; }
    QToolButton* offsideToggle() const { return offside_; }
    QToolButton* layersButton() const { return layers_; }
    // Re-reads "pitchViewMode" (after the tutorial or a menu changed it).
    void refreshMode();
    // The area the pitch is drawn in, for overlays such as the annotation layer.
    QWidget* pitchArea() const { return stackHost_; }
    AnnotationCanvasView& annotationCanvas() const { return *canvas_; }
    DrawingToggleButton* drawingToggle() const { return drawingToggle_; }
    DrawingToolbarView* drawingToolbar() const { return drawingToolbar_; }
    DrawingPanelsOverlay* drawingPanels() const { return drawingPanels_; }
    // "注释层已锁定" in the pitch's lower left corner while the shown layer is locked.
    QToolButton* lockBadge() const { return lockBadge_; }

    // "可能被 橙队 4 号 拦截" while the step shown carries an interception risk, else empty.
    QString riskText() const;

signals:
    void modeChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void refresh();
    void refreshDrawing();
    void placeOverlays();

    BoardStore& store_;
    DrawingSession& session_;
    WorkspacePreferences& workspace_;
    StudioSegmentedControl* viewSwitch_ = nullptr;
    QToolButton* vision_ = nullptr;
    QToolButton* offside_ = nullptr;
    QToolButton* layers_ = nullptr;
    QAction* routesAction_ = nullptr;
    QAction* movesAction_ = nullptr;
    QAction* annotationsAction_ = nullptr;
    QAction* lockAction_ = nullptr;
    QWidget* stackHost_ = nullptr;
    BoardView* pitch_ = nullptr;
    AnnotationCanvasView* canvas_ = nullptr;
    DrawingToggleButton* drawingToggle_ = nullptr;
    DrawingToolbarView* drawingToolbar_ = nullptr;
    DrawingPanelsOverlay* drawingPanels_ = nullptr;
    QToolButton* lockBadge_ = nullptr;
    Subscription subscription_;
    Subscription drawingSubscription_;
};

}  // namespace vantrel

#pragma once

#include <QWidget>

#include "core/annotation/drawing_session.h"
#include "core/store/board_store.h"
#include "core/store/workspace_preferences.h"

class QStackedLayout;
class QToolButton;
class QAction;

namespace vantrel {

class PitchView;
class StudioSegmentedControl;

// The tactical canvas: the view switch "视角", the display toggles and the pitch in the
// mode of "pitchViewMode". A 3D view is placed with setPerspectiveView; until one is,
// both modes show the flat board.
class CanvasPanel : public QWidget {
    Q_OBJECT
public:
    CanvasPanel(BoardStore& store, DrawingSession& session, WorkspacePreferences& workspace, QWidget* parent = nullptr);
    ~CanvasPanel() override;

    PitchView& pitchView() const { return *pitch_; }
    StudioSegmentedControl* viewSwitch() const { return viewSwitch_; }
    QToolButton* visionToggle() const { return vision_; }
    QToolButton* offsideToggle() const { return offside_; }
    QToolButton* layersButton() const { return layers_; }
    void setPerspectiveView(QWidget* view);
    // Re-reads "pitchViewMode" (after the tutorial or a menu changed it).
    void refreshMode();
    // The area the pitch is drawn in, for overlays such as the annotation layer.
    QWidget* pitchArea() const { return stackHost_; }

    // "可能被 橙队 4 号 拦截" while the step shown carries an interception risk, else empty.
    QString riskText() const;

signals:
    void modeChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void refresh();

    BoardStore& store_;
    DrawingSession& session_;
    WorkspacePreferences& workspace_;
    StudioSegmentedControl* viewSwitch_ = nullptr;
    QToolButton* vision_ = nullptr;
    QToolButton* offside_ = nullptr;
    QToolButton* layers_ = nullptr;
    QAction* routesAction_ = nullptr;
    QAction* annotationsAction_ = nullptr;
    QAction* lockAction_ = nullptr;
    QWidget* stackHost_ = nullptr;
    QStackedLayout* stack_ = nullptr;
    PitchView* pitch_ = nullptr;
    QWidget* perspective_ = nullptr;
    Subscription subscription_;
    Subscription drawingSubscription_;
};

}  // namespace vantrel

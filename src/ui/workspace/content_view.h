// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>
#include <QWidget>

#include <memory>
#include <optional>
#include <string>

#include "core/annotation/drawing_session.h"
#include "core/platform/platform.h"
#include "core/store/board_store.h"
#include "core/store/workspace_preferences.h"
#include "ui/workspace/workspace_dialogs.h"

class QAction;
class QActionGroup;
class QVBoxLayout;

namespace vantrel {

class CanvasPanel;
class ExportCommands;
class FirstRunTutorial;
class InspectorView;
class LibrarySidebar;
class NavigationRail;
class PresenterView;
class BoardView;
class StageSaveOverlay;
class TacticalTimelineView;
class TacticHeader;

// The commands of the workspace, shared by the toolbar, the menu bar and the rail. Each
// carries its text as the accessible name and its help (with the shortcut) as tooltip.
struct WorkspaceActions {
    QAction* newTactic = nullptr;
    QAction* save = nullptr;
    QAction* toggleLibrary = nullptr;
    QAction* toggleInspector = nullptr;
    QAction* importJson = nullptr;
    QAction* exportJson = nullptr;
    QAction* exportImage = nullptr;
    QAction* exportHandout = nullptr;
    QAction* exportHandouts = nullptr;
    QAction* exportVideo = nullptr;
    QAction* exportJobSheets = nullptr;
    QAction* squad = nullptr;
    // "聚焦球员" (F): follows the selected player through the tactic; again to end it.
    QAction* focusPlayer = nullptr;
    QAction* tutorial = nullptr;
    QAction* view2D = nullptr;
    QAction* view3D = nullptr;
    QAction* showVision = nullptr;
    QAction* showOffside = nullptr;
    QAction* showRoutes = nullptr;
    QAction* showMoves = nullptr;
    QAction* showAnnotations = nullptr;
    QAction* lockAnnotations = nullptr;
    QAction* showInterceptionRisk = nullptr;
    // Board edits outside drawing mode, annotations inside it; named after the edit.
    QAction* undo = nullptr;
    QAction* redo = nullptr;
    QAction* presenter = nullptr;
};

// The window's content. It owns the board store and the drawing session for the
// window's life, lays out the rail, the library, the main column (header, canvas,
// timeline slot) and the inspector, turns every command into a call on the store or
// the session, and keeps the view state (inspector, scope, sheets) consistent with
// them. It holds no tactic data of its own.
class ContentView : public QWidget {
    Q_OBJECT
public:
    ContentView(PreferenceStore& defaults, Platform& platform, QWidget* parent = nullptr);
    ~ContentView() override;

    BoardStore& store() { return *store_; }
    DrawingSession& drawingSession() { return *session_; }
    WorkspacePreferences& workspace() { return workspace_; }
    BoardView& pitchView();
    const WorkspaceActions& actions() const { return actions_; }
    ExportCommands& exports() { return *exports_; }

    LibrarySidebar& librarySidebar() { return *sidebar_; }
    InspectorView& inspector() { return *inspector_; }
    TacticHeader& header() { return *header_; }
    CanvasPanel& canvas() { return *canvas_; }
    NavigationRail& rail() { return *rail_; }
    TacticalTimelineView& timeline() { return *timeline_; }
    StageSaveOverlay& stageSaveOverlay() { return *saveOverlay_; }
    // Where the timeline goes, under the canvas.
    QVBoxLayout* timelineSlot() const { return timelineSlot_; }

    // --- View state ----------------------------------------------------------------
    bool inspectorVisible() const { return inspectorVisible_; }
    bool showingStageInspector() const { return showingStageInspector_; }
    void setInspector(bool visible, bool stageSettings);
    std::optional<int> hoveredStep() const { return hoveredStep_; }
    void setHoveredStep(std::optional<int> step) { hoveredStep_ = step; }

    // --- Commands ------------------------------------------------------------------
    void startNewTactic();
    void toggleLibrary();
    void toggleStageSettings();
    void setLibraryFilter(const std::string& scope);
    // Opens the step deletion question for the current step.
    void askDeleteStep();
    // "恢复未保存的修改？": the edits a run that ended without a clean close left
    // unconfirmed, asked about once the window shows, before the first-run tour.
    void askRecovery();
    // The first-run tour: the overlay above the whole workspace while it runs.
    void startTutorial();
    void finishTutorial();
    FirstRunTutorial* tutorialOverlay() const;
    // "演示模式" over the window's screen; Esc in it comes back here.
    void startPresenter();
    PresenterView* presenter() const;
    // The questions of an own tactic's context menu.
    void askRenameOwnTactic(const std::string& key);
    void askDeleteOwnTactic(const std::string& key);
    void showTacticHistory(const std::string& key);
    // "阵容名单…": the squad sheet over the workspace.
    void openSquad();
    void present(WorkspaceSheet* sheet, std::function<void()> accepted);
    // The open sheet (new tactic, deletion question), if any.
    WorkspaceSheet* openSheet() const { return sheet_; }

    QSize sizeHint() const override { return {1500, 900}; }

signals:
    // The view state changed (inspector, library, mode).
    void viewStateChanged();

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void createActions();
    void applyLayout();
    void storeChanged(StoreChange change);
    void drawingChanged(DrawingChange change);
    void copyToMine(const std::string& key);
    void selectAndThen(int stepIndex, void (ContentView::*then)());
    void editCurrentStep();
    // Puts back the layout the tour forced, without counting the tour as completed.
    void abandonTutorial();
    void adoptSheet(WorkspaceSheet* sheet);
    void refreshUndoActions();

    Platform& platform_;
    std::unique_ptr<BoardStore> store_;
    std::unique_ptr<DrawingSession> session_;   // after the store: it writes through it
    WorkspacePreferences workspace_;
    WorkspaceActions actions_;
    ExportCommands* exports_ = nullptr;

    NavigationRail* rail_ = nullptr;
    LibrarySidebar* sidebar_ = nullptr;
    QWidget* mainColumn_ = nullptr;
    TacticHeader* header_ = nullptr;
    CanvasPanel* canvas_ = nullptr;
    QVBoxLayout* timelineSlot_ = nullptr;
    InspectorView* inspector_ = nullptr;
    TacticalTimelineView* timeline_ = nullptr;
    StageSaveOverlay* saveOverlay_ = nullptr;   // above the whole workspace
    QPointer<WorkspaceSheet> sheet_;
    QPointer<FirstRunTutorial> tutorial_;
    QPointer<PresenterView> presenter_;

    bool inspectorVisible_ = false;
    bool showingStageInspector_ = false;
    std::optional<int> hoveredStep_;
    std::string lastKey_;
    std::optional<std::string> lastInspected_;
    bool lastEditing_ = false;
    // "复制到我的战术" on another tactic while the save question holds the switch: the
    // copy is made once the switch has happened, never of the tactic being left.
    std::optional<std::string> pendingCopyKey_;
    Subscription subscription_;
    Subscription drawingSubscription_;
    bool shownOnce_ = false;
};

}  // namespace vantrel

// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/workspace/content_view.h"

#include <QAction>
#include <QActionGroup>
#include <QDateTime>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QToolButton>
#include <QVBoxLayout>

#include "core/model/step_title.h"
#include "core/store/tutorial_lessons.h"
#include "ui/export/export_commands.h"
#include "ui/annotation/drawing_toolbar_view.h"
#include "ui/guidance/first_run_tutorial.h"
#include "core/store/edit_commands.h"
#include "ui/pitch/board_view.h"
#include "ui/presenter/presenter_view.h"
#include "ui/style/studio_icons.h"
#include "ui/style/studio_style.h"
#include "ui/style/studio_segmented_control.h"
#include "ui/timeline/stage_save_overlay.h"
#include "ui/timeline/tactical_timeline_view.h"
#include "ui/workspace/canvas_panel.h"
#include "ui/workspace/handout_sheet.h"
#include "ui/workspace/inspector_view.h"
#include "ui/workspace/library_sidebar.h"
#include "ui/workspace/navigation_rail.h"
#include "ui/workspace/tactic_header.h"
#include "ui/workspace/version_history_sheet.h"
#include "ui/workspace/workspace_dialogs.h"

namespace vantrel {

namespace {

constexpr int kSidebarWidth = 288;
constexpr int kInspectorWidth = 320;


}  // namespace

ContentView::ContentView(PreferenceStore& defaults, Platform& platform, QWidget* parent)
    : QWidget(parent),
      platform_(platform),
      store_(std::make_unique<BoardStore>(defaults, platform)),
      session_(std::make_unique<DrawingSession>(*store_)),
      workspace_(defaults) {
    setMinimumSize(1080, 720);
    setObjectName(QStringLiteral("workspace"));
    workspace_.setInspectorVisible(false);
    workspace_.onWriteFailure([this](const std::string& reason) { store_->reportStatus("设置保存失败：" + reason); });
    createActions();

    auto* root = new QHBoxLayout(this);
    root->setContentsMargins(0, 0, 0, 0);
    root->setSpacing(0);

    rail_ = new NavigationRail(this);
    root->addWidget(rail_);
    sidebar_ = new LibrarySidebar(*store_, workspace_, this);
    sidebar_->setFixedWidth(kSidebarWidth);
    root->addWidget(sidebar_);

    mainColumn_ = new QWidget(this);
    auto* column = new QVBoxLayout(mainColumn_);
    column->setContentsMargins(24, 18, 24, 16);
    column->setSpacing(12);
    header_ = new TacticHeader(*store_, mainColumn_);
    column->addWidget(header_);
    canvas_ = new CanvasPanel(*store_, *session_, workspace_, mainColumn_);
    column->addWidget(canvas_, 1);
    timelineSlot_ = new QVBoxLayout;
    timelineSlot_->setContentsMargins(0, 0, 0, 0);
    column->addLayout(timelineSlot_);
    timeline_ = new TacticalTimelineView(*store_, workspace_, mainColumn_);
    timelineSlot_->addWidget(timeline_);
    root->addWidget(mainColumn_, 1);

    inspector_ = new InspectorView(*store_, workspace_, this);
    inspector_->setFixedWidth(kInspectorWidth);
    root->addWidget(inspector_);

    connect(timeline_, &TacticalTimelineView::hoveredStepChanged, this,
            [this](std::optional<int> step) { hoveredStep_ = step; });
    connect(rail_, &NavigationRail::libraryRequested, this, &ContentView::toggleLibrary);
    connect(rail_, &NavigationRail::favoritesRequested, this, [this] {
        workspace_.setBuiltinLibraryExpanded(true);
        workspace_.setLibraryVisible(true);
        setLibraryFilter(std::string(kLibraryScopeFavorites));
    });
    connect(rail_, &NavigationRail::newTacticRequested, this, &ContentView::startNewTactic);
    connect(rail_, &NavigationRail::scopeRequested, this, [this] {
        const std::string& scope = sidebar_->scope();
        workspace_.setLibraryVisible(true);
        setLibraryFilter(std::string(scope == kLibraryScopeAll         ? kLibraryScopeFavorites
                                     : scope == kLibraryScopeFavorites ? kLibraryScopeMine
                                                                       : kLibraryScopeAll));
    });
    connect(sidebar_, &LibrarySidebar::newTacticRequested, this, &ContentView::startNewTactic);
    connect(sidebar_, &LibrarySidebar::copyRequested, this, &ContentView::copyToMine);
    connect(sidebar_, &LibrarySidebar::renameRequested, this, &ContentView::askRenameOwnTactic);
    connect(sidebar_, &LibrarySidebar::deleteRequested, this, &ContentView::askDeleteOwnTactic);
    connect(sidebar_, &LibrarySidebar::historyRequested, this, &ContentView::showTacticHistory);
    connect(sidebar_, &LibrarySidebar::editStepRequested, this,
            [this](int index) { selectAndThen(index, &ContentView::editCurrentStep); });
    connect(sidebar_, &LibrarySidebar::deleteStepRequested, this,
            [this](int index) { selectAndThen(index, &ContentView::askDeleteStep); });
    connect(inspector_, &InspectorView::closeRequested, this, [this] { setInspector(false, false); });
    connect(inspector_, &InspectorView::deleteStepRequested, this, &ContentView::askDeleteStep);
    connect(inspector_, &InspectorView::stageSettingsRequested, this, [this] { setInspector(true, true); });
    connect(canvas_, &CanvasPanel::modeChanged, this, [this] {
        applyLayout();
        emit viewStateChanged();
    });

    lastKey_ = store_->selectedTacticKey();
    lastInspected_ = store_->inspectedPlayerID();
    lastEditing_ = session_->editing();
    subscription_ = store_->subscribe([this](StoreChange change) { storeChanged(change); });
    drawingSubscription_ = session_->subscribe([this](DrawingChange change) { drawingChanged(change); });
    connect(&StudioStyle::appearance(), &StudioAppearance::appearanceChanged, this, qOverload<>(&QWidget::update));
    applyLayout();
    // Created last so it stacks above every column.
    saveOverlay_ = new StageSaveOverlay(*store_, this);
}

ContentView::~ContentView() {
    abandonTutorial();
    subscription_.reset();
    drawingSubscription_.reset();
    // The views subscribe to the store and the session: they go before either does.
    delete presenter_.data();
    delete sheet_.data();
    delete tutorial_.data();
    delete saveOverlay_;
    delete rail_;
    delete sidebar_;
    delete mainColumn_;
    delete inspector_;
    session_.reset();
}

BoardView& ContentView::pitchView() { return canvas_->pitchView(); }

// Puts every column, check mark and action text in line with the view state.
void ContentView::applyLayout() {
    const bool library = workspace_.libraryVisible();
    sidebar_->setVisible(library);
    sidebar_->refreshExpansion();
    inspector_->setVisible(inspectorVisible_);
    inspector_->showStageSettings(showingStageInspector_ || !store_->inspectedPlayerID());
    workspace_.setInspectorVisible(inspectorVisible_);
    actions_.toggleLibrary->setChecked(library);
    const bool stageShown = inspectorVisible_ && showingStageInspector_;
    actions_.toggleInspector->setChecked(stageShown);
    actions_.toggleInspector->setText(stageShown ? QStringLiteral("隐藏步骤设置") : QStringLiteral("显示步骤设置"));
    actions_.toggleInspector->setToolTip(actions_.toggleInspector->text() + QStringLiteral(" · Ctrl+Alt+I"));
    (workspace_.is3D() ? actions_.view3D : actions_.view2D)->setChecked(true);
    actions_.showVision->setChecked(store_->showVision());
    actions_.showOffside->setChecked(store_->showOffside());
    actions_.showRoutes->setChecked(store_->showRoutes());
    actions_.showMoves->setChecked(store_->showMoves());
    actions_.showAnnotations->setChecked(session_->visible());
    actions_.lockAnnotations->setChecked(session_->locked());
    actions_.showInterceptionRisk->setChecked(store_->showInterceptionRisk());
    refreshUndoActions();
    update();
}

void ContentView::setInspector(bool visible, bool stageSettings) {
    inspectorVisible_ = visible;
    showingStageInspector_ = visible && stageSettings;
    applyLayout();
    emit viewStateChanged();
}

void ContentView::toggleLibrary() {
    workspace_.setLibraryVisible(!workspace_.libraryVisible());
    applyLayout();
    emit viewStateChanged();
}

void ContentView::toggleStageSettings() {
    const bool shown = inspectorVisible_ && showingStageInspector_;
    setInspector(!shown, !shown);
}

void ContentView::setLibraryFilter(const std::string& scope) {
    sidebar_->setScope(scope);
    applyLayout();
    emit viewStateChanged();
}

void ContentView::startNewTactic() {
    if (sheet_) return;
    auto* sheet = new NewTacticSheet(store_->tactic().format == 7 ? 7 : 11, this);
    sheet->setAttribute(Qt::WA_DeleteOnClose);
    adoptSheet(sheet);
    connect(sheet, &QDialog::finished, this, [this, sheet](int result) {
        if (result != QDialog::Accepted) return;
        store_->newTactic(sheet->name().toStdString(), sheet->format());
        workspace_.setLibraryVisible(true);
        workspace_.setBuiltinLibraryExpanded(true);
        setLibraryFilter(std::string(kLibraryScopeMine));
    });
    sheet->open();
    sheet->nameField()->setFocus();
}

void ContentView::askDeleteStep() {
    const BoardStep* step = store_->currentStep();
    if (!step || sheet_) return;
    const QString title = QString::fromStdString(cleanStepTitle(step->title));
    auto* sheet = new WorkspaceSheet(QStringLiteral("删除当前步骤？"), QStringLiteral("“%1”将从这套战术中移除。").arg(title), this);
    sheet->setObjectName(QStringLiteral("deleteStepQuestion"));
    sheet->addButton(QStringLiteral("取消"), QDialog::Rejected, false, false);
    sheet->addButton(QStringLiteral("删除步骤"), QDialog::Accepted, false, true);
    // Return never deletes: the destructive answer takes a deliberate click.
    sheet->setDefaultResult(QDialog::Rejected);
    present(sheet, [this] { store_->removeStep(); });
}

void ContentView::refreshUndoActions() {
    const QString undo = QString::fromStdString(EditCommands::undoText(*store_, *session_));
    const QString redo = QString::fromStdString(EditCommands::redoText(*store_, *session_));
    actions_.undo->setText(undo);
    actions_.undo->setToolTip(undo + QStringLiteral(" · Ctrl+Z"));
    actions_.undo->setEnabled(EditCommands::canUndo(*store_, *session_));
    actions_.redo->setText(redo);
    actions_.redo->setToolTip(redo + QStringLiteral(" · Ctrl+Shift+Z"));
    actions_.redo->setEnabled(EditCommands::canRedo(*store_, *session_));
}

PresenterView* ContentView::presenter() const { return presenter_; }

void ContentView::startPresenter() {
    if (presenter_ || sheet_ || store_->showingStageSaveConfirmation()) return;
    // A presentation shows the board, not the editing: no selection ring or run handle.
    store_->clearSelectedPlayer();
    presenter_ = new PresenterView(*store_, platform_, window());
    presenter_->present();
}

void ContentView::askRenameOwnTactic(const std::string& key) {
    if (sheet_) return;
    const auto& own = store_->importedTactics();
    auto it = std::find_if(own.begin(), own.end(), [&](const SavedTactic& t) { return t.key() == key; });
    if (it == own.end()) return;
    auto* sheet = new WorkspaceSheet(QStringLiteral("重命名战术"), QStringLiteral("输入新的战术名称。"), this);
    sheet->setObjectName(QStringLiteral("renameTacticSheet"));
    sheet->setAttribute(Qt::WA_DeleteOnClose);
    auto* field = new QLineEdit(QString::fromStdString(it->tactic.name), sheet);
    field->setAccessibleName(QStringLiteral("战术名称"));
    field->selectAll();
    sheet->body()->addWidget(field);
    sheet->addButton(QStringLiteral("取消"), QDialog::Rejected, false, false);
    sheet->addButton(QStringLiteral("重命名"), QDialog::Accepted, true, false);
    sheet->setFocusProxy(field);
    adoptSheet(sheet);
    connect(sheet, &QDialog::finished, this, [this, key, field](int result) {
        if (result == QDialog::Accepted) store_->ownTactics().rename(key, field->text().toStdString());
    });
    sheet->open();
    field->setFocus();
}

void ContentView::askDeleteOwnTactic(const std::string& key) {
    if (sheet_) return;
    const auto& own = store_->importedTactics();
    auto it = std::find_if(own.begin(), own.end(), [&](const SavedTactic& t) { return t.key() == key; });
    if (it == own.end()) return;
    const QString name = QString::fromStdString(it->tactic.name);
    auto* sheet = new WorkspaceSheet(QStringLiteral("删除“%1”？").arg(name), QStringLiteral("删除后无法恢复。"), this);
    sheet->setObjectName(QStringLiteral("deleteTacticQuestion"));
    sheet->addButton(QStringLiteral("取消"), QDialog::Rejected, false, false);
    sheet->addButton(QStringLiteral("删除战术"), QDialog::Accepted, false, true);
    sheet->setDefaultResult(QDialog::Rejected);   // a deliberate click deletes, never Return
    present(sheet, [this, key] { store_->ownTactics().remove(key); });
}

void ContentView::showTacticHistory(const std::string& key) {
    const SavedTactic* saved = nullptr;
    for (const auto& own : store_->importedTactics())
        if (own.key() == key) saved = &own;
    if (!saved || sheet_) return;
    auto* sheet = new VersionHistorySheet(QString::fromStdString(saved->tactic.name), store_->ownTactics().versions(key), this);
    present(sheet, [this, sheet, key] {
        if (sheet->chosen()) store_->ownTactics().restoreVersion(key, sheet->chosen()->tactic);
    });
}

// Shows a sheet that deletes itself once answered; `accepted` runs on its accepting answer.
void ContentView::present(WorkspaceSheet* sheet, std::function<void()> accepted) {
    sheet->setAttribute(Qt::WA_DeleteOnClose);
    adoptSheet(sheet);
    connect(sheet, &QDialog::finished, this, [accepted = std::move(accepted)](int result) {
        if (result == QDialog::Accepted) accepted();
    });
    sheet->open();
}

// One sheet at a time; it is forgotten as soon as it is answered (it is deleted later).
void ContentView::adoptSheet(WorkspaceSheet* sheet) {
    sheet_ = sheet;
    connect(sheet, &QDialog::finished, this, [this] { sheet_ = nullptr; });
}

void ContentView::editCurrentStep() { setInspector(true, true); }

// Selects a stage, then runs a follow-up on it; when the save question holds the
// switch, the follow-up is dropped rather than run on the step being left.
void ContentView::selectAndThen(int stepIndex, void (ContentView::*then)()) {
    store_->selectStep(stepIndex);
    if (store_->stepIndex() == stepIndex && !store_->showingStageSaveConfirmation()) (this->*then)();
}

void ContentView::copyToMine(const std::string& key) {
    const auto& entries = sidebar_->entries();
    auto it = std::find_if(entries.begin(), entries.end(), [&](const LibraryEntry& e) { return e.id == key; });
    if (it == entries.end()) return;
    if (it->saved) store_->selectImported(SavedTactic(*it->saved));
    else store_->selectBuiltIn(*it->builtinIndex);
    if (store_->selectedTacticKey() == key) {
        store_->saveCurrentTactic();
    } else if (store_->showingStageSaveConfirmation()) {
        pendingCopyKey_ = key;
    }
}

void ContentView::storeChanged(StoreChange change) {
    if (any(change & (StoreChange::displayOptions | StoreChange::selection))) {
        actions_.focusPlayer->setChecked(store_->squad().focused().has_value());
        actions_.focusPlayer->setEnabled(store_->squad().focused() || store_->selectedPlayer() || store_->inspectedPlayerID());
    }
    if (any(change & StoreChange::library) && store_->selectedTacticKey() != lastKey_) {
        lastKey_ = store_->selectedTacticKey();
        session_->resetContext();
        inspectorVisible_ = false;
        showingStageInspector_ = false;
        if (lastKey_.starts_with("builtin-")) session_->setEditing(false);
        if (pendingCopyKey_ && *pendingCopyKey_ == lastKey_) {
            pendingCopyKey_.reset();
            store_->saveCurrentTactic();
        }
        applyLayout();
    }
    if (pendingCopyKey_ && !store_->showingStageSaveConfirmation() && !store_->pendingStageDeparture())
        pendingCopyKey_.reset();   // the coach cancelled the switch
    if (any(change & StoreChange::selection) && store_->inspectedPlayerID() != lastInspected_) {
        lastInspected_ = store_->inspectedPlayerID();
        if (lastInspected_) {
            inspectorVisible_ = true;
            showingStageInspector_ = false;
        } else if (!showingStageInspector_) {
            inspectorVisible_ = false;
        }
        applyLayout();
        emit viewStateChanged();
    }
    if (any(change & StoreChange::displayOptions)) applyLayout();
    if (any(change & (StoreChange::tactic | StoreChange::library | StoreChange::confirmation))) refreshUndoActions();
}

void ContentView::drawingChanged(DrawingChange change) {
    if (any(change & DrawingChange::editing) && session_->editing() != lastEditing_) {
        lastEditing_ = session_->editing();
        if (lastEditing_) {
            store_->pause();
            store_->clearSelectedPlayer();
            inspectorVisible_ = false;
            showingStageInspector_ = false;
            session_->setVisible(true);
        } else {
            session_->setSelectedID(std::nullopt);
        }
        applyLayout();
    }
    if (any(change & DrawingChange::selection)) {
        if (auto selected = session_->selection()) session_->setStyle(selected->style);
    }
    if (any(change & DrawingChange::layer)) applyLayout();
    if (any(change & (DrawingChange::history | DrawingChange::editing | DrawingChange::layer))) refreshUndoActions();
}

// --- The tour ----------------------------------------------------------------------

void ContentView::startTutorial() {
    if (sheet_ || tutorial_) return;
    workspace_.startTutorial(*store_);   // refuses while the save question shows
    if (!workspace_.tutorialVisible()) return;
    inspectorVisible_ = false;
    showingStageInspector_ = false;
    canvas_->refreshMode();
    applyLayout();
    emit viewStateChanged();
    if (layout()) layout()->activate();   // the anchors are read from the forced layout

    // The areas each lesson points at. The drawing lesson points at the layers button
    // until the canvas has a drawing toggle of its own.
    TutorialAnchorMarks marks;
    marks.mark(TutorialTarget::pitch, canvas_->pitchArea());
    marks.mark(TutorialTarget::library, sidebar_);
    marks.mark(TutorialTarget::formation, inspector_->formationArea());
    marks.mark(TutorialTarget::player, canvas_->pitchArea());
    marks.mark(TutorialTarget::pass, inspector_->passArea());
    for (QWidget* w : {static_cast<QWidget*>(canvas_->viewSwitch()), static_cast<QWidget*>(canvas_->visionToggle()),
                       static_cast<QWidget*>(canvas_->offsideToggle())})
        marks.mark(TutorialTarget::view, w);
    marks.mark(TutorialTarget::drawing, canvas_->drawingToggle());
    marks.mark(TutorialTarget::timeline, timeline_);
    tutorial_ = new FirstRunTutorial(std::move(marks), workspace_, *store_, platform_, [this] { finishTutorial(); }, this);
    tutorial_->setGeometry(rect());
    tutorial_->setArrangement([this](TutorialTarget target) {
        const bool settings = target == TutorialTarget::formation || target == TutorialTarget::pass;
        if (settings == (inspectorVisible_ && showingStageInspector_)) return;
        setInspector(settings, settings);
        if (layout()) layout()->activate();
    });
    tutorial_->show();
    tutorial_->raise();
}

FirstRunTutorial* ContentView::tutorialOverlay() const { return tutorial_.data(); }

void ContentView::finishTutorial() {
    if (!workspace_.tutorialVisible()) return;
    if (tutorial_) {
        tutorial_->hide();
        tutorial_->deleteLater();   // finish may come from inside the overlay's own handlers
        tutorial_ = nullptr;
    }
    workspace_.finishTutorial();
    inspectorVisible_ = workspace_.inspectorVisible();
    showingStageInspector_ = inspectorVisible_;
    canvas_->refreshMode();
    applyLayout();
    emit viewStateChanged();
}

// The snapshot lives only in memory: a window closed mid-tour must not leave the forced
// library and 2D view in the preferences. The tour was not completed, so it comes back
// on the next start.
void ContentView::abandonTutorial() {
    if (!workspace_.tutorialVisible()) return;
    if (const auto& original = workspace_.tutorialOriginalUI()) {
        workspace_.setLibraryVisible(original->library);
        workspace_.setBuiltinLibraryExpanded(original->expanded);
        workspace_.setPitchViewMode(original->mode);
        workspace_.setInspectorVisible(original->inspector);
    }
}

void ContentView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (shownOnce_) return;
    shownOnce_ = true;
    // The tour opens tactics of its own: the edits a killed run left are asked about first.
    if (store_->recovery().pending()) return askRecovery();
    if (!workspace_.onboardingCompleted()) startTutorial();
}

void ContentView::askRecovery() {
    const auto& found = store_->recovery().pending();
    if (!found || sheet_) return;
    const QString when = QDateTime::fromSecsSinceEpoch(found->savedAt).toString(QStringLiteral("M月d日 HH:mm"));
    const QString what = QStringLiteral("「%1」· 阶段 %2 · %3")
                             .arg(QString::fromStdString(found->tactic.name), QString::number(found->stepIndex + 1), when);
    auto* sheet = new WorkspaceSheet(QStringLiteral("恢复未保存的修改？"), what, this);
    sheet->setObjectName(QStringLiteral("recoveryQuestion"));
    sheet->setAttribute(Qt::WA_DeleteOnClose);
    // Esc declines too: declined edits stay exportable, nothing is lost.
    sheet->addButton(QStringLiteral("放弃"), QDialog::Rejected, false, false);
    sheet->addButton(QStringLiteral("恢复"), QDialog::Accepted, true, false);
    adoptSheet(sheet);
    connect(sheet, &QDialog::finished, this, [this](int result) {
        store_->recovery().resolve(result == QDialog::Accepted);
        if (!workspace_.onboardingCompleted()) startTutorial();
    });
    sheet->open();
}

// The rail, the library and the inspector sit on the surface; the main column on the
// workspace tone; hairline borders between them.
void ContentView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), StudioStyle::workspace());
    for (QWidget* column : {static_cast<QWidget*>(rail_), static_cast<QWidget*>(sidebar_), static_cast<QWidget*>(inspector_)}) {
        if (!column->isVisible()) continue;
        const QRect r = column->geometry();
        painter.fillRect(r, column == rail_ ? StudioStyle::appBackground() : StudioStyle::surface());
        painter.fillRect(column == inspector_ ? QRect(r.left(), r.top(), 1, r.height()) : QRect(r.right(), r.top(), 1, r.height()),
                         StudioStyle::border());
    }
}

}  // namespace vantrel

// SPDX-License-Identifier: GPL-3.0-or-later
// The timeline, the stage save question, the close guard and how every question of the
// window meets a screen reader, driven with real keys and clicks; the store runs on
// virtual time and in-memory preferences.

#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "core/store/store_fixture.h"
#include "core/store/workspace_preferences.h"
#include "ui/annotation/drawing_toolbar_view.h"
#include "ui/style/studio_style.h"
#include "ui/timeline/close_guard.h"
#include "ui/timeline/stage_save_overlay.h"
#include "ui/timeline/tactical_timeline_view.h"
#include "ui/timeline/timeline_buttons.h"
#include "ui/workspace/canvas_panel.h"
#include "core/model/file_io.h"
#include "support/board_items.h"
#include "support/window_fixture.h"

using namespace vantrel;
using vantrel::testing::lineup;

namespace {

// Records the keys that reach it: a key the timeline passes on ends here.
class Host : public QWidget {
public:
    std::vector<int> passedOn;

protected:
    void keyPressEvent(QKeyEvent* event) override { passedOn.push_back(event->key()); }
};

std::vector<BoardStep> steps(int count) {
    std::vector<BoardStep> list;
    for (int i = 0; i < count; ++i) list.push_back(lineup({}, {}, std::to_string(i + 1) + " · 阶段" + std::to_string(i + 1)));
    return list;
}

QAbstractButton* button(QWidget& root, const char* name) { return root.findChild<QAbstractButton*>(QLatin1String(name)); }

// An edit of the current stage: its fourth player a little further down.
void editStep(BoardStore& store) {
    const Player& p = store.currentStep()->players[3];
    store.movePlayer(p.id, {p.position.x, p.position.y + 0.2});
}

class TimelineTest : public ::testing::Test {
protected:
    void SetUp() override {
        store = std::make_unique<BoardStore>(prefs, platform);
        workspace = std::make_unique<WorkspacePreferences>(prefs);
        host = std::make_unique<Host>();
        host->resize(900, 500);
        auto* layout = new QVBoxLayout(host.get());
        field = new QLineEdit(host.get());
        layout->addWidget(field);
        timeline = new TacticalTimelineView(*store, *workspace, host.get());
        layout->addWidget(timeline);
        layout->addStretch(1);
        overlay = new StageSaveOverlay(*store, host.get());
        host->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(host.get()));
        QApplication::setActiveWindow(host.get());
    }
    void TearDown() override {
        host.reset();   // the widgets subscribe to the store: they go first
        store.reset();
    }

    void open(std::vector<BoardStep> list) {
        store->selectImported(SavedTactic{Uuid::random(), Tactic{"测试", 7, std::move(list)}, true});
    }
    // Keys go through the window, to whichever widget has the focus.
    void press(Qt::Key key) { QTest::keyClick(host->windowHandle(), key); }
    void settle() { platform.advanceUntil([&] { return !store->transitionRunning() && !store->playing(); }); }
    // A key, and the move it starts run to its end.
    void pressAndSettle(Qt::Key key) {
        press(key);
        settle();
    }

    MemoryPreferenceStore prefs;
    vantrel::testing::ManualPlatform platform;
    std::unique_ptr<BoardStore> store;
    std::unique_ptr<WorkspacePreferences> workspace;
    std::unique_ptr<Host> host;
    QLineEdit* field = nullptr;
    TacticalTimelineView* timeline = nullptr;
    StageSaveOverlay* overlay = nullptr;
};

}  // namespace

TEST_F(TimelineTest, TransportFollowsTheStepsEdgeKeysPassOnAndTextFieldsKeepTheirKeys) {
    open(steps(1));
    timeline->setFocus();
    ASSERT_TRUE(timeline->timelineFocused());
    for (const char* name : {"previousButton", "playButton", "nextButton"}) EXPECT_FALSE(button(*timeline, name)->isEnabled()) << name;
    press(Qt::Key_Space);
    EXPECT_FALSE(store->playing());
    EXPECT_EQ(host->passedOn, std::vector<int>{Qt::Key_Space});

    open(steps(3));
    host->passedOn.clear();
    press(Qt::Key_Left);   // first step: nothing, and the key goes on
    pressAndSettle(Qt::Key_Right);
    EXPECT_EQ(store->stepIndex(), 1);
    EXPECT_TRUE(timeline->timelineFocused());
    QTest::mouseClick(button(*timeline, "nextButton"), Qt::LeftButton);
    settle();
    EXPECT_EQ(store->stepIndex(), 2);
    EXPECT_FALSE(button(*timeline, "nextButton")->isEnabled());
    press(Qt::Key_Right);   // last step: likewise
    EXPECT_EQ(host->passedOn, (std::vector<int>{Qt::Key_Left, Qt::Key_Right}));
    pressAndSettle(Qt::Key_Left);
    EXPECT_EQ(store->stepIndex(), 1);
    // Home and End go to the first and the last stage.
    pressAndSettle(Qt::Key_End);
    EXPECT_EQ(store->stepIndex(), 2);
    pressAndSettle(Qt::Key_Home);
    EXPECT_EQ(store->stepIndex(), 0);

    // Keys typed into a text field stay there.
    field->setFocus();
    press(Qt::Key_Right);
    pressAndSettle(Qt::Key_Space);
    EXPECT_EQ(store->stepIndex(), 0);
    EXPECT_FALSE(store->playing());
    EXPECT_EQ(field->text(), " ");
}

TEST_F(TimelineTest, TransitionsRestTheNodesAndArrowsButPlayStillPauses) {
    open(steps(4));
    timeline->setFocus();
    press(Qt::Key_Space);
    platform.advance(0.1);
    ASSERT_TRUE(store->playing());
    ASSERT_TRUE(store->previewPlayers());
    EXPECT_EQ(button(*timeline, "playButton")->accessibleName(), "暂停");   // what a press does now
    auto nodes = timeline->findChildren<TimelineNodeStyle*>();
    ASSERT_EQ(nodes.size(), 4);
    QTest::mouseClick(nodes[3], Qt::LeftButton);
    press(Qt::Key_Right);
    press(Qt::Key_Left);
    EXPECT_EQ(host->passedOn, (std::vector<int>{Qt::Key_Right, Qt::Key_Left}));
    EXPECT_TRUE(store->playing());
    press(Qt::Key_Space);
    EXPECT_FALSE(store->playing());
    EXPECT_EQ(button(*timeline, "playButton")->accessibleName(), "播放");
    settle();

    // A formation glide shows positions too.
    const int at = store->stepIndex();
    store->applyFormation("2-3-1", 1);
    ASSERT_TRUE(store->transitionRunning());
    EXPECT_FALSE(nodes[0]->isEnabled());
    EXPECT_FALSE(timeline->canGoBack() || timeline->canGoForward());
    press(Qt::Key_Left);
    EXPECT_EQ(store->stepIndex(), at);
    settle();
    EXPECT_TRUE(nodes[0]->isEnabled());
    QTest::mouseClick(nodes[0], Qt::LeftButton);
    EXPECT_EQ(store->stepIndex(), 0);
}

TEST_F(TimelineTest, SummaryNodesAndTheExplanationPanel) {
    auto list = steps(7);
    list[2].title = "3 · 前锋回接";
    list[2].note.clear();
    list[3].note = "边后卫套上";
    open(list);
    auto nodes = timeline->findChildren<TimelineNodeStyle*>();
    ASSERT_EQ(nodes.size(), 7);
    QTest::mouseClick(nodes[2], Qt::LeftButton);
    EXPECT_TRUE(timeline->timelineFocused());
    EXPECT_EQ(timeline->findChild<QLabel*>("timelineSummary")->text(), "阶段 03，共 7 个阶段");
    EXPECT_EQ(timeline->findChild<QLabel*>("timelineTitle")->text(), "前锋回接");

    // The current node is filled with brand; another keeps the surface inside.
    const QImage current = nodes[2]->grab().toImage();
    const QImage other = nodes[4]->grab().toImage();
    const QPoint inside(7, nodes[2]->height() / 2);
    EXPECT_EQ(current.pixelColor(inside).rgb(), StudioStyle::brandFill().rgb());
    EXPECT_EQ(other.pixelColor(inside).rgb(), StudioStyle::surface().rgb());

    QTest::mouseMove(nodes[5]);
    EXPECT_EQ(timeline->hoveredStep(), 5);
    QTest::mouseMove(field);
    EXPECT_EQ(timeline->hoveredStep(), std::nullopt);

    auto* panel = timeline->findChild<QWidget*>("detailsPanel");
    QTest::mouseClick(button(*timeline, "detailsButton"), Qt::LeftButton);
    ASSERT_TRUE(panel->isVisible());
    EXPECT_EQ(timeline->findChild<QLabel*>("stageNote")->text(), "此阶段暂无讲解。");
    EXPECT_EQ(timeline->findChild<QLabel*>("stageStatus")->text().toStdString(), store->status());
    pressAndSettle(Qt::Key_Right);
    EXPECT_EQ(timeline->findChild<QLabel*>("stageNote")->text(), "边后卫套上");
    press(Qt::Key_Escape);
    EXPECT_FALSE(panel->isVisible());
    press(Qt::Key_Escape);   // nothing left to close: passed on
    EXPECT_EQ(host->passedOn, std::vector<int>{Qt::Key_Escape});
}

TEST_F(TimelineTest, TheCollapsedStripStaysCollapsedAfterARestart) {
    auto* expand = button(*timeline, "expandButton");   // expanded at first: the click collapses it
    store->setReduceMotion(true);
    QTest::mouseClick(expand, Qt::LeftButton);
    EXPECT_FALSE(timeline->findChild<TimelineNodeStyle*>()->isVisible());
    EXPECT_EQ(expand->accessibleDescription(), "已收起");

    delete timeline;
    WorkspacePreferences restarted(prefs);
    TacticalTimelineView again(*store, restarted);
    EXPECT_FALSE(again.isExpanded());
    EXPECT_EQ(button(again, "expandButton")->accessibleDescription(), "已收起");
}

TEST_F(TimelineTest, EveryAnswerOfTheDialogIsSentOnce) {
    ConfirmationOverlay dialogHost(host.get());
    std::vector<StageSaveDecision> sent;
    auto& dialog = dialogHost.dialog();
    const std::vector<std::pair<std::function<void()>, StageSaveDecision>> answers = {
        {[&] { QTest::keyClick(&dialog, Qt::Key_Return); }, StageSaveDecision::save},
        {[&] { QTest::keyClick(&dialog, Qt::Key_Escape); }, StageSaveDecision::cancel},
        {[&] { QTest::mouseClick(button(dialog, "closeButton"), Qt::LeftButton); }, StageSaveDecision::cancel},
        // A representative of the answer buttons; the close tests click each of them.
        {[&] { QTest::mouseClick(button(dialog, "discardButton"), Qt::LeftButton); }, StageSaveDecision::discard},
        // Tab cycles the answers; Return on a focused answer is that answer.
        {[&] {
             for (int i = 0; i < 4 && QApplication::focusWidget() != button(dialog, "discardButton"); ++i)
                 QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
             if (dialogHost.isVisible()) QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
         },
         StageSaveDecision::discard},
    };
    for (const auto& [give, expected] : answers) {
        sent.clear();
        dialogHost.present(stageSaveTexts("前锋回接"), [&](StageSaveDecision d) { sent.push_back(d); }, true);
        EXPECT_EQ(host->focusWidget(), &dialog);
        give();
        give();   // a second press finds nothing armed
        EXPECT_EQ(sent, std::vector<StageSaveDecision>{expected});
        EXPECT_FALSE(dialogHost.isVisible());
    }
    EXPECT_TRUE(qobject_cast<ConfirmationButtonStyle*>(button(dialog, "discardButton"))->destructive());
}

TEST_F(TimelineTest, TheQuestionFadesUnlessMotionIsReducedAndItsSaveKeepsTheEdit) {
    open(steps(3));
    editStep(*store);
    const BoardStep edited = *store->currentStep();
    store->next();
    ASSERT_TRUE(overlay->isPresented());
    EXPECT_TRUE(overlay->isVisible());
    EXPECT_TRUE(overlay->isAnimating());
    EXPECT_LT(overlay->presence(), 1);
    EXPECT_EQ(overlay->geometry(), host->rect());
    store->resolveStageChanges(StageSaveDecision::cancel);
    EXPECT_TRUE(overlay->isAnimating());   // fading out

    store->setReduceMotion(true);
    store->next();
    EXPECT_TRUE(overlay->isVisible());
    EXPECT_FALSE(overlay->isAnimating());
    EXPECT_EQ(overlay->presence(), 1);
    QTest::keyClick(&overlay->dialog(), Qt::Key_Escape);
    EXPECT_FALSE(overlay->isVisible());
    EXPECT_TRUE(store->hasStageChanges());

    // The save answer reaches the store as a save, not a discard, and the key's move goes on.
    timeline->setFocus();
    press(Qt::Key_Right);
    ASSERT_TRUE(overlay->isVisible());
    QTest::mouseClick(button(overlay->dialog(), "saveButton"), Qt::LeftButton);
    settle();
    EXPECT_EQ(store->stepIndex(), 1);
    EXPECT_EQ(store->tactic().steps[0], edited);
}

// --- Closing the window ------------------------------------------------------------------

namespace {

// The window opens on a first-run-free coach with motion reduced, so questions show at once.
class CloseTest : public vantrel::testing::WindowTest {
protected:
    void SetUp() override { prefs.setBoolean("Vantrel.onboardingCompleted", true); }
    MainWindow& openWindow() {
        open();
        store().setReduceMotion(true);
        return *window;
    }
    ConfirmationOverlay* shownOverlay() {
        for (auto* o : window->findChildren<ConfirmationOverlay*>())
            if (o->isVisible()) return o;
        return nullptr;
    }
    void answer(const char* buttonName) {
        ConfirmationOverlay* o = shownOverlay();
        ASSERT_TRUE(o);
        QTest::mouseClick(button(o->dialog(), buttonName), Qt::LeftButton);
        QCoreApplication::processEvents();   // the close runs from the event loop
    }
    // The first own tactic as the next launch finds it.
    std::optional<Tactic> storedOwnTactic() {
        BoardStore restarted(prefs, platform);
        if (restarted.importedTactics().empty()) return std::nullopt;
        return restarted.importedTactics().front().tactic;
    }
};

}  // namespace

TEST_F(CloseTest, ClosingWithUnsavedStageEditsAsksFirst) {
    openWindow();
    store().newTactic("收尾");
    store().addStep();
    store().selectStep(0);
    const BoardStep original = *store().currentStep();
    EXPECT_TRUE(window->close());   // nothing to ask

    openWindow();
    editStep(store());
    const BoardStep edited = *store().currentStep();
    EXPECT_FALSE(window->close());
    answer("cancelButton");
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(*store().currentStep(), edited);
    store().next();   // a question already on screen is answered before any close
    EXPECT_FALSE(window->close());
    int shown = 0;
    for (auto* o : window->findChildren<ConfirmationOverlay*>()) shown += o->isVisible();
    EXPECT_EQ(shown, 1);
    answer("cancelButton");
    EXPECT_FALSE(window->close());
    answer("discardButton");
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(storedOwnTactic()->steps[0], original);

    openWindow();
    editStep(store());
    const BoardStep saved = *store().currentStep();
    window->close();
    answer("saveButton");
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(storedOwnTactic()->steps[0], saved);
}

TEST_F(CloseTest, ClosingAfterEditingABuiltInOffersAnOwnCopy) {
    openWindow();
    ASSERT_EQ(store().selectedTacticKey(), "builtin-7-0");
    EXPECT_TRUE(window->close());

    openWindow();
    editStep(store());
    EXPECT_FALSE(window->close());   // the question's words are checked with the screen reader's below
    answer("discardButton");   // the close goes on as after a save, below
    EXPECT_FALSE(storedOwnTactic());

    openWindow();
    store().selectStep(1);   // an edit on another step than the first
    editStep(store());
    const Tactic edited = store().tactic();
    window->close();
    answer("saveButton");
    EXPECT_FALSE(window->isVisible());
    const auto kept = storedOwnTactic();
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->steps, edited.steps);   // its name is the store's library test's
}

// --- Questions as assistive technology sees them ------------------------------------------

namespace {

// The question that holds the keyboard focus, as a screen reader finds it: the nearest
// dialog or alert above the focused widget. None when the focus is outside every question.
QAccessibleInterface* focusedQuestion() {
    QWidget* focus = QApplication::focusWidget();
    for (QAccessibleInterface* i = focus ? QAccessible::queryAccessibleInterface(focus) : nullptr; i; i = i->parent())
        if (i->role() == QAccessible::Dialog || i->role() == QAccessible::AlertMessage) return i;
    return nullptr;
}

void expectAsked(const QString& title, const QString& message) {
    QAccessibleInterface* question = focusedQuestion();
    ASSERT_TRUE(question) << title.toStdString();
    EXPECT_EQ(question->role(), QAccessible::Dialog);
    EXPECT_EQ(question->text(QAccessible::Name).toStdString(), title.toStdString());
    EXPECT_EQ(question->text(QAccessible::Description).toStdString(), message.toStdString());
    EXPECT_TRUE(question->state().modal) << title.toStdString();
}

}  // namespace

TEST_F(CloseTest, ClosingAfterAFailedSaveTriesOnceMoreThenAsksAndCanExportEverything) {
    openWindow();
    store().newTactic("满盘");
    prefs.failWrites("磁盘空间不足");
    store().setTacticName("满盘（改）");
    EXPECT_FALSE(window->close());
    expectAsked("自动保存失败，仍要退出吗？",
                "磁盘空间不足\n最近的修改未能写入“我的战术”，退出后将丢失。可以先把全部“我的战术”导出为文件。");
    answer("cancelButton");
    EXPECT_TRUE(window->isVisible());

    // The export writes every own tactic with the edit that could not be stored, then closes.
    vantrel::testing::TempFolder folder("vantrel-failed-save");
    platform.saveAnswers.push_back(folder / "备份.json");
    window->close();
    answer("saveButton");
    EXPECT_FALSE(window->isVisible());
    const auto backup = readWholeFile(folder / "备份.json", 1 << 20);
    ASSERT_TRUE(backup);
    const auto library = TacticJson::decodeLibrary(backup.value());
    ASSERT_TRUE(library);
    ASSERT_EQ(library->size(), 1u);
    EXPECT_EQ(library->front().tactic.name, "满盘（改）");

    // Once the disk has room again, closing asks nothing.
    openWindow();
    store().setTacticName("再改");
    EXPECT_FALSE(window->close());
    prefs.failWrites(std::nullopt);
    answer("cancelButton");
    EXPECT_TRUE(window->close());
}

TEST_F(CloseTest, EveryQuestionIsAModalDialogThatHoldsAndReturnsTheFocus) {
    openWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QWidget& timeline = window->content().timeline();
    timeline.setFocus();

    // Closing after editing a built-in; Tab stays in the question, Esc gives the focus back.
    editStep(store());
    EXPECT_FALSE(window->close());
    expectAsked("保留对示范战术的修改？", QString::fromStdString(store().tactic().name) +
                                              "\n示范战术不会被改写。保留后，这些修改会作为一套新战术保存到“我的战术”。");
    key(Qt::Key_Tab);
    EXPECT_TRUE(focusedQuestion());
    key(Qt::Key_Escape);
    EXPECT_EQ(QApplication::focusWidget(), &timeline);

    // Leaving the edited step for a new tactic holds the departure on the stage question.
    store().newTactic("甲");
    expectAsked("保存这一步的修改？", "后卫找边路\n保存后继续切换或播放。不保存会恢复修改前的站位、传球、路线和注释。");
    key(Qt::Key_Backtab);
    EXPECT_TRUE(focusedQuestion());
    answer("discardButton");
    EXPECT_EQ(store().tactic().name, "甲");
    EXPECT_EQ(QApplication::focusWidget(), &timeline);

    // The own tactic's delete question from its library menu, a window of its own.
    contextCommand(store().selectedTacticKey(), "删除战术");
    ASSERT_TRUE(window->content().openSheet());
    QApplication::processEvents();   // the window system's activation
    expectAsked("删除“甲”？", "删除后无法恢复。");
    key(Qt::Key_Escape);
    QApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), &timeline);   // Esc deleting nothing: the step deletion sheet's test

    // Clearing the step's drawings.
    window->content().drawingSession().setEditing(true);
    window->content().drawingSession().commit(vantrel::testing::drawing(AnnotationTool::line, {{0.2, 0.2}, {0.6, 0.4}}));
    QWidget* drawingFocus = QApplication::focusWidget();
    DrawingToolbarView& toolbar = *window->content().canvas().drawingToolbar();
    toolbar.clearAction()->trigger();
    ASSERT_TRUE(toolbar.clearConfirmation());
    QApplication::processEvents();
    expectAsked("清空当前阶段的全部注释？", "清空后仍可通过撤销恢复。");
    key(Qt::Key_Escape);
    QApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), drawingFocus);
    EXPECT_EQ(window->content().drawingSession().annotations().size(), 1u);
}

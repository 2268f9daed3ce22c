// SPDX-License-Identifier: GPL-3.0-or-later
// Presenter mode, undo of board edits, managing own tactics and the interception risk,
// through real keys, clicks and drags on the offscreen platform.

#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMouseEvent>
#include <QTimer>
#include <QToolTip>

#include "core/library/builtin_tactics.h"
#include "support/board_items.h"
#include "support/lineup.h"
#include "support/pointer.h"
#include "support/window_fixture.h"
#include "ui/pitch/board_view.h"
#include "ui/presenter/presenter_view.h"
#include "ui/workspace/canvas_panel.h"

using namespace vantrel;

namespace {

using vantrel::testing::passPastDefender;

class BeyondTest : public vantrel::testing::WindowTest {
protected:
    BoardView& pitch() { return content().pitchView(); }

    void drag(const std::string& id, Point to) {
        vantrel::testing::drag(&pitch(), pitch().toView(store().currentStep()->player(id)->position), pitch().toView(to));
    }
    QAction* editMenuAction(int index) {
        for (QAction* menu : window->menuBar()->actions())
            if (menu->text() == QStringLiteral("编辑(&E)")) return menu->menu()->actions().value(index);
        return nullptr;
    }
    static void deleteLaterNow() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }
};

}  // namespace

TEST_F(BeyondTest, PresenterModeCoversTheScreenStepsAndPlaysByKeysAndEscRestoresTheWindow) {
    store().selectBuiltIn(0, 11);
    // A red box drawn on the stage: the presenter shows it over the board.
    BoardAnnotation box = vantrel::testing::drawing(AnnotationTool::rectangle, {{0.42, 0.42}, {0.58, 0.58}}, AnnotationFill::solid);
    box.style.color = AnnotationColor::red;
    store().replaceAnnotations({box});
    const QRect geometry = window->geometry();
    const Qt::WindowStates states = window->windowState();
    QTest::keyClick(window.get(), Qt::Key_F5);
    PresenterView* presenter = content().presenter();
    ASSERT_TRUE(presenter);
    EXPECT_TRUE(presenter->windowState() & Qt::WindowFullScreen);
    {
        // Graphite lays grains: count the red ones along the box's top edge.
        BoardView& board = presenter->boardView();
        auto redGrains = [&] {
            const QImage frame = board.grab().toImage();
            int red = 0;
            for (double x = 0.44; x <= 0.56; x += 0.004)
                for (int dy = -3; dy <= 3; ++dy) {
                    const QColor c = frame.pixelColor((board.toView({x, 0.42}) + QPointF(0, dy)).toPoint());
                    red += c.red() > c.green() + 60 && c.red() > c.blue() + 60;
                }
            return red;
        };
        EXPECT_GT(redGrains(), 30);
        store().replaceAnnotations({});
        EXPECT_EQ(redGrains(), 0);
    }
    // The pointer hides after 2 s at rest and comes back when it moves.
    platform.advance(1.9);
    EXPECT_FALSE(presenter->pointerHidden());
    platform.advance(0.2);
    EXPECT_TRUE(presenter->pointerHidden());
    vantrel::testing::mouse(presenter, QEvent::MouseMove, QPointF(200, 200), Qt::NoButton, Qt::NoButton);
    EXPECT_FALSE(presenter->pointerHidden());

    QTest::keyClick(presenter, Qt::Key_Right);
    platform.advance(6);
    EXPECT_EQ(store().stepIndex(), 1);
    EXPECT_EQ(presenter->caption()->accessibleName().toStdString(), store().currentStep()->title);
    const int last = int(store().tactic().steps.size()) - 1;
    QTest::keyClick(presenter, Qt::Key_End);
    EXPECT_EQ(store().stepIndex(), last);
    QTest::keyClick(presenter, Qt::Key_Home);
    EXPECT_EQ(store().stepIndex(), 0);

    // Space plays and pauses; 3 doubles the speed, shown in the overlay.
    QTest::keyClick(presenter, Qt::Key_3);
    EXPECT_TRUE(presenter->keysOverlay()->text().startsWith(QStringLiteral("速度 2× · 循环 关")));
    QTest::keyClick(presenter, Qt::Key_Space);
    EXPECT_TRUE(store().playing());   // what the speed does to playback is the store's test
    QTest::keyClick(presenter, Qt::Key_Space);
    EXPECT_FALSE(store().playing());

    // With the loop on, a run that reaches the end starts again from the top.
    QTest::keyClick(presenter, Qt::Key_L);
    QTest::keyClick(presenter, Qt::Key_Space);
    ASSERT_TRUE(platform.advanceUntil([&] { return !store().playing(); }, 60));
    EXPECT_EQ(store().stepIndex(), last);
    QCoreApplication::processEvents();
    EXPECT_TRUE(store().playing());
    EXPECT_EQ(store().stepIndex(), 0);
    QTest::keyClick(presenter, Qt::Key_V);   // V flips to the 3D view and back
    EXPECT_TRUE(presenter->showing3D());
    QTest::keyClick(presenter, Qt::Key_V);
    EXPECT_FALSE(presenter->showing3D());

    QTest::keyClick(presenter, Qt::Key_Escape);
    deleteLaterNow();
    EXPECT_FALSE(content().presenter());
    EXPECT_EQ(window->geometry(), geometry);
    EXPECT_EQ(window->windowState(), states);
    EXPECT_TRUE(window->isVisible());

    // Unsaved edits: stepping on asks, and the presenter steps aside for the question.
    store().pause();
    store().selectStep(0);
    store().movePlayer(store().currentStep()->players[3].id, {0.5, 0.5});
    QApplication::setActiveWindow(window.get());
    QTest::keyClick(window.get(), Qt::Key_F5);
    ASSERT_TRUE(content().presenter());
    QTest::keyClick(content().presenter(), Qt::Key_Right);
    EXPECT_TRUE(store().showingStageSaveConfirmation());
    deleteLaterNow();
    EXPECT_FALSE(content().presenter());
}

TEST_F(BeyondTest, CtrlZUndoesBoardEditsByNameAndAnnotationsWhileDrawing) {
    store().newTactic("撤销");
    const BoardStep saved = *store().currentStep();
    const std::string mover = saved.players[4].id;
    EXPECT_FALSE(editMenuAction(0)->isEnabled());
    drag(mover, {0.5, 0.3});
    EXPECT_TRUE(window->isWindowModified());
    EXPECT_EQ(editMenuAction(0)->text(), QStringLiteral("撤销 移动球员"));
    QTest::keyClick(window.get(), Qt::Key_Z, Qt::ControlModifier);   // the whole drag at once
    EXPECT_EQ(*store().currentStep(), saved);
    EXPECT_FALSE(window->isWindowModified());
    EXPECT_EQ(editMenuAction(1)->text(), QStringLiteral("重做 移动球员"));
    QTest::keyClick(window.get(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_NEAR(store().currentStep()->player(mover)->position.x, 0.5, 1e-6);

    // In drawing mode the keys belong to the annotations.
    DrawingSession& session = content().drawingSession();
    session.setEditing(true);
    session.commit(vantrel::testing::drawing(AnnotationTool::line, {{0.2, 0.2}, {0.5, 0.5}}));
    EXPECT_EQ(editMenuAction(0)->text(), QStringLiteral("撤销 注释"));
    QTest::keyClick(window.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(session.annotations().empty());
    EXPECT_NEAR(store().currentStep()->player(mover)->position.x, 0.5, 1e-6);   // the board kept its move
    session.setEditing(false);
    EXPECT_EQ(editMenuAction(0)->text(), QStringLiteral("撤销 移动球员"));
}

TEST_F(BeyondTest, OwnTacticsAreRenamedCopiedAndDeletedFromTheirMenu) {
    store().newTactic("甲");
    const std::string key = store().selectedTacticKey();
    contextCommand(key, QStringLiteral("重命名"));
    auto* sheet = content().openSheet();
    ASSERT_TRUE(sheet);
    auto* field = sheet->findChild<QLineEdit*>();
    ASSERT_TRUE(field);
    EXPECT_EQ(field->text(), QStringLiteral("甲"));
    field->setText(QStringLiteral("  反击  "));
    clickButton(sheet, QStringLiteral("重命名"));
    EXPECT_EQ(store().tactic().name, "反击");

    contextCommand(key, QStringLiteral("创建副本"));
    ASSERT_EQ(store().importedTactics().size(), 2u);
    EXPECT_EQ(content().librarySidebar().ownList()->count(), 2);

    contextCommand(key, QStringLiteral("删除战术"));   // its words are checked with the screen reader's
    ASSERT_TRUE(content().openSheet());
    QTest::keyClick(content().openSheet(), Qt::Key_Return);   // Return never deletes
    EXPECT_EQ(store().importedTactics().size(), 2u);
    contextCommand(key, QStringLiteral("删除战术"));
    clickButton(content().openSheet(), QStringLiteral("删除战术"));
    ASSERT_EQ(store().importedTactics().size(), 1u);

    // A stage row's own click rebuilds the stage list under it.
    QToolButton* row = nullptr;
    for (auto* b : content().librarySidebar().stageList()->findChildren<QToolButton*>())
        if (b->accessibleName().startsWith(QStringLiteral("阶段 2 ·")) && !b->isHidden()) row = b;
    ASSERT_TRUE(row);
    QTest::mouseClick(row, Qt::LeftButton);
    EXPECT_EQ(store().stepIndex(), 1);
    deleteLaterNow();
}

TEST_F(BeyondTest, ALongTacticsStageListFillsInTurnsKeepsItsRowsAndItsMenuActsOnItsRow) {
    std::vector<BoardStep> steps;
    for (int i = 0; i < 200; ++i) steps.push_back(vantrel::testing::lineup({}, {}, "阶段" + std::to_string(i + 1)));
    store().selectImported(SavedTactic{Uuid::random(), Tactic{"长战术", 7, steps}, true});
    auto rows = [&] {
        std::vector<QToolButton*> found;
        for (auto* b : content().librarySidebar().stageList()->findChildren<QToolButton*>())
            if (b->accessibleName().startsWith(QStringLiteral("阶段 ")) && !b->isHidden()) found.push_back(b);
        return found;
    };
    // Rows come a few dozen per turn of the event loop, not all 200 in one block.
    EXPECT_LT(rows().size(), 200u);
    for (int turn = 0; turn < 20 && rows().size() < 200; ++turn) QApplication::processEvents();
    ASSERT_EQ(rows().size(), 200u);

    auto row = [&](int i) {
        for (QToolButton* b : rows())
            if (b->accessibleName().startsWith(QStringLiteral("阶段 %1 ·").arg(i))) return b;
        return static_cast<QToolButton*>(nullptr);
    };
    QToolButton* far = row(151);
    QTest::mouseClick(far, Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_EQ(store().stepIndex(), 150);
    EXPECT_EQ(row(151), far);   // the same row, now checked, and no other
    EXPECT_TRUE(far->isChecked());
    EXPECT_FALSE(row(1)->isChecked());

    // The menu beside row 3 copies step 3: it goes there, and the tactic is full.
    QToolButton* more = nullptr;
    for (auto* b : far->parentWidget()->parentWidget()->findChildren<QToolButton*>())
        if (b->accessibleName() == QStringLiteral("阶段操作") && b->parentWidget() == row(3)->parentWidget()) more = b;
    ASSERT_TRUE(more);
    QTimer::singleShot(0, [] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* menu = qobject_cast<QMenu*>(w); menu && menu->isVisible())
                for (QAction* a : menu->actions())
                    if (a->text() == QStringLiteral("复制阶段")) {
                        a->trigger();
                        menu->close();
                        return;
                    }
    });
    QTest::mouseClick(more, Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_EQ(store().stepIndex(), 2);
    EXPECT_EQ(store().status(), "阶段已达上限（200 个）");   // the copy was asked for, and refused
}

TEST_F(BeyondTest, TheRiskMarkerSitsWherePlaybackStopsUntilTheDefenderIsDraggedAway) {
    store().selectImported(SavedTactic{Uuid::random(), Tactic{"拦截", 7, passPastDefender()}, true});
    store().selectStep(1);
    const auto risk = store().interceptionRisk();
    ASSERT_TRUE(risk);
    const QPointF at = pitch().toView(risk->at);
    const QPointF defender = pitch().toView(store().currentStep()->player("away-4")->position);
    // The left of the marker's ring and the right of the interceptor's ring: turf without them.
    auto red = [&] {
        const QImage image = pitch().grab().toImage();
        auto isRed = [&](QPointF p) {
            const QColor c = image.pixelColor(p.toPoint());
            return c.red() > 150 && c.green() < 120 && c.blue() < 120;
        };
        return isRed(at - QPointF(8, 0)) && isRed(defender + QPointF(18, 0));
    };
    EXPECT_TRUE(red());

    QHelpEvent help(QEvent::ToolTip, at.toPoint(), pitch().mapToGlobal(at.toPoint()));
    QApplication::sendEvent(&pitch(), &help);
    EXPECT_EQ(QToolTip::text(), QStringLiteral("可能被 橙队 4 号 拦截"));
    EXPECT_EQ(pitch().accessibleDescription(), QStringLiteral("可能被 橙队 4 号 拦截"));

    // The display toggle of the view menu and the inspector.
    content().actions().showInterceptionRisk->trigger();
    EXPECT_FALSE(red());
    content().actions().showInterceptionRisk->trigger();
    EXPECT_TRUE(red());

    drag("away-4", {0.4, 0.9});   // which positions carry a risk is the store's playback test
    EXPECT_FALSE(red());
}

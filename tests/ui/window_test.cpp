// SPDX-License-Identifier: GPL-3.0-or-later
// The window as a coach leaves it: the autosave written when it is left or closed, and a
// write that fails shown in the header, never as "已保存".

#include <QLabel>

#include "core/model/tactic_json.h"
#include "support/temp_folder.h"
#include "support/window_fixture.h"
#include "ui/workspace/workspace_dialogs.h"

using namespace vantrel;
using WindowTest = vantrel::testing::WindowTest;

TEST_F(WindowTest, LeavingOrClosingTheWindowWritesThePendingAutosave) {
    auto library = [&] { return TacticJson::decodeLibrary(*prefs.data(kImportedTacticsKey)).value(); };
    store().newTactic("离开");
    store().addStep();
    ASSERT_TRUE(store().autosavePending());
    window->applicationStateChanged(Qt::ApplicationActive);
    EXPECT_TRUE(store().autosavePending());
    window->applicationStateChanged(Qt::ApplicationInactive);
    EXPECT_FALSE(store().autosavePending());
    EXPECT_EQ(library()[0].tactic.steps.size(), 2u);

    store().addStep();
    ASSERT_TRUE(store().autosavePending());
    window->close();
    ASSERT_EQ(library().size(), 1u);
    EXPECT_EQ(library()[0].tactic.steps.size(), 3u);
}

TEST_F(WindowTest, TheBadgeAndStatusLineSayAFailedSaveUntilAWriteSucceeds) {
    auto* badge = window->findChild<QLabel*>(QStringLiteral("stateBadge"));
    auto* status = window->findChild<QLabel*>(QStringLiteral("statusLine"));
    ASSERT_TRUE(badge && status);
    store().newTactic("断电");
    EXPECT_EQ(badge->text(), QStringLiteral("已保存"));

    prefs.failWrites("磁盘已满");
    store().setTacticName("断电二");
    platform.advance(1);
    EXPECT_EQ(badge->text(), QStringLiteral("保存失败"));
    EXPECT_EQ(badge->accessibleDescription(), QStringLiteral("磁盘已满"));
    EXPECT_EQ(status->text(), QStringLiteral("自动保存失败：磁盘已满"));

    prefs.failWrites(std::nullopt);
    store().setTacticName("断电三");
    platform.advance(1);
    EXPECT_EQ(badge->text(), QStringLiteral("已保存"));
    EXPECT_TRUE(badge->accessibleDescription().isEmpty());

    // A panel choice that cannot be stored holds for this session, and is said.
    prefs.failWrites("只读文件夹");
    content().toggleLibrary();
    EXPECT_FALSE(sidebar().isVisible());
    EXPECT_EQ(status->text(), QStringLiteral("设置保存失败：只读文件夹"));
}

TEST_F(WindowTest, AnUnreadableLibraryIsTakenOutThroughTheMoreMenu) {
    window.reset();
    prefs.setData("Vantrel.importedTactics", "{ not a library");
    open();
    QMenu* kept = nullptr;
    for (QMenu* menu : window->findChildren<QMenu*>())
        if (menu->title() == QStringLiteral("导出无法读取的战术数据")) kept = menu;
    ASSERT_TRUE(kept);
    EXPECT_TRUE(kept->menuAction()->isVisible());
    ASSERT_EQ(kept->actions().size(), 1);

    const vantrel::testing::TempFolder dir("vantrel-unreadable");
    platform.saveAnswers.push_back(dir / "kept.json");
    kept->actions().front()->trigger();
    EXPECT_EQ(vantrel::testing::readFileForTest(dir / "kept.json"), "{ not a library");
}

TEST_F(WindowTest, EditsLeftByAKilledRunAreOfferedBackBeforeTheTour) {
    store().selectBuiltIn(1, 7);
    store().selectStep(2);
    store().movePlayer(store().currentStep()->players.back().id, {0.5, 0.5});
    platform.advance(2);
    const Tactic edited = store().tactic();

    // Killed; the next start is a coach's first.
    prefs.setBoolean("Vantrel.onboardingCompleted", false);
    open();
    auto* question = window->findChild<WorkspaceSheet*>(QStringLiteral("recoveryQuestion"));
    ASSERT_TRUE(question && question->isVisible());
    EXPECT_EQ(question->accessibleName(), QStringLiteral("恢复未保存的修改？"));
    EXPECT_TRUE(question->accessibleDescription().startsWith(
        QStringLiteral("「%1」· 阶段 3 · ").arg(QString::fromStdString(edited.name))));
    EXPECT_FALSE(content().tutorialOverlay());

    // Return gives the answer drawn as the default: it holds the focus.
    ASSERT_TRUE(question->focusWidget());
    EXPECT_EQ(question->focusWidget()->accessibleName(), QStringLiteral("恢复"));
    QTest::keyClick(question->focusWidget(), Qt::Key_Return);
    EXPECT_EQ(store().tactic(), edited);   // where and how it comes back is the store's recovery test
    EXPECT_TRUE(content().tutorialOverlay());
}

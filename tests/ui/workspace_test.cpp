// SPDX-License-Identifier: GPL-3.0-or-later
// The workspace as a coach drives it: library, sheets (the squad's among them), inspector
// and commands through real clicks and keys on the offscreen platform, and what the
// keyboard alone reaches.

#include <QAccessible>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTimer>
#include <QToolBar>

#include <fstream>

#include "core/library/builtin_tactics.h"
#include "support/temp_folder.h"
#include "support/window_fixture.h"
#include "ui/pitch/board_view.h"
#include "ui/style/studio_segmented_control.h"
#include "ui/style/studio_style.h"
#include "ui/timeline/timeline_buttons.h"
#include "ui/workspace/canvas_panel.h"
#include "ui/workspace/inspector_view.h"
#include "ui/workspace/squad_sheet.h"
#include "ui/workspace/tactic_header.h"
#include "ui/workspace/version_history_sheet.h"

using namespace vantrel;

namespace {

class WorkspaceTest : public vantrel::testing::WindowTest {
protected:
    void clickRow(QListWidget* list, int row) {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
    }
};

}  // namespace

TEST_F(WorkspaceTest, LibraryScopesFormatsAndFavourites) {
    const auto& seven = BuiltInTactics::library(7);
    ASSERT_EQ(rows(sidebar().builtinList()).size(), int(seven.size()));
    EXPECT_EQ(rows(sidebar().builtinList()).front().toStdString(), seven.front().name);

    // An empty scope explains itself.
    content().setLibraryFilter("favorites");
    EXPECT_TRUE(sidebar().emptyHint()->isVisible());
    EXPECT_EQ(sidebar().emptyHint()->text(), "右键战术可加入收藏");

    // A favourite set through the row's menu keeps its star after a restart.
    content().setLibraryFilter("all");
    contextCommand("builtin-7-0", "加入收藏");
    open();
    sidebar().setScope("favorites");
    ASSERT_EQ(sidebar().builtinList()->count(), 1);
    EXPECT_TRUE(sidebar().builtinList()->item(0)->data(Qt::UserRole + 3).toBool());
    EXPECT_FALSE(sidebar().emptyHint()->isVisible());
    contextCommand("builtin-7-0", "取消收藏");
    EXPECT_EQ(prefs.string("Vantrel.favoriteKeys"), "");
    sidebar().setScope("all");

    // An own 7-a-side tactic hides when the format switches; the built-in rows swap.
    store().newTactic("我的七人", 7);
    auto* format = sidebar().findChild<StudioSegmentedControl*>();
    ASSERT_TRUE(format);
    QTest::mouseClick(format, Qt::LeftButton, {}, format->segmentRect(1).center().toPoint());
    EXPECT_EQ(store().tactic().format, 11);
    EXPECT_EQ(rows(sidebar().builtinList()).front().toStdString(), BuiltInTactics::library(11).front().name);
    EXPECT_EQ(sidebar().ownList()->count(), 0);

    // Clicking a row of the expanded group opens it and marks it.
    if (!sidebar().builtinList()->isVisible()) findByName<QToolButton>(&sidebar(), QStringLiteral("示范战术"))->click();
    clickRow(sidebar().builtinList(), 1);
    EXPECT_EQ(store().selectedTacticKey(), "builtin-11-1");
}

TEST_F(WorkspaceTest, NewTacticSheetAndCopyingABuiltIn) {
    store().selectBuiltIn(0, 11);
    key(Qt::Key_N, Qt::ControlModifier);
    auto* sheet = qobject_cast<NewTacticSheet*>(content().openSheet());
    ASSERT_TRUE(sheet);   // on the open tactic's format: the one made below is 11-a-side
    QTest::keyClick(sheet->nameField(), Qt::Key_Escape);
    EXPECT_TRUE(store().importedTactics().empty());

    key(Qt::Key_N, Qt::ControlModifier);
    sheet = qobject_cast<NewTacticSheet*>(content().openSheet());
    ASSERT_TRUE(sheet);
    typeText(sheet->nameField(), QStringLiteral("边路二过一"));
    QTest::keyClick(sheet->nameField(), Qt::Key_Return);
    ASSERT_EQ(store().importedTactics().size(), 1u);
    EXPECT_EQ(store().tactic().format, 11);
    EXPECT_EQ(sidebar().scope(), "mine");
    EXPECT_EQ(rows(sidebar().ownList()), QStringList{QStringLiteral("边路二过一")});

    // "复制到我的战术" opens the built-in and saves it as an own tactic.
    sidebar().setScope("all");
    contextCommand("builtin-11-1", "复制到我的战术");
    EXPECT_EQ(store().importedTactics().size(), 2u);
    EXPECT_TRUE(store().selectedTacticKey().starts_with("imported-"));
}

TEST_F(WorkspaceTest, StepsTitlesNotesAndTheDeletionQuestion) {
    store().newTactic("讲解", 7);
    store().addStep();
    ASSERT_EQ(store().tactic().steps.size(), 2u);
    store().flushAutosave();

    // The inspector's fields write through the store; the header shows the note's stage edit.
    key(Qt::Key_I, Qt::ControlModifier | Qt::AltModifier);
    ASSERT_TRUE(content().inspector().isVisible());
    InspectorView& inspector = content().inspector();
    inspector.stepTitleField()->clear();
    typeText(inspector.stepTitleField(), QStringLiteral("2 · 边路球员接球"));
    EXPECT_EQ(store().currentStep()->title, "2 · 边路球员接球");
    inspector.stepNoteField()->setFocus();
    typeText(inspector.stepNoteField(), QStringLiteral("插上"));
    EXPECT_NE(store().currentStep()->note.find("插上"), std::string::npos);
    EXPECT_EQ(content().header().badge()->text(), "未保存修改");

    inspector.tacticNameField()->selectAll();
    typeText(inspector.tacticNameField(), QStringLiteral("新名字"));
    QTest::keyClick(inspector.tacticNameField(), Qt::Key_Return);
    EXPECT_EQ(store().tactic().name, "新名字");
    EXPECT_EQ(window->windowTitle(), "新名字[*] — Vantrel");

    // The question quotes the clean title; cancel keeps the step, the button removes it.
    auto* remove = findByName<QToolButton>(&inspector, "删除当前步骤");
    ASSERT_TRUE(remove);
    QTest::mouseClick(remove, Qt::LeftButton);
    WorkspaceSheet* question = content().openSheet();
    ASSERT_TRUE(question);
    EXPECT_EQ(question->messageLabel()->text(), "“边路球员接球”将从这套战术中移除。");
    QTest::keyClick(question, Qt::Key_Escape);
    EXPECT_EQ(store().tactic().steps.size(), 2u);
    QTest::mouseClick(remove, Qt::LeftButton);
    question = content().openSheet();
    QTest::mouseClick(findByName<QToolButton>(question, "删除步骤"), Qt::LeftButton);
    EXPECT_EQ(store().tactic().steps.size(), 1u);

    // "添加阶段" adds a stage row.
    QTest::mouseClick(findByName<QToolButton>(&sidebar(), "添加阶段"), Qt::LeftButton);
    EXPECT_EQ(store().tactic().steps.size(), 2u);
}

TEST_F(WorkspaceTest, InspectorFollowsThePlayerAndTheDrawingMode) {
    BoardView& pitch = content().pitchView();
    const Player& player = store().currentStep()->players.front();
    QTest::mouseClick(&pitch, Qt::LeftButton, Qt::ControlModifier, pitch.toView(player.position).toPoint());
    ASSERT_EQ(store().inspectedPlayerID(), player.id);
    EXPECT_TRUE(content().inspector().isVisible());
    EXPECT_FALSE(content().inspector().showingStageSettings());
    QTest::mouseClick(findByName<QToolButton>(content().inspector().playerArea(), "取消选择"), Qt::LeftButton);
    EXPECT_FALSE(store().selectedPlayer());
    EXPECT_FALSE(content().inspector().isVisible());

    // Drawing on a built-in ends when another built-in opens.
    content().drawingSession().setEditing(true);
    store().selectBuiltIn(1);
    EXPECT_FALSE(content().drawingSession().editing());
}

TEST_F(WorkspaceTest, ShortcutsReachTheirCommandsAndTheStatusIsHeard) {
    key(Qt::Key_L, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_FALSE(content().librarySidebar().isVisible());
    key(Qt::Key_L, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_TRUE(content().librarySidebar().isVisible());

    key(Qt::Key_S, Qt::ControlModifier);   // a built-in is saved as an own copy
    EXPECT_EQ(store().importedTactics().size(), 1u);

    key(Qt::Key_I, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_TRUE(content().inspector().isVisible());
    // Its toolbar button says what a press does now, in its name and its description.
    QWidget* toggle = findByName<QWidget>(window.get(), QStringLiteral("隐藏步骤设置"));
    ASSERT_TRUE(toggle);
    EXPECT_EQ(toggle->accessibleDescription(), QStringLiteral("隐藏步骤设置 · Ctrl+Alt+I"));
    key(Qt::Key_I, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_FALSE(content().inspector().isVisible());

    // The status line is its text to a screen reader too.
    while (store().tactic().steps.size() > 1) store().removeStep();
    store().removeStep();
    QLabel* status = content().header().statusLabel();
    EXPECT_EQ(status->text(), "至少保留一个步骤");
    QAccessibleInterface* a11y = QAccessible::queryAccessibleInterface(status);
    ASSERT_TRUE(a11y);
    EXPECT_EQ(a11y->text(QAccessible::Name), "至少保留一个步骤");
}

TEST_F(WorkspaceTest, WindowPaintsSidebarHeaderAndInspector) {
    content().setInspector(true, true);
    const QImage frame = window->grab().toImage();
    auto at = [&](QWidget* w, QPoint local) { return frame.pixelColor(w->mapTo(window.get(), local)); };
    // The sidebar and the inspector are surface columns on the workspace tone.
    EXPECT_EQ(at(&sidebar(), QPoint(sidebar().width() - 6, sidebar().height() - 6)), StudioStyle::surface());
    EXPECT_EQ(at(&content().inspector(), QPoint(content().inspector().width() - 6, content().inspector().height() - 6)),
              StudioStyle::surface());
    // The header's name is drawn in dark ink on the workspace tone.
    QLabel* name = content().header().nameLabel();
    int inked = 0;
    for (int x = 0; x < name->width(); ++x)
        for (int y = 0; y < name->height(); ++y)
            if (at(name, QPoint(x, y)).lightness() < 100) ++inked;
    EXPECT_GT(inked, 40);
    EXPECT_EQ(at(&content(), content().header().mapTo(&content(), QPoint(content().header().width() - 4, 4))),
              StudioStyle::workspace());
}

TEST_F(WorkspaceTest, EarlierVersionsAreListedPreviewedAndRestoredByKeys) {
    store().newTactic("历史", 7);
    const std::string own = store().selectedTacticKey();
    auto sheet = [this]() -> VersionHistorySheet* {
        for (auto* shown : window->findChildren<VersionHistorySheet*>())
            if (shown->isVisible()) return shown;
        return nullptr;
    };

    // None yet: the sheet says so and only closes.
    contextCommand(own, "历史版本…");
    ASSERT_TRUE(sheet());
    EXPECT_FALSE(sheet()->list());
    QTest::keyClick(sheet(), Qt::Key_Return);
    EXPECT_FALSE(sheet());

    const Tactic oneStep = store().tactic();
    store().addStep();
    store().flushAutosave();
    platform.calendarOffset += TacticVersions::kSessionSeconds;
    store().addStep();
    store().flushAutosave();
    ASSERT_EQ(store().ownTactics().versions(own).size(), 2u);
    contextCommand(own, "历史版本…");
    ASSERT_TRUE(sheet());
    ASSERT_TRUE(sheet()->list());
    ASSERT_EQ(sheet()->list()->count(), 2);
    EXPECT_TRUE(sheet()->list()->item(0)->text().endsWith(QStringLiteral("2 个阶段")));

    // Down chooses the older version; its stages step by the buttons, read-only.
    QTest::keyClick(sheet()->list(), Qt::Key_Down);
    EXPECT_TRUE(findByName<QLabel>(sheet(), QStringLiteral("阶段 1 / 1：初始站位")));
    EXPECT_FALSE(findByName<QToolButton>(sheet(), QStringLiteral("下一阶段"))->isEnabled());
    EXPECT_EQ(store().tactic().steps.size(), 3u);

    // Return restores it.
    QTest::keyClick(sheet()->list(), Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(store().tactic().steps, oneStep.steps);
}

TEST_F(WorkspaceTest, ThePlayerViewNamesAPlayer) {
    store().newTactic("阵容", 7);
    store().selectPlayer("home-5", true);
    InspectorView& inspector = content().inspector();
    ASSERT_TRUE(inspector.playerNameField()->isVisible());
    inspector.playerNameField()->setFocus();
    typeText(inspector.playerNameField(), QStringLiteral("陈晨"));
    QTest::keyClick(inspector.playerNameField(), Qt::Key_Return);
    inspector.shirtField()->setValue(10);
    emit inspector.shirtField()->editingFinished();
    ASSERT_EQ(store().tactic().teams.size(), 1u);
    EXPECT_EQ(store().tactic().teams[0].players, (std::vector<SquadPlayer>{{"home-5", "陈晨", std::nullopt, 10}}));
    EXPECT_EQ(inspector.playerTitle()->text(), QStringLiteral("蓝队 10 号 陈晨"));
}

TEST_F(WorkspaceTest, ACoachNamesTeamsKitsAndPlayersFromASpreadsheet) {
    store().newTactic("周二训练", 7);
    const WorkspaceActions& a = content().actions();
    a.squad->trigger();
    auto* sheet = window->findChild<SquadSheet*>();
    ASSERT_TRUE(sheet && sheet->isVisible());

    // A team name, committed as focus leaves the field; a kit colour from the picker.
    sheet->nameField(1)->setFocus();
    typeText(sheet->nameField(1), QStringLiteral("红星队"));
    QTest::keyClick(sheet->nameField(1), Qt::Key_Tab);
    sheet->setColorChooser([](QColor) { return std::optional<QColor>(QColor(0xc0, 0x10, 0x2a)); });
    QTest::mouseClick(sheet->colorButton(1), Qt::LeftButton);
    ASSERT_EQ(store().tactic().teams.size(), 2u);
    EXPECT_EQ(store().tactic().teams[1].name, "红星队");
    EXPECT_EQ(store().tactic().teams[1].color, "#C0102A");
    EXPECT_EQ(sheet->colorButton(1)->accessibleDescription(), QStringLiteral("当前颜色 #C0102A"));

    // A pasted list names the players by their numbers; a number nobody wears is said.
    QApplication::clipboard()->setText(QStringLiteral("号码\t姓名\t位置\n5\t陈晨\t中场\n42\t无人\t\n"));
    QTest::mouseClick(sheet->pasteButton(0), Qt::LeftButton);
    EXPECT_EQ(sheet->outcome()->text(), QStringLiteral("已导入名单：蓝队 1 名球员 · 未找到号码 42"));
    EXPECT_TRUE(rows(sheet->playerList(0)).contains(QStringLiteral("5 号 陈晨 · 中场")));

    // A file that is no squad list changes nothing and says why.
    vantrel::testing::TempFolder dir{"vantrel-squad"};
    std::ofstream(dir / "list.csv") << "姓名,位置\n甲,中场\n";
    sheet->setFileChooser([&] { return std::optional<std::filesystem::path>(dir / "list.csv"); });
    QTest::mouseClick(sheet->importButton(1), Qt::LeftButton);
    EXPECT_EQ(sheet->outcome()->text(), QStringLiteral("名单无法导入：名单缺少“号码”列"));
    QTest::keyClick(sheet, Qt::Key_Escape);
    EXPECT_FALSE(content().openSheet());

    // "聚焦球员" by key on the selected player, shown checked in his view; F again ends it.
    store().selectPlayer("home-5", true);
    content().inspector().focusButton()->setFocus();
    key(Qt::Key_F);
    EXPECT_EQ(store().squad().focused(), "home-5");
    EXPECT_TRUE(content().inspector().focusButton()->isChecked());
    EXPECT_TRUE(a.focusPlayer->isChecked());
    QTest::mouseClick(content().inspector().focusButton(), Qt::LeftButton);
    EXPECT_FALSE(store().squad().focused());
}

TEST_F(WorkspaceTest, ButtonsQuestionsMenusAndTheLockAnswerTheKeyboard) {
    store().newTactic("键盘", 7);
    store().addStep();
    store().selectStep(0);

    // Toolbar, transport and timeline nodes are Tab stops; Return presses a node.
    for (const char* name : {"新建战术", "保存到我的战术", "演示模式", "新手教程", "更多操作"}) {
        auto* b = findByName<QToolButton>(window->findChild<QToolBar*>(), QString::fromUtf8(name));
        ASSERT_TRUE(b) << name;
        EXPECT_TRUE(b->focusPolicy() & Qt::TabFocus) << name;
    }
    auto* play = findByName<StudioHoverButton>(window.get(), QStringLiteral("播放"));
    ASSERT_TRUE(play);
    EXPECT_TRUE(play->focusPolicy() & Qt::TabFocus);
    StudioHoverButton* node = nullptr;
    for (auto* b : window->findChildren<StudioHoverButton*>())
        if (b->isVisible() && b->accessibleName().startsWith(QStringLiteral("阶段 2："))) node = b;
    ASSERT_TRUE(node);
    node->setFocus(Qt::TabFocusReason);
    QTest::keyClick(node, Qt::Key_Return);
    EXPECT_EQ(store().stepIndex(), 1);

    // Shift+F10 on a stage row opens that row's menu.
    QMenu* shown = nullptr;
    QTimer::singleShot(0, [&] {
        shown = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (shown) shown->close();
    });
    QToolButton* row = nullptr;
    for (auto* b : sidebar().findChildren<QToolButton*>())
        if (b->isVisible() && b->accessibleName().startsWith(QStringLiteral("阶段 1 ·"))) row = b;
    ASSERT_TRUE(row);
    QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, row->rect().center(), row->mapToGlobal(row->rect().center()));
    QApplication::sendEvent(row, &menuKey);
    ASSERT_TRUE(shown);
    EXPECT_EQ(shown->title(), QStringLiteral("阶段操作"));

    // In a question, Return on the focused destructive answer is that answer.
    const std::string key = store().selectedTacticKey();
    contextCommand(key, "删除战术");
    auto* question = window->findChild<QDialog*>(QStringLiteral("deleteTacticQuestion"));
    ASSERT_TRUE(question);
    auto* remove = findByName<QToolButton>(question, QStringLiteral("删除战术"));
    ASSERT_TRUE(remove);
    remove->setFocus();
    QTest::keyClick(remove, Qt::Key_Return);
    EXPECT_TRUE(store().importedTactics().empty());

    // A locked layer says so on the canvas.
    QWidget* badge = content().canvas().lockBadge();
    EXPECT_FALSE(badge && badge->isVisible());
    content().drawingSession().setLocked(true);
    ASSERT_TRUE(content().canvas().lockBadge());
    EXPECT_TRUE(content().canvas().lockBadge()->isVisible());
    EXPECT_EQ(content().canvas().lockBadge()->accessibleName(), QStringLiteral("注释层已锁定"));
}

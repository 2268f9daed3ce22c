// SPDX-License-Identifier: GPL-3.0-or-later
// The workspace as a coach drives it: library, sheets, inspector and commands through
// real clicks and keys on the offscreen platform.

#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QToolBar>

#include "core/library/builtin_tactics.h"
#include "support/window_fixture.h"
#include "ui/pitch/board_view.h"
#include "ui/style/studio_segmented_control.h"
#include "ui/style/studio_style.h"
#include "ui/workspace/inspector_view.h"
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

    // Empty scopes explain themselves.
    content().setLibraryFilter("favorites");
    EXPECT_TRUE(sidebar().emptyHint()->isVisible());
    EXPECT_EQ(sidebar().emptyHint()->text(), "右键战术可加入收藏");
    content().setLibraryFilter("mine");
    EXPECT_EQ(sidebar().emptyHint()->text(), "点击 + 创建自己的战术");

    // A favourite set through the row's menu keeps its star after a restart.
    content().setLibraryFilter("all");
    contextCommand("builtin-7-0", "加入收藏");
    EXPECT_EQ(prefs.string("Vantrel.favoriteKeys"), "builtin-7-0");
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

    // Clicking a row opens it and marks it.
    clickRow(sidebar().builtinList(), 1);
    EXPECT_EQ(store().selectedTacticKey(), "builtin-11-1");
}

TEST_F(WorkspaceTest, NewTacticSheetAndCopyingABuiltIn) {
    store().selectBuiltIn(0, 11);
    key(Qt::Key_N, Qt::ControlModifier);
    auto* sheet = qobject_cast<NewTacticSheet*>(content().openSheet());
    ASSERT_TRUE(sheet);
    EXPECT_EQ(sheet->format(), 11);
    EXPECT_TRUE(sheet->name().isEmpty());
    QTest::keyClick(sheet->nameField(), Qt::Key_Escape);
    EXPECT_TRUE(store().importedTactics().empty());

    key(Qt::Key_N, Qt::ControlModifier);
    sheet = qobject_cast<NewTacticSheet*>(content().openSheet());
    ASSERT_TRUE(sheet);
    typeText(sheet->nameField(), QStringLiteral("边路二过一"));
    QTest::keyClick(sheet->nameField(), Qt::Key_Return);
    ASSERT_EQ(store().importedTactics().size(), 1u);
    EXPECT_EQ(store().tactic().name, "边路二过一");
    EXPECT_EQ(store().tactic().format, 11);
    EXPECT_EQ(sidebar().scope(), "mine");
    EXPECT_EQ(rows(sidebar().ownList()), QStringList{QStringLiteral("边路二过一")});

    // "复制到我的战术" opens the built-in and saves it as an own tactic.
    sidebar().setScope("all");
    contextCommand("builtin-11-1", "复制到我的战术");
    EXPECT_EQ(store().importedTactics().size(), 2u);
    EXPECT_TRUE(store().selectedTacticKey().starts_with("imported-"));
    EXPECT_TRUE(store().tactic().name.starts_with(BuiltInTactics::library(11)[1].name));
}

TEST_F(WorkspaceTest, StepsTitlesNotesAndTheDeletionQuestion) {
    store().newTactic("讲解", 7);
    store().addStep();
    ASSERT_EQ(store().tactic().steps.size(), 2u);
    store().flushAutosave();

    // The inspector's fields write through the store; a note is a stage edit.
    key(Qt::Key_I, Qt::ControlModifier | Qt::AltModifier);
    ASSERT_TRUE(content().inspector().isVisible());
    InspectorView& inspector = content().inspector();
    inspector.stepTitleField()->clear();
    typeText(inspector.stepTitleField(), QStringLiteral("2 · 边路球员接球"));
    EXPECT_EQ(store().currentStep()->title, "2 · 边路球员接球");
    inspector.stepNoteField()->setFocus();
    typeText(inspector.stepNoteField(), QStringLiteral("插上"));
    EXPECT_NE(store().currentStep()->note.find("插上"), std::string::npos);
    EXPECT_TRUE(store().hasStageChanges());
    EXPECT_EQ(content().header().badge()->text(), "未保存修改");
    EXPECT_TRUE(window->isWindowModified());

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
    EXPECT_FALSE(content().inspector().isVisible());   // starts hidden
    BoardView& pitch = content().pitchView();
    const Player& player = store().currentStep()->players.front();
    QTest::mouseClick(&pitch, Qt::LeftButton, Qt::ControlModifier, pitch.toView(player.position).toPoint());
    ASSERT_EQ(store().inspectedPlayerID(), player.id);
    EXPECT_TRUE(content().inspector().isVisible());
    EXPECT_FALSE(content().inspector().showingStageSettings());
    EXPECT_EQ(content().inspector().playerTitle()->text(),
              QStringLiteral("%1 %2 号").arg(player.team == 0 ? "蓝队" : "橙队").arg(player.number));
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
    EXPECT_FALSE(prefs.boolean("libraryVisible").value_or(true));
    key(Qt::Key_L, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_TRUE(content().librarySidebar().isVisible());

    key(Qt::Key_S, Qt::ControlModifier);   // a built-in is saved as an own copy
    EXPECT_EQ(store().importedTactics().size(), 1u);

    key(Qt::Key_I, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_TRUE(content().inspector().isVisible());
    EXPECT_EQ(content().actions().toggleInspector->text(), "隐藏步骤设置");
    key(Qt::Key_I, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_FALSE(content().inspector().isVisible());

    // The toolbar and the controls answer to their texts; the status line is its text.
    for (const char* name : {"保存到我的战术", "新建战术", "新手教程", "更多操作"})
        EXPECT_TRUE(findByName<QWidget>(window->toolbar(), name)) << name;
    EXPECT_TRUE(findByName<QWidget>(&content(), "添加阶段"));
    store().removeStep();
    store().removeStep();
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
    QStringList labels;
    for (auto* label : sheet()->findChildren<QLabel*>()) labels << label->accessibleName();
    EXPECT_TRUE(labels.contains(QStringLiteral("阶段 1 / 1：初始站位"))) << labels.join(u'|').toStdString();
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
    EXPECT_EQ(inspector.playerNameField()->accessibleName(), QStringLiteral("名字"));
    inspector.playerNameField()->setFocus();
    typeText(inspector.playerNameField(), QStringLiteral("陈晨"));
    QTest::keyClick(inspector.playerNameField(), Qt::Key_Return);
    inspector.shirtField()->setValue(10);
    emit inspector.shirtField()->editingFinished();
    ASSERT_EQ(store().tactic().teams.size(), 1u);
    EXPECT_EQ(store().tactic().teams[0].players, (std::vector<SquadPlayer>{{"home-5", "陈晨", std::nullopt, 10}}));
    EXPECT_EQ(inspector.playerTitle()->text(), QStringLiteral("蓝队 10 号 陈晨"));
}

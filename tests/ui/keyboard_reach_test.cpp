// SPDX-License-Identifier: GPL-3.0-or-later
// What the keyboard reaches beyond the board: toolbar, transport and timeline, questions,
// context menus, and the locked drawing layer.
#include <QContextMenuEvent>
#include <QMenu>
#include <QTimer>
#include <QToolBar>

#include "support/window_fixture.h"
#include "ui/timeline/timeline_buttons.h"
#include "ui/workspace/canvas_panel.h"

using namespace vantrel;

namespace {

class KeyboardReachTest : public vantrel::testing::WindowTest {};

TEST_F(KeyboardReachTest, ButtonsQuestionsMenusAndTheLockAnswerTheKeyboard) {
    store().newTactic("键盘", 7);
    store().addStep();
    store().selectStep(0);

    // Toolbar, transport and timeline nodes are Tab stops; Return presses a node.
    for (const char* name : {"新建战术", "保存到我的战术", "演示模式"}) {
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
    QToolButton* row = findByName<QToolButton>(&sidebar(), QStringLiteral("阶段 1 · 1 · 初始站位"));
    if (!row)
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

}  // namespace

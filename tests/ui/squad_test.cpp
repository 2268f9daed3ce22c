// SPDX-License-Identifier: GPL-3.0-or-later
// The squad sheet and "聚焦球员" on the real window: team names, kits and a squad list
// taken from the clipboard or a file, each one undo level.
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>

#include <fstream>

#include "support/temp_folder.h"
#include "support/window_fixture.h"
#include "ui/workspace/inspector_view.h"
#include "ui/workspace/squad_sheet.h"

using namespace vantrel;

namespace {

using SquadTest = vantrel::testing::WindowTest;

}  // namespace

TEST_F(SquadTest, ACoachNamesTeamsKitsAndPlayersFromASpreadsheet) {
    store().newTactic("周二训练", 7);
    const WorkspaceActions& a = content().actions();
    a.squad->trigger();
    auto* sheet = window->findChild<SquadSheet*>();
    ASSERT_TRUE(sheet && sheet->isVisible());
    EXPECT_EQ(sheet->nameField(1)->accessibleName(), QStringLiteral("橙队队名"));
    EXPECT_EQ(sheet->colorButton(1)->accessibleName(), QStringLiteral("橙队队服颜色"));

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

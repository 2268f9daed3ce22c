// SPDX-License-Identifier: GPL-3.0-or-later
// The library for a season: search, tags and groups, order, and the rows' pictures,
// through real keys and clicks on the offscreen platform.
#include <QAccessible>
#include <QCheckBox>
#include <QDateTime>
#include <QFile>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollBar>
#include <QTimer>

#include "core/library/builtin_tactics.h"
#include "support/temp_folder.h"
#include "support/window_fixture.h"
#include "ui/workspace/library_row_delegate.h"
#include "ui/pitch/board_view.h"
#include "ui/workspace/library_search_field.h"
#include "ui/workspace/tag_editor_dialog.h"
#include "ui/workspace/thumbnail_cache.h"

using namespace vantrel;

namespace {

class LibrarySeasonTest : public vantrel::testing::WindowTest {
protected:
    static QStringList shown(QListWidget* list) {
        QStringList names;
        for (int i = 0; i < list->count(); ++i)
            if (!list->isRowHidden(i) && list->isVisible()) names << list->item(i)->text();
        return names;
    }
    void makeOwn(std::initializer_list<const char*> names) {
        for (const char* name : names) store().newTactic(name, 7);
        QApplication::processEvents();
    }
    QAction* menuItem(const QString& button, const QString& text) {
        QToolButton* b = findByName<QToolButton>(&sidebar(), button);
        if (!b || !b->menu()) return nullptr;
        emit b->menu()->aboutToShow();
        for (QAction* a : b->menu()->actions())
            if (a->text() == text) return a;
        return nullptr;
    }
};

}  // namespace

TEST_F(LibrarySeasonTest, SearchFiltersAsYouTypeHighlightsAndEscClears) {
    makeOwn({"角球 近门柱", "角球 远门柱", "边路推进"});
    LibrarySearchField* field = sidebar().searchField();

    // Ctrl+F reaches the field from the pitch, and shows a hidden library first.
    store().selectBuiltIn(0, 7);
    content().toggleLibrary();
    ASSERT_FALSE(sidebar().isVisible());
    content().pitchView().setFocus();
    key(Qt::Key_F, Qt::ControlModifier);
    EXPECT_TRUE(field->hasFocus());   // a hidden field cannot hold it
    const QImage before = sidebar().ownList()->grab().toImage();
    typeText(field, QStringLiteral("ＪＩＡＯ"));   // nothing has it, whatever the width
    EXPECT_TRUE(sidebar().emptyHint()->isVisible());
    EXPECT_EQ(sidebar().emptyHint()->text(), QStringLiteral("没有匹配的战术"));
    field->clear();
    typeText(field, QStringLiteral("角球　近"));
    EXPECT_EQ(shown(sidebar().ownList()), QStringList{QStringLiteral("角球 近门柱")});
    EXPECT_FALSE(sidebar().emptyHint()->isVisible());
    // The matching words are marked in the row: its name's pixels differ from before.
    const QImage marked = sidebar().ownList()->grab().toImage();
    int changed = 0;
    for (int x = 80; x < marked.width() - 40; ++x)
        for (int y = 4; y < 28; ++y) changed += before.pixel(x, y) != marked.pixel(x, y);
    EXPECT_GT(changed, 40);

    key(Qt::Key_Escape);
    EXPECT_TRUE(field->text().isEmpty());
    EXPECT_EQ(shown(sidebar().ownList()).size(), 3);
    // Built-in tactics are searched too, though their group is collapsed.
    const std::string builtinName = BuiltInTactics::library(7).at(1).name;
    typeText(field, QString::fromStdString(builtinName));
    EXPECT_TRUE(shown(sidebar().builtinList()).contains(QString::fromStdString(builtinName)));

    // Cleared, the collapsed group's rows are not offered to a screen reader either.
    field->clear();
    QAccessibleInterface* builtIns = QAccessible::queryAccessibleInterface(sidebar().builtinList());
    ASSERT_TRUE(builtIns);
    for (int i = 0; i < builtIns->childCount(); ++i) EXPECT_TRUE(builtIns->child(i)->state().invisible) << i;

    // Past a dozen rows a list scrolls in itself, so the stages below stay in reach.
    for (int i = 0; i < 12; ++i) store().newTactic("训练 " + std::to_string(i), 7);
    QApplication::processEvents();
    EXPECT_EQ(sidebar().ownList()->height(), kMaxListedRows * kLibraryRowHeight + 2);
    EXPECT_TRUE(sidebar().ownList()->verticalScrollBar()->isVisible());
}

TEST_F(LibrarySeasonTest, TagsFromTheRowMenuGroupTheListAndOrderIsRemembered) {
    makeOwn({"角球 10", "角球 2", "压迫"});
    const std::string key = store().importedTactics()[2].key();
    QTimer::singleShot(0, [] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* sheet = qobject_cast<TagEditorDialog*>(w)) {
                for (QCheckBox* box : sheet->boxes())
                    if (box->text() == QStringLiteral("进攻")) QTest::mouseClick(box, Qt::LeftButton);
                typeText(sheet->typedField(), QStringLiteral("高位，客场"));
                clickButton(sheet, QStringLiteral("确定"));
            }
    });
    contextCommand(key, QStringLiteral("编辑标签…"));
    EXPECT_EQ(store().importedTactics()[2].tactic.tags, (std::vector<std::string>{"进攻", "高位", "客场"}));

    QAction* group = menuItem(QStringLiteral("按标签分组"), QStringLiteral("高位"));
    ASSERT_TRUE(group);
    group->trigger();
    EXPECT_EQ(shown(sidebar().ownList()), QStringList{QStringLiteral("压迫")});
    EXPECT_EQ(shown(sidebar().otherList()), (QStringList{QStringLiteral("角球 10"), QStringLiteral("角球 2")}));
    open();   // the grouping is remembered too
    EXPECT_EQ(shown(sidebar().ownList()), QStringList{QStringLiteral("压迫")});
    menuItem(QStringLiteral("按标签分组"), QStringLiteral("全部显示"))->trigger();

    menuItem(QStringLiteral("排序方式"), QStringLiteral("按名称"))->trigger();
    const QStringList byName{QStringLiteral("压迫"), QStringLiteral("角球 2"), QStringLiteral("角球 10")};
    EXPECT_EQ(shown(sidebar().ownList()), byName);
    open();
    EXPECT_EQ(shown(sidebar().ownList()), byName);
}

TEST_F(LibrarySeasonTest, RowsShowTheFirstStagePaintedOffTheInterfaceThreadAndKeptOnDisk) {
    vantrel::testing::TempFolder folder{"vantrel-thumbs"};
    // A picture nothing has read for 40 days goes when the folder is taken up.
    {
        QFile stale(QString::fromStdString((folder / "stale.png").string()));
        ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
        stale.write("x");
        stale.flush();   // a later write would set the time again
        stale.setFileTime(QDateTime::currentDateTimeUtc().addDays(-40), QFileDevice::FileModificationTime);
    }
    sidebar().setThumbnailFolder(QString::fromStdString(folder.string()));
    sidebar().thumbnails()->waitForAll();
    EXPECT_FALSE(std::filesystem::exists(folder / "stale.png"));
    makeOwn({"角球"});
    ThumbnailCache& cache = *sidebar().thumbnails();
    cache.image(store().tactic());
    cache.waitForAll();
    EXPECT_EQ(QDir(QString::fromStdString(folder.string())).entryList({QStringLiteral("*.png")}).size(), 1);
    const QImage row = sidebar().ownList()->grab().toImage();
    // The pitch's turf fills the picture at the row's left.
    const QColor turf = row.pixelColor(26, 18);
    EXPECT_GT(turf.green(), turf.red() + 20) << turf.name().toStdString();

    // An edit of the first stage makes a new picture; the list never waits for it.
    const QImage old = cache.image(store().tactic());
    ASSERT_FALSE(old.isNull());
    const Player& p = store().currentStep()->players.front();
    store().movePlayer(p.id, {0.5, 0.5});
    EXPECT_TRUE(cache.image(store().tactic()).isNull());
    cache.waitForAll();
    EXPECT_NE(cache.image(store().tactic()), old);
    // So does a piece of equipment placed on it.
    ASSERT_TRUE(store().equipment().add(EquipmentKind::miniGoal, {0.3, 0.3}));
    EXPECT_TRUE(cache.image(store().tactic()).isNull());
}

// A write of the own tactics that fails shows in the header, never as "已保存".
#include <gtest/gtest.h>

#include <QLabel>
#include <QMenu>

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "core/platform/memory_preference_store.h"
#include "support/manual_platform.h"
#include "ui/workspace/content_view.h"
#include "ui/workspace/library_sidebar.h"
#include "ui/workspace/main_window.h"

using namespace vantrel;

TEST(SaveFailureTest, TheBadgeAndStatusLineSayAFailedSaveUntilAWriteSucceeds) {
    MemoryPreferenceStore prefs;
    prefs.setBoolean("Vantrel.onboardingCompleted", true);
    vantrel::testing::ManualPlatform platform;
    MainWindow window(prefs, platform);
    window.show();
    BoardStore& s = window.content().store();
    auto* badge = window.findChild<QLabel*>(QStringLiteral("stateBadge"));
    auto* status = window.findChild<QLabel*>(QStringLiteral("statusLine"));
    ASSERT_TRUE(badge && status);

    s.newTactic("断电");
    EXPECT_EQ(badge->text(), QStringLiteral("已保存"));

    prefs.failWrites("磁盘已满");
    s.setTacticName("断电二");
    platform.advance(1);
    EXPECT_EQ(badge->text(), QStringLiteral("保存失败"));
    EXPECT_EQ(badge->accessibleDescription(), QStringLiteral("磁盘已满"));
    EXPECT_EQ(status->text(), QStringLiteral("自动保存失败：磁盘已满"));

    prefs.failWrites(std::nullopt);
    s.setTacticName("断电三");
    platform.advance(1);
    EXPECT_EQ(badge->text(), QStringLiteral("已保存"));
    EXPECT_TRUE(badge->accessibleDescription().isEmpty());
}

TEST(SaveFailureTest, AnUnreadableLibraryIsTakenOutThroughTheMoreMenu) {
    MemoryPreferenceStore prefs;
    prefs.setBoolean("Vantrel.onboardingCompleted", true);
    prefs.setData("Vantrel.importedTactics", "{ not a library");
    vantrel::testing::ManualPlatform platform;
    MainWindow window(prefs, platform);
    window.show();

    QMenu* kept = nullptr;
    for (QMenu* menu : window.findChildren<QMenu*>())
        if (menu->title() == QStringLiteral("导出无法读取的战术数据")) kept = menu;
    ASSERT_TRUE(kept);
    EXPECT_TRUE(kept->menuAction()->isVisible());
    ASSERT_EQ(kept->actions().size(), 1);

    const auto out = std::filesystem::temp_directory_path() / ("vantrel-unreadable-" + std::to_string(::getpid()) + ".json");
    platform.saveAnswers.push_back(out);
    kept->actions().front()->trigger();
    std::ifstream in(out, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "{ not a library");
    std::filesystem::remove(out);
}

TEST(SaveFailureTest, APanelChoiceThatCannotBeStoredIsSaid) {
    MemoryPreferenceStore prefs;
    prefs.setBoolean("Vantrel.onboardingCompleted", true);
    vantrel::testing::ManualPlatform platform;
    MainWindow window(prefs, platform);
    window.show();
    prefs.failWrites("只读文件夹");
    window.content().toggleLibrary();
    EXPECT_FALSE(window.content().librarySidebar().isVisible());   // the choice holds for this session
    EXPECT_EQ(window.findChild<QLabel*>(QStringLiteral("statusLine"))->text(), QStringLiteral("设置保存失败：只读文件夹"));
}

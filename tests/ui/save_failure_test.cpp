// A write of the own tactics that fails shows in the header, never as "已保存".
#include <gtest/gtest.h>

#include <QLabel>

#include "core/platform/memory_preference_store.h"
#include "support/manual_platform.h"
#include "ui/workspace/content_view.h"
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

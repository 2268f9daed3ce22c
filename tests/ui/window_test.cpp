// The window as a coach leaves it: the autosave written when it is left or closed.
#include <gtest/gtest.h>

#include <QApplication>

#include "core/model/tactic_json.h"
#include "core/platform/memory_preference_store.h"
#include "support/manual_platform.h"
#include "ui/workspace/content_view.h"
#include "ui/workspace/main_window.h"

using namespace vantrel;

namespace {

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        prefs.setBoolean("Vantrel.onboardingCompleted", true);
        window = std::make_unique<MainWindow>(prefs, platform);
        window->show();
    }

    std::vector<SavedTactic> library() const {
        return TacticJson::decodeLibrary(*prefs.data(kImportedTacticsKey)).value();
    }

    MemoryPreferenceStore prefs;
    vantrel::testing::ManualPlatform platform;
    std::unique_ptr<MainWindow> window;
};

}  // namespace

TEST_F(WindowTest, LeavingOrClosingTheWindowWritesThePendingAutosave) {
    BoardStore& s = window->content().store();
    s.newTactic("离开");
    s.addStep();
    ASSERT_TRUE(s.autosavePending());
    window->applicationStateChanged(Qt::ApplicationActive);
    EXPECT_TRUE(s.autosavePending());
    window->applicationStateChanged(Qt::ApplicationInactive);
    EXPECT_FALSE(s.autosavePending());
    EXPECT_EQ(library()[0].tactic.steps.size(), 2u);

    s.addStep();
    ASSERT_TRUE(s.autosavePending());
    window->close();
    ASSERT_EQ(library().size(), 1u);
    EXPECT_EQ(library()[0].tactic.steps.size(), 3u);
}

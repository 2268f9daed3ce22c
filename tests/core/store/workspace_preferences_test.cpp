// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/store/workspace_preferences.h"
#include "store_fixture.h"

using namespace vantrel;
using vantrel::testing::StoreTest;

TEST_F(StoreTest, AValueOfTheWrongTypeReadsAsTheDefaultAndFavoritesAreSortedAndCommaJoined) {
    WorkspacePreferences w(prefs);
    prefs.setString(WorkspacePreferences::kLibraryVisible, "false");
    prefs.setBoolean(WorkspacePreferences::kPitchViewMode, true);
    EXPECT_TRUE(w.libraryVisible());
    EXPECT_EQ(w.pitchViewMode(), "2D");
    prefs.setString(WorkspacePreferences::kPitchViewMode, "3d");
    EXPECT_FALSE(w.is3D());   // only "3D" selects the perspective view

    w.toggleFavorite("b");
    w.toggleFavorite("a");
    EXPECT_EQ(prefs.string(WorkspacePreferences::kFavoriteKeys), "a,b");
    w.toggleFavorite("a");
    w.toggleFavorite("b");
    EXPECT_EQ(prefs.string(WorkspacePreferences::kFavoriteKeys), "");
    prefs.setString(WorkspacePreferences::kFavoriteKeys, ",,builtin-7-1,,builtin-11-0,builtin-7-1,");
    EXPECT_EQ(w.favorites(), (std::set<std::string>{"builtin-11-0", "builtin-7-1"}));
}

TEST_F(StoreTest, TheTutorialTakesAndRestoresASnapshot) {
    BoardStore& s = start();
    WorkspacePreferences w(prefs);
    w.setLibraryVisible(false);
    w.setPitchViewMode("3D");
    w.setInspectorVisible(true);
    w.startTutorialIfFirstRun(s);
    ASSERT_TRUE(w.tutorialVisible());
    EXPECT_TRUE(w.libraryVisible());
    EXPECT_TRUE(w.builtinLibraryExpanded());
    EXPECT_EQ(w.pitchViewMode(), "2D");
    EXPECT_FALSE(w.inspectorVisible());
    const auto snapshot = *w.tutorialOriginalUI();
    w.startTutorial(s);   // already showing: the snapshot stays
    EXPECT_EQ(*w.tutorialOriginalUI(), snapshot);
    w.finishTutorial();
    EXPECT_FALSE(w.tutorialVisible());
    EXPECT_TRUE(w.onboardingCompleted());
    EXPECT_FALSE(w.libraryVisible());
    EXPECT_FALSE(w.builtinLibraryExpanded());
    EXPECT_EQ(w.pitchViewMode(), "3D");
    EXPECT_TRUE(w.inspectorVisible());
    EXPECT_FALSE(w.tutorialOriginalUI());
    w.startTutorialIfFirstRun(s);   // completed once: not again
    EXPECT_FALSE(w.tutorialVisible());
}

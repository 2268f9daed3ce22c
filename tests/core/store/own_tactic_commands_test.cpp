// SPDX-License-Identifier: GPL-3.0-or-later
// Renaming, copying and deleting own tactics that may not be open.
#include "core/store/workspace_preferences.h"
#include "store_fixture.h"

using namespace vantrel;
using vantrel::testing::StoreTest;

TEST_F(StoreTest, OwnTacticsAreRenamedCopiedAndDeleted) {
    BoardStore& s = start();
    s.newTactic("甲", 11);
    const std::string a = s.selectedTacticKey();
    s.newTactic("乙", 7);
    s.ownTactics().rename(a, "  边路突破\xE3\x80\x80 ");   // not open: written at once
    s.ownTactics().rename(a, "   ");                       // empty keeps the name
    EXPECT_EQ(storedLibrary()[0].tactic.name, "边路突破");
    const std::string copy = s.ownTactics().duplicate(a).value();
    EXPECT_EQ(storedLibrary()[2].tactic.name, "边路突破 副本");

    // A deleted favourite is gone from the library and the favourites for good.
    WorkspacePreferences workspace(prefs);
    workspace.toggleFavorite(a);
    workspace.toggleFavorite(copy);
    s.ownTactics().remove(a);
    start();
    ASSERT_EQ(store->importedTactics().size(), 2u);
    EXPECT_EQ(WorkspacePreferences(prefs).favorites(), std::set<std::string>{copy});

    // Deleting the open tactic, unsaved edits and all, opens the first built-in of its format.
    store->selectImported(store->importedTactics()[1]);   // the 11-a-side copy
    editStep();
    store->ownTactics().remove(copy);
    EXPECT_FALSE(store->showingStageSaveConfirmation());
    EXPECT_EQ(store->selectedTacticKey(), "builtin-11-0");
    platform.advance(1);   // no late autosave brings it back
    EXPECT_EQ(storedLibrary().size(), 1u);
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include <set>

#include "store_fixture.h"

using namespace vantrel;
using vantrel::testing::ManualPlatform;
using vantrel::testing::StoreTest;

// Without a remembered key, or with one that names no tactic, the first 7-a-side built-in.
TEST_F(StoreTest, RememberedKeyIsRestoredOnlyWhenItNamesATactic) {
    BoardStore& fresh = start();
    EXPECT_EQ(fresh.tactic(), BuiltInTactics::sevenLibrary().front());
    EXPECT_FALSE(fresh.hasStageChanges() || fresh.playing());
    ASSERT_TRUE(fresh.stageBaseline());
    EXPECT_EQ(*fresh.stageBaseline(), fresh.tactic().steps[0]);
    EXPECT_EQ(libraryWrites(), 0);   // a first start writes nothing

    prefs.setString(kLastSelectedTacticKey, "builtin-11-1");
    EXPECT_EQ(start().tactic(), BuiltInTactics::elevenLibrary()[1]);
    EXPECT_EQ(store->selectedTacticKey(), "builtin-11-1");

    for (const char* refused : {"builtin-9-0", "builtin-7-x", "builtin-7-99", "builtin-7-6", "builtin-7", "",
                                "imported-E621E1F8-C36C-495A-93FC-0C247A3E6E5F", "whatever", "builtin-7-0-1"}) {
        prefs.setString(kLastSelectedTacticKey, refused);
        start();
        EXPECT_EQ(store->selectedTacticKey(), "builtin-7-0") << refused;
        EXPECT_EQ(store->tactic(), BuiltInTactics::sevenLibrary().front()) << refused;
    }

    // An own tactic is reopened by its key.
    start().newTactic("周末训练", 11);
    std::string key = store->selectedTacticKey();
    prefs.setString(kLastSelectedTacticKey, key);
    start();
    EXPECT_EQ(store->selectedTacticKey(), key);
    EXPECT_EQ(store->tactic().name, "周末训练");
    EXPECT_EQ(store->tactic().format, 11);
}

TEST_F(StoreTest, SelectingBuiltInsWritesTheKeyAndIgnoresBadIndices) {
    BoardStore& s = start();
    s.selectBuiltIn(2, 7);
    EXPECT_EQ(s.selectedTacticKey(), "builtin-7-2");
    EXPECT_EQ(prefs.string(kLastSelectedTacticKey), "builtin-7-2");
    EXPECT_EQ(s.status(), "已载入：" + BuiltInTactics::sevenLibrary()[2].name + " · 点击播放观看跑位与传球");
    s.selectBuiltIn(1, 11);
    EXPECT_EQ(s.tactic(), BuiltInTactics::elevenLibrary()[1]);
    s.selectBuiltIn(0);   // the open tactic's format
    EXPECT_EQ(s.selectedTacticKey(), "builtin-11-0");
    for (int bad : {-1, 2, 1000}) {
        s.selectBuiltIn(bad, 11);
        EXPECT_EQ(s.selectedTacticKey(), "builtin-11-0");
    }
    // A format that has no list opens the 11-a-side list, and the key says so.
    s.selectBuiltIn(1, 9);
    EXPECT_EQ(s.selectedTacticKey(), "builtin-11-1");
}

TEST_F(StoreTest, NewTacticsAreNamedNumberedAndTrimmed) {
    BoardStore& s = start();
    s.newTactic();
    s.newTactic("   \n\t ");
    s.newTactic(std::nullopt, 11);
    ASSERT_EQ(s.importedTactics().size(), 3u);
    EXPECT_EQ(s.importedTactics()[0].tactic.name, "我的战术 1");
    EXPECT_EQ(s.importedTactics()[1].tactic.name, "我的战术 2");
    EXPECT_EQ(s.importedTactics()[2].tactic.name, "我的战术 3");
    EXPECT_EQ(s.importedTactics()[2].tactic.format, 11);
    s.newTactic("  边路 进攻\n", 9);   // a format other than 7 or 11 keeps the open one
    const Tactic& t = s.tactic();
    EXPECT_EQ(t.name, "边路 进攻");
    EXPECT_EQ(t.format, 11);
    ASSERT_EQ(t.steps.size(), 1u);
    ASSERT_TRUE(t.steps[0].owner());
    EXPECT_EQ(t.steps[0].ball, t.steps[0].owner()->position);
    EXPECT_EQ(s.selectedTacticKey(), s.importedTactics().back().key());
    EXPECT_EQ(s.status(), "已新建战术；修改阶段后，播放或切换时可选择保存");
    EXPECT_EQ(storedLibrary(), s.importedTactics());
    for (const auto& saved : s.importedTactics()) EXPECT_EQ(saved.highPressAdapted, true);
}

TEST_F(StoreTest, FiveQuickEditsWriteTheLibraryOnce) {
    BoardStore& s = start();
    s.newTactic("快速编辑");
    const int before = libraryWrites();
    for (int i = 0; i < 5; ++i) {
        s.addStep();
        platform.advance(0.3);
    }
    EXPECT_TRUE(s.autosavePending());
    EXPECT_EQ(libraryWrites(), before);
    platform.advance(0.35);
    EXPECT_EQ(libraryWrites(), before + 1);
    EXPECT_FALSE(s.autosavePending());
    EXPECT_EQ(storedLibrary().back().tactic.steps.size(), 6u);
    platform.advance(5);
    EXPECT_EQ(libraryWrites(), before + 1);
}

TEST_F(StoreTest, AutosaveNeverWritesUnconfirmedStageEdits) {
    BoardStore& s = start();
    s.newTactic("基线");
    const BoardStep original = s.tactic().steps[0];
    editStep();
    platform.advance(1);
    EXPECT_EQ(storedLibrary().back().tactic.steps[0], original);
    s.saveCurrentTactic();
    EXPECT_EQ(s.status(), "已保存：基线");
    EXPECT_FALSE(s.hasStageChanges());
    EXPECT_EQ(storedLibrary().back().tactic, s.tactic());
}

TEST_F(StoreTest, BuiltInsAreNeverAutosavedAndCopiesGetTheirOwnName) {
    BoardStore& s = start();
    s.addStep();
    platform.advance(1);
    EXPECT_EQ(libraryWrites(), 0);
    EXPECT_FALSE(s.autosavePending());

    const std::string name = BuiltInTactics::sevenLibrary()[0].name;
    s.saveCurrentTactic();
    s.selectBuiltIn(0, 7);
    s.saveCurrentTactic();
    ASSERT_EQ(s.importedTactics().size(), 2u);
    EXPECT_EQ(s.importedTactics()[0].tactic.name, name + "（我的版本）");
    EXPECT_EQ(s.importedTactics()[1].tactic.name, name + "（我的版本）");
    EXPECT_NE(s.importedTactics()[0].id, s.importedTactics()[1].id);
    EXPECT_EQ(s.importedTactics()[0].tactic.steps.size(), BuiltInTactics::sevenLibrary()[0].steps.size() + 1);
    EXPECT_EQ(s.selectedTacticKey(), s.importedTactics()[1].key());
    EXPECT_EQ(storedLibrary(), s.importedTactics());
    // The built-in list itself never changes.
    EXPECT_EQ(BuiltInTactics::sevenLibrary()[0].name, name);

    // A renamed tactic whose name no built-in carries keeps its name.
    s.newTactic("自己的");
    s.selectBuiltIn(3, 7);
    s.saveCurrentTactic();
    EXPECT_EQ(s.tactic().name, BuiltInTactics::sevenLibrary()[3].name + "（我的版本）");
}

TEST_F(StoreTest, OwnTacticsAreReopenedFromTheStoredCopy) {
    BoardStore& s = start();
    s.newTactic("甲");
    SavedTactic stale = s.importedTactics()[0];
    s.addStep();
    s.selectBuiltIn(1, 7);   // writes the pending autosave first
    EXPECT_EQ(storedLibrary()[0].tactic.steps.size(), 2u);
    s.selectImported(stale);
    EXPECT_EQ(s.tactic().steps.size(), 2u);
    EXPECT_EQ(s.status(), "已打开我的战术：甲");
    // One that is gone from the list opens as passed.
    SavedTactic loose{Uuid::random(), BuiltInTactics::sample(11), true};
    s.selectImported(loose);
    EXPECT_EQ(s.tactic(), loose.tactic);
    EXPECT_EQ(s.selectedTacticKey(), loose.key());
}

TEST_F(StoreTest, StoredTacticsAreAdaptedOnceAtStart) {
    Tactic plain = BuiltInTactics::sample(7);
    std::vector<SavedTactic> library{{Uuid::random(), plain, std::nullopt}, {Uuid::random(), plain, false},
                                     {Uuid::random(), plain, true}};
    prefs.setData(kImportedTacticsKey, TacticJson::encodeLibrary(library).value());
    start();
    auto first = storedLibrary();
    ASSERT_EQ(first.size(), 3u);
    for (const auto& saved : first) EXPECT_EQ(saved.highPressAdapted, true);
    EXPECT_EQ(first[0].tactic, withOpponentHighPress(plain));
    EXPECT_EQ(first[1].tactic, withOpponentHighPress(plain));
    EXPECT_EQ(first[2].tactic, plain);
    start();
    EXPECT_EQ(storedLibrary(), first);
    EXPECT_EQ(store->importedTactics(), first);
}

TEST_F(StoreTest, PlayerSelectionOpensAndClosesTheInformation) {
    BoardStore& s = start();
    std::string id = s.tactic().steps[0].players[3].id;
    std::string other = s.tactic().steps[0].players[9].id;
    s.selectPlayer("nobody", true);
    EXPECT_FALSE(s.selectedPlayer());
    s.selectPlayer(id, true);
    EXPECT_EQ(s.selectedPlayer(), id);
    EXPECT_EQ(s.inspectedPlayerID(), id);
    s.selectPlayer(id, false);
    EXPECT_FALSE(s.inspectedPlayerID());
    s.selectPlayer(other, true);
    s.selectStep(1);
    EXPECT_FALSE(s.selectedPlayer());
    EXPECT_FALSE(s.inspectedPlayerID());
}

TEST_F(StoreTest, ChangesAreToldOncePerCommandAndSubscriptionsEndSafely) {
    BoardStore& s = start();
    std::vector<StoreChange> seen;
    Subscription first = s.subscribe([&](StoreChange c) { seen.push_back(c); });
    Subscription second;
    int secondCalls = 0;
    second = s.subscribe([&](StoreChange) {
        ++secondCalls;
        second.reset();   // ends itself from inside the notification
        first.reset();    // and another one that may not have been told yet
    });
    s.selectBuiltIn(1, 7);
    EXPECT_EQ(secondCalls, 1);
    ASSERT_LE(seen.size(), 1u);
    s.selectBuiltIn(2, 7);
    EXPECT_EQ(secondCalls, 1);
    EXPECT_LE(seen.size(), 1u);

    std::vector<StoreChange> third;
    Subscription s3 = s.subscribe([&](StoreChange c) { third.push_back(c); });
    s.setShowVision(true);
    ASSERT_EQ(third.size(), 1u);
    EXPECT_EQ(third[0], StoreChange::displayOptions);
    s.selectBuiltIn(0, 7);
    ASSERT_EQ(third.size(), 2u);
    EXPECT_TRUE(any(third[1] & StoreChange::board));
    EXPECT_TRUE(any(third[1] & StoreChange::library));
    EXPECT_TRUE(any(third[1] & StoreChange::status));

    // A playback tick redraws the board; it does not touch what is saved or listed.
    s.next();
    third.clear();
    platform.advance(ManualPlatform::kFrame);
    ASSERT_EQ(third.size(), 1u);
    EXPECT_EQ(third[0], StoreChange::frame | StoreChange::animation);
}

TEST_F(StoreTest, DestroyingTheStoreSilencesItsTimers) {
    start().newTactic("x");
    store->addStep();
    EXPECT_GT(platform.runningTimers(), 0);
    store.reset();
    platform.advance(2);   // nothing may reach the destroyed store
    EXPECT_EQ(platform.runningTimers(), 0);
}

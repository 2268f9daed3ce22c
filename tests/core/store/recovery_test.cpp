// SPDX-License-Identifier: GPL-3.0-or-later
// The recovery journal: unconfirmed edits survive a kill, and go once confirmed.
#include <filesystem>

#include "store_fixture.h"

using namespace vantrel;
using vantrel::testing::StoreTest;
using RecoveryTest = StoreTest;

namespace {

TEST_F(RecoveryTest, AStageEditOfAnOwnTacticComesBackUnconfirmed) {
    start().newTactic("边路推进");
    store->addStep();
    store->addStep();
    platform.advance(2);
    EXPECT_FALSE(prefs.contains(kRecoveryKey));   // confirmed edits are the autosave's
    editStep();
    platform.advance(2);
    const Tactic edited = store->tactic();
    const Tactic confirmed = storedLibrary().front().tactic;

    // Killed: the next store finds the journal, and restoring opens the edits unconfirmed
    // against the library's version, which stays as it was.
    start();
    ASSERT_TRUE(store->recovery().pending());
    store->recovery().resolve(true);
    EXPECT_EQ(store->tactic(), edited);
    EXPECT_EQ(store->stepIndex(), 2);
    EXPECT_TRUE(store->hasStageChanges());
    platform.advance(2);
    EXPECT_EQ(storedLibrary().front().tactic, confirmed);

    // The save question decides as ever; once answered, the journal goes.
    store->selectStep(0);
    store->resolveStageChanges(StageSaveDecision::save);
    EXPECT_FALSE(prefs.contains(kRecoveryKey));
    EXPECT_EQ(storedLibrary().front().tactic.steps, edited.steps);
}

TEST_F(RecoveryTest, EditsOfABuiltInComeBackOrAreKeptAsideForTheExport) {
    auto editAndRestart = [&](auto edit) {
        start().selectBuiltIn(1, 7);
        store->selectStep(1);
        edit();
        platform.advance(2);
        const Tactic edited = store->tactic();
        start();
        return edited;
    };
    const Tactic edited = editAndRestart([&] { editStep(); });
    store->recovery().resolve(true);
    EXPECT_EQ(store->tactic(), edited);
    EXPECT_EQ(store->stepIndex(), 1);
    EXPECT_TRUE(store->hasStageChanges());

    // Leaving for another tactic after the question leaves nothing to recover.
    store->selectBuiltIn(0, 7);
    store->resolveStageChanges(StageSaveDecision::discard);
    EXPECT_FALSE(prefs.contains(kRecoveryKey));

    // An added step leaves the stage unchanged, yet the built-in is edited. Declined, the
    // journal is kept aside with the unreadable copies, and exported from there it imports
    // as the edited tactic.
    const Tactic declined = editAndRestart([&] { store->addStep(); });
    store->recovery().resolve(false);
    EXPECT_FALSE(prefs.contains(kRecoveryKey));
    EXPECT_FALSE(store->hasStageChanges());
    ASSERT_EQ(store->ownTactics().unreadableCount(), 1);
    EXPECT_EQ(TacticJson::decodeTactic(*prefs.data(PreferenceLibraryStorage::unreadableKey(0))).value(), declined);
}

TEST_F(RecoveryTest, AJournalThatCannotBeRestoredIsKeptAsideAndSaid) {
    const BoardStep step = vantrel::testing::lineup();
    const RecoveryRecord refused{Tactic{"九人制", 9, {step}}, "builtin-7-0", 0, std::nullopt, 0};
    const RecoveryRecord gone{Tactic{"已删除", 7, {step}}, "imported-" + Uuid::random().string(), 0, std::nullopt, 0};
    for (const std::string& bytes : {std::string("{\"name\":"), TacticJson::encodeRecovery(refused).value(),
                                     TacticJson::encodeRecovery(gone).value()}) {
        prefs.setData(kRecoveryKey, bytes);
        start();
        EXPECT_FALSE(store->recovery().pending());
        EXPECT_TRUE(store->status().starts_with("无法恢复上次未保存的修改")) << store->status();
        EXPECT_FALSE(prefs.contains(kRecoveryKey));
        EXPECT_EQ(prefs.data(PreferenceLibraryStorage::unreadableKey(0)), bytes);
    }
}

TEST_F(RecoveryTest, TheFileAppearsBesideTheLibraryAndGoesWithACleanClose) {
    vantrel::testing::TempFolder dir("vantrel-recovery");
    FileLibraryStorage files(dir, prefs, [](std::function<void()>) {});
    platform.storage = &files;
    start().newTactic("甲");
    editStep();
    store->finishWrites();   // a quit that asked nothing writes it at once
    EXPECT_EQ(TacticJson::decodeRecovery(vantrel::testing::readFileForTest(dir / "recovery.json")).value().tactic,
              store->tactic());
    store->saveCurrentTactic();
    files.flush();
    EXPECT_FALSE(std::filesystem::exists(dir / "recovery.json"));

    editStep();
    platform.advance(2);
    files.flush();
    EXPECT_TRUE(std::filesystem::exists(dir / "recovery.json"));
    store->recovery().endSession();
    store->finishWrites();
    EXPECT_FALSE(std::filesystem::exists(dir / "recovery.json"));
    store.reset();
}

}  // namespace

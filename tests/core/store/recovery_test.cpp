// SPDX-License-Identifier: GPL-3.0-or-later
// The recovery journal: unconfirmed edits survive a kill, and go once confirmed.
#include <filesystem>

#include "core/platform/file_library_storage.h"
#include "store_fixture.h"

using namespace vantrel;
using vantrel::testing::StoreTest;

namespace {

class RecoveryTest : public StoreTest {
protected:
    std::optional<RecoveryRecord> journal() const {
        auto bytes = prefs.data(kRecoveryKey);
        if (!bytes) return std::nullopt;
        auto decoded = TacticJson::decodeRecovery(*bytes);
        EXPECT_TRUE(decoded) << decoded.error();
        return decoded ? std::optional(decoded.value()) : std::nullopt;
    }
};

TEST_F(RecoveryTest, AStageEditOfAnOwnTacticComesBackUnconfirmed) {
    start().newTactic("边路推进");
    store->addStep();
    store->addStep();
    platform.advance(2);
    EXPECT_FALSE(journal());   // confirmed edits are the autosave's

    editStep();
    platform.advance(2);
    ASSERT_TRUE(journal());
    EXPECT_EQ(journal()->stepIndex, 2);
    const Tactic edited = store->tactic();
    const std::string key = store->selectedTacticKey();
    const Tactic confirmed = storedLibrary().front().tactic;
    ASSERT_NE(edited, confirmed);

    // Killed: the next store finds the journal, and restoring opens the edits unconfirmed
    // against the library's version, which stays as it was.
    start();
    ASSERT_TRUE(store->pendingRecovery());
    store->resolveRecovery(true);
    EXPECT_FALSE(store->pendingRecovery());
    EXPECT_EQ(store->selectedTacticKey(), key);
    EXPECT_EQ(store->tactic(), edited);
    EXPECT_EQ(store->stepIndex(), 2);
    EXPECT_TRUE(store->hasStageChanges());
    platform.advance(2);
    EXPECT_EQ(storedLibrary().front().tactic, confirmed);
    EXPECT_TRUE(journal());

    // The save question decides as ever; once answered, the journal goes.
    store->selectStep(0);
    ASSERT_TRUE(store->showingStageSaveConfirmation());
    store->resolveStageChanges(StageSaveDecision::save);
    EXPECT_FALSE(prefs.contains(kRecoveryKey));
    EXPECT_EQ(storedLibrary().front().tactic.steps, edited.steps);
}

TEST_F(RecoveryTest, EditsOfABuiltInComeBackOrAreKeptAsideForTheExport) {
    auto editBuiltIn = [&](auto edit) {
        start().selectBuiltIn(1, 7);
        store->selectStep(1);
        edit();
        platform.advance(2);
        ASSERT_TRUE(journal());
        EXPECT_EQ(journal()->key, "builtin-7-1");
    };
    editBuiltIn([&] { editStep(); });
    const Tactic edited = store->tactic();
    start().resolveRecovery(true);
    EXPECT_EQ(store->tactic(), edited);
    EXPECT_EQ(store->stepIndex(), 1);
    EXPECT_TRUE(store->hasStageChanges());
    EXPECT_TRUE(store->importedTactics().empty());   // a built-in is never written

    // Leaving for another tactic after the question leaves nothing to recover.
    store->selectBuiltIn(0, 7);
    store->resolveStageChanges(StageSaveDecision::discard);
    EXPECT_EQ(store->selectedTacticKey(), "builtin-7-0");
    EXPECT_FALSE(prefs.contains(kRecoveryKey));

    // An added step leaves the stage unchanged, yet the built-in is edited. Declined, the
    // journal is kept aside with the unreadable copies, and what the coach exports from
    // there imports as the edited tactic.
    editBuiltIn([&] { store->addStep(); });
    const Tactic declined = store->tactic();
    start().resolveRecovery(false);
    EXPECT_FALSE(prefs.contains(kRecoveryKey));
    EXPECT_EQ(store->selectedTacticKey(), "builtin-7-1");
    EXPECT_FALSE(store->hasStageChanges());
    ASSERT_EQ(store->unreadableLibraryCount(), 1);
    auto exported = TacticJson::decodeTactic(prefs.data(PreferenceLibraryStorage::unreadableKey(0)).value());
    ASSERT_TRUE(exported);
    EXPECT_EQ(exported.value(), declined);
}

TEST_F(RecoveryTest, AJournalThatCannotBeRestoredIsKeptAsideAndSaid) {
    RecoveryRecord refused{Tactic{"九人制", 9, {vantrel::testing::lineup()}}, "builtin-7-0", 0, std::nullopt, 0};
    RecoveryRecord gone{Tactic{"已删除", 7, {vantrel::testing::lineup()}}, "imported-" + Uuid::random().string(), 0,
                        std::nullopt, 0};
    for (const std::string& bytes : {std::string("{\"name\":"), TacticJson::encodeRecovery(refused).value(),
                                     TacticJson::encodeRecovery(gone).value()}) {
        prefs.setData(kRecoveryKey, bytes);
        start();
        EXPECT_FALSE(store->pendingRecovery());
        EXPECT_TRUE(store->status().starts_with("无法恢复上次未保存的修改")) << store->status();
        EXPECT_FALSE(prefs.contains(kRecoveryKey));
        EXPECT_EQ(prefs.data(PreferenceLibraryStorage::unreadableKey(0)), bytes);
    }
}

TEST_F(RecoveryTest, TheFileAppearsBesideTheLibraryAndGoesWithACleanClose) {
    vantrel::testing::TempFolder dir("vantrel-recovery");
    FileLibraryStorage files(dir / "data", prefs, [](std::function<void()>) {});
    platform.storage = &files;
    const std::filesystem::path file = dir / "data" / "recovery.json";

    start().newTactic("甲");
    editStep();
    EXPECT_TRUE(store->finishWrites());   // a quit that asked nothing writes it at once
    auto written = TacticJson::decodeRecovery(vantrel::testing::readFileForTest(file));
    ASSERT_TRUE(written);
    EXPECT_EQ(written.value().tactic, store->tactic());

    store->saveCurrentTactic();
    files.flush();
    EXPECT_FALSE(std::filesystem::exists(file));

    editStep();
    platform.advance(2);
    files.flush();
    EXPECT_TRUE(std::filesystem::exists(file));
    store->endSession();
    store->finishWrites();
    EXPECT_FALSE(std::filesystem::exists(file));
    store.reset();
}

}  // namespace

// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/model/file_io.h"
#include "store_fixture.h"

namespace vantrel {
namespace {

class VersionHistoryTest : public vantrel::testing::StoreTest {
protected:
    // A confirmed change of the open own tactic: a stage edit, saved.
    void editAndSave() {
        editStep();
        store->saveCurrentTactic();
    }
    void later(std::int64_t seconds) { platform.calendarOffset += seconds; }
    std::size_t versionCount() { return store->ownTactics().versions(store->selectedTacticKey()).size(); }
};

TEST_F(VersionHistoryTest, SavesKeepWhatTheyReplacedOncePerSessionWithinTheLimits) {
    start().newTactic("甲");
    const std::string key = store->selectedTacticKey();
    const Tactic first = store->tactic();
    EXPECT_EQ(versionCount(), 0u);

    editAndSave();
    editAndSave();   // within five minutes of the first: one session, one version
    ASSERT_EQ(versionCount(), 1u);
    EXPECT_EQ(store->ownTactics().versions(key)[0].tactic, first);

    later(TacticVersions::kSessionSeconds);
    const Tactic second = store->tactic();
    editAndSave();
    ASSERT_EQ(versionCount(), 2u);
    EXPECT_EQ(store->ownTactics().versions(key)[0].tactic, second);   // newest first
    EXPECT_GT(store->ownTactics().versions(key)[0].savedAt, store->ownTactics().versions(key)[1].savedAt);

    // They outlive the program; built-in tactics have none.
    const auto kept = store->ownTactics().versions(key);
    start();
    EXPECT_EQ(store->ownTactics().versions(key), kept);
    EXPECT_TRUE(store->ownTactics().versions("builtin-7-0").empty());

    // At most 20, the oldest dropped; none older than 30 days.
    store->selectImported(*std::find_if(store->importedTactics().begin(), store->importedTactics().end(),
                                        [&](const SavedTactic& s) { return s.key() == key; }));
    for (int i = 0; i < 25; ++i) {
        later(TacticVersions::kSessionSeconds);
        editAndSave();
    }
    EXPECT_EQ(versionCount(), TacticVersions::kMaxVersions);
    EXPECT_NE(store->ownTactics().versions(key).back().tactic, first);
    later(store->ownTactics().versions(key).back().savedAt + TacticVersions::kMaxAgeSeconds + 1 - platform.wallClockSeconds());
    EXPECT_EQ(versionCount(), TacticVersions::kMaxVersions - 1);
    later(TacticVersions::kMaxAgeSeconds);
    EXPECT_EQ(versionCount(), 0u);
}

TEST_F(VersionHistoryTest, RestoringAsksAboutTheStageKeepsTheNameAndCanBeUndone) {
    start().newTactic("甲");
    const std::string key = store->selectedTacticKey();
    const Tactic original = store->tactic();
    editAndSave();
    const Tactic edited = store->tactic();
    store->setTacticName("乙");
    store->flushAutosave();
    later(TacticVersions::kSessionSeconds);

    // Unsaved stage changes of the open tactic: the save question decides first.
    editStep();
    store->ownTactics().restoreVersion(key, store->ownTactics().versions(key).back().tactic);
    ASSERT_TRUE(store->showingStageSaveConfirmation());
    store->resolveStageChanges(StageSaveDecision::discard);
    EXPECT_FALSE(store->showingStageSaveConfirmation());
    EXPECT_EQ(store->tactic().steps, original.steps);
    EXPECT_EQ(store->tactic().name, "乙");
    EXPECT_EQ(store->status(), "已恢复历史版本：乙");
    EXPECT_EQ(store->stepIndex(), 0);
    EXPECT_FALSE(store->boardEdits().canUndo());

    // The replaced version is the newest one now: restoring it undoes the restore.
    ASSERT_EQ(store->ownTactics().versions(key)[0].tactic.steps, edited.steps);
    store->ownTactics().restoreVersion(key, store->ownTactics().versions(key)[0].tactic);
    EXPECT_EQ(store->tactic().steps, edited.steps);
    EXPECT_EQ(storedLibrary().front().tactic.steps, edited.steps);

    // A tactic not open changes in the library only.
    store->selectBuiltIn(0, 7);
    const Tactic shown = store->tactic();
    store->ownTactics().restoreVersion(key, original);
    EXPECT_EQ(store->tactic(), shown);
    EXPECT_EQ(storedLibrary().front().tactic.steps, original.steps);
    EXPECT_EQ(store->status(), "已恢复历史版本：乙");
}

TEST_F(VersionHistoryTest, FilesBesideTheLibraryGoWithTheTacticAndBadOnesReadAsNone) {
    vantrel::testing::TempFolder dir("vantrel-versions");
    FileLibraryStorage files(dir, prefs, [](std::function<void()>) {});
    platform.storage = &files;
    start().newTactic("甲");
    const std::string key = store->selectedTacticKey();
    const std::string id = store->importedTactics().front().id.string();
    editAndSave();
    store->finishWrites();
    const auto file = dir / "versions" / (id + ".json");
    ASSERT_TRUE(std::filesystem::exists(file));
    EXPECT_EQ(TacticJson::decodeVersions(vantrel::testing::readFileForTest(file)).value(), store->ownTactics().versions(key));

    for (std::string bad : {"{", "[{\"savedAt\":1e300,\"tactic\":{}}]", "[{\"savedAt\":1,\"tactic\":{\"name\":\"x\",\"format\":9,\"steps\":[]}}]"}) {
        ASSERT_TRUE(writeFileAtomically(file, bad));
        start();
        EXPECT_TRUE(store->ownTactics().versions(key).empty()) << bad;
    }

    store->ownTactics().remove(key);
    store->finishWrites();
    EXPECT_FALSE(std::filesystem::exists(file));
    store.reset();
}

}  // namespace
}  // namespace vantrel

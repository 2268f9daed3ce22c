// SPDX-License-Identifier: GPL-3.0-or-later
// The own tactics' writes: only what changed, never reported as saved when they failed,
// never larger than start-up reads, and kept aside when unreadable.
#include <filesystem>
#include <fstream>

#include <sys/mount.h>

#include "core/model/tactic_limits.h"
#include "store_fixture.h"

using namespace vantrel;
using vantrel::testing::StoreTest;
using vantrel::testing::readFileForTest;
namespace fs = std::filesystem;

namespace {

class AutosaveTest : public StoreTest {
protected:
    void TearDown() override { store.reset(); }   // before its folder goes

    void storeLibrary(const std::vector<SavedTactic>& library) {
        prefs.setData(kImportedTacticsKey, TacticJson::encodeLibrary(library).value());
    }

    static SavedTactic saved(const std::string& name, Uuid id = Uuid::random()) {
        return {id, Tactic{name, 7, {vantrel::testing::lineup()}}, true};
    }

    vantrel::testing::TempFolder dir{"vantrel-autosave"};
};

TEST_F(AutosaveTest, WritesOnlyWhatChangedInTheUsualBytes) {
    storeLibrary({saved("甲"), saved("乙"), saved("丙")});
    BoardStore& s = start();
    EXPECT_EQ(libraryWrites(), 1);   // only the test's own write: nothing to adapt
    const auto library = s.importedTactics();

    // Switching back and forth and letting every timer fire writes nothing.
    s.selectImported(library[0]);
    s.selectImported(library[1]);
    s.selectImported(library[0]);
    platform.advance(2);
    EXPECT_EQ(libraryWrites(), 1);
    EXPECT_FALSE(s.autosavePending());

    // One edit writes once, byte for byte what encoding the whole list gives.
    s.setTacticName("甲（改）");
    platform.advance(1);
    EXPECT_EQ(libraryWrites(), 2);
    EXPECT_EQ(prefs.data(kImportedTacticsKey), TacticJson::encodeLibrary(s.importedTactics()).value());
    s.newTactic("丁");
    EXPECT_EQ(prefs.data(kImportedTacticsKey), TacticJson::encodeLibrary(s.importedTactics()).value());
}

TEST_F(AutosaveTest, FailedWritesAreSaidKeptInMemoryAndRetried) {
    BoardStore& s = start();
    s.newTactic("甲");
    const auto before = prefs.data(kImportedTacticsKey);

    prefs.failWrites("磁盘已满");
    s.setTacticName("乙");
    platform.advance(1);
    EXPECT_EQ(s.status(), "自动保存失败：磁盘已满");
    EXPECT_EQ(s.saveFailure(), "磁盘已满");
    EXPECT_EQ(prefs.data(kImportedTacticsKey), before);
    EXPECT_EQ(s.importedTactics()[0].tactic.name, "乙");

    // The explicit save does not claim success either; a new tactic is refused nothing
    // but its write fails the same way.
    s.saveCurrentTactic();
    EXPECT_EQ(s.status(), "自动保存失败：磁盘已满");
    s.newTactic("丙");
    EXPECT_EQ(s.status(), "自动保存失败：磁盘已满");
    EXPECT_EQ(s.importedTactics().size(), 2u);

    // The remembered selection is a write like any other.
    s.selectBuiltIn(0, 7);
    EXPECT_EQ(s.status(), "自动保存失败：磁盘已满");

    // Once the disk has room, the retry writes everything kept in memory, with no edit
    // needed, and says so.
    prefs.failWrites(std::nullopt);
    platform.advance(OwnTacticLibrary::kLongestRetrySeconds);
    EXPECT_FALSE(s.saveFailure());
    EXPECT_EQ(s.status(), "已恢复自动保存");
    EXPECT_EQ(storedLibrary(), s.importedTactics());
    EXPECT_TRUE(s.finishWrites());
}

TEST_F(AutosaveTest, NothingIsWrittenThatStartUpWouldRefuse) {
    // One tactic whose text notes fill most of what start-up reads, each within its limits.
    SavedTactic big = saved("大");
    big.tactic.steps.resize(1);
    BoardAnnotation note;
    note.kind = AnnotationTool::text;
    note.text.assign(TacticLimits::kMaxTextCharacters, 'a');
    auto size = [&] { return TacticJson::encodeLibrary({big}).value().size(); };
    const std::size_t empty = size();
    big.tactic.steps[0].annotations = std::vector<BoardAnnotation>{note};
    const std::size_t each = size() - empty + 1;   // with its comma
    const std::size_t target = TacticJson::kMaxDocumentBytes - 4200;
    const BoardStep first = big.tactic.steps[0];
    big.tactic.steps.clear();
    for (std::size_t placed = 0, count = (target - empty) / each; placed < count;
         placed += TacticLimits::kMaxAnnotationsPerStep) {
        BoardStep step = first;
        step.annotations->assign(std::min(count - placed, TacticLimits::kMaxAnnotationsPerStep), note);
        big.tactic.steps.push_back(std::move(step));
    }
    // The estimate is near: take notes off until it fits, then add notes until the last
    // one's text ends the document just short of the target.
    std::size_t now = size();
    if (now > target) {
        auto& last = *big.tactic.steps.back().annotations;
        last.resize(last.size() - std::min(last.size(), (now - target) / each + 1));
        now = size();
    }
    const std::size_t overhead = each - note.text.size();
    while (target - now > overhead) {
        note.text.assign(std::min(target - now - overhead, TacticLimits::kMaxTextCharacters), 'a');
        big.tactic.steps.back().annotations->push_back(note);
        now += overhead + note.text.size();
    }
    storeLibrary({big});
    BoardStore& s = start();
    ASSERT_EQ(s.importedTactics().size(), 1u);
    const auto before = prefs.data(kImportedTacticsKey);

    Tactic small = Tactic{"小", 7, {vantrel::testing::lineup()}};
    small.steps[0].note.assign(TacticLimits::kMaxNoteCharacters, 'b');
    small.steps[0].title.assign(TacticLimits::kMaxTitleCharacters, 'b');
    const fs::path file = dir / "small.json";
    std::ofstream(file, std::ios::binary) << TacticJson::encodePretty(small).value();
    platform.openAnswers.push_back(file);
    s.importFile();
    EXPECT_EQ(s.status(), "导入失败：我的战术超过 64 MB，启动时将无法读取");
    EXPECT_EQ(s.importedTactics().size(), 1u);

    s.selectImported(s.importedTactics()[0]);
    s.setStepNote(std::string(TacticLimits::kMaxNoteCharacters, 'c'));
    s.setStepTitle(std::string(TacticLimits::kMaxTitleCharacters, 'c'));
    s.saveCurrentTactic();
    EXPECT_EQ(s.status(), "自动保存失败：我的战术超过 64 MB，启动时将无法读取");
    EXPECT_TRUE(s.saveFailure());
    EXPECT_TRUE(prefs.data(kImportedTacticsKey) == before);   // not printed: 64 MB
}

TEST_F(AutosaveTest, EveryUnreadableLibraryIsKeptAndCanBeExported) {
    for (int i = 1; i <= 7; ++i) {
        prefs.setData(kImportedTacticsKey, "broken " + std::to_string(i));
        start();
        EXPECT_EQ(store->status(), "已保留无法读取的战术数据");
        EXPECT_EQ(prefs.data(kImportedTacticsKey), "broken " + std::to_string(i));   // nothing written at start
    }
    // The same unreadable library met again is not kept twice.
    start();
    EXPECT_EQ(store->status(), "已保留无法读取的战术数据");
    ASSERT_EQ(store->ownTactics().unreadableCount(), 5);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(prefs.data(PreferenceLibraryStorage::unreadableKey(i)), "broken " + std::to_string(7 - i));

    platform.saveAnswers.push_back(dir / "copy.json");
    store->ownTactics().exportUnreadable(1);
    EXPECT_EQ(platform.proposedSaveNames.back(), "无法读取的战术-2.json");
    EXPECT_EQ(store->status(), "已导出：copy.json");
    EXPECT_EQ(readFileForTest(dir / "copy.json"), "broken 6");

    // When the copy cannot be kept, nothing overwrites the unreadable library.
    prefs.setData(kImportedTacticsKey, "broken 8");
    prefs.failWrites("只读");
    start();
    EXPECT_EQ(store->status(), "无法保留无法读取的战术数据：只读");
    prefs.failWrites(std::nullopt);
    store->newTactic("新");
    EXPECT_EQ(prefs.data(kImportedTacticsKey), "broken 8");
    EXPECT_TRUE(store->saveFailure());
}

TEST_F(AutosaveTest, DuplicateIdsGetAFreshIdAtStart) {
    const Uuid id = Uuid::random();
    storeLibrary({saved("甲", id), saved("乙", id)});
    BoardStore& s = start();
    const auto library = s.importedTactics();
    ASSERT_EQ(library.size(), 2u);
    EXPECT_EQ(library[0].id, id);
    EXPECT_NE(library[1].id, id);
    EXPECT_EQ(storedLibrary(), library);

    // The second is reachable and its edits stay its own.
    s.selectImported(library[1]);
    EXPECT_EQ(s.tactic().name, "乙");
    s.setTacticName("乙二");
    s.flushAutosave();
    EXPECT_EQ(storedLibrary()[0].tactic.name, "甲");
    EXPECT_EQ(storedLibrary()[1].tactic.name, "乙二");
}

// The file storage, its outcomes delivered by the test.
using FileStorageTest = AutosaveTest;

TEST_F(FileStorageTest, MovesTheLibraryOutOfThePreferencesAndWritesInTheBackground) {
    const SavedTactic first = saved("甲");
    storeLibrary({first});
    prefs.setData(kUnreadableTacticsKey, "old broken");
    FileLibraryStorage files(dir / "data", prefs, post());
    platform.storage = &files;

    BoardStore& s = start();
    ASSERT_EQ(s.importedTactics().size(), 1u);
    EXPECT_FALSE(prefs.contains(kImportedTacticsKey));
    EXPECT_FALSE(prefs.contains(kUnreadableTacticsKey));
    EXPECT_EQ(readFileForTest(files.file()), TacticJson::encodeLibrary({first}).value());
    EXPECT_EQ(readFileForTest(files.unreadableFile(0)), "old broken");

    s.selectImported(s.importedTactics()[0]);
    s.setTacticName("乙");
    s.flushAutosave();
    EXPECT_TRUE(s.autosavePending());   // until the writer says it landed
    files.flush();
    deliver();
    EXPECT_FALSE(s.autosavePending());
    EXPECT_EQ(readFileForTest(files.file()), TacticJson::encodeLibrary(s.importedTactics()).value());

    // The next start reads the file; the preferences stay small.
    start();
    EXPECT_EQ(store->importedTactics()[0].tactic.name, "乙");
    EXPECT_FALSE(prefs.contains(kImportedTacticsKey));
    store.reset();
}

TEST_F(FileStorageTest, AFailedFileWriteIsReportedWhenItLands) {
    std::ofstream(dir / "occupied") << "a file where the folder should be";
    FileLibraryStorage files(dir / "occupied" / "data", prefs, post());
    platform.storage = &files;
    BoardStore& s = start();
    s.newTactic("甲");
    EXPECT_EQ(s.status(), "已新建战术；修改阶段后，播放或切换时可选择保存");
    files.flush();
    deliver();
    EXPECT_TRUE(s.status().starts_with("自动保存失败：")) << s.status();
    EXPECT_TRUE(s.saveFailure());
    EXPECT_FALSE(s.autosavePending());
    EXPECT_FALSE(s.finishWrites());   // retried on close, still failing
    store.reset();
    deliver();   // an outcome arriving after the store is gone does nothing
}

// A real file system that fills up: a 256 KB tmpfs, where the machine lets the test mount
// one (root, or a user namespace that allows it).
TEST_F(FileStorageTest, AFullFileSystemCostsNothingOnceSpaceIsBack) {
    const auto small = dir / "small";
    std::filesystem::create_directories(small);
    if (::mount("tmpfs", small.c_str(), "tmpfs", 0, "size=256k") != 0) GTEST_SKIP() << "cannot mount a tmpfs here";
    struct Unmount {
        std::filesystem::path at;
        ~Unmount() { ::umount2(at.c_str(), MNT_DETACH); }
    } unmount{small};
    {
        FileLibraryStorage files(small / "data", prefs, post());
        platform.storage = &files;
        BoardStore& s = start();
        s.newTactic("甲");
        files.flush();
        deliver();
        ASSERT_FALSE(s.saveFailure());

        {   // Whatever room is left goes to another file.
            std::ofstream filler(small / "filler", std::ios::binary);
            const std::string block(4096, 'x');
            while (filler.write(block.data(), block.size())) {}
        }
        s.setTacticName("乙");
        s.flushAutosave();
        files.flush();
        deliver();
        ASSERT_TRUE(s.saveFailure());
        EXPECT_NE(s.status().find("磁盘空间不足"), std::string::npos) << s.status();
        EXPECT_NE(readFileForTest(files.file()).find("甲"), std::string::npos);   // the old file, whole

        std::filesystem::remove(small / "filler");
        platform.advance(OwnTacticLibrary::kFirstRetrySeconds);
        files.flush();
        deliver();
        EXPECT_FALSE(s.saveFailure());
        EXPECT_EQ(s.status(), "已恢复自动保存");
        EXPECT_EQ(readFileForTest(files.file()), TacticJson::encodeLibrary(s.importedTactics()).value());
        store.reset();
    }
}

}  // namespace

// SPDX-License-Identifier: GPL-3.0-or-later
// The own-tactics library and imports against files made to hurt: entries that fail the
// import checks, documents larger than start-up reads, leftovers of killed writes, and
// tactics beyond the limits. Every case is generated here.
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>

#include "core/model/tactic_limits.h"
#include "store_fixture.h"

namespace fs = std::filesystem;
using namespace vantrel;
using namespace vantrel::testing;

namespace {

class HostileLibraryTest : public StoreTest {
protected:
    void TearDown() override { store.reset(); }   // before its folder goes

    static SavedTactic entry(Tactic tactic) { return SavedTactic{Uuid::random(), std::move(tactic), true}; }

    TempFolder dir{"vantrel-hostile"};
};

}  // namespace

TEST_F(HostileLibraryTest, EntriesFailingTheImportChecksAreKeptAsideAndTheRestLoad) {
    const Tactic good = BuiltInTactics::sample(7);
    Tactic nine = good, three = good, none = good, tooMany = good, offPitch = good;
    nine.name = "九人", nine.format = 9;
    three.name = "三人", three.steps[0].players.resize(3);
    none.name = "空", none.steps.clear();
    tooMany.name = "太长";
    tooMany.steps.assign(1000, good.steps[0]);   // read one past the limit, kept whole
    offPitch.name = "场外";
    offPitch.steps[0].players[3].position = {1e308, -5};

    const std::vector<SavedTactic> stored = {entry(good), entry(nine), entry(three), entry(offPitch),
                                             entry(none), entry(tooMany)};
    prefs.setData(kImportedTacticsKey, TacticJson::encodeLibrary(stored).value());
    prefs.setString(kLastSelectedTacticKey, stored[5].key());   // remembered: must not open

    BoardStore& s = start();
    ASSERT_EQ(s.importedTactics().size(), 2u);
    EXPECT_EQ(s.importedTactics()[0], stored[0]);
    // Pulled onto the pitch as a drag would have left him.
    EXPECT_EQ(s.importedTactics()[1].tactic.steps[0].players[3].position, (Point{0.96, 0.04}));
    EXPECT_EQ(s.status(), "已保留 4 个无法打开的战术：“九人”需为 7 人制或 11 人制，且每步包含双方完整球员");
    EXPECT_NE(s.selectedTacticKey(), stored[5].key());

    // Kept, and exportable with the unreadable copies: one document of the four.
    ASSERT_EQ(s.ownTactics().unreadableCount(), 1);
    std::vector<std::size_t> listed;
    auto kept = TacticJson::decodeLibrary(prefs.data(kUnreadableTacticsKey).value_or(""), &listed);
    ASSERT_TRUE(kept) << kept.error();
    ASSERT_EQ(kept->size(), 4u);
    EXPECT_EQ((*kept)[0], stored[1]);
    EXPECT_EQ((*kept)[3].tactic.steps.size(), TacticLimits::kMaxSteps + 1);
    EXPECT_EQ(listed[3], 1000u);

    // The library is written without them, so the next start is quiet.
    s.flushAutosave();
    EXPECT_EQ(storedLibrary().size(), 2u);
    start();
    EXPECT_EQ(store->importedTactics().size(), 2u);
    EXPECT_EQ(store->ownTactics().unreadableCount(), 1);
    EXPECT_EQ(store->status().find("已保留"), std::string::npos);
}

TEST_F(HostileLibraryTest, ImportsBeyondTheLimitsAreRefusedWithTheReasonAndNothingIsStored) {
    BoardStore& s = start();
    const std::size_t before = s.importedTactics().size();
    auto import = [&](const Tactic& tactic) {
        std::ofstream(dir / "in.json", std::ios::binary) << TacticJson::encodePretty(tactic).value();
        platform.openAnswers.push_back(dir / "in.json");
        s.importFile();
        return s.status();
    };
    Tactic steps = BuiltInTactics::sample(7);
    steps.steps.assign(TacticLimits::kMaxSteps + 1, steps.steps[0]);
    EXPECT_EQ(import(steps), "导入失败：阶段过多：201 个，至多 200 个");

    Tactic points = BuiltInTactics::sample(11);
    BoardAnnotation stroke;
    stroke.points.assign(TacticLimits::kMaxPointsPerStroke + 1, Point{0.5, 0.5});
    points.steps[0].annotations = std::vector<BoardAnnotation>{stroke};
    EXPECT_EQ(import(points), "导入失败：阶段 1 的标注：笔画点数过多：100001 个，至多 100000 个");
    EXPECT_EQ(s.importedTactics().size(), before);

    // A pass far off the pitch imports, pulled onto it.
    Tactic far = BuiltInTactics::sample(7);
    far.steps[1].players[4].position = {1e308, 0.5};
    EXPECT_EQ(import(far).rfind("已导入：", 0), 0u) << s.status();
    EXPECT_EQ(s.tactic().steps[1].players[4].position.x, 0.96);
}

TEST_F(HostileLibraryTest, AnOversizedLibraryIsRenamedAsideAndStaleTemporariesGo) {
    FileLibraryStorage files(dir / "data", prefs, post());
    platform.storage = &files;
    fs::create_directories(dir / "data");

    // Sparse: larger than start-up reads, yet no disk and no memory spent on it.
    {
        std::ofstream(files.file()) << "[";
    }
    fs::resize_file(files.file(), TacticJson::kMaxDocumentBytes + 1);
    struct stat before {};
    ASSERT_EQ(::stat(files.file().c_str(), &before), 0);

    // A killed write's leftover is removed once it is stale; one being written is not.
    const fs::path stale = dir / "data" / ".own-tactics.json.Ab12Cd";
    const fs::path fresh = dir / "data" / ".own-tactics.json.Zz99Yy";
    std::ofstream(stale) << "[";
    std::ofstream(fresh) << "[";
    fs::last_write_time(stale, fs::file_time_type::clock::now() - std::chrono::minutes(5));
    const fs::path foreign = dir / "data" / ".other.json.Ab12Cd";
    std::ofstream(foreign) << "x";
    fs::last_write_time(foreign, fs::file_time_type::clock::now() - std::chrono::minutes(5));

    BoardStore& s = start();
    EXPECT_EQ(s.status(), "已保留无法读取的战术数据");
    EXPECT_TRUE(s.importedTactics().empty());
    EXPECT_FALSE(fs::exists(files.file()));
    struct stat kept {};
    ASSERT_EQ(::stat(files.unreadableFile(0).c_str(), &kept), 0);
    EXPECT_EQ(kept.st_ino, before.st_ino);   // renamed, not copied
    EXPECT_EQ(s.ownTactics().unreadableCount(), 1);

    EXPECT_FALSE(fs::exists(stale));
    EXPECT_TRUE(fs::exists(fresh));
    EXPECT_TRUE(fs::exists(foreign));

    // The library starts afresh and writes normally.
    s.newTactic("甲");
    s.flushAutosave();
    files.flush();
    store.reset();
    start();
    EXPECT_EQ(store->importedTactics().size(), 1u);
    store.reset();
}

// SPDX-License-Identifier: GPL-3.0-or-later
// Tags, change times and the order of a season's library.
#include <nlohmann/json.hpp>

#include "core/model/tactic_limits.h"
#include "core/store/library_order.h"
#include "store_fixture.h"

using namespace vantrel;
using vantrel::testing::StoreTest;

namespace {

class SeasonLibraryTest : public StoreTest {};

}  // namespace

TEST_F(SeasonLibraryTest, TagsAreOptionalCheckedAtImportAndKeptByTheLibrary) {
    // A document without tags encodes as it always did; one with tags reads them back.
    const Tactic plain = BuiltInTactics::sample(7);
    const std::string plainText = TacticJson::encodePretty(plain).value();
    EXPECT_EQ(plainText.find("tags"), std::string::npos);
    EXPECT_EQ(TacticJson::encodePretty(TacticJson::decodeTactic(plainText).value()).value(), plainText);
    Tactic tagged = plain;
    tagged.tags = {"进攻", "定位球"};
    EXPECT_EQ(TacticJson::decodeTactic(TacticJson::encodePretty(tagged).value()).value().tags, tagged.tags);

    auto refusal = [&](std::vector<std::string> tags) {
        Tactic t = plain;
        t.tags = std::move(tags);
        return admitTactic(t).value_or("");
    };
    EXPECT_EQ(refusal({"进攻"}), "");
    EXPECT_EQ(refusal(std::vector<std::string>(13, "训练")), "标签过多：13 个，至多 12 个");
    EXPECT_EQ(refusal({"  "}), "标签无效：标签为空");
    EXPECT_EQ(refusal({std::string(17, 'x')}), "标签无效：标签过长：17 个字符，至多 16 个");

    // The store's command trims, cuts, drops repeats and writes at once.
    BoardStore& s = start();
    s.newTactic("角球");
    const std::string key = s.selectedTacticKey();
    s.ownTactics().setTags(key, {" 定位球 ", "定位球", "", "一二三四五六七八九十一二三四五六七"});
    EXPECT_EQ(s.tactic().tags, (std::vector<std::string>{"定位球", "一二三四五六七八九十一二三四五六"}));
    EXPECT_EQ(storedLibrary().front().tactic.tags, s.tactic().tags);
    EXPECT_EQ(s.status(), "已设置标签：定位球、一二三四五六七八九十一二三四五六");
    // A stage edit not yet confirmed is not written with the tags.
    const auto storedSteps = storedLibrary().front().tactic.steps;
    editStep();
    s.ownTactics().setTags(key, {"进攻"});
    EXPECT_EQ(storedLibrary().front().tactic.steps, storedSteps);
    EXPECT_EQ(storedLibrary().front().tactic.tags, std::vector<std::string>{"进攻"});
    EXPECT_TRUE(s.hasStageChanges());
    EXPECT_EQ(start().importedTactics().front().tactic.tags, std::vector<std::string>{"进攻"});
}

TEST_F(SeasonLibraryTest, LastChangeIsRecordedAndOrdersTheList) {
    // A library written before change times were kept still loads; its entries sort last.
    SavedTactic old{Uuid::random(), BuiltInTactics::sample(7), true};
    old.tactic.name = "旧的";
    prefs.setData(kImportedTacticsKey, TacticJson::encodeLibrary({old}).value());
    BoardStore& s = start();
    ASSERT_EQ(s.importedTactics().size(), 1u);
    EXPECT_FALSE(s.importedTactics().front().changedAt);
    for (const char* name : {"角球 10", "角球 2", "Ｂ"}) {
        platform.calendarOffset += 60;
        s.newTactic(name);
    }
    const std::string first = s.importedTactics()[1].key();
    platform.calendarOffset += 60;
    s.ownTactics().rename(first, "角球 10 改");
    EXPECT_EQ(storedLibrary()[1].changedAt, platform.wallClockSeconds());

    auto names = [&](LibraryOrder order) {
        const auto entries = libraryEntries(s, {}, kLibraryScopeMine);
        std::vector<const LibraryEntry*> own;
        for (const auto& e : entries) own.push_back(&e);
        orderOwnEntries(own, order);
        std::vector<std::string> listed;
        for (const auto* e : own) listed.push_back(e->tactic->name);
        return listed;
    };
    EXPECT_EQ(names(LibraryOrder::creation), (std::vector<std::string>{"旧的", "角球 10 改", "角球 2", "Ｂ"}));
    EXPECT_EQ(names(LibraryOrder::lastChange), (std::vector<std::string>{"角球 10 改", "Ｂ", "角球 2", "旧的"}));
    EXPECT_EQ(names(LibraryOrder::name), (std::vector<std::string>{"旧的", "角球 2", "角球 10 改", "Ｂ"}));
    EXPECT_EQ(parseLibraryOrder("anything"), LibraryOrder::creation);
}

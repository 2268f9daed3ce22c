// SPDX-License-Identifier: GPL-3.0-or-later
// Files made to hurt: numbers far off the pitch, more of everything than a coach can use,
// paths that are not files. Every case is built here; none is stored.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>

#include "core/library/builtin_tactics.h"
#include "core/model/file_io.h"
#include "core/model/tactic_json.h"
#include "core/model/tactic_limits.h"
#include "core/pitch/step_playback.h"
#include "support/temp_folder.h"

namespace fs = std::filesystem;
using namespace vantrel;

namespace {

// Two steps of the built-in sample, the second with the ball passed to `receiver`
// standing at `at`.
Tactic passTo(Point at, const std::string& receiver = "home-5") {
    Tactic tactic = BuiltInTactics::sample(7);
    tactic.steps.resize(2);
    tactic.steps[0].ballOwner = "home-2";
    tactic.steps[0].ball = tactic.steps[0].player("home-2")->position;
    BoardStep& to = tactic.steps[1];
    to.player(receiver)->position = at;
    to.ballOwner = receiver;
    to.ball = at;
    return tactic;
}

}  // namespace

TEST(HostileFiles, APassFarOffThePitchIsPulledOnItAndTheWalkStaysBoundedEvenUnadmitted) {
    const double far = 1e308;
    Tactic tactic = passTo({far, 0.5});
    // Read back from its own text, as a file would be.
    auto decoded = TacticJson::decodeTactic(TacticJson::encodeCompact(tactic).value());
    ASSERT_TRUE(decoded) << decoded.error();

    // Unadmitted (a caller that skipped the checks): the transition has its cap and the
    // interception test walks a bounded number of ticks.
    for (double x : {far, 1e5, 1e6, std::numeric_limits<double>::infinity(), std::nan("")}) {
        const Tactic wild = passTo({x, 0.5});
        StepPlayback playback(wild.steps[0], wild.steps[1], true);
        EXPECT_LE(playback.duration(), StepPlayback::kMaxStepSeconds) << x;
        playback.firstInterception();
        playback.sampleAt(0.5);
    }

    // Admitted: where the editing commands would have put him, ball at his feet.
    ASSERT_FALSE(admitTactic(decoded.value()));
    const BoardStep& to = decoded->steps[1];
    EXPECT_EQ(to.player("home-5")->position, (Point{0.96, 0.5}));
    EXPECT_EQ(to.ball, (Point{0.96, 0.5}));
    EXPECT_LT(StepPlayback(decoded->steps[0], to, true).duration(), 10.0);

    // A number JSON cannot hold as finite is refused, not clamped.
    Tactic infinite = passTo({std::numeric_limits<double>::infinity(), 0.5});
    EXPECT_EQ(admitTactic(infinite).value_or(""), "阶段 2：坐标不是有限数");
    std::string text = TacticJson::encodeCompact(passTo({0.5, 0.5})).value();
    text.replace(text.find("0.5"), 3, "1e400");
    auto overflow = TacticJson::decodeTactic(text);
    EXPECT_TRUE(!overflow || admitTactic(overflow.value()));
}

TEST(HostileFiles, MoreThanTheLimitsIsRefusedWithTheReason) {
    const Tactic good = BuiltInTactics::sample(7);
    BoardAnnotation stroke;
    stroke.kind = AnnotationTool::pencil;
    stroke.points = {{0.2, 0.2}, {0.3, 0.3}};
    std::string cjk;   // 200 characters in 600 bytes: the limits count characters
    for (std::size_t i = 0; i < TacticLimits::kMaxNameCharacters; ++i) cjk += "阵";
    const std::string shape = "需为 7 人制或 11 人制，且每步包含双方完整球员";
    const std::vector<std::pair<std::function<void(Tactic&)>, std::string>> cases = {
        {[&](Tactic& t) { t.steps.assign(TacticLimits::kMaxSteps, good.steps[0]); }, "admitted"},
        {[&](Tactic& t) { t.steps.assign(TacticLimits::kMaxSteps + 1, good.steps[0]); }, "阶段过多：201 个，至多 200 个"},
        {[&](Tactic& t) { t.steps[0].annotations.emplace(TacticLimits::kMaxAnnotationsPerStep + 1, stroke); },
         "阶段 1：标注过多：2001 个，至多 2000 个"},
        {[&](Tactic& t) { t.name = cjk; }, "admitted"},
        {[&](Tactic& t) { t.name = cjk + "阵"; }, "战术名称过长：201 个字符，至多 200 个"},
        {[](Tactic& t) { t.steps[0].note = std::string(TacticLimits::kMaxNoteCharacters + 1, 'n'); }, "阶段 1 的说明过长：5001 个字符，至多 5000 个"},
        {[](Tactic& t) { t.steps.back().players.pop_back(); }, shape},   // one player short, on a later step
        {[](Tactic& t) { t.steps.clear(); }, shape},
    };
    for (const auto& [spoil, reason] : cases) {
        Tactic t = good;
        spoil(t);
        EXPECT_EQ(admitTactic(t).value_or("admitted"), reason);
    }

    // Every built-in tactic passes unchanged: the limits and the clamping leave what the
    // program itself makes as it is.
    for (int format : {7, 11})
        for (const Tactic& builtIn : BuiltInTactics::library(format)) {
            Tactic admitted = builtIn;
            EXPECT_FALSE(admitTactic(admitted)) << builtIn.name;
            EXPECT_EQ(admitted, builtIn) << builtIn.name;
        }
}

TEST(HostileFiles, UnknownBulkAndStepsPastTheLimitAreNotBuiltWhileParsing) {
    const Tactic sample = BuiltInTactics::sample(7);
    nlohmann::json doc = nlohmann::json::parse(TacticJson::encodeCompact(sample).value());
    // Deep is refused by the nesting check; wide and unknown is skipped by the parser.
    std::string bulk = "[";
    for (int i = 0; i < 200000; ++i) bulk += i ? ",{}" : "{}";
    bulk += "]";
    std::string text = doc.dump();
    text.insert(1, "\"later\":" + bulk + ",");
    const auto decoded = TacticJson::decodeTactic(text);
    ASSERT_TRUE(decoded) << decoded.error();
    EXPECT_EQ(decoded.value(), sample);

    // Thousands of steps are parsed, but only one past the limit is built: the refusal
    // still says how many the file lists.
    const std::string step = doc["steps"][0].dump();
    std::string steps = R"({"name":"长","format":7,"steps":[)";
    for (int i = 0; i < 5000; ++i) (steps += i ? "," : "") += step;
    steps += "]}";
    std::size_t listed = 0;
    auto cut = TacticJson::decodeTactic(steps, &listed);
    ASSERT_TRUE(cut) << cut.error();
    EXPECT_EQ(cut->steps.size(), TacticLimits::kMaxSteps + 1);
    EXPECT_EQ(listed, 5000u);
    EXPECT_EQ(admitTactic(cut.value(), LongText::refuse, listed).value_or("admitted"), "阶段过多：5000 个，至多 200 个");
    EXPECT_TRUE(admitTactic(cut.value()));   // refused even by a caller that does not ask the count
}

TEST(HostileFiles, PathsThatAreNotFilesSayWhatTheyAre) {
    const vantrel::testing::TempFolder folder("vantrel-hostile");
    const fs::path& dir = folder;
    auto error = [](const fs::path& path) {
        auto read = readWholeFile(path, 1 << 20);
        return read ? std::string("read") : read.error();
    };
    EXPECT_EQ(error(dir / "missing.json"), "找不到文件：" + (dir / "missing.json").string());
    EXPECT_EQ(error(dir), "不是普通文件：" + dir.string());
    EXPECT_EQ(error("/dev/zero"), "不是普通文件：/dev/zero");
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
    EXPECT_EQ(error(dir / "fifo"), "不是普通文件：" + (dir / "fifo").string());   // and it does not wait

    std::ofstream(dir / "t.json") << "{}";
    EXPECT_EQ(error(dir / "t.json"), "read");
    EXPECT_EQ(readWholeFile(dir / "t.json", 1).error(), "文件过大：" + (dir / "t.json").string());
    fs::create_symlink(dir / "t.json", dir / "link.json");
    EXPECT_TRUE(sameFile(dir / "t.json", dir / "link.json"));
    EXPECT_TRUE(sameFile(dir / "t.json", dir / "." / "t.json"));
    EXPECT_FALSE(sameFile(dir / "t.json", dir / "other.json"));   // not there yet
    std::ofstream(dir / "other.json") << "{}";
    EXPECT_FALSE(sameFile(dir / "t.json", dir / "other.json"));

    EXPECT_EQ(fileErrorText(ENOSPC), "磁盘空间不足");
}

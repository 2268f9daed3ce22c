// SPDX-License-Identifier: GPL-3.0-or-later
#include <filesystem>
#include <fstream>

#include <nlohmann/json.hpp>

#include "store_fixture.h"

using namespace vantrel;
using vantrel::testing::StoreTest;
using vantrel::testing::readFileForTest;
namespace fs = std::filesystem;

namespace {

class ImportExportTest : public StoreTest {
protected:
    fs::path write(const std::string& name, const std::string& text) {
        std::ofstream(dir / name, std::ios::binary) << text;
        return dir / name;
    }

    std::string importText(const std::string& text) {
        platform.openAnswers.push_back(write("in.json", text));
        store->importFile();
        return store->status();
    }

    vantrel::testing::TempFolder dir{"vantrel-store"};
};

const std::string kShapeError = "导入失败：需为 7 人制或 11 人制，且每步包含双方完整球员";

}  // namespace

TEST_F(ImportExportTest, ExportThenImportMakesANewOwnTactic) {
    BoardStore& s = start();
    s.selectBuiltIn(1, 7);
    editStep();   // unconfirmed edits are exported too
    const Tactic exported = s.tactic();
    platform.saveAnswers.push_back(dir / "out.json");
    s.exportFile();
    EXPECT_EQ(platform.proposedSaveNames.back(), exported.name + ".json");
    EXPECT_EQ(s.status(), "已导出：out.json");
    auto text = readFileForTest(dir / "out.json");
    EXPECT_NE(text.find('\n'), std::string::npos);   // pretty
    EXPECT_EQ(TacticJson::decodeTactic(text).value(), exported);

    s.resolveStageChanges(StageSaveDecision::cancel);
    s.saveCurrentTactic();
    platform.openAnswers.push_back(dir / "out.json");
    s.importFile();
    ASSERT_EQ(s.importedTactics().size(), 2u);
    EXPECT_NE(s.importedTactics()[0].id, s.importedTactics()[1].id);
    EXPECT_EQ(s.selectedTacticKey(), s.importedTactics()[1].key());
    EXPECT_EQ(s.status(), "已导入：" + exported.name);   // its curved runs kept it as read
    EXPECT_EQ(s.stepIndex(), 0);
    EXPECT_EQ(storedLibrary().size(), 2u);
}

TEST_F(ImportExportTest, CancelledDialogsDoNothing) {
    BoardStore& s = start();
    const std::string status = s.status();
    s.exportFile();
    s.importFile();
    EXPECT_EQ(s.status(), status);
    EXPECT_EQ(s.selectedTacticKey(), "builtin-7-0");
}

TEST_F(ImportExportTest, BadFilesChangeNothingButTheStatus) {
    BoardStore& s = start();
    s.newTactic("原来的");
    const Tactic before = s.tactic();
    const std::string key = s.selectedTacticKey();
    const int writes = libraryWrites();

    nlohmann::json good = nlohmann::json::parse(TacticJson::encodeCompact(BuiltInTactics::sample(7)).value());
    auto variant = [&](auto mutate) {
        nlohmann::json d = good;
        mutate(d);
        return d.dump();
    };

    EXPECT_EQ(importText("{ not json"), s.status());
    EXPECT_EQ(s.status().rfind("导入失败：JSON 格式不正确（", 0), 0u);
    EXPECT_EQ(s.status().substr(s.status().size() - 3), "）");
    // A huge quoted value or raw invalid bytes still leave one short readable line.
    const std::string wild = importText(variant([](auto& d) { d["steps"][1]["passStyle"] = std::string(1 << 20, 'x'); }));
    EXPECT_LE(wild.size(), 800u);
    EXPECT_EQ(wild.find('\n'), std::string::npos);
    EXPECT_EQ(wild.substr(wild.size() - 3), "）");
    const std::string raw = importText("{\"name\": \"\xff\xfe\n\"");
    EXPECT_EQ(raw.find('\xff'), std::string::npos);
    EXPECT_EQ(importText(variant([](auto& d) { d["steps"][2]["players"].erase(13); })), kShapeError);

    // Unreadable paths: a directory, a missing file.
    platform.openAnswers.push_back(dir);
    s.importFile();
    EXPECT_EQ(s.status(), "导入失败：不是普通文件：" + dir.string());
    platform.openAnswers.push_back(dir / "missing.json");
    s.importFile();
    EXPECT_EQ(s.status(), "导入失败：找不到文件：" + (dir / "missing.json").string());

    EXPECT_EQ(s.tactic(), before);
    EXPECT_EQ(s.selectedTacticKey(), key);
    EXPECT_EQ(s.importedTactics().size(), 1u);
    EXPECT_EQ(libraryWrites(), writes);
}

// A file given by path (the command line, a later start) goes through the dialog
// import's checks and save question, and never opens the dialog.
TEST_F(ImportExportTest, ImportingAPathChecksAndAsksLikeTheDialog) {
    BoardStore& s = start();
    const fs::path dialogAnswer = write("dialog.json", "{}");
    platform.openAnswers.push_back(dialogAnswer);

    s.importFile(write("broken.json", "{\"name\": \"x\", \"steps\": ["));
    EXPECT_EQ(s.status().rfind("导入失败：JSON 格式不正确（", 0), 0u) << s.status();
    Tactic nine = BuiltInTactics::sample(7);
    nine.format = 9;
    s.importFile(write("nine.json", TacticJson::encodeCompact(nine).value()));
    EXPECT_EQ(s.status(), kShapeError);
    EXPECT_TRUE(s.importedTactics().empty());
    EXPECT_EQ(s.selectedTacticKey(), "builtin-7-0");

    // Unsaved stage edits: the question first, then the same file once answered.
    s.selectStep(1);
    editStep();
    const Tactic edited = s.tactic();
    Tactic drill = BuiltInTactics::sample(11);
    drill.name = "传中演练";
    const fs::path file = write("drill.json", TacticJson::encodeCompact(drill).value());
    s.importFile(file);
    EXPECT_TRUE(s.showingStageSaveConfirmation());
    EXPECT_EQ(s.tactic(), edited);
    s.resolveStageChanges(StageSaveDecision::discard);
    ASSERT_EQ(s.importedTactics().size(), 1u);
    EXPECT_EQ(s.selectedTacticKey(), s.importedTactics()[0].key());
    EXPECT_EQ(s.tactic().name, "传中演练");
    EXPECT_EQ(s.status(), "已导入：传中演练 · 已补充对手高位逼抢");
    EXPECT_EQ(storedLibrary().size(), 1u);

    ASSERT_EQ(platform.openAnswers.size(), 1u);
    EXPECT_EQ(platform.openAnswers.front(), dialogAnswer);
}

TEST_F(ImportExportTest, HandShapedRunsAreKeptAsReadOtherwiseTheOpponentsPress) {
    BoardStore& s = start();
    Tactic plain = BuiltInTactics::sample(7);
    for (auto& step : plain.steps) step.pathControls.reset();

    importText(TacticJson::encodeCompact(plain).value());
    EXPECT_EQ(s.tactic(), withOpponentHighPress(plain));
    EXPECT_EQ(s.status(), "已导入：" + plain.name + " · 已补充对手高位逼抢");
    EXPECT_EQ(s.importedTactics().back().highPressAdapted, true);

    Tactic shaped = plain;
    shaped.steps[1].pathControls = std::map<std::string, Point>{{"home-2", {0.3, 0.3}}};
    importText(TacticJson::encodeCompact(shaped).value());
    EXPECT_EQ(s.tactic(), shaped);
    EXPECT_EQ(s.status(), "已导入：" + shaped.name);   // kept as read: no press was added

    // An empty map is no hand-shaped run.
    Tactic emptyMap = plain;
    emptyMap.steps[1].pathControls = std::map<std::string, Point>{};
    importText(TacticJson::encodeCompact(emptyMap).value());
    EXPECT_EQ(s.tactic(), withOpponentHighPress(emptyMap));
}

TEST_F(ImportExportTest, ExportFailuresAreReportedAndLeaveNoFile) {
    BoardStore& s = start();
    platform.saveAnswers.push_back(dir / "no" / "such" / "out.json");
    s.exportFile();
    EXPECT_EQ(s.status().rfind("导出失败：", 0), 0u);
    platform.saveAnswers.push_back(dir);
    s.exportFile();
    EXPECT_EQ(s.status().rfind("导出失败：", 0), 0u);
    EXPECT_TRUE(fs::is_empty(dir));

    // An existing file is replaced whole.
    write("old.json", std::string(100000, 'x'));
    platform.saveAnswers.push_back(dir / "old.json");
    s.exportFile();
    EXPECT_EQ(s.status(), "已导出：old.json");
    EXPECT_TRUE(TacticJson::decodeTactic(readFileForTest(dir / "old.json")));
}

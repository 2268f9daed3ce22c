// SPDX-License-Identifier: GPL-3.0-or-later
// vantrel-export, end to end: a file in, an image, handout or video out, no display; and
// against hostile inputs: its own input as output, paths that are not files, a pass far off
// the pitch. A tactic beyond the limits is refused as an import is, with the same reason.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/library/builtin_tactics.h"
#include "core/model/step_title.h"
#include "core/model/tactic_json.h"
#include "support/temp_folder.h"

namespace fs = std::filesystem;
using namespace vantrel;
using vantrel::testing::readFileForTest;

namespace {

// Width and height from a PNG's header chunk.
std::pair<int, int> pngSize(const std::string& bytes) {
    if (bytes.size() < 24 || bytes.compare(1, 3, "PNG") != 0) return {0, 0};
    auto word = [&](std::size_t at) {
        return (static_cast<unsigned char>(bytes[at]) << 24) | (static_cast<unsigned char>(bytes[at + 1]) << 16) |
               (static_cast<unsigned char>(bytes[at + 2]) << 8) | static_cast<unsigned char>(bytes[at + 3]);
    };
    return {word(16), word(20)};
}

class ExportCommand : public ::testing::Test {
protected:
    void SetUp() override {
        Tactic tactic = BuiltInTactics::sample(7);
        tactic.steps.resize(2);
        text = TacticJson::encodePretty(tactic).value();
        std::ofstream(dir / "tactic.json") << text;
    }

    // Runs without any display: no X, no Wayland, no platform chosen for it.
    int run(const std::string& args) {
        const std::string cmd = "cd '" + dir.string() + "' && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM '" +
                                VANTREL_EXPORT_EXECUTABLE + "' " + args + " >stdout 2>stderr";
        const int raw = std::system(cmd.c_str());
        err = readFileForTest(dir / "stderr");
        return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    }

    vantrel::testing::TempFolder dir{"vantrel-export-cli"};
    std::string text;   // tactic.json as written
    std::string err;
};

}  // namespace

TEST_F(ExportCommand, WritesImagesHandoutAndVideoWithoutADisplay) {
    ASSERT_EQ(run("png tactic.json board.png --step 2 --view 2d"), 0) << err;
    EXPECT_EQ(err, "");
    EXPECT_EQ(pngSize(readFileForTest(dir / "board.png")), std::make_pair(1920, 1080));
    ASSERT_EQ(run("png tactic.json board3d.png --step 2 --view 3d"), 0) << err;
    EXPECT_NE(readFileForTest(dir / "board3d.png"), readFileForTest(dir / "board.png"));
    ASSERT_EQ(run("png tactic.json plain.png --step 2 --arrows off"), 0) << err;
    EXPECT_NE(readFileForTest(dir / "plain.png"), readFileForTest(dir / "board.png"));   // the moves into step 2
    ASSERT_EQ(run("png tactic.json big.png --scale 2"), 0) << err;
    EXPECT_EQ(pngSize(readFileForTest(dir / "big.png")), std::make_pair(3840, 2160));
    ASSERT_EQ(run("pdf tactic.json handout.pdf"), 0) << err;
    EXPECT_EQ(readFileForTest(dir / "handout.pdf").rfind("%PDF-", 0), 0u);
    ASSERT_EQ(run("svg tactic.json board.svg --step 2"), 0) << err;
    EXPECT_NE(readFileForTest(dir / "board.svg").find("<svg"), std::string::npos);
    ASSERT_EQ(run("gif tactic.json play.gif"), 0) << err;
    EXPECT_EQ(readFileForTest(dir / "play.gif").rfind("GIF89a", 0), 0u);
}

TEST_F(ExportCommand, FailuresExitOneWithTheReasonAndWriteNothing) {
    std::ofstream(dir / "bad.json") << "{\"name\": \"x\", \"format\": 7, \"steps\": [";
    EXPECT_EQ(run("png bad.json out.png"), 1);
    EXPECT_EQ(err.rfind("Export failed: JSON 格式不正确（", 0), 0u) << err;

    Tactic nine = BuiltInTactics::sample(7);
    nine.format = 9;
    std::ofstream(dir / "nine.json") << TacticJson::encodePretty(nine).value();
    EXPECT_EQ(run("mp4 nine.json out.mp4"), 1);
    EXPECT_EQ(err, "Export failed: 需为 7 人制或 11 人制，且每步包含双方完整球员\n");

    EXPECT_EQ(run("png tactic.json out.png --step 3"), 1);
    EXPECT_EQ(run("webm tactic.json out.webm"), 1);
    EXPECT_EQ(run("png tactic.json out.png --arrows maybe"), 1);
    EXPECT_EQ(err, "Export failed: --arrows 需为 on 或 off\n");
    EXPECT_EQ(run("png tactic.json out.png --scale 3"), 1);
    EXPECT_EQ(run("pdf tactic.json missing/out.pdf"), 1);
    EXPECT_EQ(run("png tactic.json tactic.json out.png"), 1);
    EXPECT_EQ(err, "Export failed: 只有 pdf 讲义可以包含多个战术\n");
    EXPECT_EQ(run("pdf tactic.json bad.json out.pdf"), 1);
    EXPECT_EQ(err.rfind("Export failed: bad.json：JSON 格式不正确（", 0), 0u) << err;
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"bad.json", "nine.json", "stderr", "stdout", "tactic.json"}));
}

// Every built-in tactic in one handout: every name, title and note copies out of the PDF
// as written (no look-alike radicals). The pages are counted by the window's export test.
TEST_F(ExportCommand, AHandoutOfSeveralTacticsCopiesOutAsWritten) {
    if (std::system("command -v pdftotext >/dev/null") != 0) GTEST_SKIP() << "pdftotext is not installed";
    std::string files;
    std::vector<Tactic> tactics;
    for (int format : {7, 11})
        for (const Tactic& tactic : BuiltInTactics::library(format)) {
            const std::string name = "t" + std::to_string(tactics.size()) + ".json";
            std::ofstream(dir / name) << TacticJson::encodePretty(tactic).value();
            files += name + " ";
            tactics.push_back(tactic);
        }
    ASSERT_EQ(run("pdf " + files + "all.pdf"), 0) << err;
    ASSERT_EQ(std::system(("pdftotext -enc UTF-8 '" + (dir / "all.pdf").string() + "' '" + (dir / "all.txt").string() + "'").c_str()), 0);
    auto squeezed = [](std::string text) {
        std::erase_if(text, [](char c) { return c == ' ' || c == '\n' || c == '\f' || c == '\r'; });
        return text;
    };
    const std::string text = squeezed(readFileForTest(dir / "all.txt"));
    for (const Tactic& tactic : tactics) {
        EXPECT_NE(text.find(squeezed(tactic.name)), std::string::npos) << tactic.name;
        for (const BoardStep& step : tactic.steps) {
            EXPECT_NE(text.find(squeezed(cleanStepTitle(step.title))), std::string::npos) << step.title;
            EXPECT_NE(text.find(squeezed(writtenNote(step.note))), std::string::npos) << step.note;
        }
    }
}

TEST_F(ExportCommand, TheInputIsNeverItsOwnOutput) {
    fs::create_symlink(dir / "tactic.json", dir / "link.png");
    for (const char* args : {"png tactic.json tactic.json", "pdf tactic.json ./tactic.json", "png tactic.json link.png",
                             "gif link.png tactic.json"}) {
        EXPECT_EQ(run(args), 1) << args;
        EXPECT_EQ(err.rfind("Export failed: 输入与输出是同一个文件：", 0), 0u) << err;
        EXPECT_EQ(readFileForTest(dir / "tactic.json"), text) << args;
    }
    EXPECT_TRUE(fs::is_symlink(dir / "link.png"));
}

TEST_F(ExportCommand, InputsThatAreNotFilesSayWhatTheyAre) {
    EXPECT_EQ(run("png missing.json out.png"), 1);
    EXPECT_EQ(err, "Export failed: 找不到文件：missing.json\n");
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
    EXPECT_EQ(run("png fifo out.png"), 1);   // returns at once: nobody writes the FIFO
    EXPECT_EQ(err, "Export failed: 不是普通文件：fifo\n");
    EXPECT_FALSE(fs::exists(dir / "out.png"));
}

TEST_F(ExportCommand, APassFarOffThePitchExports) {
    Tactic far = BuiltInTactics::sample(7);
    far.steps.resize(2);
    far.steps[0].ballOwner = "home-2";
    far.steps[0].ball = far.steps[0].player("home-2")->position;
    far.steps[1].player("home-5")->position = {1e308, 0.5};
    far.steps[1].ballOwner = "home-5";
    far.steps[1].ball = {1e308, 0.5};
    std::ofstream(dir / "far.json") << TacticJson::encodePretty(far).value();
    EXPECT_EQ(run("png far.json far.png --step 2"), 0) << err;
    EXPECT_EQ(readFileForTest(dir / "far.png").substr(1, 3), "PNG");
}

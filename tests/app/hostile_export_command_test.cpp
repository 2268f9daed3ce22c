// SPDX-License-Identifier: GPL-3.0-or-later
// vantrel-export against hostile inputs: its own input as output, paths that are not
// files, a pass far off the pitch, a tactic beyond the limits. Cases are generated here.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/library/builtin_tactics.h"
#include "core/model/tactic_json.h"
#include "support/temp_folder.h"

namespace fs = std::filesystem;
using namespace vantrel;
using vantrel::testing::readFileForTest;

namespace {

class HostileExportCommand : public ::testing::Test {
protected:
    void SetUp() override {
        Tactic tactic = BuiltInTactics::sample(7);
        tactic.steps.resize(2);
        text = TacticJson::encodePretty(tactic).value();
        std::ofstream(dir / "t.json") << text;
    }

    int run(const std::string& args) {
        const std::string cmd = "cd '" + dir.string() + "' && env -u DISPLAY -u WAYLAND_DISPLAY '" +
                                VANTREL_EXPORT_EXECUTABLE + "' " + args + " >stdout 2>stderr";
        const int raw = std::system(cmd.c_str());
        err = readFileForTest(dir / "stderr");
        return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    }

    vantrel::testing::TempFolder dir{"vantrel-hostile-cli"};
    std::string text;
    std::string err;
};

}  // namespace

TEST_F(HostileExportCommand, TheInputIsNeverItsOwnOutput) {
    fs::create_symlink(dir / "t.json", dir / "link.png");
    for (const char* args : {"png t.json t.json", "pdf t.json ./t.json", "png t.json link.png", "gif link.png t.json"}) {
        EXPECT_EQ(run(args), 1) << args;
        EXPECT_EQ(err.rfind("Export failed: 输入与输出是同一个文件：", 0), 0u) << err;
        EXPECT_EQ(readFileForTest(dir / "t.json"), text) << args;
    }
    EXPECT_TRUE(fs::is_symlink(dir / "link.png"));
}

TEST_F(HostileExportCommand, InputsThatAreNotFilesSayWhatTheyAre) {
    EXPECT_EQ(run("png missing.json out.png"), 1);
    EXPECT_EQ(err, "Export failed: 找不到文件：missing.json\n");
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
    EXPECT_EQ(run("png fifo out.png"), 1);   // returns at once: nobody writes the FIFO
    EXPECT_EQ(err, "Export failed: 不是普通文件：fifo\n");
    EXPECT_FALSE(fs::exists(dir / "out.png"));
}

TEST_F(HostileExportCommand, APassFarOffThePitchExportsAndTheLimitsAreSaid) {
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

    Tactic many = BuiltInTactics::sample(7);
    many.steps.assign(201, many.steps[0]);
    std::ofstream(dir / "many.json") << TacticJson::encodeCompact(many).value();
    EXPECT_EQ(run("pdf many.json many.pdf"), 1);
    EXPECT_EQ(err, "Export failed: 阶段过多：201 个，至多 200 个\n");
}

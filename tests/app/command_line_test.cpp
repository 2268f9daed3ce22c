// SPDX-License-Identifier: GPL-3.0-or-later
// Runs the real executable: exit status, standard error and the file left behind.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>

#include <nlohmann/json.hpp>

#include "support/temp_folder.h"

namespace fs = std::filesystem;
using vantrel::testing::readFileForTest;

namespace {

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

std::string quoted(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += (c == '\'') ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

class CommandLine : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(dir / "home");
        // Short, unlike `dir`: a socket's path has at most 107 bytes.
        runtime = fs::temp_directory_path() / ("vantrel-run-" + std::to_string(::getpid()));
        fs::remove_all(runtime);
        fs::create_directories(runtime);
        fs::permissions(runtime, fs::perms::owner_all);
    }
    void TearDown() override { fs::remove_all(runtime); }

    // Runs with a private home, data and runtime folder, so a test can see whether
    // preferences were touched and never meets another test's window; `timeout` ends an
    // interactive run that the arguments were meant not to start.
    Outcome run(const std::string& args, const std::string& executable = VANTREL_EXECUTABLE) {
        std::string cmd = "cd " + quoted(dir.string()) + " && HOME=" + quoted((dir / "home").string()) +
                          " XDG_CONFIG_HOME=" + quoted((dir / "home/.config").string()) +
                          " XDG_DATA_HOME=" + quoted((dir / "home/.local/share").string()) +
                          " XDG_RUNTIME_DIR=" + quoted(runtime.string()) +
                          " QT_QPA_PLATFORM=offscreen timeout 3 " + quoted(executable) + " " + args +
                          " >" + quoted((dir / "stdout").string()) + " 2>" + quoted((dir / "stderr").string());
        int raw = std::system(cmd.c_str());
        Outcome r;
        r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        r.out = readFileForTest(dir / "stdout");
        r.err = readFileForTest(dir / "stderr");
        return r;
    }

    vantrel::testing::TempFolder dir{"vantrel-cli"};
    fs::path runtime;
};

TEST_F(CommandLine, ExportWritesTheCatalogSilentlyOverAnOldFile) {
    std::ofstream(dir / "catalog.json") << std::string(4 << 20, 'x');   // longer than the catalog
    Outcome r = run("--export-catalog catalog.json");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "");
    // Parsed whole: no tail of the old file is left after the catalog.
    auto catalog = nlohmann::ordered_json::parse(readFileForTest(dir / "catalog.json"));
    ASSERT_TRUE(catalog.is_object());
    std::vector<std::string> keys;
    for (auto& [key, value] : catalog.items()) keys.push_back(key);
    EXPECT_EQ(keys, (std::vector<std::string>{"seven", "eleven", "formations7", "formations11"}));
    EXPECT_EQ(catalog["seven"].size(), 6u);
    EXPECT_EQ(catalog["eleven"].size(), 2u);
    EXPECT_EQ(catalog["formations7"].size(), 6u);
    EXPECT_EQ(catalog["formations11"].size(), 6u);
    // Compact: no pretty-printing whitespace between tokens.
    EXPECT_EQ(readFileForTest(dir / "catalog.json").find("\n"), std::string::npos);
    // The export never writes the user's preferences.
    EXPECT_FALSE(fs::exists(dir / "home/.config/Vantrel"));
    // Nothing but the catalog is left beside the run's own files (no temporary file).
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"catalog.json", "home", "stderr", "stdout"}));
}

// A folder that cannot take the file, missing or not writable, fails alike where the
// temporary file is made; a folder in the file's place is refused before anything is written.
TEST_F(CommandLine, FailuresReportOnStandardErrorAndLeaveNothing) {
    Outcome missing = run("--export-catalog no/such/dir/catalog.json");
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out, "");
    EXPECT_EQ(missing.err.rfind("Catalog export failed: ", 0), 0u) << missing.err;
    EXPECT_EQ(missing.err.back(), '\n');
    EXPECT_EQ(std::count(missing.err.begin(), missing.err.end(), '\n'), 1);
    EXPECT_FALSE(fs::exists(dir / "no"));

    fs::create_directories(dir / "adir");
    Outcome directory = run("--export-catalog adir");
    EXPECT_EQ(directory.status, 1);
    EXPECT_EQ(directory.err.rfind("Catalog export failed: ", 0), 0u) << directory.err;
    EXPECT_TRUE(fs::is_directory(dir / "adir"));
    EXPECT_TRUE(fs::is_empty(dir / "adir"));
}

TEST_F(CommandLine, OtherArgumentListsOpenTheWindowInstead) {
    // The window runs until `timeout` ends it (status 124); no catalog is written.
    for (const char* args : {"--export-catalog", "--export-catalog a.json extra", "-- --export-catalog"}) {
        Outcome r = run(args);
        EXPECT_EQ(r.status, 124) << args << ": " << r.err;
        EXPECT_FALSE(fs::exists(dir / "a.json")) << args;
        EXPECT_FALSE(fs::exists(dir / "--export-catalog")) << args;
    }
    // Ended by a signal, each window removed its socket on the way.
    EXPECT_TRUE(fs::is_empty(runtime));
}

TEST_F(CommandLine, BothProgramsExplainThemselvesAndRefuseUnknownOptions) {
    const std::string exporter = VANTREL_EXPORT_EXECUTABLE;
    for (const auto& [args, executable, name] :
         {std::tuple{"--help", VANTREL_EXECUTABLE, "vantrel"}, std::tuple{"a.json -h", VANTREL_EXECUTABLE, "vantrel"},
          std::tuple{"--help", exporter.c_str(), "vantrel-export"},
          std::tuple{"png tactic.json out.png --help", exporter.c_str(), "vantrel-export"}}) {
        Outcome r = run(args, executable);
        EXPECT_EQ(r.status, 0) << name << " " << args << ": " << r.err;
        EXPECT_EQ(r.out.rfind(std::string("Usage: ") + name + " ", 0), 0u) << r.out;
        EXPECT_NE(r.out.find("--version"), std::string::npos) << r.out;
        EXPECT_EQ(r.err, "");
    }
    EXPECT_EQ(run("--version").out, std::string("vantrel ") + VANTREL_VERSION + "\n");
    EXPECT_EQ(run("--version", exporter).out, std::string("vantrel-export ") + VANTREL_VERSION + "\n");

    // Unknown options: the usage on standard error, status 2, no window, no file.
    for (const auto& [args, executable, name] :
         {std::tuple{"--EXPORT-CATALOG a.json", VANTREL_EXECUTABLE, "vantrel"},
          std::tuple{"--export-catalog=a.json", VANTREL_EXECUTABLE, "vantrel"},
          std::tuple{"tactic.json -", VANTREL_EXECUTABLE, "vantrel"},
          std::tuple{"png tactic.json a.json --steps 2", exporter.c_str(), "vantrel-export"},
          std::tuple{"png tactic.json a.json --step 1 -v", exporter.c_str(), "vantrel-export"}}) {
        Outcome r = run(args, executable);
        EXPECT_EQ(r.status, 2) << name << " " << args << ": " << r.err;
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err.find("Usage: " + std::string(name) + " "), std::string::npos) << r.err;
        EXPECT_FALSE(fs::exists(dir / "a.json"));
    }
    // A value of --step is no option: the export's own check answers it.
    Outcome negative = run("png tactic.json a.json --step -1", exporter);
    EXPECT_EQ(negative.status, 1);
    EXPECT_EQ(negative.err.rfind("Export failed: ", 0), 0u) << negative.err;
    EXPECT_FALSE(fs::exists(dir / "home/.config/Vantrel"));
}

}  // namespace

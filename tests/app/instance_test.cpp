// SPDX-License-Identifier: GPL-3.0-or-later
// One program per user and data folder: a window in this process, the real `vantrel` as
// the later start that hands its files over.
#include <gtest/gtest.h>

#include <QProcess>
#include <QSignalSpy>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/library/builtin_tactics.h"
#include "core/model/tactic_json.h"
#include "core/platform/memory_preference_store.h"
#include "support/manual_platform.h"
#include "ui/platform/single_instance.h"
#include "ui/vantrel_app.h"
#include "ui/workspace/content_view.h"
#include "ui/workspace/main_window.h"

using namespace vantrel;
namespace fs = std::filesystem;

namespace {

class SingleInstanceTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("vantrel-instance-" + std::to_string(::getpid()));
        fs::remove_all(dir);
        for (const char* sub : {"home", "data", "config", "runtime"}) fs::create_directories(dir / sub);
        fs::permissions(dir / "runtime", fs::perms::owner_all);
        // Inherited by the started programs: folders of this test alone, so the socket
        // name is this test's too.
        qputenv("HOME", QFile::encodeName(QString::fromStdString((dir / "home").string())));
        qputenv("XDG_DATA_HOME", QFile::encodeName(QString::fromStdString((dir / "data").string())));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(QString::fromStdString((dir / "config").string())));
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(QString::fromStdString((dir / "runtime").string())));

        prefs.setBoolean("Vantrel.onboardingCompleted", true);
        window = std::make_unique<MainWindow>(prefs, platform);
        window->show();
    }
    void TearDown() override {
        window.reset();
        fs::remove_all(dir);
    }

    // Starts `vantrel ARGS` in the test folder and lets this process's event loop serve
    // it until it ends; its exit code.
    int start(const QStringList& args) {
        QProcess process;
        process.setWorkingDirectory(QString::fromStdString(dir.string()));
        QSignalSpy finished(&process, &QProcess::finished);
        process.start(QStringLiteral(VANTREL_EXECUTABLE), args);
        if (!finished.wait(30000)) {
            process.kill();
            process.waitForFinished();
            return -1;
        }
        errors = process.readAllStandardError().toStdString();
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }

    void write(const std::string& name, const std::string& text) { std::ofstream(dir / name, std::ios::binary) << text; }

    fs::path dir;
    MemoryPreferenceStore prefs;
    vantrel::testing::ManualPlatform platform;
    std::unique_ptr<MainWindow> window;
    std::string errors;
};

// A socket file nobody listens on, as a killed program leaves it.
void leaveStaleSocket(const std::string& path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0) << path;
    ::close(fd);
}

}  // namespace

TEST_F(SingleInstanceTest, LaterStartsHandTheirFilesToTheRunningWindow) {
    BoardStore& store = window->content().store();
    const std::string socket = SingleInstance::serverPath().toStdString();
    ASSERT_EQ(fs::path(socket).parent_path(), dir / "runtime");
    leaveStaleSocket(socket);

    SingleInstance instance;
    ASSERT_EQ(instance.claim({}), SingleInstance::Claim::primary);
    int requests = 0;
    instance.setOpenHandler([&](const std::vector<fs::path>& files) {
        ++requests;
        openFilesInWindow(*window, files);
    });

    // A relative path is the starting program's: it arrives absolute.
    Tactic drill = BuiltInTactics::sample(11);
    drill.name = "传中演练";
    write("drill.json", TacticJson::encodePretty(drill).value());
    ASSERT_EQ(start({QStringLiteral("drill.json")}), 0) << errors;
    EXPECT_EQ(requests, 1);
    EXPECT_EQ(store.tactic().name, "传中演练");   // what an import then does, bad files too, is the store's test

    // After "--", a file named like an option is a file.
    Tactic counter = BuiltInTactics::sample(7);
    counter.name = "反击";
    write("-v.json", TacticJson::encodePretty(counter).value());
    ASSERT_EQ(start({QStringLiteral("--"), QStringLiteral("-v.json")}), 0) << errors;
    EXPECT_EQ(store.importedTactics().size(), 2u);

    // A plain start only brings the window back.
    window->setWindowState(Qt::WindowMinimized);
    ASSERT_EQ(start({}), 0) << errors;
    EXPECT_EQ(requests, 3);
    EXPECT_FALSE(window->isMinimized());
    EXPECT_EQ(store.tactic().name, "反击");

    // Stopping (as on quitting) leaves nothing in the runtime folder.
    instance.stop();
    EXPECT_TRUE(fs::is_empty(dir / "runtime"));   // the socket's folder
}

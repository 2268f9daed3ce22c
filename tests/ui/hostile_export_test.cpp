// SPDX-License-Identifier: GPL-3.0-or-later
// Exports that cannot be completed (the disk fills up) fail, say why, and leave the file
// that was there before untouched, with no temporary file behind.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/library/builtin_tactics.h"
#include "core/scene/tactic_playback.h"
#include "ui/export/pending_file.h"
#include "ui/export/still_export.h"
#include "ui/export/video_export.h"
#include "support/temp_folder.h"

namespace fs = std::filesystem;
using namespace vantrel;
using vantrel::testing::readFileForTest;

namespace {

// While alive, no file of this process may grow past `bytes`: writes beyond fail with
// EFBIG, as a disk that fills up fails them with ENOSPC.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        previous_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previous_);
    }

private:
    rlimit saved_{};
    void (*previous_)(int) = nullptr;
};

}  // namespace

TEST(HostileExport, AnImageOrHandoutThatCannotBeWrittenFullyFailsAndKeepsTheOldFile) {
    const vantrel::testing::TempFolder dir("vantrel-hostile-export");
    const Tactic tactic = BuiltInTactics::sample(7);
    const fs::path png = dir / "board.png", pdf = dir / "handout.pdf";
    std::ofstream(png) << "good old image";
    std::ofstream(pdf) << "good old handout";

    {
        // Room for the start of each file, not for all of it.
        FileSizeLimit limit(4096);
        const Status image = writeBoardImage(stepScene(tactic, 0, {}), ExportView::flat, QSizeF(960, 540), 2, png);
        const Status handout = writeHandout({tactic}, {}, pdf);
        EXPECT_EQ(image.error(), "无法写入 " + png.string() + "：文件过大");
        EXPECT_EQ(handout.error(), "无法写入 " + pdf.string() + "：文件过大");
    }
    EXPECT_EQ(readFileForTest(png), "good old image");
    EXPECT_EQ(readFileForTest(pdf), "good old handout");
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"board.png", "handout.pdf"}));   // no temporary file

    // With room, both replace the old files.
    EXPECT_TRUE(writeBoardImage(stepScene(tactic, 0, {}), ExportView::flat, QSizeF(960, 540), 1, png));
    EXPECT_TRUE(writeHandout({tactic}, {}, pdf));
    EXPECT_EQ(readFileForTest(png).substr(1, 3), "PNG");
    EXPECT_EQ(readFileForTest(pdf).rfind("%PDF-", 0), 0u);
}

// The disk fills up a few frames into a video: the encoder, on its own thread, fails,
// the painting stops, and the failure is what the export returns.
TEST(HostileExport, AVideoThatCannotBeWrittenFullyFailsAndKeepsTheOldFile) {
    const vantrel::testing::TempFolder dir("vantrel-hostile-video");
    const Tactic tactic = BuiltInTactics::library(11).front();
    for (const char* name : {"play.mp4", "play.gif"}) std::ofstream(dir / name) << "good old video";
    for (VideoFormat format : {VideoFormat::mp4, VideoFormat::gif}) {
        const fs::path video = dir / (format == VideoFormat::mp4 ? "play.mp4" : "play.gif");
        VideoSettings settings;
        settings.format = format;
        long reports = 0;
        Result<VideoOutcome> written = VideoOutcome{};
        {
            FileSizeLimit limit(256 * 1024);
            written = writeVideo(tactic, settings, video, [&](double) {
                ++reports;
                return true;
            });
        }
        EXPECT_EQ(written.error(), "写入视频失败：文件过大");   // an error: no outcome
        // It stopped soon after the encoder did, not at the end of the playback.
        EXPECT_LT(reports, TacticPlayback::seconds(tactic) * 60 / 2);
        EXPECT_EQ(readFileForTest(video), "good old video");
        EXPECT_EQ(dir.names(), (std::vector<std::string>{"play.gif", "play.mp4"}));
    }
}

TEST(HostileExport, AFullDiskIsNamed) {
    // /dev/full fails every write with ENOSPC, as a full disk does.
    const int fd = ::open("/dev/full", O_WRONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    PendingFile::Device device(fd);
    EXPECT_EQ(device.write(std::string(300 * 1024, 'x').c_str(), 300 * 1024), -1);
    const Status finished = device.finish("handout.pdf");
    EXPECT_EQ(finished.error(), "无法写入 handout.pdf：磁盘空间不足");
}

TEST(HostileExport, AnExportStoppedBySignalLeavesNoTemporaryFile) {
    const vantrel::testing::TempFolder dir("vantrel-hostile-signal");
    for (int signal : {SIGTERM, SIGINT}) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            // An export under way: its temporary file exists and holds a part of a file.
            PendingFile::removeOnSignals();
            auto pending = PendingFile::create(dir / "out.mp4");
            if (!pending) ::_exit(3);
            std::ofstream(pending->path()) << "part of a video";
            ::raise(signal);
            ::_exit(4);   // not reached: the signal ends the process
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
        EXPECT_EQ(dir.names(), std::vector<std::string>{});
    }
}

// SPDX-License-Identifier: GPL-3.0-or-later
// vantrel-export: a tactic file to an image, a handout or a video, without a window.
//
//   vantrel-export png|pdf|mp4|gif TACTIC.json OUT [--step N] [--view 2d|3d]
//   vantrel-export --help | --version
//
// The tactic is read with the same decoder and checks as an import. N counts steps from
// 1 (default 1) and picks the step of a PNG; a PNG is 1920 × 1080. Success prints nothing
// and exits 0; any failure prints "Export failed: " and the reason on standard error,
// exits 1 and leaves no file behind. An option it does not know prints the usage on
// standard error and exits 2.
#include <QGuiApplication>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/library/command_line.h"
#include "core/model/file_io.h"
#include "core/model/tactic_json.h"
#include "core/model/tactic_limits.h"
#include "ui/export/pending_file.h"
#include "ui/export/still_export.h"
#include "ui/export/video_export.h"

namespace {

using namespace vantrel;

constexpr std::string_view kUsage = "用法：vantrel-export png|pdf|mp4|gif TACTIC.json OUT [--step N] [--view 2d|3d]";

constexpr std::string_view kUsageLine = "Usage: vantrel-export png|pdf|mp4|gif TACTIC.json OUT [--step N] [--view 2d|3d]\n";

constexpr std::string_view kHelp =
    "\n"
    "Writes a Vantrel tactic file as an image, a handout or a video, without a window\n"
    "or a display. The file is read with the same checks as the window's import.\n"
    "\n"
    "  png   one step as a 1920 x 1080 image\n"
    "  pdf   the whole tactic as an A4 handout\n"
    "  mp4   the playback as an H.264 video\n"
    "  gif   the playback as an animated image\n"
    "\n"
    "Options:\n"
    "  --step N        the step of the image, counted from 1 (default 1)\n"
    "  --view 2d|3d    the flat or the perspective board (default 2d)\n"
    "  -h, --help      print this help and exit\n"
    "      --version   print the version and exit\n"
    "\n"
    "Prints nothing on success. On failure it prints \"Export failed: \" and the reason,\n"
    "exits with status 1 and leaves no file behind.\n";

// The arguments that end the run before any export: the help, the version, or an
// option this command does not know (the values of --step and --view are not options).
std::optional<int> answerOptions(const std::vector<std::string_view>& args) {
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (arg == "--help" || arg == "-h") {
            std::cout << kUsageLine << kHelp << std::flush;
            return 0;
        }
        if (arg == "--version") {
            std::cout << "vantrel-export " << vantrelVersion() << '\n' << std::flush;
            return 0;
        }
        if (arg == "--step" || arg == "--view") {
            ++i;
        } else if (!arg.empty() && arg.front() == '-') {
            std::cerr << "vantrel-export: unknown option '" << arg << "'\n"
                      << kUsageLine << "Try 'vantrel-export --help' for more information.\n"
                      << std::flush;
            return 2;
        }
    }
    return std::nullopt;
}

struct Request {
    std::string kind;
    std::filesystem::path input;
    std::filesystem::path output;
    int step = 1;
    ExportView view = ExportView::flat;
};

Result<Request> parse(const std::vector<std::string_view>& args) {
    using R = Result<Request>;
    if (args.size() < 4) return R::failure(std::string(kUsage));
    Request r;
    r.kind = args[1];
    if (r.kind != "png" && r.kind != "pdf" && r.kind != "mp4" && r.kind != "gif")
        return R::failure("未知的导出类型 " + r.kind + "；" + std::string(kUsage));
    r.input = std::string(args[2]);
    r.output = std::string(args[3]);
    for (std::size_t i = 4; i < args.size(); i += 2) {
        if (i + 1 >= args.size()) return R::failure(std::string(args[i]) + " 缺少取值；" + std::string(kUsage));
        const std::string_view option = args[i], value = args[i + 1];
        if (option == "--step") {
            const std::string text(value);
            char* end = nullptr;
            const long n = std::strtol(text.c_str(), &end, 10);
            if (text.empty() || *end != '\0' || n < 1 || n > 10000) return R::failure("--step 需为从 1 起的阶段序号");
            r.step = static_cast<int>(n);
        } else if (option == "--view") {
            if (value == "2d") r.view = ExportView::flat;
            else if (value == "3d") r.view = ExportView::perspective;
            else return R::failure("--view 需为 2d 或 3d");
        } else {
            return R::failure("未知的选项 " + std::string(option) + "；" + std::string(kUsage));
        }
    }
    return r;
}

Result<Tactic> readTactic(const std::filesystem::path& path) {
    auto text = readWholeFile(path, TacticJson::kMaxDocumentBytes);
    if (!text) return Result<Tactic>::failure(text.error());   // "找不到文件：…", "不是普通文件：…"
    std::size_t listedSteps = 0;
    auto decoded = TacticJson::decodeTactic(text.value(), &listedSteps);
    if (!decoded) return Result<Tactic>::failure("JSON 格式不正确（" + decoded.error() + "）");
    if (auto refused = admitTactic(decoded.value(), LongText::refuse, listedSteps)) return Result<Tactic>::failure(*refused);
    return decoded;
}

Status run(const Request& request) {
    // Writing over the tactic being read would destroy it; a link to it is the same file.
    if (sameFile(request.input, request.output))
        return Status::failure("输入与输出是同一个文件：" + request.output.string());
    auto tactic = readTactic(request.input);
    if (!tactic) return Status::failure(tactic.error());
    const int stepCount = static_cast<int>(tactic->steps.size());
    if (request.step > stepCount)
        return Status::failure("--step " + std::to_string(request.step) + " 超出阶段数 " + std::to_string(stepCount));

    if (request.kind == "png") {
        // The board laid out as on a 960 × 540 view, at twice the density.
        return writeBoardImage(stepScene(tactic.value(), request.step - 1, {}), request.view, QSizeF(960, 540), 2,
                               request.output);
    }
    if (request.kind == "pdf") return writeHandout(tactic.value(), {}, request.output);

    VideoSettings settings;
    settings.format = request.kind == "gif" ? VideoFormat::gif : VideoFormat::mp4;
    settings.view = request.view;
    auto written = writeVideo(tactic.value(), settings, request.output);
    if (!written) return Status::failure(written.error());
    return success();
}


// Standard error carries only the failure line: the toolkit's notes (such as a missing
// runtime directory on a headless machine) are dropped, its errors kept.
void quietToolkit(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg) std::cerr << message.toStdString() << '\n';
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string_view> args(argv, argv + argc);
    if (auto status = answerOptions(args)) return *status;
    auto request = parse(args);
    if (!request) {
        std::cerr << "Export failed: " << request.error() << '\n';
        return 1;
    }
    // Painting needs a toolkit but never a display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quietToolkit);
    PendingFile::removeOnSignals();   // SIGINT or SIGTERM leave no hidden temporary file
    QGuiApplication app(argc, argv);
    const Status done = run(request.value());
    if (!done) {
        std::cerr << "Export failed: " << done.error() << '\n';
        return 1;
    }
    return 0;
}

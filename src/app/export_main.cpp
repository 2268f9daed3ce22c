// SPDX-License-Identifier: GPL-3.0-or-later
// vantrel-export: a tactic file to an image, a handout or a video, without a window (the
// arguments and the input are read in export_request.h). The tactic is read with the
// same decoder and checks as an import. N counts steps from 1 (default 1) and picks the
// step of a PNG; a PNG is 1920 × 1080. Success prints nothing
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

#include "core/library/export_request.h"
#include "ui/export/job_sheets.h"
#include "ui/export/pending_file.h"
#include "ui/export/still_export.h"
#include "ui/export/video_export.h"

namespace {

using namespace vantrel;

Status run(const ExportRequest& request) {
    auto tactics = readExportTactics(request);
    if (!tactics) return Status::failure(tactics.error());
    const Tactic& tactic = tactics->front();
    const ExportView view = request.perspective ? ExportView::perspective : ExportView::flat;
    SceneDisplay display;
    display.showMoves = request.arrows;
    if (request.kind == "png") {
        // The board laid out as on a 960 × 540 view, at twice the density times the scale.
        return writeBoardImage(stepScene(tactic, request.step - 1, display), view, QSizeF(960, 540),
                               2.0 * request.scale, request.output);
    }
    if (request.kind == "svg") return writeBoardVector(stepScene(tactic, request.step - 1, display), view, QSizeF(960, 540), request.output);
    if (request.kind == "pdf") return writeHandout(tactics.value(), display, request.output);
    if (request.kind == "jobs") {
        auto sheets = writeJobSheets(tactic, display, request.output);
        if (!sheets) return Status::failure(sheets.error());
        return success();
    }

    VideoSettings settings;
    settings.format = request.kind == "gif" ? VideoFormat::gif : VideoFormat::mp4;
    settings.view = view;
    settings.display = display;
    auto written = writeVideo(tactic, settings, request.output);
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
    if (auto status = answerExportOptions(args, std::cout, std::cerr)) return *status;
    auto request = parseExportRequest(args);
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

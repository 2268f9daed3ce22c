// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPointer>
#include <QSizeF>
#include <QString>

#include <filesystem>
#include <functional>
#include <vector>
#include <optional>

#include "core/store/board_store.h"
#include "ui/export/export_frame.h"

class QWidget;

namespace vantrel {

enum class ExportKind { image, handout, video, jobSheets };

// Asks where an export goes, proposing a file name with its suffix; absent when the user
// cancels. The window asks with a file dialog; tests answer without one.
using ExportPathChooser = std::function<std::optional<std::filesystem::path>(ExportKind kind, const QString& proposedName)>;

// The file dialog for an export: PNG, PDF, or MP4 and GIF, or a folder for the job
// sheets; Qt's own dialog on the offscreen platform. The chosen filter's suffix is added
// to a bare name.
std::optional<std::filesystem::path> chooseExportPath(QWidget* parent, ExportKind kind, const QString& proposedName);

// The workspace's export commands: the current step as an image, the handout, the
// playback as a video. Each writes through a pending file and reports on the store's
// status line, "已导出：" and the file's name, or "导出失败：" and the reason.
class ExportCommands : public QObject {
    Q_OBJECT
public:
    // `view` and `viewSize` tell how the board is shown now: its mode and its size in points.
    ExportCommands(BoardStore& store, QWidget* window, std::function<ExportView()> view, std::function<QSizeF()> viewSize);

    void setPathChooser(ExportPathChooser chooser) { chooser_ = std::move(chooser); }

    void exportImage();     // "导出图片…": the current step at twice the view's size
    void exportHandout();   // "导出讲义 PDF…"
    // One handout of several tactics, in this order.
    void exportHandout(const std::vector<Tactic>& tactics);
    void exportVideo();     // "导出视频…": MP4, or GIF when the name ends in .gif
    // "每名球员的任务单…": a PDF for each player of the coach's team, into a folder.
    void exportJobSheets();

private:
    std::optional<std::filesystem::path> choose(ExportKind kind, const QString& proposedName);
    void report(const std::filesystem::path& path, const std::string& failure);

    BoardStore& store_;
    QPointer<QWidget> window_;
    std::function<ExportView()> view_;
    std::function<QSizeF()> viewSize_;
    ExportPathChooser chooser_;
};

}  // namespace vantrel

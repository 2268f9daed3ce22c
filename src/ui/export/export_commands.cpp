// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/export/export_commands.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QProgressDialog>

#include <cmath>

#include "ui/export/job_sheets.h"
#include "ui/export/still_export.h"
#include "ui/export/video_export.h"

namespace vantrel {

namespace {

// What the board shows besides the steps, as an export repeats it.
ExportDisplay displayOf(const BoardStore& store) {
    return {store.showVision(), store.showOffside(), store.showInterceptionRisk(), false};
}

std::filesystem::path toPath(const QString& path) { return std::filesystem::path(QFile::encodeName(path).toStdString()); }

// A file name must not carry a path separator; the rest of the tactic's name is kept.
QString safeName(const std::string& name) {
    QString s = QString::fromStdString(name).trimmed();
    s.replace(u'/', u'-');
    return s.isEmpty() ? QStringLiteral("战术") : s;
}

}  // namespace

std::optional<std::filesystem::path> chooseExportPath(QWidget* parent, ExportKind kind, const QString& proposedName) {
    QStringList filters;
    QString title;
    switch (kind) {
        case ExportKind::image: title = QStringLiteral("导出图片"), filters << QStringLiteral("PNG 图片 (*.png)"); break;
        case ExportKind::handout: title = QStringLiteral("导出讲义 PDF"), filters << QStringLiteral("PDF 文档 (*.pdf)"); break;
        case ExportKind::video:
            title = QStringLiteral("导出视频");
            filters << QStringLiteral("MP4 视频 (*.mp4)") << QStringLiteral("GIF 动图 (*.gif)");
            break;
        case ExportKind::jobSheets: {
            QFileDialog folder(parent, QStringLiteral("选择任务单的文件夹"));
            folder.setFileMode(QFileDialog::Directory);
            folder.setOption(QFileDialog::ShowDirsOnly);
            if (QGuiApplication::platformName() == QStringLiteral("offscreen")) folder.setOption(QFileDialog::DontUseNativeDialog);
            if (folder.exec() != QDialog::Accepted || folder.selectedFiles().isEmpty()) return std::nullopt;
            return toPath(folder.selectedFiles().constFirst());
        }
    }
    QFileDialog dialog(parent, title, QString(), filters.join(QStringLiteral(";;")));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    if (QGuiApplication::platformName() == QStringLiteral("offscreen")) dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setDefaultSuffix(QFileInfo(proposedName).suffix());
    dialog.selectFile(proposedName);
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& filter) {
        dialog.setDefaultSuffix(filter.contains(QStringLiteral("*.gif")) ? QStringLiteral("gif") : QStringLiteral("mp4"));
    });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return toPath(dialog.selectedFiles().constFirst());
}

ExportCommands::ExportCommands(BoardStore& store, QWidget* window, std::function<ExportView()> view,
                               std::function<QSizeF()> viewSize)
    : QObject(window), store_(store), window_(window), view_(std::move(view)), viewSize_(std::move(viewSize)) {}

std::optional<std::filesystem::path> ExportCommands::choose(ExportKind kind, const QString& proposedName) {
    if (chooser_) return chooser_(kind, proposedName);
    return chooseExportPath(window_, kind, proposedName);
}

void ExportCommands::report(const std::filesystem::path& path, const std::string& failure) {
    store_.reportStatus(failure.empty() ? "已导出：" + path.filename().string() : "导出失败：" + failure);
}

void ExportCommands::exportImage() {
    const BoardStep* step = store_.currentStep();
    if (!step) return;
    const auto path = choose(ExportKind::image, QStringLiteral("%1 阶段 %2.png").arg(safeName(store_.tactic().name)).arg(store_.stepIndex() + 1));
    if (!path) return;
    QSizeF size = viewSize_ ? viewSize_() : QSizeF();
    if (size.width() < 1 || size.height() < 1) size = QSizeF(960, 540);
    // The step as it stands, without the selection or a running animation.
    const BoardScene scene = stepScene(store_.tactic(), store_.stepIndex(), displayOf(store_));
    const Status written = writeBoardImage(scene, view_ ? view_() : ExportView::flat, size, 2, *path);
    report(*path, written ? std::string() : written.error());
}

void ExportCommands::exportHandout() {
    const auto path = choose(ExportKind::handout, safeName(store_.tactic().name) + QStringLiteral(".pdf"));
    if (!path) return;
    const Status written = writeHandout({store_.tactic()}, displayOf(store_), *path);
    report(*path, written ? std::string() : written.error());
}

void ExportCommands::exportHandout(const std::vector<Tactic>& tactics) {
    if (tactics.empty()) return;
    const QString first = safeName(tactics.front().name);
    const auto path = choose(ExportKind::handout, tactics.size() == 1 ? first + QStringLiteral(".pdf")
                                                                       : QStringLiteral("%1 等 %2 个战术.pdf").arg(first).arg(tactics.size()));
    if (!path) return;
    const Status written = writeHandout(tactics, displayOf(store_), *path);
    report(*path, written ? std::string() : written.error());
}

void ExportCommands::exportJobSheets() {
    const auto folder = choose(ExportKind::jobSheets, safeName(store_.tactic().name) + QStringLiteral(" 任务单"));
    if (!folder) return;
    const auto written = writeJobSheets(store_.tactic(), displayOf(store_), *folder);
    if (!written) return report(*folder, written.error());
    store_.reportStatus("已导出 " + std::to_string(written->size()) + " 份任务单：" + folder->filename().string());
}

void ExportCommands::exportVideo() {
    auto path = choose(ExportKind::video, safeName(store_.tactic().name) + QStringLiteral(".mp4"));
    if (!path) return;
    VideoSettings settings;
    const std::string suffix = path->extension().string();
    settings.format = (suffix == ".gif" || suffix == ".GIF") ? VideoFormat::gif : VideoFormat::mp4;
    if (suffix.empty()) path->replace_extension(".mp4");
    settings.view = view_ ? view_() : ExportView::flat;
    settings.display = displayOf(store_);

    QProgressDialog dialog(QStringLiteral("正在导出视频…"), QStringLiteral("取消"), 0, 1000, window_);
    dialog.setWindowTitle(QStringLiteral("导出视频"));
    dialog.setAccessibleName(QStringLiteral("导出视频"));
    dialog.setWindowModality(Qt::WindowModal);
    dialog.setMinimumDuration(0);
    dialog.setAutoClose(false);
    dialog.setAutoReset(false);
    dialog.setValue(0);
    QElapsedTimer clock;
    clock.start();
    const auto written = writeVideo(store_.tactic(), settings, *path, [&](double fraction) {
        dialog.setValue(static_cast<int>(std::lround(fraction * 1000)));
        // The estimate: the time taken so far, scaled to what remains.
        if (fraction > 0.02) {
            const double left = clock.elapsed() / 1000.0 * (1 - fraction) / fraction;
            dialog.setLabelText(QStringLiteral("正在导出视频… 预计还需 %1 秒").arg(std::max(1, static_cast<int>(std::ceil(left)))));
        }
        QCoreApplication::processEvents();
        return !dialog.wasCanceled();
    });
    dialog.close();
    if (!written) {
        report(*path, written.error());
        return;
    }
    if (written->cancelled) {
        store_.reportStatus("已取消导出视频");
        return;
    }
    report(*path, {});
}

}  // namespace vantrel

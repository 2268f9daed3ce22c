// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/platform/qt_platform.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>
#include <QWidget>

#include "ui/platform/display_refresh_clock.h"
#include "ui/platform/qt_one_shot_timer.h"

namespace vantrel {

namespace {

const QString kJsonFilter = QStringLiteral("JSON (*.json)");

// File names are bytes on Linux; QFile::encodeName gives back exactly the bytes the
// dialog's text stands for.
std::filesystem::path toPath(const QString& path) { return std::filesystem::path(QFile::encodeName(path).toStdString()); }

}  // namespace

QString withJsonSuffix(const QString& name) {
    if (name.isEmpty() || name.endsWith(QStringLiteral(".json"), Qt::CaseInsensitive)) return name;
    return name.endsWith(u'.') ? name + QStringLiteral("json") : name + QStringLiteral(".json");
}

QtPlatform::QtPlatform(QWidget* window) : dialogParent_(window), refreshWidget_(window) {}

std::unique_ptr<FrameClock> QtPlatform::makeFrameClock() {
    if (refreshWidget_) return std::make_unique<DisplayRefreshClock>(refreshWidget_.data());
    return std::make_unique<DisplayRefreshClock>();
}

std::unique_ptr<OneShotTimer> QtPlatform::makeOneShotTimer() { return std::make_unique<QtOneShotTimer>(); }

QString QtPlatform::startDirectory() const {
    if (!lastDirectory_.isEmpty() && QFileInfo(lastDirectory_).isDir()) return lastDirectory_;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!documents.isEmpty() && QFileInfo(documents).isDir()) return documents;
    return QDir::homePath();
}

std::optional<std::filesystem::path> QtPlatform::chooseJsonFileToOpen() {
    QFileDialog dialog(dialogParent_, QStringLiteral("导入战术"), startDirectory(), kJsonFilter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    const QString chosen = dialog.selectedFiles().constFirst();
    lastDirectory_ = QFileInfo(chosen).absolutePath();
    return toPath(chosen);
}

std::optional<std::filesystem::path> QtPlatform::chooseJsonFileToSave(std::string_view proposedName) {
    QString directory = startDirectory();
    QString name = withJsonSuffix(QString::fromUtf8(proposedName.data(), static_cast<qsizetype>(proposedName.size())));
    for (;;) {
        QFileDialog dialog(dialogParent_, QStringLiteral("导出战术"), directory, kJsonFilter);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        // Qt's own dialog appends the suffix to a bare name before it asks whether to
        // replace an existing file; the check below covers dialogs that do not.
        dialog.setDefaultSuffix(QStringLiteral("json"));
        if (!name.isEmpty()) dialog.selectFile(name);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;

        const QString chosen = dialog.selectedFiles().constFirst();
        const QString path = withJsonSuffix(chosen);
        if (path != chosen && QFileInfo::exists(path)) {
            // The replace question, if any, was about the name without ".json". Show the
            // dialog again on the real name so the user confirms replacing that file.
            directory = QFileInfo(path).absolutePath();
            name = QFileInfo(path).fileName();
            continue;
        }
        lastDirectory_ = QFileInfo(path).absolutePath();
        return toPath(path);
    }
}

}  // namespace vantrel

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIODevice>

#include <filesystem>
#include <memory>

#include "core/model/result.h"

namespace vantrel {

// An export's output while it is being written: a hidden temporary file in the target's
// folder, renamed over the target by `commit`. Until then the target is untouched; a
// pending file dropped without a commit (a cancel, a failure) is removed, so an export
// leaves either the complete file or nothing.
class PendingFile {
public:
    static Result<PendingFile> create(const std::filesystem::path& target);

    PendingFile(PendingFile&& other) noexcept;
    PendingFile& operator=(PendingFile&&) = delete;
    PendingFile(const PendingFile&) = delete;
    ~PendingFile();

    // Where the writer writes.
    const std::filesystem::path& path() const { return temporary_; }
    const std::filesystem::path& target() const { return target_; }
    // Makes the written file durable (fsync), checks that it holds something, and only
    // then renames it over the target and flushes the folder.
    Status commit();

    // A device over the temporary file for Qt's writers (QImageWriter, QPdfWriter), which
    // do not report every failed write: the device remembers the first one. Only one per
    // pending file; `finish` it before `commit`.
    class Device;
    Result<std::unique_ptr<Device>> open();

    // Installs SIGINT and SIGTERM handlers that remove every pending temporary file of the
    // process and then end it as the signal would have.
    static void removeOnSignals();

private:
    PendingFile(std::filesystem::path target, std::filesystem::path temporary);

    std::filesystem::path target_;
    std::filesystem::path temporary_;   // empty once committed or moved from
    int slot_ = -1;                     // in the signal handler's list, or -1
};

class PendingFile::Device final : public QIODevice {
public:
    explicit Device(int fd);
    ~Device() override;

    // Writes what is buffered, fsyncs and closes; the first failure of any write, in the
    // words of the status line ("磁盘空间不足").
    Status finish(const std::filesystem::path& target);

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override;

private:
    bool drain();

    int fd_;
    int error_ = 0;   // errno of the first failed write
    QByteArray buffer_;
};

}  // namespace vantrel

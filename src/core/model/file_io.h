// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

#include "core/model/result.h"

namespace vantrel {

// Writes `bytes` to `path` atomically: into a temporary file beside it, flushed, then
// renamed over the target. An existing file is either fully replaced or left as it was,
// and no temporary file survives a failure.
Status writeFileAtomically(const std::filesystem::path& path, std::string_view bytes);

// Whether both paths name one existing file (device and inode, after symbolic links).
bool sameFile(const std::filesystem::path& a, const std::filesystem::path& b);

// Makes a rename in `folder` durable (fsync of the folder); failures are ignored.
void syncFolder(const std::filesystem::path& folder);

// Reads a whole regular file of at most `maxBytes` bytes. A failure names the cause first:
// "找不到文件：PATH", "不是普通文件：PATH" (a folder, a FIFO, a device), "文件过大：PATH".
Result<std::string> readWholeFile(const std::filesystem::path& path, std::size_t maxBytes);

// The cause of a failed file operation in the words of the status line: "找不到文件",
// "不是普通文件", "磁盘空间不足", "文件过大", "没有权限", … (else the system's text).
std::string fileErrorText(int error);
std::string readFailure(const std::filesystem::path& path, int error);    // "找不到文件：PATH"
std::string writeFailure(const std::filesystem::path& path, int error);   // "无法写入 PATH：磁盘空间不足"

}  // namespace vantrel

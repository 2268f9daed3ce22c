// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/model/file_io.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace vantrel {

namespace {


bool writeAll(int fd, std::string_view bytes) {
    std::size_t written = 0;
    while (written < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        written += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

Status writeFileAtomically(const std::filesystem::path& path, std::string_view bytes) {
    if (path.empty()) return Status::failure("cannot write an empty path");
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec))
        return Status::failure(writeFailure(path, EISDIR));

    std::filesystem::path directory = path.parent_path();
    if (directory.empty()) directory = ".";
    // Appended rather than written as "." + name: g++ 12 at -O3 warns falsely (-Wrestrict,
    // GCC bug 105651) about the insert at the front that `const char* + std::string&&` makes.
    std::string leaf = ".";
    leaf += path.filename().string();
    leaf += ".XXXXXX";
    std::string pattern = (directory / leaf).string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');

    int fd = ::mkstemp(name.data());
    if (fd < 0) return Status::failure(writeFailure(path, errno));
    const std::string temporary(name.data());

    // mkstemp creates 0600; a exported file should carry the usual permissions.
    mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);

    int failure = 0;
    if (!writeAll(fd, bytes) || ::fsync(fd) != 0) failure = errno;
    if (::close(fd) != 0 && failure == 0) failure = errno;
    if (failure == 0 && ::rename(temporary.c_str(), path.c_str()) != 0) failure = errno;
    if (failure != 0) {
        ::unlink(temporary.c_str());
        return Status::failure(writeFailure(path, failure));
    }
    syncFolder(directory);
    return success();
}

bool sameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
    struct stat sa {}, sb {};
    if (::stat(a.c_str(), &sa) != 0 || ::stat(b.c_str(), &sb) != 0) return false;
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

void syncFolder(const std::filesystem::path& folder) {
    // The rename is durable only once the folder's entry is; a failure here leaves the
    // new file in place, so it is not reported.
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

Result<std::string> readWholeFile(const std::filesystem::path& path, std::size_t maxBytes) {
    using R = Result<std::string>;
    // Opened without blocking, so a FIFO (or a device) is refused by the check below rather
    // than waiting for a writer; the type is read from the descriptor itself, so nothing can
    // be swapped in between the check and the read.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return R::failure(readFailure(path, errno));
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        const int error = errno;
        ::close(fd);
        return R::failure(readFailure(path, error));
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        return R::failure(readFailure(path, S_ISDIR(st.st_mode) ? EISDIR : ENODEV));
    }
    if (static_cast<std::uint64_t>(st.st_size) > maxBytes) {
        ::close(fd);
        return R::failure(readFailure(path, EFBIG));
    }
    std::string text;
    text.resize(static_cast<std::size_t>(st.st_size));
    std::size_t done = 0;
    int failure = 0;
    for (;;) {
        // One byte more than the file said, to notice a file that grew.
        if (done == text.size()) {
            if (text.size() >= maxBytes + 1) break;
            text.resize(std::min<std::size_t>(maxBytes + 1, text.size() + 65536));
        }
        const ssize_t n = ::read(fd, text.data() + done, text.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            failure = errno;
            break;
        }
        if (n == 0) break;
        done += static_cast<std::size_t>(n);
    }
    ::close(fd);
    if (failure != 0) return R::failure(readFailure(path, failure));
    if (done > maxBytes) return R::failure(readFailure(path, EFBIG));
    text.resize(done);
    return text;
}

std::string fileErrorText(int error) {
    switch (error) {
        case ENOENT: return "找不到文件";
        case EISDIR:
        case ENODEV: return "不是普通文件";
        case ENOSPC:
        case EDQUOT: return "磁盘空间不足";
        case EFBIG: return "文件过大";
        case EACCES:
        case EPERM: return "没有权限";
        case EROFS: return "磁盘只读";
        case EIO: return "读写出错";
        default: return std::strerror(error);
    }
}

std::string readFailure(const std::filesystem::path& path, int error) {
    return fileErrorText(error) + "：" + path.string();
}

std::string writeFailure(const std::filesystem::path& path, int error) {
    return "无法写入 " + path.string() + "：" + fileErrorText(error);
}

}  // namespace vantrel

#include "ui/export/pending_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace vantrel {

namespace {

std::string describe(const std::filesystem::path& path, int error) {
    return "无法写入 " + path.string() + "：" + std::strerror(error);
}

}  // namespace

Result<PendingFile> PendingFile::create(const std::filesystem::path& target) {
    if (target.empty() || !target.has_filename()) return Result<PendingFile>::failure(describe(target, EISDIR));
    std::error_code ec;
    if (std::filesystem::is_directory(target, ec)) return Result<PendingFile>::failure(describe(target, EISDIR));

    std::filesystem::path directory = target.parent_path();
    if (directory.empty()) directory = ".";
    // Appended rather than "." + name: g++ 12 warns falsely (-Wrestrict, GCC bug 105651)
    // about the insert at the front that `const char* + std::string&&` makes.
    std::string hidden = ".";
    hidden += target.filename().string();
    hidden += ".XXXXXX";
    const std::string pattern = (directory / hidden).string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = ::mkstemp(name.data());
    if (fd < 0) return Result<PendingFile>::failure(describe(target, errno));
    // mkstemp creates 0600; an exported file carries the usual permissions.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    ::close(fd);
    return PendingFile(target, std::filesystem::path(name.data()));
}

PendingFile::PendingFile(PendingFile&& other) noexcept
    : target_(std::move(other.target_)), temporary_(std::move(other.temporary_)) {
    other.temporary_.clear();
}

PendingFile::~PendingFile() {
    if (!temporary_.empty()) ::unlink(temporary_.c_str());
}

Status PendingFile::commit() {
    if (temporary_.empty()) return Status::failure(describe(target_, EBADF));
    if (::rename(temporary_.c_str(), target_.c_str()) != 0) {
        const int error = errno;
        ::unlink(temporary_.c_str());
        temporary_.clear();
        return Status::failure(describe(target_, error));
    }
    temporary_.clear();
    return success();
}

}  // namespace vantrel

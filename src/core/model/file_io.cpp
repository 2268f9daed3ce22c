#include "core/model/file_io.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <vector>
#include <sstream>

namespace vantrel {

namespace {

std::string describe(const std::string& what, const std::filesystem::path& path, int error) {
    return what + " " + path.string() + ": " + std::strerror(error);
}

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
        return Status::failure(describe("cannot write", path, EISDIR));

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
    if (fd < 0) return Status::failure(describe("cannot write", path, errno));
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
        return Status::failure(describe("cannot write", path, failure));
    }
    return success();
}

Result<std::string> readWholeFile(const std::filesystem::path& path, std::size_t maxBytes) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
        return Result<std::string>::failure(describe("cannot read", path, ec ? ec.value() : EISDIR));
    auto size = std::filesystem::file_size(path, ec);
    if (ec) return Result<std::string>::failure(describe("cannot read", path, ec.value()));
    if (size > maxBytes) return Result<std::string>::failure(describe("cannot read", path, EFBIG));
    std::ifstream in(path, std::ios::binary);
    if (!in) return Result<std::string>::failure(describe("cannot read", path, errno ? errno : EIO));
    std::ostringstream buffer;
    buffer << in.rdbuf();
    if (in.bad()) return Result<std::string>::failure(describe("cannot read", path, EIO));
    std::string text = buffer.str();
    if (text.size() > maxBytes) return Result<std::string>::failure(describe("cannot read", path, EFBIG));
    return text;
}

}  // namespace vantrel

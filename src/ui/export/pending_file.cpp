// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/export/pending_file.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <climits>
#include <string>
#include <vector>

#include "core/model/file_io.h"

namespace vantrel {

namespace {

// The temporary files being written, for the signal handler: it may only read plain
// memory and call unlink. A slot is claimed, filled and then published; the handler
// reads published slots only.
struct Slot {
    std::atomic<int> state{0};   // 0 free, 1 being filled, 2 published
    char path[PATH_MAX];
};
constexpr int kSlots = 16;
Slot pendingSlots[kSlots];

int publish(const std::string& path) {
    if (path.size() >= PATH_MAX) return -1;
    for (int i = 0; i < kSlots; ++i) {
        int expected = 0;
        if (!pendingSlots[i].state.compare_exchange_strong(expected, 1)) continue;
        std::memcpy(pendingSlots[i].path, path.c_str(), path.size() + 1);
        pendingSlots[i].state.store(2);
        return i;
    }
    return -1;   // more exports at once than slots: that one is not cleaned on a signal
}

void release(int& slot) {
    if (slot >= 0) pendingSlots[slot].state.store(0);
    slot = -1;
}

extern "C" void removePendingAndExit(int signal) {
    for (auto& slot : pendingSlots)
        if (slot.state.load() == 2) ::unlink(slot.path);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

}  // namespace

void PendingFile::removeOnSignals() {
    struct sigaction action {};
    action.sa_handler = removePendingAndExit;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
}

PendingFile::PendingFile(std::filesystem::path target, std::filesystem::path temporary)
    : target_(std::move(target)), temporary_(std::move(temporary)), slot_(publish(temporary_.string())) {}

Result<PendingFile> PendingFile::create(const std::filesystem::path& target) {
    if (target.empty() || !target.has_filename()) return Result<PendingFile>::failure(writeFailure(target, EISDIR));
    std::error_code ec;
    if (std::filesystem::is_directory(target, ec)) return Result<PendingFile>::failure(writeFailure(target, EISDIR));

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
    if (fd < 0) return Result<PendingFile>::failure(writeFailure(target, errno));
    // mkstemp creates 0600; an exported file carries the usual permissions.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    ::close(fd);
    return PendingFile(target, std::filesystem::path(name.data()));
}

PendingFile::PendingFile(PendingFile&& other) noexcept
    : target_(std::move(other.target_)), temporary_(std::move(other.temporary_)), slot_(other.slot_) {
    other.temporary_.clear();
    other.slot_ = -1;
}

PendingFile::~PendingFile() {
    if (!temporary_.empty()) ::unlink(temporary_.c_str());
    release(slot_);
}

Result<std::unique_ptr<PendingFile::Device>> PendingFile::open() {
    using R = Result<std::unique_ptr<Device>>;
    const int fd = ::open(temporary_.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0) return R::failure(writeFailure(target_, errno));
    return std::make_unique<Device>(fd);
}

Status PendingFile::commit() {
    if (temporary_.empty()) return Status::failure(writeFailure(target_, EBADF));
    auto fail = [this](int error) {
        ::unlink(temporary_.c_str());
        temporary_.clear();
        release(slot_);
        return Status::failure(writeFailure(target_, error));
    };
    // Whatever wrote the file (a Device, an encoder) has closed it; this makes its blocks
    // durable before the name moves, so a crash never leaves a target of zeros.
    const int fd = ::open(temporary_.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return fail(errno);
    struct stat st {};
    int error = 0;
    if (::fstat(fd, &st) != 0 || ::fsync(fd) != 0) error = errno;
    ::close(fd);
    if (error != 0) return fail(error);
    if (st.st_size == 0) return fail(EIO);   // a writer that wrote nothing did not succeed
    if (::rename(temporary_.c_str(), target_.c_str()) != 0) return fail(errno);
    temporary_.clear();
    release(slot_);
    syncFolder(target_.parent_path());
    return success();
}

// --- Device ----------------------------------------------------------------------------

namespace {
// Writes reach the file in pieces of this many bytes: Qt's writers hand over many small
// strings, and each write must still be checked.
constexpr qsizetype kBufferBytes = 256 * 1024;
}  // namespace

PendingFile::Device::Device(int fd) : fd_(fd) {
    buffer_.reserve(kBufferBytes);
    QIODevice::open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

PendingFile::Device::~Device() {
    if (fd_ >= 0) ::close(fd_);
}

bool PendingFile::Device::drain() {
    qsizetype written = 0;
    while (error_ == 0 && written < buffer_.size()) {
        const ssize_t n = ::write(fd_, buffer_.constData() + written, static_cast<std::size_t>(buffer_.size() - written));
        if (n < 0) {
            if (errno == EINTR) continue;
            error_ = errno;
        } else {
            written += n;
        }
    }
    buffer_.clear();
    return error_ == 0;
}

qint64 PendingFile::Device::writeData(const char* data, qint64 size) {
    if (error_ != 0 || fd_ < 0) return -1;
    buffer_.append(data, static_cast<qsizetype>(size));
    if (buffer_.size() >= kBufferBytes && !drain()) return -1;
    return size;
}

Status PendingFile::Device::finish(const std::filesystem::path& target) {
    if (fd_ < 0) return Status::failure(writeFailure(target, EBADF));
    drain();
    if (error_ == 0 && ::fsync(fd_) != 0) error_ = errno;
    if (::close(fd_) != 0 && error_ == 0) error_ = errno;
    fd_ = -1;
    QIODevice::close();
    if (error_ != 0) return Status::failure(writeFailure(target, error_));
    return success();
}

}  // namespace vantrel

// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/platform/file_library_storage.h"

#include "core/model/file_io.h"
#include "core/model/tactic_json.h"

#include <chrono>

namespace vantrel {

namespace {

// Large enough for any library a coach could have kept, so that an oversized one is
// still read and kept aside rather than lost; start-up refuses it when decoding.
constexpr std::size_t kReadLimitBytes = std::size_t{1} << 30;

Status ensureFolder(const std::filesystem::path& folder) {
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec) return Status::failure("cannot create " + folder.string() + ": " + ec.message());
    return success();
}

Result<std::optional<std::string>> readVersionsFile(const std::filesystem::path& path) {
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) return std::optional<std::string>();
    auto text = readWholeFile(path, TacticJson::kMaxDocumentBytes);
    if (!text) return Result<std::optional<std::string>>::failure(text.error());
    return std::optional<std::string>(std::move(text).value());
}

}  // namespace

FileLibraryStorage::FileLibraryStorage(std::filesystem::path folder, PreferenceStore& legacy, Post post)
    : folder_(std::move(folder)), legacy_(legacy), post_(std::move(post)) {}

FileLibraryStorage::~FileLibraryStorage() {
    flush();
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    if (writer_.joinable()) writer_.join();
}

std::filesystem::path FileLibraryStorage::unreadableFile(int index) const {
    return folder_ / ("own-tactics.unreadable-" + std::to_string(index + 1) + ".json");
}

void FileLibraryStorage::removeStaleTemporaries() {
    // A write killed part-way leaves ".own-tactics.json.XXXXXX" (or the same of a kept
    // copy, or ".recovery.json.XXXXXX") beside the library. One older than a minute belongs
    // to no write under way: a write takes seconds, and the writer thread starts after this.
    std::error_code ec;
    const auto now = std::filesystem::file_time_type::clock::now();
    for (const auto& folder : {folder_, folder_ / "versions"}) {
        const bool versions = folder != folder_;
        for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
            const std::string name = it->path().filename().string();
            const bool ours = (versions || name.starts_with(".own-tactics") || name.starts_with(".recovery.json")) &&
                              name.starts_with(".") && name.size() > 7 && name[name.size() - 7] == '.' &&
                              name.find(".json.") != std::string::npos;
            if (!ours || !it->is_regular_file(ec)) continue;
            const auto written = it->last_write_time(ec);
            if (ec || now - written < std::chrono::minutes(1)) continue;
            std::filesystem::remove(it->path(), ec);
        }
        ec.clear();
    }
}

Result<std::optional<std::string>> FileLibraryStorage::read() {
    removeStaleTemporaries();
    std::error_code ec;
    if (std::filesystem::exists(file(), ec)) {
        // Start-up would refuse it anyway: it is kept aside by renaming, never read into
        // memory nor copied.
        if (const auto size = std::filesystem::file_size(file(), ec); !ec && size > TacticJson::kMaxDocumentBytes) {
            if (Status kept = keepAside(file()); !kept) return Result<std::optional<std::string>>::failure(kept.error());
            movedAside_ = true;
            return std::optional<std::string>();
        }
        auto text = readWholeFile(file(), kReadLimitBytes);
        if (!text) return Result<std::optional<std::string>>::failure(text.error());
        return std::optional<std::string>(std::move(text).value());
    }
    auto stored = legacy_.data(kImportedTacticsKey);
    if (!stored) return std::optional<std::string>();
    // Moved once: the preference goes only after the file holds the same bytes, so a
    // failure here leaves the library where it was and the next start tries again.
    if (ensureFolder(folder_) && writeFileAtomically(file(), *stored)) legacy_.remove(kImportedTacticsKey);
    if (auto kept = legacy_.data(kUnreadableTacticsKey); kept && keepUnreadable(*kept))
        legacy_.remove(kUnreadableTacticsKey);
    return stored;
}

void FileLibraryStorage::startWriter() {
    if (!writer_.joinable()) writer_ = std::thread([this] { run(); });
}

void FileLibraryStorage::save(LibraryDocument document, std::function<void(Status)> done) {
    {
        std::lock_guard lock(mutex_);
        waiting_ = Job{std::move(document), std::move(done)};
        startWriter();
    }
    changed_.notify_all();
}

void FileLibraryStorage::run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return stopping_ || waiting_ || recoveryWaiting_ || !versionsWaiting_.empty(); });
        if (!waiting_ && !recoveryWaiting_ && versionsWaiting_.empty()) return;   // stopping with nothing left
        if (!waiting_ && !versionsWaiting_.empty()) {
            auto node = versionsWaiting_.extract(versionsWaiting_.begin());
            busy_ = true;
            lock.unlock();
            writeVersions(node.key(), node.mapped());
            node = {};
            lock.lock();
            busy_ = false;
            changed_.notify_all();
            continue;
        }
        if (!waiting_) {
            RecoveryJob job = std::move(*recoveryWaiting_);
            recoveryWaiting_.reset();
            busy_ = true;
            lock.unlock();
            writeRecovery(job);
            job = {};   // the tactic it holds is released off the main thread too
            lock.lock();
            busy_ = false;
            changed_.notify_all();
            continue;
        }
        Job job = std::move(*waiting_);
        waiting_.reset();
        busy_ = true;
        lock.unlock();

        Status outcome = ensureFolder(folder_);
        if (outcome) outcome = writeFileAtomically(file(), job.document.text());
        job.document.entries.clear();   // the pieces are released off the main thread

        lock.lock();
        busy_ = false;
        last_ = outcome;
        // A newer save already waits: it will speak for the library.
        if (!waiting_ && job.done && post_) post_([done = std::move(job.done), outcome] { done(outcome); });
        changed_.notify_all();
    }
}

Status FileLibraryStorage::flush() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !waiting_ && !recoveryWaiting_ && versionsWaiting_.empty() && !busy_; });
    return last_;
}

Status FileLibraryStorage::shiftUnreadable() {
    if (Status made = ensureFolder(folder_); !made) return made;
    std::error_code ec;
    std::filesystem::remove(unreadableFile(kKeptUnreadableCopies - 1), ec);
    for (int i = kKeptUnreadableCopies - 1; i > 0; --i) {
        if (!std::filesystem::exists(unreadableFile(i - 1), ec)) continue;
        std::filesystem::rename(unreadableFile(i - 1), unreadableFile(i), ec);
        if (ec) return Status::failure("cannot keep " + unreadableFile(i).string() + ": " + ec.message());
    }
    return success();
}

Status FileLibraryStorage::keepUnreadable(std::string_view bytes) {
    if (Status shifted = shiftUnreadable(); !shifted) return shifted;
    return writeFileAtomically(unreadableFile(0), bytes);
}

Status FileLibraryStorage::keepAside(const std::filesystem::path& path) {
    if (Status shifted = shiftUnreadable(); !shifted) return shifted;
    std::error_code ec;
    std::filesystem::rename(path, unreadableFile(0), ec);
    if (ec) return Status::failure("cannot keep " + unreadableFile(0).string() + ": " + ec.message());
    syncFolder(folder_);
    return success();
}

int FileLibraryStorage::unreadableCount() {
    std::error_code ec;
    int count = 0;
    while (count < kKeptUnreadableCopies && std::filesystem::exists(unreadableFile(count), ec)) ++count;
    return count;
}

std::optional<std::string> FileLibraryStorage::unreadableCopy(int index) {
    if (index < 0 || index >= kKeptUnreadableCopies) return std::nullopt;
    auto text = readWholeFile(unreadableFile(index), kReadLimitBytes);
    if (!text) return std::nullopt;
    return std::move(text).value();
}

Result<std::optional<std::string>> FileLibraryStorage::readRecovery() {
    std::error_code ec;
    if (!std::filesystem::exists(recoveryFile(), ec)) return std::optional<std::string>();
    // A journal holds one tactic; one larger than a document start-up reads is refused.
    auto text = readWholeFile(recoveryFile(), TacticJson::kMaxDocumentBytes);
    if (!text) return Result<std::optional<std::string>>::failure(text.error());
    return std::optional<std::string>(std::move(text).value());
}

void FileLibraryStorage::saveRecovery(std::function<std::optional<std::string>()> encode) {
    {
        std::lock_guard lock(mutex_);
        recoveryWaiting_ = RecoveryJob{std::move(encode)};
        startWriter();
    }
    changed_.notify_all();
}

void FileLibraryStorage::writeRecovery(const RecoveryJob& job) {
    // A journal that fails to land is not reported: the edits are still on screen, and
    // the next change writes it again.
    if (!job.encode) {
        std::error_code ec;
        if (std::filesystem::remove(recoveryFile(), ec)) syncFolder(folder_);
        return;
    }
    if (auto text = job.encode(); text && ensureFolder(folder_)) writeFileAtomically(recoveryFile(), *text);
}

Status FileLibraryStorage::keepRecoveryAside() {
    std::error_code ec;
    if (!std::filesystem::exists(recoveryFile(), ec)) return success();
    return keepAside(recoveryFile());
}

Result<std::optional<std::string>> FileLibraryStorage::readVersions(const std::string& tacticID) {
    flush();
    return readVersionsFile(versionsFile(tacticID));
}

void FileLibraryStorage::updateVersions(const std::string& tacticID, VersionsUpdate update) {
    {
        std::lock_guard lock(mutex_);
        auto& waiting = versionsWaiting_[tacticID];
        if (waiting)
            waiting = [first = std::move(waiting), then = std::move(update)](std::optional<std::string> stored) {
                return then(first(std::move(stored)));
            };
        else
            waiting = std::move(update);
        startWriter();
    }
    changed_.notify_all();
}

void FileLibraryStorage::writeVersions(const std::string& tacticID, const VersionsUpdate& update) {
    // Like the journal, versions that fail to land are not reported: the library write
    // beside them speaks for the disk.
    const auto path = versionsFile(tacticID);
    auto stored = readVersionsFile(path);
    const auto text = update(stored ? std::move(stored).value() : std::nullopt);
    if (!text) {
        std::error_code ec;
        if (std::filesystem::remove(path, ec)) syncFolder(path.parent_path());
        return;
    }
    if (ensureFolder(path.parent_path())) writeFileAtomically(path, *text);
}

}  // namespace vantrel

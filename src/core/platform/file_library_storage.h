// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <condition_variable>
#include <filesystem>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <thread>

#include "core/platform/library_storage.h"

namespace vantrel {

// The own tactics in a file of their own ("own-tactics.json" in the user's data folder),
// so that the small preferences never carry megabytes. Saves are written atomically
// (temporary file, then rename) by one writer thread; a save that arrives while another
// is being written replaces any save still waiting, so the newest document wins and a
// burst of saves costs at most two writes. Outcomes travel to the main thread through
// `post`. Unreadable documents are kept beside it as "own-tactics.unreadable-N.json",
// N = 1 the newest.
//
// A library that an earlier version kept in the preference store under
// "Vantrel.importedTactics" is moved here on the first read, and the preference removed
// once the file is written. A file larger than start-up reads (TacticJson::
// kMaxDocumentBytes) is renamed to the newest unreadable copy on the read, and the read
// finds nothing; stale temporary files of killed writes are removed then too.
//
// The earlier versions of each own tactic are "versions/ID.json" beside it, and the
// recovery journal is "recovery.json"; both are written by the same writer thread (after
// a library write that waits with them), atomically and durably as the library.
class FileLibraryStorage final : public LibraryStorage {
public:
    using Post = std::function<void(std::function<void()>)>;

    FileLibraryStorage(std::filesystem::path folder, PreferenceStore& legacy, Post post);
    ~FileLibraryStorage() override;   // finishes every save first
    FileLibraryStorage(const FileLibraryStorage&) = delete;
    FileLibraryStorage& operator=(const FileLibraryStorage&) = delete;

    std::filesystem::path file() const { return folder_ / "own-tactics.json"; }
    std::filesystem::path unreadableFile(int index) const;
    std::filesystem::path recoveryFile() const { return folder_ / "recovery.json"; }

    Result<std::optional<std::string>> read() override;
    void save(LibraryDocument document, std::function<void(Status)> done) override;
    Status flush() override;
    Status keepUnreadable(std::string_view bytes) override;
    int unreadableCount() override;
    std::optional<std::string> unreadableCopy(int index) override;
    bool movedAsideOnRead() const override { return movedAside_; }
    Result<std::optional<std::string>> readRecovery() override;
    void saveRecovery(std::function<std::optional<std::string>()> encode) override;
    void removeRecovery() override { saveRecovery(nullptr); }
    Status keepRecoveryAside() override;
    std::filesystem::path versionsFile(const std::string& tacticID) const { return folder_ / "versions" / (tacticID + ".json"); }
    Result<std::optional<std::string>> readVersions(const std::string& tacticID) override;
    void updateVersions(const std::string& tacticID, VersionsUpdate update) override;

private:
    void removeStaleTemporaries();
    Status shiftUnreadable();                           // makes room for a newest copy
    Status keepAside(const std::filesystem::path& path);   // renamed, not copied
    struct Job {
        LibraryDocument document;
        std::function<void(Status)> done;
    };
    // A journal write, or its removal when `encode` is empty.
    struct RecoveryJob {
        std::function<std::optional<std::string>()> encode;
    };
    void startWriter();   // with the lock held
    void run();
    void writeRecovery(const RecoveryJob& job);
    void writeVersions(const std::string& tacticID, const VersionsUpdate& update);

    const std::filesystem::path folder_;
    PreferenceStore& legacy_;
    const Post post_;

    std::mutex mutex_;
    std::condition_variable changed_;
    std::optional<Job> waiting_;
    std::optional<RecoveryJob> recoveryWaiting_;
    std::map<std::string, VersionsUpdate> versionsWaiting_;   // by tactic id, updates composed
    bool busy_ = false;
    bool stopping_ = false;
    Status last_ = success();
    bool movedAside_ = false;
    std::thread writer_;   // started with the first save
};

}  // namespace vantrel

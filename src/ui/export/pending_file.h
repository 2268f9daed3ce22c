#pragma once

#include <filesystem>

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
    Status commit();

private:
    PendingFile(std::filesystem::path target, std::filesystem::path temporary)
        : target_(std::move(target)), temporary_(std::move(temporary)) {}

    std::filesystem::path target_;
    std::filesystem::path temporary_;   // empty once committed or moved from
};

}  // namespace vantrel

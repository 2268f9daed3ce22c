// SPDX-License-Identifier: GPL-3.0-or-later
// Importing a file end to end: the open dialog answers with a file holding the input,
// and the store either adds it as a new own tactic, or reports in the status line and
// changes nothing.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "core/library/builtin_tactics.h"
#include "core/platform/memory_preference_store.h"
#include "core/store/board_store.h"
#include "fuzz_platform.h"

using namespace vantrel;

namespace {

// One anonymous in-memory file for the whole run, rewritten for each input and opened by
// the store through its /proc path like any other file. A file on disk costs an open, a
// truncation and a flush of its blocks per input: more than the import itself.
class InputFile {
public:
    InputFile() : fd_(::memfd_create("vantrel-import-fuzz.json", MFD_CLOEXEC)) {
        if (fd_ < 0) std::abort();
        path_ = "/proc/self/fd/" + std::to_string(fd_);
    }

    const std::filesystem::path& write(const std::uint8_t* data, std::size_t size) {
        std::size_t written = 0;
        while (written < size) {
            const ssize_t n = ::pwrite(fd_, data + written, size - written, static_cast<off_t>(written));
            if (n <= 0) std::abort();
            written += static_cast<std::size_t>(n);
        }
        if (::ftruncate(fd_, static_cast<off_t>(size)) != 0) std::abort();
        return path_;
    }

private:
    int fd_;
    std::filesystem::path path_;
};

// A store as a coach finds it at first start: the first built-in 7-a-side tactic open,
// no own tactics, nothing in the preferences.
struct FreshStore {
    MemoryPreferenceStore preferences;
    fuzz::StillPlatform platform;
    BoardStore store{preferences, platform};
};

// What importFile reads of the store (and everything a refusal might wrongly touch) is
// as at first start; the status line aside.
bool asAtFirstStart(const FreshStore& fresh) {
    const BoardStore& store = fresh.store;
    return store.tactic() == BuiltInTactics::library(7).front() && store.importedTactics().empty() &&
           store.selectedTacticKey() == "builtin-7-0" && store.stepIndex() == 0 && !store.hasStageChanges() &&
           !store.showingStageSaveConfirmation() && !store.autosavePending() && !store.saveFailure() &&
           !store.selectedPlayer() && !store.playing() && !store.boardEdits().canUndo() &&
           !fresh.preferences.contains(kImportedTacticsKey) && !fresh.preferences.contains(kLastSelectedTacticKey);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static InputFile file;
    // A refused import leaves the store as it was, which the checks below make sure of,
    // so the next input may use it again: each input still meets a store as at first
    // start. After an import the next input gets a new one.
    static std::unique_ptr<FreshStore> fresh;
    if (!fresh) {
        fresh = std::make_unique<FreshStore>();
        if (!asAtFirstStart(*fresh)) std::abort();
    }
    fresh->platform.openAnswer = file.write(data, size);
    BoardStore& store = fresh->store;
    store.importFile();
    if (store.importedTactics().size() == 1) {
        // Imported: it is open, at its first step.
        if (!(store.tactic() == store.importedTactics().front().tactic) || store.stepIndex() != 0) std::abort();
        fresh.reset();
    } else if (!asAtFirstStart(*fresh) || store.status().empty()) {
        std::abort();   // a refused import changes nothing and says why
    }
    return 0;
}

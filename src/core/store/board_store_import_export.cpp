// SPDX-License-Identifier: GPL-3.0-or-later
// Opening a tactic read from a file; the files themselves are TacticFiles' (tactic_files.h).
#include "core/store/board_store.h"

namespace vantrel {

void BoardStore::importFile() { files_.importFile(); }

void BoardStore::importFile(const std::filesystem::path& path) { files_.importFile(path); }

void BoardStore::exportFile() { files_.exportFile(); }

bool BoardStore::openImportedTactic(Tactic tactic, std::string status) {
    Batch batch(notifier_);
    flushAutosave();
    stopMotionForDeparture();
    const SavedTactic saved{Uuid::random(), std::move(tactic), true};
    // Never store what start-up would refuse to read: the library stays as it was.
    if (Status added = library_.append(saved); !added) {
        setStatus("导入失败：" + added.error());
        return false;
    }
    notifier_.mark(StoreChange::library);
    openTactic(saved.tactic, saved.key(), std::move(status));
    library_.persist();   // last: a failure replaces the status above
    return true;
}

}  // namespace vantrel

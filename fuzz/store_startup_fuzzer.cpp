// SPDX-License-Identifier: GPL-3.0-or-later
// The store's start-up from whatever bytes the preferences hold as the user's library:
// it must come up (with the library or without it), never throw, and leave a library it
// can write back and read again. Every tactic it loads passes the import checks as
// loaded (nothing off the pitch, nothing over the limits), so no later start refuses it.
#include <cstdint>
#include <cstdlib>

#include "core/model/tactic_json.h"
#include "core/model/tactic_limits.h"
#include "core/platform/memory_preference_store.h"
#include "core/store/board_store.h"
#include "fuzz_platform.h"

using namespace vantrel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    MemoryPreferenceStore preferences;
    preferences.setData(kImportedTacticsKey, fuzz::bytes(data, size));
    fuzz::StillPlatform platform;
    BoardStore store(preferences, platform);
    // Open each own tactic once and write the library back, as a session would.
    const std::vector<SavedTactic> library = store.importedTactics();
    for (const SavedTactic& saved : library) {
        Tactic admitted = saved.tactic;
        if (admitTactic(admitted, LongText::cut) || !(admitted == saved.tactic)) std::abort();
    }
    for (const SavedTactic& saved : library) store.selectImported(saved);
    store.flushAutosave();
    if (const auto written = preferences.data(kImportedTacticsKey); written && !library.empty()) {
        if (!TacticJson::decodeLibrary(*written)) std::abort();
    }
    return 0;
}

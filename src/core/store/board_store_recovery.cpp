// SPDX-License-Identifier: GPL-3.0-or-later
// The answer to the recovery journal found at start-up.
#include "core/store/board_store.h"

namespace vantrel {

void BoardStore::resolveRecovery(bool restore) {
    if (!journal_.found()) return;   // answered already, or nothing was found
    std::string status;
    auto restored = journal_.resolve(restore, library_, status);
    if (!restored) return reportStatus(std::move(status));
    {
        // Opened as confirmed and told on its own, as if the coach had opened it (the close
        // guard records a built-in as it was opened) ...
        Batch opened(notifier_);
        installTactic(std::move(restored->base), restored->record.key, std::move(status));
    }
    // ... then edited.
    Batch batch(notifier_);
    tactic_ = std::move(restored->record.tactic);
    setStepIndex(restored->record.stepIndex);
    // The library row shows the name at once; the stored copy follows with the autosave.
    if (library_.rename(selectedTacticKey_, tactic_.name)) notifier_.mark(StoreChange::library);
    stage_.capture(restored->baseline ? &*restored->baseline : nullptr);
    notifier_.mark(StoreChange::confirmation);
    recordEdit();
    journal_.resume();
}

}  // namespace vantrel

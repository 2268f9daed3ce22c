// SPDX-License-Identifier: GPL-3.0-or-later
// The answer to the recovery journal found at start-up.
#include "core/store/board_recovery.h"

#include "core/store/board_store.h"

namespace vantrel {

const std::optional<RecoveryRecord>& BoardRecovery::pending() const { return store_.journal_.found(); }

void BoardRecovery::endSession() { store_.journal_.end(); }

void BoardRecovery::resolve(bool restore) {
    BoardStore& s = store_;
    if (!s.journal_.found()) return;   // answered already, or nothing was found
    std::string status;
    auto restored = s.journal_.resolve(restore, s.library_, status);
    if (!restored) return s.reportStatus(std::move(status));
    {
        // Opened as confirmed and told on its own, as if the coach had opened it (the close
        // guard records a built-in as it was opened) ...
        ChangeNotifier<StoreChange>::Batch opened(s.notifier_);
        s.installTactic(std::move(restored->base), restored->record.key, std::move(status));
    }
    // ... then edited.
    ChangeNotifier<StoreChange>::Batch batch(s.notifier_);
    s.tactic_ = std::move(restored->record.tactic);
    s.setStepIndex(restored->record.stepIndex);
    // The library row shows the name at once; the stored copy follows with the autosave.
    if (s.library_.rename(s.selectedTacticKey_, s.tactic_.name)) s.notifier_.mark(StoreChange::library);
    s.stage_.capture(restored->baseline ? &*restored->baseline : nullptr);
    s.notifier_.mark(StoreChange::confirmation);
    s.recordEdit();
    s.journal_.resume();
}

}  // namespace vantrel

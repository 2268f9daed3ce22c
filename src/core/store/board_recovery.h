// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

#include "core/model/board.h"

namespace vantrel {

class BoardStore;

// The coach's answer to what the last run left unconfirmed when it ended without a clean
// close: a part of the store, reached as `store.recovery()`. The journal itself
// (RecoveryJournal, recovery_journal.h) follows the store on its own.
class BoardRecovery {
public:
    explicit BoardRecovery(BoardStore& store) : store_(store) {}

    // What the journal found at start-up, until it is answered; the window asks about it
    // before anything else.
    const std::optional<RecoveryRecord>& pending() const;
    // Restoring opens the tactic at the journal's step with its edits unconfirmed: the
    // confirmed version (the library entry, or the built-in) is the stage baseline and the
    // save question decides as ever. Declining keeps the journal aside with the unreadable
    // copies, for the export.
    void resolve(bool restore);
    // The window closed after its questions: what is still unconfirmed was declined, and
    // the journal goes.
    void endSession();

private:
    BoardStore& store_;
};

}  // namespace vantrel

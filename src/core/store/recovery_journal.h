// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/model/board.h"
#include "core/platform/library_storage.h"
#include "core/platform/platform.h"
#include "core/store/change_notifier.h"

namespace vantrel {

class BoardStore;
class OwnTacticLibrary;

// A copy of the open tactic kept beside the library while it holds edits the coach has
// not confirmed (a stage edit waiting for the save question; any edit of a built-in
// tactic, which is never written), so that a program killed mid-edit gives the edits
// back at the next start. It goes as soon as nothing is unconfirmed, and with a clean
// close.
//
// It follows the store through the store's own notifications (the tactic and
// confirmation groups): an edit costs a flag test and, at most once per delay, arming a
// timer. Later edits do not push the timer back, so a long drag reaches the disk within
// the delay of its start too. When the timer fires, only the open tactic is copied; the
// storage encodes and writes it on its writer thread.
//
// A journal found at start-up belongs to a run that ended without a clean close. It is
// held, neither written over nor removed, until the coach's answer restores it or keeps
// it aside with the unreadable copies, where the export still finds it.
class RecoveryJournal {
public:
    // Half a second of the 2 s the journal may lag behind an edit is left for the write.
    static constexpr double kDelaySeconds = 1.5;

    RecoveryJournal(BoardStore& store, LibraryStorage& storage, Platform& platform);
    RecoveryJournal(const RecoveryJournal&) = delete;
    RecoveryJournal& operator=(const RecoveryJournal&) = delete;

    // Reads what the last run left. A journal that cannot be read or decoded, whose tactic
    // fails the import checks or is no longer there (not in `library`, not a built-in) is
    // kept aside at once; the status line that says so is returned.
    std::optional<std::string> open(const OwnTacticLibrary& library);
    // The journal found at start-up, admitted, until it is answered.
    const std::optional<RecoveryRecord>& found() const { return found_; }

    struct Restore {
        Tactic base;                         // as confirmed: the library entry or the built-in
        std::optional<BoardStep> baseline;   // the confirmed version of the step shown
        RecoveryRecord record;               // the step index is within the tactic's steps
    };
    // The coach's answer. Restoring hands back what to open and keeps holding the journal
    // until `resume`, so that it is never missing while the tactic is being put back;
    // declining keeps it aside. `status` says what happened.
    std::optional<Restore> resolve(bool restore, const OwnTacticLibrary& library, std::string& status);
    // Follows the store again after a restore.
    void resume();

    // Writes a journal still waiting for its timer (a quit that asked nothing) and waits
    // for the storage.
    void finish();
    // The session ended cleanly after the questions: the journal goes, until the next edit.
    void end();

    // Whether the open tactic holds edits that nothing has confirmed.
    static bool unconfirmed(const BoardStore& store);
    // The built-in tactic a library key names ("builtin-7-2"), or null.
    static const Tactic* builtIn(std::string_view key);

private:
    void changed();
    void write();
    void remove();
    // Moves the journal to the unreadable copies; `what` is said when that worked.
    std::string keepAside(const std::string& what);

    BoardStore& store_;
    LibraryStorage& storage_;
    Platform& platform_;
    std::unique_ptr<OneShotTimer> timer_;
    Subscription subscription_;
    std::optional<RecoveryRecord> found_;
    bool held_ = false;     // the last run's journal, untouched until answered
    bool stored_ = false;   // a journal may be in the storage
};

}  // namespace vantrel

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <deque>
#include <optional>
#include <string>

#include "core/model/board.h"

namespace vantrel {

// Undo and redo of the board edits of the open tactic: each level is a snapshot of the
// tactic and the step shown, taken before an edit, with the name the coach knows the
// edit by ("移动球员"). Drawings are not part of it; they keep their own history per
// step, so a restored snapshot takes each surviving step's current drawings along.
class BoardEditHistory {
public:
    // Levels kept per tactic; the oldest falls off beyond this.
    static constexpr std::size_t kLimit = 100;

    struct Snapshot {
        Tactic tactic;
        int stepIndex = 0;
    };
    struct Entry {
        std::string label;
        Snapshot snapshot;
    };

    // One command as the history sees it. The outermost scope takes the snapshot before
    // the command and, when the command changed the tactic, records it on leaving.
    // Consecutive scopes with the same non-empty merge key fold into one level (a drag):
    // while that level is open a scope of the same key neither copies nor compares the
    // tactic, so a pointer move of a drag costs the history nothing.
    class Scope {
    public:
        Scope(BoardEditHistory& history, const Tactic& tactic, const int& stepIndex, std::string label,
              std::string mergeKey = {});
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        BoardEditHistory& history_;
        const Tactic& tactic_;   // compared on leaving; the step index is only taken before
        bool outermost_ = false;
        int generation_ = 0;
        std::string label_;
        std::string mergeKey_;
        std::optional<Snapshot> before_;
    };

    bool canUndo() const { return !undo_.empty(); }
    bool canRedo() const { return !redo_.empty(); }
    std::optional<std::string> undoLabel() const;
    std::optional<std::string> redoLabel() const;

    // Takes the newest level off and hands back the snapshot to restore; `current` goes
    // to the other list under the same label. Nothing when that list is empty.
    std::optional<Snapshot> undo(Snapshot current);
    std::optional<Snapshot> redo(Snapshot current);

    // Another tactic is open: nothing of the old one applies. A scope open across the
    // switch records nothing.
    void clear();
    // The next recorded edit starts a level of its own.
    void endMerge() { mergeKey_.clear(); }

private:
    void record(std::string label, Snapshot before, const std::string& mergeKey);

    std::deque<Entry> undo_;
    std::deque<Entry> redo_;
    std::string mergeKey_;   // of the newest level while it may still grow
    int depth_ = 0;
    int generation_ = 0;
};

// `snapshot`'s tactic with every step that still exists in `current` carrying its
// drawings from `current`: a board undo never takes drawings back.
Tactic withCurrentDrawings(Tactic snapshot, const Tactic& current);

}  // namespace vantrel

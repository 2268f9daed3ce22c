// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>

#include "core/store/board_edit_history.h"

namespace vantrel {

class BoardStore;

// Undo and redo of the board edits of the open tactic: a part of the store, reached as
// `store.boardEdits()`, over its history (BoardEditHistory, board_edit_history.h). At
// most BoardEditHistory::kLimit levels; opening another tactic forgets them. The
// drawings keep their own history.
class BoardEdits {
public:
    BoardEdits(BoardStore& store, BoardEditHistory& history) : store_(store), history_(history) {}

    bool canUndo() const { return history_.canUndo(); }
    bool canRedo() const { return history_.canRedo(); }
    // What the coach knows each level by, e.g. "移动球员".
    std::optional<std::string> undoLabel() const { return history_.undoLabel(); }
    std::optional<std::string> redoLabel() const { return history_.redoLabel(); }
    // Ignored while the save question is showing: it is about the step as it is.
    void undo() { restore(true); }
    void redo() { restore(false); }

private:
    void restore(bool undo);

    BoardStore& store_;
    BoardEditHistory& history_;
};

}  // namespace vantrel

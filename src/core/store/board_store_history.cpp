// SPDX-License-Identifier: GPL-3.0-or-later
// Undo and redo of the board edits of the open tactic.
#include <algorithm>

#include "core/store/board_store.h"

namespace vantrel {

void BoardStore::undoBoardEdit() { restoreBoardEdit(true); }

void BoardStore::redoBoardEdit() { restoreBoardEdit(false); }

void BoardStore::restoreBoardEdit(bool undo) {
    Batch batch(notifier_);
    // The question on screen is about the step as it is; it is answered first.
    if (stage_.showingQuestion() || !(undo ? history_.canUndo() : history_.canRedo())) return;
    const std::string label = *(undo ? history_.undoLabel() : history_.redoLabel());
    stopMotionForDeparture();
    // A snapshot holds every step; only steps the coach has edited since differ.
    const std::optional<Uuid> shownID = currentStep() ? std::optional<Uuid>(currentStep()->id) : std::nullopt;
    BoardEditHistory::Snapshot current{tactic_, stepIndex_};
    auto restored = undo ? history_.undo(std::move(current)) : history_.redo(std::move(current));
    tactic_ = withCurrentDrawings(std::move(restored->tactic), tactic_);
    const int last = static_cast<int>(tactic_.steps.size()) - 1;
    setStepIndex(std::clamp(restored->stepIndex, 0, std::max(last, 0)));
    notifier_.mark(StoreChange::board);

    // The library row shows the name at once; the stored copy follows with the autosave.
    if (library_.rename(selectedTacticKey_, tactic_.name)) notifier_.mark(StoreChange::library);
    const BoardStep* step = currentStep();
    if (!step || step->id != shownID) {
        // Back on another step: the coach arrives at it as restored.
        captureStageBaseline();
        setSelectedPlayer(std::nullopt);
    } else {
        // Same step: the baseline decides whether it is back at its saved state.
        updateStageChanges();
        if (selectedPlayer_ && !step->player(*selectedPlayer_)) setSelectedPlayer(std::nullopt);
    }
    scheduleAutosave();
    setStatus((undo ? "已撤销：" : "已重做：") + label);
}

}  // namespace vantrel

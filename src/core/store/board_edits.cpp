// SPDX-License-Identifier: GPL-3.0-or-later
// Undo and redo of the board edits of the open tactic.
#include <algorithm>

#include "core/store/board_edits.h"

#include "core/store/board_store.h"

namespace vantrel {

void BoardEdits::restore(bool undo) {
    BoardStore& s = store_;
    ChangeNotifier<StoreChange>::Batch batch(s.notifier_);
    // The question on screen is about the step as it is; it is answered first.
    if (s.stage_.showingQuestion() || !(undo ? history_.canUndo() : history_.canRedo())) return;
    const std::string label = *(undo ? history_.undoLabel() : history_.redoLabel());
    s.stopMotionForDeparture();
    // A snapshot holds every step; only steps the coach has edited since differ.
    const std::optional<Uuid> shownID = s.currentStep() ? std::optional<Uuid>(s.currentStep()->id) : std::nullopt;
    BoardEditHistory::Snapshot current{s.tactic_, s.stepIndex_};
    auto restored = undo ? history_.undo(std::move(current)) : history_.redo(std::move(current));
    s.tactic_ = withCurrentDrawings(std::move(restored->tactic), s.tactic_);
    const int last = static_cast<int>(s.tactic_.steps.size()) - 1;
    s.setStepIndex(std::clamp(restored->stepIndex, 0, std::max(last, 0)));
    s.notifier_.mark(StoreChange::board);

    // The library row shows the name at once; the stored copy follows with the autosave.
    if (s.library_.rename(s.selectedTacticKey_, s.tactic_.name)) s.notifier_.mark(StoreChange::library);
    const BoardStep* step = s.currentStep();
    if (!step || step->id != shownID) {
        // Back on another step: the coach arrives at it as restored.
        s.captureStageBaseline();
        s.setSelectedPlayer(std::nullopt);
    } else {
        // Same step: the baseline decides whether it is back at its saved state.
        s.updateStageChanges();
        if (s.selectedPlayer_ && !step->player(*s.selectedPlayer_)) s.setSelectedPlayer(std::nullopt);
    }
    s.scheduleAutosave();
    s.setStatus((undo ? "已撤销：" : "已重做：") + label);
}

}  // namespace vantrel

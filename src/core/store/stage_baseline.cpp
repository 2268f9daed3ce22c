// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/store/stage_baseline.h"

namespace vantrel {

void StageBaseline::capture(const BoardStep* step) {
    baseline_ = step ? std::optional<BoardStep>(*step) : std::nullopt;
    changed_ = false;
}

bool StageBaseline::update(const BoardStep* step) {
    const bool changed = step && baseline_ && baseline_->id == step->id && !(*baseline_ == *step);
    const bool flipped = changed != changed_;
    changed_ = changed;
    return flipped;
}

void StageBaseline::hold(StageDeparture departure) {
    departure_ = std::move(departure);
    showingQuestion_ = true;
}

std::optional<StageDeparture> StageBaseline::answer() {
    std::optional<StageDeparture> departure = std::move(departure_);
    departure_.reset();
    showingQuestion_ = false;
    return departure;
}

bool StageBaseline::restoreInto(BoardStep& step) {
    if (!baseline_ || baseline_->id != step.id) return false;
    step = *baseline_;
    discardedStageID_ = step.id;
    ++discardRevision_;
    return true;
}

Tactic StageBaseline::confirmed(Tactic tactic, int stepIndex) const {
    // Edits that the coach has not confirmed yet are never autosaved.
    if (changed_ && baseline_ && stepIndex >= 0 && stepIndex < static_cast<int>(tactic.steps.size()) &&
        baseline_->id == tactic.steps[static_cast<std::size_t>(stepIndex)].id)
        tactic.steps[static_cast<std::size_t>(stepIndex)] = *baseline_;
    return tactic;
}

}  // namespace vantrel

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <optional>

#include "core/model/board.h"

namespace vantrel {

enum class StageSaveDecision { save, discard, cancel };

// What the current step looked like when the coach arrived at it or last saved it, the
// flag that says it has changed since, and the save question: the departure held back
// while the question shows, and the record of what a discard threw away.
class StageBaseline {
public:
    // A copy of `step` (none when there is no current step); the step is unchanged.
    void capture(const BoardStep* step);
    // Recomputes the flag: a baseline of another step never counts as a change.
    // Returns true when the flag flipped.
    bool update(const BoardStep* step);

    const std::optional<BoardStep>& baseline() const { return baseline_; }
    bool hasChanges() const { return changed_; }

    bool showingQuestion() const { return showingQuestion_; }
    bool hasPendingDeparture() const { return static_cast<bool>(departure_); }
    // Raises the question and holds the departure.
    void hold(std::function<void()> departure);
    // Lowers the question and hands back the held departure, which it forgets, so the
    // departure runs at most once.
    std::function<void()> answer();

    // Puts the baseline back in place of `step` when it is that step's; records the
    // discard. Returns whether anything was restored.
    bool restoreInto(BoardStep& step);
    const std::optional<Uuid>& discardedStageID() const { return discardedStageID_; }
    int discardRevision() const { return discardRevision_; }

    // `tactic` as an autosave writes it: a step with unconfirmed edits is replaced by its
    // baseline.
    Tactic confirmed(Tactic tactic, int stepIndex) const;

private:
    std::optional<BoardStep> baseline_;
    bool changed_ = false;
    bool showingQuestion_ = false;
    std::function<void()> departure_;
    std::optional<Uuid> discardedStageID_;
    int discardRevision_ = 0;
};

}  // namespace vantrel

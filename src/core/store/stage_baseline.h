// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "core/model/board.h"

namespace vantrel {

enum class StageSaveDecision { save, discard, cancel };

// Where the coach was going when the save question stopped them: taken up again after
// "保存" or "不保存", dropped after "取消". A plain value, so the question can be shown,
// compared and tested without running anything.
struct StageDeparture {
    enum class Kind {
        previousStep,    // 上一阶段
        nextStep,        // 下一阶段
        play,
        moveToStep,      // a transition to `index`, `autoAdvance` as playback does
        selectStep,      // `index`
        addStep,
        selectBuiltIn,   // `index`, `format`
        selectImported,  // `saved`
        newTactic,       // `name`, `format`
        changeFormat,    // `format`
        importDialog,    // the open dialog, then the import
        importFile,      // `path`
        restoreVersion,  // `saved`: an own tactic and the earlier version to put back
        close,           // the window closes: nothing for the store to run
    };
    Kind kind = Kind::close;
    int index = 0;
    std::optional<int> format{};
    bool autoAdvance = false;
    std::optional<std::string> name{};
    std::optional<SavedTactic> saved{};
    std::filesystem::path path{};

    bool operator==(const StageDeparture&) const = default;
};

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
    // Raises the question and holds the departure.
    void hold(StageDeparture departure);
    // The departure the question holds, if any.
    const std::optional<StageDeparture>& pendingDeparture() const { return departure_; }
    // Lowers the question and hands back the held departure, which it forgets, so the
    // departure is taken at most once.
    std::optional<StageDeparture> answer();

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
    std::optional<StageDeparture> departure_;
    std::optional<Uuid> discardedStageID_;
    int discardRevision_ = 0;
};

}  // namespace vantrel

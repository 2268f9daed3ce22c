// SPDX-License-Identifier: GPL-3.0-or-later
// The stage baseline, the save question and the step list.
#include <algorithm>

#include "core/model/tactic_limits.h"
#include "core/store/board_store.h"
#include "core/store/step_editing.h"

namespace vantrel {

void BoardStore::captureStageBaseline() {
    stage_.capture(currentStep());
    notifier_.mark(StoreChange::confirmation);
}

void BoardStore::updateStageChanges() {
    if (stage_.update(currentStep())) notifier_.mark(StoreChange::confirmation);
    if (stage_.hasChanges() && motion_.playing) pause();   // any edit stops the animation
}

void BoardStore::recordEdit() {
    notifier_.mark(StoreChange::board);
    updateStageChanges();
    scheduleAutosave();
}

bool BoardStore::canLeaveStage(std::function<void()> continuation) {
    if (!stage_.hasChanges()) return true;
    if (stage_.showingQuestion()) return false;   // a second departure is dropped, not queued
    Batch batch(notifier_);
    stopMotionForDeparture();
    stage_.hold(std::move(continuation));
    notifier_.mark(StoreChange::confirmation);
    return false;
}

void BoardStore::resolveStageChanges(StageSaveDecision decision) {
    Batch batch(notifier_);
    // Taken out first, so it runs at most once even if it departs again.
    std::function<void()> continuation = stage_.answer();
    notifier_.mark(StoreChange::confirmation);

    switch (decision) {
        case StageSaveDecision::save:
            saveCurrentTactic();
            break;
        case StageSaveDecision::discard:
            if (BoardStep* step = mutableCurrentStep()) {
                auto scope = editScope("不保存修改");
                if (stage_.restoreInto(*step)) {
                    recordEdit();
                    notifier_.mark(StoreChange::confirmation);
                }
            }
            flushAutosave();
            break;
        case StageSaveDecision::cancel:
            return;
    }
    if (continuation) continuation();
}

void BoardStore::addStep() {
    Batch batch(notifier_);
    if (!canLeaveStage([this] { addStep(); })) return;
    auto scope = editScope("添加阶段");
    stopMotionForDeparture();
    const BoardStep* current = currentStep();
    if (!current) return;
    // Start-up keeps a tactic of more steps aside: it is never made here.
    if (tactic_.steps.size() >= TacticLimits::kMaxSteps) return setStatus("阶段已达上限（200 个）");
    BoardStep step = StepEditing::nextStep(*current, tactic_.steps.size());
    const int at = stepIndex_ + 1;
    tactic_.steps.insert(tactic_.steps.begin() + at, std::move(step));
    recordEdit();
    setStepIndex(at);
    captureStageBaseline();
}

void BoardStore::removeStep() {
    Batch batch(notifier_);
    if (tactic_.steps.size() < 2) {
        setStatus("至少保留一个步骤");
        return;
    }
    auto scope = editScope("删除阶段");
    stopMotionForDeparture();
    if (!currentStep()) return;
    tactic_.steps.erase(tactic_.steps.begin() + stepIndex_);
    recordEdit();
    setStepIndex(std::min(stepIndex_, static_cast<int>(tactic_.steps.size()) - 1));
    captureStageBaseline();
}

void BoardStore::selectStep(int index) {
    Batch batch(notifier_);
    if (index < 0 || index >= static_cast<int>(tactic_.steps.size())) return;
    if (index != stepIndex_) {
        if (!canLeaveStage([this, index] { selectStep(index); })) return;
        stopMotionForDeparture();
        setStepIndex(index);
        captureStageBaseline();
        setSelectedPlayer(std::nullopt);
    } else {
        stopMotionForDeparture();
    }
}

}  // namespace vantrel

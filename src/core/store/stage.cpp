// The stage baseline, the save question and the step list.
#include <algorithm>

#include "core/store/board_store.h"

namespace vantrel {

void BoardStore::captureStageBaseline() {
    const BoardStep* step = currentStep();
    stageBaseline_ = step ? std::optional<BoardStep>(*step) : std::nullopt;
    hasStageChanges_ = false;
    notifier_.mark(StoreChange::confirmation);
}

void BoardStore::updateStageChanges() {
    const BoardStep* step = currentStep();
    bool changed = step && stageBaseline_ && stageBaseline_->id == step->id && !(*stageBaseline_ == *step);
    if (changed != hasStageChanges_) notifier_.mark(StoreChange::confirmation);
    hasStageChanges_ = changed;
    if (changed && playing_) pause();   // any edit stops the animation
}

void BoardStore::recordEdit() {
    notifier_.mark(StoreChange::board);
    updateStageChanges();
    scheduleAutosave();
}

bool BoardStore::canLeaveStage(std::function<void()> continuation) {
    if (!hasStageChanges_) return true;
    if (showingStageSaveConfirmation_) return false;   // a second departure is dropped, not queued
    Batch batch(notifier_);
    stopMotionForDeparture();
    pendingStageDeparture_ = std::move(continuation);
    showingStageSaveConfirmation_ = true;
    notifier_.mark(StoreChange::confirmation);
    return false;
}

void BoardStore::resolveStageChanges(StageSaveDecision decision) {
    Batch batch(notifier_);
    // Taken out first, so it runs at most once even if it departs again.
    std::function<void()> continuation = std::move(pendingStageDeparture_);
    pendingStageDeparture_ = nullptr;
    showingStageSaveConfirmation_ = false;
    notifier_.mark(StoreChange::confirmation);

    switch (decision) {
        case StageSaveDecision::save:
            saveCurrentTactic();
            break;
        case StageSaveDecision::discard:
            if (BoardStep* step = mutableCurrentStep(); step && stageBaseline_ && stageBaseline_->id == step->id) {
                *step = *stageBaseline_;
                recordEdit();
                discardedStageID_ = step->id;
                ++stageDiscardRevision_;
                notifier_.mark(StoreChange::confirmation);
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
    stopMotionForDeparture();
    const BoardStep* current = currentStep();
    if (!current) return;
    BoardStep step = *current;
    step.id = Uuid::random();
    step.title = "第 " + std::to_string(tactic_.steps.size() + 1) + " 步";
    step.note = "描述本步骤的跑位与传球";
    step.passStyle = PassStyle::ground;
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

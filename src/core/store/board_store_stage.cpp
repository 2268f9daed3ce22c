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

bool BoardStore::canLeaveStage(StageDeparture departure) {
    if (!stage_.hasChanges()) return true;
    if (stage_.showingQuestion()) return false;   // a second departure is dropped, not queued
    Batch batch(notifier_);
    stopMotionForDeparture();
    stage_.hold(std::move(departure));
    notifier_.mark(StoreChange::confirmation);
    return false;
}

void BoardStore::resolveStageChanges(StageSaveDecision decision) {
    Batch batch(notifier_);
    // Taken out first, so it is taken at most once even if it departs again.
    const std::optional<StageDeparture> departure = stage_.answer();
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
    if (departure) depart(*departure);
}

void BoardStore::depart(const StageDeparture& d) {
    using Kind = StageDeparture::Kind;
    switch (d.kind) {
        case Kind::previousStep: return previous();
        case Kind::nextStep: return next();
        case Kind::play: return play();
        case Kind::moveToStep: return animateTransition(d.index, d.autoAdvance);
        case Kind::selectStep: return selectStep(d.index);
        case Kind::addStep: return addStep();
        case Kind::selectBuiltIn: return selectBuiltIn(d.index, d.format);
        case Kind::selectImported:
            if (d.saved) selectImported(*d.saved);
            return;
        case Kind::newTactic: return newTactic(d.name, d.format);
        case Kind::changeFormat: return changeFormat(d.format.value_or(tactic_.format));
        case Kind::importDialog: return importFile();
        case Kind::importFile: return importFile(d.path);
        case Kind::restoreVersion:
            if (d.saved) ownTactics_.restoreVersion(d.saved->key(), d.saved->tactic);
            return;
        case Kind::close: return;   // the window closes once the answer is in
    }
}

void BoardStore::addStep() {
    Batch batch(notifier_);
    if (!canLeaveStage({.kind = StageDeparture::Kind::addStep})) return;
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
        if (!canLeaveStage({.kind = StageDeparture::Kind::selectStep, .index = index})) return;
        stopMotionForDeparture();
        setStepIndex(index);
        captureStageBaseline();
        setSelectedPlayer(std::nullopt);
    } else {
        stopMotionForDeparture();
    }
}

}  // namespace vantrel

// SPDX-License-Identifier: GPL-3.0-or-later
// Playback: drives the step-playback sampler from the clock, chains the steps of a
// played tactic, and turns an interception into a new step.
#include <algorithm>
#include <cmath>

#include "core/store/board_store.h"
#include "core/store/playback_session.h"
#include "core/store/step_editing.h"

namespace vantrel {

namespace {

constexpr double kAutoPauseSeconds = 0.2;

}  // namespace

void BoardStore::stopMotionForDeparture() {
    pause();
    cancelManualPass();
    motion_.clearFlight();
    notifier_.mark(StoreChange::animation);
}

void BoardStore::clearStepPreview() {
    motion_.clearStepPreview();
    notifier_.mark(StoreChange::animation | StoreChange::frame);
}

void BoardStore::pause() {
    Batch batch(notifier_);
    BoardMotion::stop(motion_.visionClock);
    motion_.visionOpacity = 1.0;
    BoardMotion::stop(motion_.layoutClock);
    motion_.layoutFrame.reset();
    if (motion_.pauseTimer) motion_.pauseTimer->cancel();
    BoardMotion::stop(motion_.transitionClock);
    motion_.animationSession = Uuid::random();
    clearStepPreview();
    motion_.playing = false;
    notifier_.mark(StoreChange::animation | StoreChange::frame);
}

void BoardStore::cancelManualPass() {
    Batch batch(notifier_);
    BoardMotion::stop(motion_.passClock);
    motion_.passSession = Uuid::random();
    BoardMotion::stop(motion_.visionClock);
    motion_.visionOpacity = 1.0;
    notifier_.mark(StoreChange::animation);
}

void BoardStore::setPlaybackSpeed(double factor) {
    Batch batch(notifier_);
    if (!std::isfinite(factor)) return;
    motion_.speed = std::clamp(factor, 0.25, 4.0);
    notifier_.mark(StoreChange::animation);
}

void BoardStore::previous() {
    Batch batch(notifier_);
    if (stepIndex_ < 1) return;
    if (!canLeaveStage({.kind = StageDeparture::Kind::previousStep})) return;
    pause();
    animateTransition(stepIndex_ - 1, false);
}

void BoardStore::next() {
    Batch batch(notifier_);
    if (stepIndex_ + 1 >= static_cast<int>(tactic_.steps.size())) {
        pause();
        return;
    }
    if (!canLeaveStage({.kind = StageDeparture::Kind::nextStep})) return;
    pause();
    animateTransition(stepIndex_ + 1, false);
}

void BoardStore::play() {
    Batch batch(notifier_);
    if (motion_.playing) {
        pause();
        return;
    }
    if (tactic_.steps.size() < 2) return;
    if (!canLeaveStage({.kind = StageDeparture::Kind::play})) return;
    if (stepIndex_ >= static_cast<int>(tactic_.steps.size()) - 1) {
        setStepIndex(0);
        captureStageBaseline();
    }
    motion_.playing = true;
    notifier_.mark(StoreChange::animation);
    animateTransition(stepIndex_ + 1, true);
}

void BoardStore::animateTransition(int to, bool autoAdvance) {
    Batch batch(notifier_);
    const int count = static_cast<int>(tactic_.steps.size());
    if (to < 0 || to >= count || to == stepIndex_ || !currentStep()) {
        if (autoAdvance) motion_.playing = false;
        notifier_.mark(StoreChange::animation);
        return;
    }
    if (!canLeaveStage({.kind = StageDeparture::Kind::moveToStep, .index = to, .autoAdvance = autoAdvance})) return;
    cancelManualPass();
    motion_.clearFlight();

    auto plan = std::make_shared<StepTransition>(StepTransition{
        {},
        to,
        autoAdvance,
        StepPlayback(tactic_.steps[static_cast<std::size_t>(stepIndex_)], tactic_.steps[static_cast<std::size_t>(to)],
                     to > stepIndex_, motion_.ballRotation),
        motion_.speed,
        0,
        0,
        0});
    motion_.startTransition(plan->playback);

    BoardMotion::stop(motion_.transitionClock);
    motion_.animationSession = Uuid::random();
    plan->session = motion_.animationSession;
    notifier_.mark(StoreChange::animation | StoreChange::frame);

    std::weak_ptr<BoardStore*> weak = self_;
    motion_.clock(motion_.transitionClock).start([weak, plan](double elapsed) {
        if (auto self = weak.lock(); self && *self) (*self)->transitionFrame(elapsed, *plan);
    });
}

void BoardStore::transitionFrame(double elapsed, StepTransition& plan) {
    if (plan.session != motion_.animationSession) return;
    Batch batch(notifier_);
    notifier_.mark(StoreChange::animation | StoreChange::frame);
    if (plan.speed != motion_.speed) {
        plan.originPlayed += (plan.lastTick - plan.originClock) * plan.speed;
        plan.originClock = plan.lastTick;
        plan.speed = motion_.speed;
    }
    plan.lastTick = elapsed;
    const double played = plan.originPlayed + (elapsed - plan.originClock) * plan.speed;
    const StepPlaybackFrame frame = plan.playback.sample(played, motion_.reduceMotion);
    motion_.showTransitionFrame(frame, plan.playback);

    if (frame.interception) {
        intercept(plan, *frame.interception);
        return;
    }
    if (frame.progress >= 1) finishTransition(plan);
}

void BoardStore::finishTransition(const StepTransition& plan) {
    Batch batch(notifier_);
    BoardMotion::stop(motion_.transitionClock);
    motion_.animationSession = Uuid::random();
    // The steps may have changed under a running transition; land only on a real step.
    const int count = static_cast<int>(tactic_.steps.size());
    const int target = std::clamp(plan.toIndex, 0, count - 1);
    setStepIndex(target);
    captureStageBaseline();
    clearStepPreview();
    motion_.visionOpacity = 1.0;
    notifier_.mark(StoreChange::animation | StoreChange::board);
    setStatus("正在演示：" + tactic_.steps[static_cast<std::size_t>(target)].title);

    if (plan.autoAdvance && motion_.playing && target + 1 < count) {
        const Uuid session = motion_.animationSession;
        std::weak_ptr<BoardStore*> weak = self_;
        motion_.timer().start(kAutoPauseSeconds, [weak, session] {
            auto self = weak.lock();
            if (!self || !*self) return;
            BoardStore& store = **self;
            if (!store.motion_.playing || store.motion_.animationSession != session) return;
            store.animateTransition(store.stepIndex_ + 1, true);
        });
    } else {
        motion_.playing = false;
    }
}

void BoardStore::intercept(const StepTransition& plan, const StepPlaybackFrame::Interception& interception) {
    Batch batch(notifier_);
    const BoardStep& target = plan.playback.to();
    BoardStep step = StepEditing::interceptionStep(tactic_, target, motion_.previewPlayers.value_or(target.players),
                                                   motion_.previewBall.value_or(interception.interceptor.position),
                                                   interception.interceptor, interception.onPassLine);
    const std::string title = step.title;
    auto scope = editScope(title);

    pause();
    const int at = std::clamp(plan.toIndex, 0, static_cast<int>(tactic_.steps.size()));
    tactic_.steps.insert(tactic_.steps.begin() + at, std::move(step));
    // The runs into the following step no longer start where the players stand.
    if (at + 1 < static_cast<int>(tactic_.steps.size())) tactic_.steps[static_cast<std::size_t>(at + 1)].pathControls.reset();
    setStepIndex(at);
    recordEdit();
    captureStageBaseline();
    revealReceivedVision();
    setStatus(title + "，已停在断球画面；可调整后续战术");
}

}  // namespace vantrel

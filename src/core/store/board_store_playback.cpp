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

FrameClock& BoardStore::clock(std::unique_ptr<FrameClock>& slot) {
    // Each clock is made once and reused: stopping never destroys a clock, so a clock
    // may be stopped from inside its own tick.
    if (!slot) slot = platform_.makeFrameClock();
    return *slot;
}

void BoardStore::stop(std::unique_ptr<FrameClock>& slot) {
    if (slot) slot->invalidate();
}

void BoardStore::stopMotionForDeparture() {
    pause();
    cancelManualPass();
    flyingBall_.reset();
    passingFromID_.reset();
    flyingBallHeight_ = 0;
    notifier_.mark(StoreChange::animation);
}

void BoardStore::clearStepPreview() {
    previewBallHeight_ = 0;
    previewBallInFlight_ = false;
    previewBall_.reset();
    previewOwnerID_.reset();
    previewRoute_.reset();
    previewPassStyle_.reset();
    previewPlayers_.reset();
    notifier_.mark(StoreChange::animation | StoreChange::frame);
}

void BoardStore::pause() {
    Batch batch(notifier_);
    stop(visionClock_);
    visionOpacity_ = 1.0;
    stop(layoutClock_);
    layoutFrame_.reset();
    if (timer_) timer_->cancel();
    stop(animationTimer_);
    animationSession_ = Uuid::random();
    clearStepPreview();
    playing_ = false;
    notifier_.mark(StoreChange::animation | StoreChange::frame);
}

void BoardStore::cancelManualPass() {
    Batch batch(notifier_);
    stop(passTimer_);
    passSession_ = Uuid::random();
    stop(visionClock_);
    visionOpacity_ = 1.0;
    notifier_.mark(StoreChange::animation);
}

void BoardStore::setPlaybackSpeed(double factor) {
    Batch batch(notifier_);
    if (!std::isfinite(factor)) return;
    playbackSpeed_ = std::clamp(factor, 0.25, 4.0);
    notifier_.mark(StoreChange::animation);
}

void BoardStore::previous() {
    Batch batch(notifier_);
    if (stepIndex_ < 1) return;
    if (!canLeaveStage([this] { previous(); })) return;
    pause();
    animateTransition(stepIndex_ - 1, false);
}

void BoardStore::next() {
    Batch batch(notifier_);
    if (stepIndex_ + 1 >= static_cast<int>(tactic_.steps.size())) {
        pause();
        return;
    }
    if (!canLeaveStage([this] { next(); })) return;
    pause();
    animateTransition(stepIndex_ + 1, false);
}

void BoardStore::play() {
    Batch batch(notifier_);
    if (playing_) {
        pause();
        return;
    }
    if (tactic_.steps.size() < 2) return;
    if (!canLeaveStage([this] { play(); })) return;
    if (stepIndex_ >= static_cast<int>(tactic_.steps.size()) - 1) {
        setStepIndex(0);
        captureStageBaseline();
    }
    playing_ = true;
    notifier_.mark(StoreChange::animation);
    animateTransition(stepIndex_ + 1, true);
}

void BoardStore::animateTransition(int to, bool autoAdvance) {
    Batch batch(notifier_);
    const int count = static_cast<int>(tactic_.steps.size());
    if (to < 0 || to >= count || to == stepIndex_ || !currentStep()) {
        if (autoAdvance) playing_ = false;
        notifier_.mark(StoreChange::animation);
        return;
    }
    if (!canLeaveStage([this, to, autoAdvance] { animateTransition(to, autoAdvance); })) return;
    cancelManualPass();
    flyingBall_.reset();
    passingFromID_.reset();
    flyingBallHeight_ = 0;

    auto plan = std::make_shared<StepTransition>(StepTransition{
        {},
        to,
        autoAdvance,
        StepPlayback(tactic_.steps[static_cast<std::size_t>(stepIndex_)], tactic_.steps[static_cast<std::size_t>(to)],
                     to > stepIndex_, ballRotation_),
        playbackSpeed_,
        0,
        0,
        0});
    const StepPlayback& playback = plan->playback;

    previewRoute_ = playback.route();
    previewPassStyle_ = playback.pass() ? std::optional<PassStyle>(playback.pass()->style) : std::nullopt;
    previewOwnerID_ = playback.from().ballOwner;
    previewBallHeight_ = 0;
    previewBall_ = playback.from().ball;
    previewPlayers_.emplace();
    for (const auto& run : playback.runs()) {
        Player p = run.player;
        p.position = run.start;
        previewPlayers_->push_back(p);
    }

    stop(animationTimer_);
    animationSession_ = Uuid::random();
    plan->session = animationSession_;
    notifier_.mark(StoreChange::animation | StoreChange::frame);

    std::weak_ptr<BoardStore*> weak = self_;
    clock(animationTimer_).start([weak, plan](double elapsed) {
        if (auto self = weak.lock(); self && *self) (*self)->transitionFrame(elapsed, *plan);
    });
}

void BoardStore::transitionFrame(double elapsed, StepTransition& plan) {
    if (plan.session != animationSession_) return;
    Batch batch(notifier_);
    notifier_.mark(StoreChange::animation | StoreChange::frame);
    if (plan.speed != playbackSpeed_) {
        plan.originPlayed += (plan.lastTick - plan.originClock) * plan.speed;
        plan.originClock = plan.lastTick;
        plan.speed = playbackSpeed_;
    }
    plan.lastTick = elapsed;
    const double played = plan.originPlayed + (elapsed - plan.originClock) * plan.speed;
    StepPlaybackFrame frame = plan.playback.sample(played, reduceMotion_);
    previewPlayers_ = std::move(frame.players);
    previewBall_ = frame.ball;
    previewBallHeight_ = frame.ballHeight;
    previewOwnerID_ = frame.ownerID;
    previewBallInFlight_ = StepPlayback::ballInFlight(plan.playback, frame);
    ballRotation_ = frame.ballRotation;
    if (frame.travelDirection) ballTravelDirection_ = *frame.travelDirection;
    if (frame.visionOpacity) visionOpacity_ = *frame.visionOpacity;

    if (frame.interception) {
        intercept(plan, *frame.interception);
        return;
    }
    if (frame.progress >= 1) finishTransition(plan);
}

void BoardStore::finishTransition(const StepTransition& plan) {
    Batch batch(notifier_);
    stop(animationTimer_);
    animationSession_ = Uuid::random();
    // The steps may have changed under a running transition; land only on a real step.
    const int count = static_cast<int>(tactic_.steps.size());
    const int target = std::clamp(plan.toIndex, 0, count - 1);
    setStepIndex(target);
    captureStageBaseline();
    clearStepPreview();
    visionOpacity_ = 1.0;
    notifier_.mark(StoreChange::animation | StoreChange::board);
    setStatus("正在演示：" + tactic_.steps[static_cast<std::size_t>(target)].title);

    if (plan.autoAdvance && playing_ && target + 1 < count) {
        if (!timer_) timer_ = platform_.makeOneShotTimer();
        const Uuid session = animationSession_;
        std::weak_ptr<BoardStore*> weak = self_;
        timer_->start(kAutoPauseSeconds, [weak, session] {
            auto self = weak.lock();
            if (!self || !*self) return;
            BoardStore& store = **self;
            if (!store.playing_ || store.animationSession_ != session) return;
            store.animateTransition(store.stepIndex_ + 1, true);
        });
    } else {
        playing_ = false;
    }
}

void BoardStore::intercept(const StepTransition& plan, const StepPlaybackFrame::Interception& interception) {
    Batch batch(notifier_);
    const BoardStep& target = plan.playback.to();
    BoardStep step = StepEditing::interceptionStep(target, previewPlayers_.value_or(target.players),
                                                   previewBall_.value_or(interception.interceptor.position),
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

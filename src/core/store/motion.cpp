// Playback: animated moves between steps, the ball's flight and roll, interceptions.
//
// Two free choices, made here:
// - A player present in only one of the two steps: one who is only in the target step
//   stands at his target position throughout; one who is only in the step being left is
//   not drawn. So the animated picture always holds exactly the target step's people.
// - Interceptions are tested only when moving forward. Stepping back replays history; it
//   must never write a new step into the tactic.
#include <cmath>

#include "core/model/ball_flight.h"
#include "core/pitch/motion_path.h"
#include "core/pitch/vision_geometry.h"
#include "core/store/board_store.h"
#include "core/store/motion_internal.h"

namespace vantrel {

namespace {

constexpr double kStepSeconds = 1.8;
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

void BoardStore::clearStepPreview() {
    previewBallHeight_ = 0;
    previewBall_.reset();
    previewOwnerID_.reset();
    previewRoute_.reset();
    previewPassStyle_.reset();
    previewPlayers_.reset();
    notifier_.mark(StoreChange::animation | StoreChange::board);
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
    notifier_.mark(StoreChange::animation | StoreChange::board);
}

void BoardStore::cancelManualPass() {
    Batch batch(notifier_);
    stop(passTimer_);
    passSession_ = Uuid::random();
    stop(visionClock_);
    visionOpacity_ = 1.0;
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

    auto plan = std::make_shared<StepTransition>();
    plan->fromIndex = stepIndex_;
    plan->toIndex = to;
    plan->from = tactic_.steps[static_cast<std::size_t>(stepIndex_)];
    plan->to = tactic_.steps[static_cast<std::size_t>(to)];
    plan->forward = to > stepIndex_;
    plan->autoAdvance = autoAdvance;

    for (const auto& target : plan->to.players) {
        const Player* before = plan->from.player(target.id);
        StepTransition::Run run{target, before ? before->position : target.position, {}, target.position};
        if (!before) {
            run.control = run.start;   // arrives only in the target step: stands still
        } else if (plan->forward) {
            run.control = routeControl(target.id, plan->from, plan->to, run.start, run.end);
        } else {
            // Backwards the stored curves belong to the other direction: plan afresh.
            std::vector<Point> obstacles;
            for (const auto& p : plan->from.players)
                if (p.id != target.id) obstacles.push_back(p.position);
            run.control = MotionPath::control(run.start, run.end, obstacles, false);
        }
        plan->runs.push_back(run);
    }
    auto runOf = [&](const std::optional<std::string>& id) -> const StepTransition::Run* {
        if (!id) return nullptr;
        for (const auto& run : plan->runs)
            if (run.player.id == *id && plan->from.player(*id)) return &run;
        return nullptr;
    };

    const Player* passer = plan->from.owner();
    const Player* receiver = plan->to.owner();
    if (passer && receiver && passer->id != receiver->id && (passer->team == 0) == (receiver->team == 0)) {
        const auto* passerRun = runOf(passer->id);
        const auto* receiverRun = runOf(receiver->id);
        StepTransition::Pass p;
        p.passerID = passer->id;
        p.receiverID = receiver->id;
        p.passerTeam = passer->team;
        // A player missing from a run kicks or receives where he stands.
        p.kick = passerRun ? quadraticPoint(passerRun->start, passerRun->control, passerRun->end, MotionPath::kKickAt)
                           : passer->position;
        p.receive = receiverRun ? quadraticPoint(receiverRun->start, receiverRun->control, receiverRun->end,
                                                 MotionPath::kReceiveAt)
                                : receiver->position;
        p.style = (plan->forward ? plan->to : plan->from).effectivePassStyle();
        plan->pass = p;
        plan->duration = std::max(2 * BallFlight::duration(p.kick, p.receive, p.style), kStepSeconds);
    } else if (passer && receiver && passer->id == receiver->id && runOf(passer->id)) {
        plan->dribblerID = passer->id;
    }

    previewRoute_ = plan->pass ? std::optional<BallRoute>(BallRoute{plan->pass->kick, plan->pass->receive})
                               : std::nullopt;
    previewPassStyle_ = plan->pass ? std::optional<PassStyle>(plan->pass->style) : std::nullopt;
    previewOwnerID_ = plan->from.ballOwner;
    previewBallHeight_ = 0;
    previewBall_ = plan->from.ball;
    previewPlayers_.emplace();
    for (const auto& run : plan->runs) {
        Player p = run.player;
        p.position = run.start;
        previewPlayers_->push_back(p);
    }
    plan->roll = BallRollState{plan->from.ball, 0, ballRotation_, false, false};

    stop(animationTimer_);
    animationSession_ = Uuid::random();
    plan->session = animationSession_;
    notifier_.mark(StoreChange::animation | StoreChange::board);

    std::weak_ptr<BoardStore*> weak = self_;
    clock(animationTimer_).start([weak, plan](double elapsed) {
        if (auto self = weak.lock(); self && *self) (*self)->transitionFrame(elapsed, *plan);
    });
}

void BoardStore::transitionFrame(double elapsed, StepTransition& plan) {
    if (plan.session != animationSession_) return;
    Batch batch(notifier_);
    notifier_.mark(StoreChange::animation | StoreChange::board);
    const double p = std::min(elapsed / plan.duration, 1.0);
    const double e = smoothstep(p);

    std::vector<Player> players;
    players.reserve(plan.runs.size());
    for (const auto& run : plan.runs) {
        Player player = run.player;
        player.position = quadraticPoint(run.start, run.control, run.end, e);
        players.push_back(player);
    }
    auto positionOf = [&](const std::string& id, Point fallback) {
        for (const auto& player : players)
            if (player.id == id) return player.position;
        return fallback;
    };

    if (plan.pass) {
        if (reduceMotion_) visionOpacity_ = (p < 0.25 || p >= 0.75) ? 1.0 : 0.0;
        else visionOpacity_ = VisionTransition::stage(elapsed, plan.duration);
    }
    previewOwnerID_ = (plan.pass && p > 0.75) ? std::optional<std::string>(plan.pass->receiverID) : plan.from.ballOwner;

    Point ball;
    double height = 0;
    double q = 0;
    BallFlight::Sample flight;
    if (plan.pass) {
        const auto& pass = *plan.pass;
        q = std::clamp((p - 0.25) * 2, 0.0, 1.0);
        flight = BallFlight::sample(pass.kick, pass.receive, q, pass.style);
        if (p < 0.25) {
            ball = positionOf(pass.passerID, pass.kick);
        } else if (p > 0.75) {
            ball = positionOf(pass.receiverID, pass.receive);
        } else {
            ball = flight.position;
            height = flight.height;
        }
    } else if (plan.dribblerID) {
        ball = positionOf(*plan.dribblerID, plan.to.ball);
    } else {
        ball = {plan.from.ball.x + (plan.to.ball.x - plan.from.ball.x) * e,
                plan.from.ball.y + (plan.to.ball.y - plan.from.ball.y) * e};
    }
    previewPlayers_ = players;
    previewBall_ = ball;
    previewBallHeight_ = height;

    // Spin and direction.
    auto& roll = plan.roll;
    const bool inFlight = plan.pass && p >= 0.25 && p <= 0.75;
    if (plan.pass && !roll.didKick && inFlight) {
        roll.rotationAtKick = ballRotation_;
        roll.didKick = true;
    }
    if (inFlight) ballRotation_ = roll.rotationAtKick + flight.rotation;
    if (plan.pass && !roll.didReceive && p > 0.75) {
        const auto landed = BallFlight::sample(plan.pass->kick, plan.pass->receive, 1.0, plan.pass->style);
        ballRotation_ = roll.rotationAtKick + landed.rotation;
        roll.previousBall = ball;
        roll.didReceive = true;
    }
    const Point moved{ball.x - roll.previousBall.x, ball.y - roll.previousBall.y};
    if (std::hypot(moved.x, moved.y) > 0.00001) ballTravelDirection_ = moved;
    if (!inFlight) {
        const double metres = std::hypot(moved.x * kPitchLengthMetres, moved.y * kPitchWidthMetres);
        if (std::isfinite(metres)) {
            if (!plan.pass) {
                roll.carryDistance += metres;
                ballRotation_ = roll.rotationAtKick + BallFlight::rollDegrees(std::max(roll.carryDistance, 0.0));
            } else {
                ballRotation_ += BallFlight::rollDegrees(metres);
            }
        }
    }
    roll.previousBall = ball;

    // Interceptions, forward only.
    if (plan.forward) {
        if (plan.pass && q > 0.06 && q < 0.94 && height < kInterceptHeightLimit) {
            const Player* nearest = nearestOpponent(players, plan.pass->passerTeam, ball);
            if (nearest && aspectDistance(nearest->position, ball) < kPassInterceptReach) {
                intercept(plan, *nearest, true);
                return;
            }
        } else if (!plan.pass && plan.dribblerID && p > 0.08 && p < 0.94) {
            const Player* dribbler = plan.to.player(*plan.dribblerID);
            const Player* nearest = dribbler ? nearestOpponent(players, dribbler->team, ball) : nullptr;
            if (nearest && aspectDistance(nearest->position, ball) < kDribbleTackleReach) {
                intercept(plan, *nearest, false);
                return;
            }
        }
    }

    if (p >= 1) finishTransition(plan);
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

void BoardStore::intercept(const StepTransition& plan, const Player& interceptor, bool onPassLine) {
    Batch batch(notifier_);
    const std::string title = onPassLine ? "传球被拦截" : "带球被抢断";
    const std::string phrase = onPassLine ? "在传球线路上断球" : "逼近持球人并完成抢断";

    BoardStep step = plan.to;
    step.id = Uuid::random();
    step.title = title;
    step.note = playerLabel(interceptor) + phrase + "。后续进攻需要重新选择路线。";
    step.players = previewPlayers_.value_or(plan.to.players);
    step.ballOwner = interceptor.id;
    step.ball = previewBall_.value_or(interceptor.position);
    step.pathControls.reset();

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

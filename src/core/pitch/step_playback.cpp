// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/pitch/step_playback.h"

#include <algorithm>
#include <cmath>

#include "core/model/ball_flight.h"
#include "core/pitch/easing.h"
#include "core/pitch/motion_path.h"
#include "core/pitch/vision_geometry.h"

namespace vantrel {

namespace {

// Unit vector along v, or nothing when v has no length we can use.
std::optional<Point> unit(Point v) {
    const double length = std::hypot(v.x, v.y);
    if (!(length > 1e-12) || !std::isfinite(length)) return std::nullopt;
    return Point{v.x / length, v.y / length};
}

std::optional<Point> tangent(const StepPlayback::Run* run, double u) {
    if (!run) return std::nullopt;
    return unit({(1.0 - u) * (run->control.x - run->start.x) + u * (run->end.x - run->control.x),
                 (1.0 - u) * (run->control.y - run->start.y) + u * (run->end.y - run->control.y)});
}

double arc(const StepPlayback::Run* run, double u0, double u1) {
    return run ? MotionPath::arcMetres(run->start, run->control, run->end, u0, u1) : 0.0;
}

}  // namespace

Point StepPlayback::Run::at(double progress) const {
    return quadraticPoint(start, control, end, smoothstep(progress));
}

const Player* nearestOpponent(const std::vector<Player>& players, int team, Point ball) {
    const Player* nearest = nullptr;
    double best = 0;
    for (const auto& p : players) {
        if ((p.team == 0) == (team == 0)) continue;
        const double d = aspectDistance(p.position, ball);
        if (!nearest || d < best) nearest = &p, best = d;
    }
    return nearest;
}

StepPlayback::StepPlayback(const BoardStep& from, const BoardStep& to, bool forward, double startRotation)
    : from_(from), to_(to), forward_(forward), startRotation_(startRotation) {
    for (const auto& target : to_.players) {
        const Player* before = from_.player(target.id);
        Run run{target, before ? before->position : target.position, {}, target.position};
        if (!before) {
            run.control = run.start;   // arrives only in the target step: stands still
        } else if (forward_) {
            run.control = MotionPath::routeControl(target.id, from_, to_, run.start, run.end);
        } else {
            // Backwards the stored curves belong to the other direction: plan afresh.
            std::vector<Point> obstacles;
            for (const auto& p : from_.players)
                if (p.id != target.id) obstacles.push_back(p.position);
            run.control = MotionPath::control(run.start, run.end, obstacles, false);
        }
        runs_.push_back(run);
    }

    const Player* passer = from_.owner();
    const Player* receiver = to_.owner();
    if (passer && receiver && passer->id != receiver->id && (passer->team == 0) == (receiver->team == 0)) {
        passerRun_ = runOf(passer->id);
        receiverRun_ = runOf(receiver->id);
        const Run* kicked = run(passerRun_);
        const Run* received = run(receiverRun_);
        Pass p;
        p.passerID = passer->id;
        p.receiverID = receiver->id;
        p.passerTeam = passer->team;
        // A player missing from a run kicks or receives where he stands.
        p.kick = kicked ? quadraticPoint(kicked->start, kicked->control, kicked->end, MotionPath::kKickAt)
                        : passer->position;
        p.receive = received ? quadraticPoint(received->start, received->control, received->end, MotionPath::kReceiveAt)
                             : receiver->position;
        p.style = (forward_ ? to_ : from_).effectivePassStyle();
        pass_ = p;
        const double flight = 2 * BallFlight::duration(p.kick, p.receive, p.style);
        // NaN or a flight longer than the cap (points far off the pitch) gets the cap.
        duration_ = std::isfinite(flight) ? std::clamp(flight, kStepSeconds, kMaxStepSeconds) : kMaxStepSeconds;
    } else if (passer && receiver && passer->id == receiver->id && runOf(passer->id)) {
        dribblerID_ = passer->id;
        dribblerRun_ = runOf(passer->id);
    }
    // Fixed for the whole transition, so a frame measures at most one stretch of a run.
    knockMetres_ = metresBetween(from_.ball, ballAt(0));
    rolledAtKickMetres_ = knockMetres_ + arc(run(passerRun_), 0, MotionPath::kKickAt);
}

std::optional<std::size_t> StepPlayback::runOf(const std::string& id) const {
    if (!from_.player(id)) return std::nullopt;
    for (std::size_t i = 0; i < runs_.size(); ++i)
        if (runs_[i].player.id == id) return i;
    return std::nullopt;
}

std::optional<BallRoute> StepPlayback::route() const {
    if (!pass_) return std::nullopt;
    return BallRoute{pass_->kick, pass_->receive};
}

bool StepPlayback::ballInFlight(const StepPlayback& playback, const StepPlaybackFrame& frame) {
    const auto& pass = playback.pass();
    return pass && flightProgress(frame.progress) > 0 && frame.ownerID != pass->receiverID;
}

double StepPlayback::flightProgress(double progress) { return std::clamp((progress - kKick) * 2, 0.0, 1.0); }

Point StepPlayback::ballAt(double p) const {
    if (pass_) {
        if (p < kKick) {
            const Run* r = run(passerRun_);
            return r ? r->at(p) : pass_->kick;
        }
        if (p > kReceive) {
            const Run* r = run(receiverRun_);
            return r ? r->at(p) : pass_->receive;
        }
        return BallFlight::sample(pass_->kick, pass_->receive, flightProgress(p), pass_->style).position;
    }
    if (const Run* r = run(dribblerRun_)) return r->at(p);
    const double e = smoothstep(p);
    return {from_.ball.x + (to_.ball.x - from_.ball.x) * e, from_.ball.y + (to_.ball.y - from_.ball.y) * e};
}

// Metres the ball has rolled on the turf by progress p: a flight's own roll or spin is
// added by the flight law. A ball that does not start at its carrier's feet is first
// knocked there.
double StepPlayback::rolledMetres(double p) const {
    if (!(p > 0)) return 0.0;
    const double e = smoothstep(p);
    if (pass_) {
        if (p < kKick) return knockMetres_ + arc(run(passerRun_), 0, e);
        if (p <= kReceive) return rolledAtKickMetres_;
        return rolledAtKickMetres_ + arc(run(receiverRun_), MotionPath::kReceiveAt, e);
    }
    if (const Run* r = run(dribblerRun_)) return knockMetres_ + arc(r, 0, e);
    return metresBetween(from_.ball, to_.ball) * e;
}

// The way the ball last moved by progress p: along the curve that carries it, else the
// way it went before that; nothing while it has not moved yet.
std::optional<Point> StepPlayback::direction(double p) const {
    if (!(p > 0)) return std::nullopt;
    const double e = smoothstep(p);
    const auto knocked = unit({ballAt(0).x - from_.ball.x, ballAt(0).y - from_.ball.y});
    if (pass_) {
        if (p > kReceive)
            if (auto d = tangent(run(receiverRun_), e)) return d;
        if (p >= kKick)
            if (auto d = unit({pass_->receive.x - pass_->kick.x, pass_->receive.y - pass_->kick.y})) return d;
        if (auto d = tangent(run(passerRun_), std::min(e, MotionPath::kKickAt))) return d;
        return knocked;
    }
    if (const Run* r = run(dribblerRun_)) {
        if (auto d = tangent(r, e)) return d;
        return knocked;
    }
    return unit({to_.ball.x - from_.ball.x, to_.ball.y - from_.ball.y});
}

StepPlaybackFrame StepPlayback::sampleAt(double progress, bool reduceMotion) const {
    return sample(progress * duration_, reduceMotion);
}

std::optional<BallFlight::Sample> StepPlayback::place(StepPlaybackFrame& frame, double elapsed) const {
    if (!(elapsed > 0)) elapsed = 0;
    const double p = std::min(elapsed / duration_, 1.0);
    frame.progress = p;
    if (frame.players.size() != runs_.size()) {
        frame.players.clear();
        frame.players.reserve(runs_.size());
        for (const auto& r : runs_) frame.players.push_back(r.player);
    }
    for (std::size_t i = 0; i < runs_.size(); ++i) frame.players[i].position = runs_[i].at(p);
    frame.ball = ballAt(p);
    frame.ballHeight = 0;
    if (!pass_) return std::nullopt;
    const auto flight = BallFlight::sample(pass_->kick, pass_->receive, flightProgress(p), pass_->style);
    if (p >= kKick && p <= kReceive) frame.ballHeight = flight.height;
    return flight;
}

std::optional<StepPlaybackFrame> StepPlayback::firstInterception(double frameSeconds) const {
    if (!forward_ || !(frameSeconds > 0) || (!pass_ && !dribblerID_)) return std::nullopt;
    // Only ticks inside the test's own window can stop the move; the rule decides.
    const double from = pass_ ? kKick : kDribbleTackleFrom;
    const double to = pass_ ? kReceive : kDribbleTackleTo;
    // The walk is bounded by a count of ticks, never by the distance the ball travels:
    // a window wider than kMaxInterceptionTicks frames is sampled more coarsely.
    const double window = (to - from) * duration_;
    if (!(window / frameSeconds <= static_cast<double>(kMaxInterceptionTicks))) frameSeconds = window / kMaxInterceptionTicks;
    if (!(frameSeconds > 0) || !std::isfinite(frameSeconds)) return std::nullopt;
    StepPlaybackFrame frame;
    auto tick = static_cast<long>(std::floor(from * duration_ / frameSeconds));
    for (long walked = 0; walked <= kMaxInterceptionTicks + 2; ++walked, ++tick) {
        const double elapsed = static_cast<double>(tick) * frameSeconds;
        if (tick < 1) continue;   // the first tick comes one frame after the start
        if (elapsed > to * duration_) return std::nullopt;
        place(frame, elapsed);
        if (auto caught = interception(frame)) {
            frame.interception = std::move(caught);
            return frame;
        }
    }
    return std::nullopt;
}

StepPlaybackFrame StepPlayback::sample(double elapsed, bool reduceMotion) const {
    if (!(elapsed > 0)) elapsed = 0;
    StepPlaybackFrame frame;
    const auto flight = place(frame, elapsed);
    const double p = frame.progress;

    frame.ownerID = (pass_ && p > kReceive) ? std::optional<std::string>(pass_->receiverID) : from_.ballOwner;
    double spin = 0;
    if (flight) {
        if (p >= kKick) spin = flight->rotation;
        frame.visionOpacity = reduceMotion ? ((p < kKick || p >= kReceive) ? 1.0 : 0.0)
                                           : VisionTransition::stage(elapsed, duration_);
    }
    frame.ballRotation = startRotation_ + BallFlight::rollDegrees(rolledMetres(p)) + spin;
    frame.travelDirection = direction(p);
    frame.interception = interception(frame);
    return frame;
}

std::optional<StepPlaybackFrame::Interception> StepPlayback::interception(const StepPlaybackFrame& frame) const {
    if (!forward_) return std::nullopt;
    const double p = frame.progress;
    if (pass_) {
        const double q = flightProgress(p);
        if (!(q > kPassInterceptFrom && q < kPassInterceptTo && frame.ballHeight < kInterceptHeightLimit))
            return std::nullopt;
        const Player* nearest = nearestOpponent(frame.players, pass_->passerTeam, frame.ball);
        if (nearest && aspectDistance(nearest->position, frame.ball) < kPassInterceptReach)
            return StepPlaybackFrame::Interception{*nearest, true};
    } else if (dribblerID_ && p > kDribbleTackleFrom && p < kDribbleTackleTo) {
        const Player* dribbler = to_.player(*dribblerID_);
        const Player* nearest = dribbler ? nearestOpponent(frame.players, dribbler->team, frame.ball) : nullptr;
        if (nearest && aspectDistance(nearest->position, frame.ball) < kDribbleTackleReach)
            return StepPlaybackFrame::Interception{*nearest, false};
    }
    return std::nullopt;
}

}  // namespace vantrel

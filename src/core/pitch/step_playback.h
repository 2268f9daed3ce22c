// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/model/ball_flight.h"
#include "core/model/board.h"

namespace vantrel {

// One drawn picture of a step transition.
struct StepPlaybackFrame {
    struct Interception {
        Player interceptor;   // where he stands in this picture
        bool onPassLine = true;   // false: the dribbler was tackled
        bool operator==(const Interception&) const = default;
    };

    double progress = 0;                    // 0 … 1 of the transition
    std::vector<Player> players;            // the target step's players where they run
    Point ball;
    std::optional<std::string> ownerID;     // the ball is drawn at this player's feet
    double ballHeight = 0;                  // normalised width units
    double ballRotation = 0;                // degrees
    std::optional<Point> travelDirection;   // unit; absent until the ball has moved
    std::optional<double> visionOpacity;    // set only while a pass changes the carrier
    std::optional<Interception> interception;

    bool operator==(const StepPlaybackFrame&) const = default;
};

// The animated move from one step to another as a pure function of time, the way
// FormationTransition samples a layout change. Every player runs along its curve with
// eased progress; a pass between team-mates leaves the passer at a quarter of the
// transition and reaches the receiver at three quarters, otherwise the owner dribbles or
// a loose ball slides. The spin is the distance rolled, so any moment can be sampled
// without playing up to it.
//
// Two free choices, made here:
// - A player present in only one of the two steps: one who is only in the target step
//   stands at his target position throughout; one who is only in the step being left is
//   not drawn. So the picture always holds exactly the target step's people.
// - Interceptions are tested only moving forward. Stepping back replays history; it must
//   never write a new step into the tactic.
class StepPlayback {
public:
    static constexpr double kStepSeconds = 1.8;   // a transition without a pass, and the shortest
    // The ball leaves the passer and reaches the receiver at these fractions of the
    // transition; they meet the runs at smoothstep(kKick) = MotionPath::kKickAt and
    // smoothstep(kReceive) = MotionPath::kReceiveAt.
    static constexpr double kKick = 0.25;
    static constexpr double kReceive = 0.75;
    // Interception windows: fractions of the flight for a pass, of the transition for a
    // dribble; reaches in aspect-weighted normalised units; a ball higher than the limit
    // (normalised width units) is out of reach.
    static constexpr double kPassInterceptFrom = 0.06;
    static constexpr double kPassInterceptTo = 0.94;
    static constexpr double kDribbleTackleFrom = 0.08;
    static constexpr double kDribbleTackleTo = 0.94;
    static constexpr double kPassInterceptReach = 0.027;
    static constexpr double kDribbleTackleReach = 0.024;
    static constexpr double kInterceptHeightLimit = 0.025;
    // The longest transition, in seconds. A pass across the whole pitch takes about 6 s;
    // the cap keeps every walk over a transition (the interception test, a video's
    // frames) bounded even for a step that never went through the import checks.
    static constexpr double kMaxStepSeconds = 30;
    // The most ticks the interception test samples; a longer window is sampled at this
    // many evenly spaced ticks.
    static constexpr long kMaxInterceptionTicks = 4096;

    struct Run {
        Player player;   // id, number and team of the target step's record
        Point start;
        Point control;
        Point end;
        Point at(double progress) const;   // eased along the curve
        bool operator==(const Run&) const = default;
    };
    struct Pass {
        std::string passerID;
        std::string receiverID;
        int passerTeam = 0;
        Point kick;
        Point receive;
        PassStyle style = PassStyle::ground;
        bool operator==(const Pass&) const = default;
    };

    // Forward the runs follow the target step's curved-run controls (else the planned
    // ones) and the target's pass style; backward they are planned afresh and the pass
    // style is that of the step being left. `startRotation`: the ball's spin in degrees
    // when the transition starts.
    StepPlayback(const BoardStep& from, const BoardStep& to, bool forward, double startRotation = 0);

    // Flight progress of the pass at transition progress p: 0 before the kick, 1 after
    // the reception.
    static double flightProgress(double progress);

    // Whether the picture shows the ball of a pass between passer and receiver: from the
    // kick until the receiver owns it (the owner shown changes a frame after the flight
    // lands), so it is drawn free and travels rather than waiting at the passer's feet.
    static bool ballInFlight(const StepPlayback& playback, const StepPlaybackFrame& frame);

    // The picture `elapsed` seconds after the start (clamped to the transition). With
    // reduce motion the vision is hidden during the flight instead of faded.
    StepPlaybackFrame sample(double elapsed, bool reduceMotion = false) const;
    // The same at a fraction of the transition.
    StepPlaybackFrame sampleAt(double progress, bool reduceMotion = false) const;
    // Where the ball is at a fraction of the transition (cheaper than a whole picture).
    Point ballAt(double progress) const;

    // The display refresh the store's clock ticks at; its ticks fall on whole frames.
    static constexpr double kFrameSeconds = 1.0 / 60.0;
    // The first tick, one every `frameSeconds` from the start, at which playback stops
    // at an interception: that picture with its players, ball and interceptor (spin,
    // direction and vision left out); nothing when the move runs through. The test is
    // the one each played frame runs.
    std::optional<StepPlaybackFrame> firstInterception(double frameSeconds = kFrameSeconds) const;

    const BoardStep& from() const { return from_; }
    const BoardStep& to() const { return to_; }
    bool forward() const { return forward_; }
    double duration() const { return duration_; }   // seconds
    const std::vector<Run>& runs() const { return runs_; }
    const std::optional<Pass>& pass() const { return pass_; }
    const std::optional<std::string>& dribblerID() const { return dribblerID_; }
    std::optional<BallRoute> route() const;

private:
    std::optional<std::size_t> runOf(const std::string& id) const;
    const Run* run(const std::optional<std::size_t>& index) const { return index ? &runs_[*index] : nullptr; }
    double rolledMetres(double progress) const;
    std::optional<Point> direction(double progress) const;
    std::optional<StepPlaybackFrame::Interception> interception(const StepPlaybackFrame& frame) const;
    // What the interception test reads: progress, players, ball and its height. Reuses
    // the frame's list of players. Returns the flight sample while a pass is on.
    std::optional<BallFlight::Sample> place(StepPlaybackFrame& frame, double elapsed) const;

    BoardStep from_;
    BoardStep to_;
    bool forward_ = true;
    double startRotation_ = 0;
    std::vector<Run> runs_;
    std::optional<Pass> pass_;
    std::optional<std::string> dribblerID_;   // the owner keeps the ball across the move
    std::optional<std::size_t> passerRun_;    // indices into runs_
    std::optional<std::size_t> receiverRun_;
    std::optional<std::size_t> dribblerRun_;
    double duration_ = kStepSeconds;
    double knockMetres_ = 0;          // from the step's ball to the carrier's feet
    double rolledAtKickMetres_ = 0;   // on the turf before a pass leaves the passer
};

// The player of the other side than `team` nearest to `ball` (aspect-weighted), the
// earlier in list order on a tie; null when there is none.
const Player* nearestOpponent(const std::vector<Player>& players, int team, Point ball);

}  // namespace vantrel

#pragma once

// Constants and per-animation records shared by the store's editing and playback files.

#include <optional>
#include <string>
#include <vector>

#include "core/model/board.h"

namespace vantrel {

inline constexpr double kVisionRevealSeconds = 0.32;
inline constexpr double kPassInterceptReach = 0.027;     // aspect-weighted normalised units
inline constexpr double kDribbleTackleReach = 0.024;     // aspect-weighted normalised units
inline constexpr double kInterceptHeightLimit = 0.025;   // normalised width units

inline double smoothstep(double v) { return v * v * (3 - 2 * v); }

// A manual pass in flight: what its clock callback carries.
struct ManualPass {
    Uuid session;
    Player passer;     // as it stood when the ball was played
    Player receiver;   // ditto: the ball lands on this position
    PassStyle style = PassStyle::ground;
    double duration = 0;        // seconds
    double startRotation = 0;   // degrees
};

// One animated move from a step to another, computed once when it starts.
struct StepTransition {
    struct Run {
        Player player;   // id, number and team of the target step's record
        Point start;
        Point control;
        Point end;
    };
    struct Pass {
        std::string passerID;
        std::string receiverID;
        int passerTeam = 0;
        Point kick;
        Point receive;
        PassStyle style = PassStyle::ground;
    };

    Uuid session;
    int fromIndex = 0;
    int toIndex = 0;
    BoardStep from;
    BoardStep to;
    std::vector<Run> runs;
    std::optional<Pass> pass;
    std::optional<std::string> dribblerID;   // the owner keeps the ball across the move
    double duration = 1.8;                    // seconds
    bool autoAdvance = false;
    bool forward = true;
    BallRollState roll;
};

// The player of the other side than `team` nearest to `ball` (aspect-weighted), the
// earlier in list order on a tie.
inline const Player* nearestOpponent(const std::vector<Player>& players, int team, Point ball) {
    const Player* nearest = nullptr;
    double best = 0;
    for (const auto& p : players) {
        if ((p.team == 0) == (team == 0)) continue;
        const double d = aspectDistance(p.position, ball);
        if (!nearest || d < best) nearest = &p, best = d;
    }
    return nearest;
}

}  // namespace vantrel

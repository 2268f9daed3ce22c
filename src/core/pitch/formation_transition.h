// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "core/model/board.h"

namespace vantrel {

// One drawn picture of the board while a layout change animates.
struct FormationLayoutFrame {
    std::vector<Player> players;   // positions as drawn
    Point ball;
    std::optional<std::string> ownerID;        // the ball is drawn at this player's feet
    std::map<std::string, double> opacities;   // 0 … 1; a player without an entry is opaque
    std::map<std::string, Point> velocities;   // normalised units per second

    bool operator==(const FormationLayoutFrame&) const = default;

    // A picture standing still: every player opaque, every velocity zero.
    static FormationLayoutFrame still(const BoardStep& step);
    static FormationLayoutFrame still(std::vector<Player> players, Point ball,
                                      std::optional<std::string> ownerID);

    // Drawing opacity of a player: its entry, else 1.
    double opacity(const std::string& playerID) const;
};

// An eased glide from a drawn picture to a step's content. Immutable once built; the
// sample at any elapsed time is a pure function of it. Positions follow a cubic
// Hermite curve whose start tangent is the starting picture's velocity, so a glide
// that replaces a running one continues without a kink.
struct FormationTransition {
    static constexpr double kMinimumDuration = 0.42;   // seconds; also the duration with no players
    static constexpr double kMaximumDuration = 0.68;   // seconds
    // A start velocity is capped at this many times the average speed |Δ| / duration,
    // the largest start tangent for which the Hermite curve does not overshoot its end.
    static constexpr double kVelocityCapFactor = 3.0;

    struct Track {
        Player player;   // the record drawn (the target's, or the start picture's if leaving)
        Point start;
        Point end;
        Point velocity;   // initial velocity, normalised units per second
        double fromOpacity = 1.0;
        double toOpacity = 1.0;

        bool operator==(const Track&) const = default;
    };

    std::vector<Track> tracks;   // the target's players in its order, then the leaving ones
    Point startBall;
    Point endBall;
    std::optional<std::string> ownerID;   // the target step's ball owner
    bool keepBallAtFoot = false;          // the owner is the same before and after
    double duration = kMinimumDuration;   // seconds, within [kMinimumDuration, kMaximumDuration]

    FormationTransition(const FormationLayoutFrame& from, const BoardStep& to);

    // The picture `elapsed` seconds after the start; before 0 it is the start, from
    // `duration` on it is the end with every velocity zero.
    FormationLayoutFrame sample(double elapsed) const;

    bool operator==(const FormationTransition&) const = default;
};

}  // namespace vantrel

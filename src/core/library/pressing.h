// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "core/model/board.h"

namespace vantrel {

// How the side without the ball moves, in two forms: the reaction of the players a
// built-in script leaves alone (pressing_reaction.cpp), and the high press that adapts a
// user's tactic (pressing_high_press.cpp). Both move a defender at most one of these
// limits per step, aspect-weighted normalised width units.
namespace PressLimits {
inline constexpr double kGoalkeeper = 0.025;
inline constexpr double kPlayer = 0.055;
inline constexpr double kPresser = 0.075;   // the players closing down the carrier
}  // namespace PressLimits

// Returns a copy in which, in every step, the side without the ball presses the carrier,
// blocks the lane of the pass that just arrived and marks the remaining attackers.
Tactic withOpponentHighPress(const Tactic& tactic);

// How the players a scripted frame does not move react to it (used by
// BuiltInTactics::makePlay). Holds what carries over from frame to frame: each player's
// opening spot, and per defending side the table pairing its defenders with attackers.
class PlayReaction {
public:
    // `opening`: the players as the first frame places them.
    explicit PlayReaction(const std::vector<Player>& opening);

    // Moves the players not in `scripted` in reaction to the frame: `players` stand where
    // the frame's explicit moves put them, `previous` where the step before left them
    // (same order), with `previousOwnerID` on the ball; `ownerID` is the carrier now (empty
    // or unknown: a loose ball, and nobody reacts). Every reaction goes through limitedMove.
    void react(std::vector<Player>& players, const std::vector<Player>& previous,
               const std::string& previousOwnerID, const std::set<std::string>& scripted,
               const std::string& ownerID);

    // The defender → attacker table of the given defending side (team 0 or not), for
    // inspection; empty until that side first defends.
    const std::map<std::string, std::string>& pairings(bool homeDefends) const;

private:
    std::map<std::string, Point> opening_;
    std::map<std::string, std::string> pairings_[2];   // [0]: home defends, [1]: away defends
};

}  // namespace vantrel

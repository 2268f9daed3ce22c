#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "core/model/board.h"

namespace vantrel {

// How the players a scripted frame does not move react to it (used by
// BuiltInTactics::makePlay). Holds what carries over from frame to frame: each player's
// opening spot, and per defending side the table pairing its defenders with attackers.
class PlayReaction {
public:
    // Per-frame move limits of a reaction, aspect-weighted normalised width units.
    static constexpr double kGoalkeeperLimit = 0.025;
    static constexpr double kPlayerLimit = 0.055;
    static constexpr double kPresserLimit = 0.075;

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

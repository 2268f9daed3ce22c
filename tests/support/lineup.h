// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <map>
#include <optional>
#include <string>

#include "core/model/board.h"
#include "core/model/uuid.h"

namespace vantrel::testing {

// A 7-a-side step: blue number n at (0.1 n, blueY), orange at (0.1 n, orangeY), far from
// any pass line unless a test moves them. The ball sits at its owner's feet, else loose
// at the centre spot.
inline BoardStep lineup(const std::map<std::string, Point>& moved = {}, std::optional<std::string> owner = {},
                        std::string title = "步骤", double blueY = 0.1, double orangeY = 0.9) {
    BoardStep step;
    step.id = Uuid::random();
    step.title = std::move(title);
    for (int team = 0; team < 2; ++team)
        for (int n = 1; n <= 7; ++n) {
            std::string id = playerID(team, n);
            auto it = moved.find(id);
            step.players.push_back({id, n, team, it != moved.end() ? it->second : Point{0.1 * n, team == 0 ? blueY : orangeY}});
        }
    step.ballOwner = owner;
    step.ball = owner ? step.player(*owner)->position : Point{0.5, 0.5};
    return step;
}

}  // namespace vantrel::testing

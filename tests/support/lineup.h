// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

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

// Two steps: blue 2 at `from` passes to blue 3 at `to`; both stand still, so the kick and
// the reception happen exactly where they stand.
inline std::vector<BoardStep> passBetween(Point from, Point to, std::map<std::string, Point> others = {},
                                          std::optional<PassStyle> style = std::nullopt) {
    others["home-2"] = from;
    others["home-3"] = to;
    BoardStep b = lineup(others, "home-3", "2 · 接球");
    b.passStyle = style;
    return {lineup(others, "home-2", "1 · 持球"), b};
}

// Blue 2 passes to blue 3 across the middle; orange 4 stands on the line in both steps.
inline std::vector<BoardStep> passPastDefender() { return passBetween({0.2, 0.5}, {0.6, 0.5}, {{"away-4", {0.4, 0.5}}}); }

}  // namespace vantrel::testing

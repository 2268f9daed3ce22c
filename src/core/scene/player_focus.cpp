// SPDX-License-Identifier: GPL-3.0-or-later
// One player's path through a tactic: what "聚焦球员" draws and a job sheet prints.
#include "core/pitch/motion_path.h"
#include "core/scene/board_scene.h"

namespace vantrel {

namespace {

constexpr double kStandingStill = 0.01;   // aspect-weighted width units, as the move arrows

}  // namespace

std::optional<SceneFocus> focusOf(const Tactic& tactic, const std::string& playerID) {
    SceneFocus focus;
    focus.playerID = playerID;
    const BoardStep* before = nullptr;
    const Player* was = nullptr;
    int firstStill = 0;   // the step from which he stands at the newest stop
    for (std::size_t i = 0; i < tactic.steps.size(); ++i) {
        const BoardStep& step = tactic.steps[i];
        const Player* is = step.player(playerID);
        if (!is) {
            before = nullptr;
            was = nullptr;
            continue;
        }
        focus.team = is->team == 1 ? 1 : 0;
        const int number = static_cast<int>(i) + 1;
        if (was && aspectDistance(was->position, is->position) < kStandingStill) {
            focus.stops.back().label = std::to_string(firstStill) + "–" + std::to_string(number);
        } else {
            if (was && before)
                focus.runs.push_back({was->position,
                                      MotionPath::routeControl(playerID, *before, step, was->position, is->position),
                                      is->position});
            focus.stops.push_back({is->position, std::to_string(number)});
            firstStill = number;
        }
        before = &step;
        was = is;
    }
    if (focus.stops.empty()) return std::nullopt;
    return focus;
}

}  // namespace vantrel

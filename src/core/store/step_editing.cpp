// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/store/step_editing.h"

#include <cmath>

#include "core/model/step_title.h"

namespace vantrel::StepEditing {

bool movePlayer(BoardStep& step, const std::string& id, Point to) {
    Player* player = step.player(id);
    if (!player) return false;
    if (player->team == 0) step.blueFormation.reset();
    else step.orangeFormation.reset();
    player->position = clampToPitch(to);
    if (step.ballOwner == id) step.ball = player->position;
    return true;
}

std::optional<Player> moveBall(BoardStep& step, Point to, bool snap) {
    const Point p = clampToPitch(to);
    const Player* nearest = nullptr;
    double best = 0;
    if (snap) {
        for (const auto& player : step.players) {
            const double d = std::hypot(player.position.x - p.x, player.position.y - p.y);
            if (!nearest || d < best) nearest = &player, best = d;
        }
    }
    if (nearest && best < kSnapDistance) {
        const Player snapped = *nearest;
        step.ballOwner = snapped.id;
        step.ball = snapped.position;
        return snapped;
    }
    step.ballOwner.reset();
    step.ball = p;
    return std::nullopt;
}

bool giveBall(BoardStep& step, const std::string& id) {
    const Player* player = step.player(id);
    if (!player) return false;
    step.ballOwner = id;
    step.ball = player->position;
    return true;
}

void setRouteControl(BoardStep& step, const std::string& id, Point control) {
    if (!step.pathControls) step.pathControls.emplace();
    (*step.pathControls)[id] = clampToPitch(control);
}

void resetRoute(BoardStep& step, const std::string& id) {
    if (step.pathControls) step.pathControls->erase(id);
}

void applyFormation(BoardStep& step, const FormationPreset& preset, int team) {
    if (team == 0) step.blueFormation = preset.id;
    else step.orangeFormation = preset.id;
    const std::vector<Point> positions = preset.positions(team);
    for (auto& player : step.players) {
        if ((player.team == 0) != (team == 0)) continue;
        if (player.number < 1 || player.number > static_cast<int>(positions.size())) continue;
        player.position = positions[static_cast<std::size_t>(player.number - 1)];
        if (step.pathControls) step.pathControls->erase(player.id);
        if (step.ballOwner == player.id) step.ball = player.position;
    }
}

BoardStep nextStep(const BoardStep& current, std::size_t count) {
    BoardStep step = current;
    step.id = Uuid::random();
    step.title = "第 " + std::to_string(count + 1) + " 步";
    step.note = kAddedStepNote;
    step.passStyle = PassStyle::ground;
    return step;
}

BoardStep interceptionStep(const Tactic& tactic, const BoardStep& target, std::vector<Player> players, Point ball,
                           const Player& interceptor, bool onPassLine) {
    BoardStep step = target;
    step.id = Uuid::random();
    step.title = onPassLine ? "传球被拦截" : "带球被抢断";
    step.note = playerLabel(tactic, interceptor) + (onPassLine ? "在传球线路上断球" : "逼近持球人并完成抢断") +
                "。后续进攻需要重新选择路线。";
    step.players = std::move(players);
    step.ballOwner = interceptor.id;
    step.ball = ball;
    step.pathControls.reset();
    return step;
}

}  // namespace vantrel::StepEditing

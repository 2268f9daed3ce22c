// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/scene/tactic_playback.h"

#include <cmath>

#include "core/scene/equipment_scene.h"
#include "core/store/step_editing.h"

namespace vantrel {

TacticPlayback::TacticPlayback(Tactic tactic, SceneDisplay display, double frameSeconds)
    : tactic_(std::move(tactic)), display_(display), frameSeconds_(frameSeconds > 0 ? frameSeconds : StepPlayback::kFrameSeconds) {
    // While the board plays, the interception marker is not shown.
    display_.showInterceptionRisk = false;
    // Each step's drawings are taken out once and shared by all its frames, so no frame
    // copies them or makes the painter compare them again.
    drawings_.reserve(tactic_.steps.size());
    for (auto& step : tactic_.steps) {
        drawings_.push_back(step.annotations && !step.annotations->empty()
                                ? std::make_shared<const std::vector<BoardAnnotation>>(std::move(*step.annotations))
                                : nullptr);
        step.annotations.reset();
    }
    if (tactic_.steps.size() >= 2) startMove();
}

double TacticPlayback::seconds(const Tactic& tactic) {
    const auto& steps = tactic.steps;
    if (steps.size() < 2) return 0;
    double total = 0;
    for (std::size_t i = 0; i + 1 < steps.size(); ++i) total += StepPlayback(steps[i], steps[i + 1], true).duration();
    return total + kPauseSeconds * static_cast<double>(steps.size() - 2);
}

void TacticPlayback::startMove() {
    const auto& steps = tactic_.steps;
    move_.emplace(steps[static_cast<std::size_t>(from_)], steps[static_cast<std::size_t>(from_ + 1)], true, rotation_);
    moveFrame_ = 0;
}

BoardScene TacticPlayback::stillScene(int index) const {
    BoardScene scene = stepScene(tactic_, index, display_);
    scene.ball.rotation = rotation_;
    scene.annotations = drawings_[static_cast<std::size_t>(index)];
    return scene;
}

std::optional<BoardScene> TacticPlayback::next() {
    if (ended_) return std::nullopt;
    if (!move_) {
        if (pauseFrames_ > 0) {
            --pauseFrames_;
            if (pauseFrames_ == 0) startMove();
            return stillScene(from_);
        }
        ended_ = true;   // a tactic of one step: its still
        return stillScene(0);
    }

    StepPlaybackFrame frame = move_->sample(static_cast<double>(moveFrame_) * frameSeconds_, display_.reduceMotion);
    ++moveFrame_;
    rotation_ = frame.ballRotation;
    const int to = from_ + 1;
    if (frame.interception) {
        // The board stops and shows the step the interception makes.
        const BoardStep step = StepEditing::interceptionStep(tactic_, move_->to(), frame.players, frame.ball,
                                                             frame.interception->interceptor,
                                                             frame.interception->onPassLine);
        Tactic stopped;
        stopped.pitch = tactic_.pitch;
        stopped.steps.push_back(step);
        ended_ = true;
        BoardScene scene = stepScene(stopped, 0, display_);
        scene.ball.rotation = rotation_;
        scene.annotations = drawings_[static_cast<std::size_t>(to)];   // it keeps the target's drawings
        return scene;
    }
    if (frame.progress >= 1) {
        move_.reset();
        from_ = to;
        if (to + 1 < static_cast<int>(tactic_.steps.size()))
            pauseFrames_ = std::max(1, static_cast<int>(std::lround(kPauseSeconds / frameSeconds_)) - 1);
        else
            ended_ = true;
        return stillScene(to);
    }

    SceneInput in;
    in.teams = &tactic_.teams;
    in.players = std::move(frame.players);
    in.ball = frame.ball;
    in.ballHeight = frame.ballHeight;
    in.ownerID = frame.ownerID;
    in.ballInFlight = StepPlayback::ballInFlight(*move_, frame);
    in.ballRotation = frame.ballRotation;
    if (frame.travelDirection) in.travelDirection = *frame.travelDirection;
    in.visionOwnerID = frame.ownerID;
    in.visionOpacity = frame.visionOpacity.value_or(1.0);
    in.showVision = display_.showVision;
    in.showOffside = display_.showOffside;
    if (auto route = move_->route();
        route && std::hypot(route->end.x - route->start.x, route->end.y - route->start.y) > 0.035)
        in.passPreview = PathPreview{route->start, route->end,
                                     move_->pass() ? move_->pass()->style : PassStyle::ground};
    in.annotations = drawings_[static_cast<std::size_t>(from_)];
    in.equipment = glideEquipment(stepEquipment(move_->from()), stepEquipment(move_->to()), frame.progress,
                                  in.equipmentOpacities);
    if (display_.showPitchAreas) in.pitchAreas = tactic_.pitch;
    in.interactive = false;
    return buildScene(std::move(in));
}

}  // namespace vantrel

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>

#include "core/library/formation_preset.h"
#include "core/model/board.h"

namespace vantrel {

// The edits a coach makes to one step, as plain changes of the record. The store's
// editing commands run these on the current step and then record the edit (change flag,
// autosave); each returns false, or nothing, when it leaves the step as it was.
namespace StepEditing {

inline constexpr double kSnapDistance = 0.065;   // plain normalised distance

// Clamps to the pitch, carries the ball with its owner and makes that team "custom".
bool movePlayer(BoardStep& step, const std::string& id, Point to);
// Clamps to the pitch; with `snap` the nearest player within reach takes the ball and is
// returned, otherwise the ball lies loose.
std::optional<Player> moveBall(BoardStep& step, Point to, bool snap);
bool giveBall(BoardStep& step, const std::string& id);
// A curved-run control for the player's run into `step`, clamped to the pitch.
void setRouteControl(BoardStep& step, const std::string& id, Point control);
void resetRoute(BoardStep& step, const std::string& id);
// Places `team` by the preset; the moved players lose their curved runs.
void applyFormation(BoardStep& step, const FormationPreset& preset, int team);
// The step added after `current` when the tactic holds `count` steps.
BoardStep nextStep(const BoardStep& current, std::size_t count);
// The step an interception inserts: the target step's people where the picture shows
// them, the ball at the interceptor's feet, no curved runs; its note names him as
// `tactic`'s squad does.
BoardStep interceptionStep(const Tactic& tactic, const BoardStep& target, std::vector<Player> players, Point ball,
                           const Player& interceptor, bool onPassLine);

}  // namespace StepEditing

}  // namespace vantrel

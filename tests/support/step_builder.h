// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/model/board.h"
#include "core/model/uuid.h"

namespace vantrel::testing {

// A step holding exactly `players`, for tests that place each one by hand. The ball sits at
// its owner's feet; with no owner, or one who is not on the board, it lies at the centre spot.
inline BoardStep stepOf(std::vector<Player> players, std::optional<std::string> owner = std::nullopt,
                        std::string title = "1 · 测试") {
    BoardStep step;
    step.id = Uuid::random();
    step.title = std::move(title);
    step.players = std::move(players);
    step.ballOwner = std::move(owner);
    const Player* carrier = step.ballOwner ? step.player(*step.ballOwner) : nullptr;
    step.ball = carrier ? carrier->position : Point{0.5, 0.5};
    return step;
}

}  // namespace vantrel::testing

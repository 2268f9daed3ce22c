// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <vector>

#include "core/model/board.h"

namespace vantrel {

// The two offside lines, as pitch x. Each is the defending team's second-last player
// (the goalkeeper counts like any defender), never inside the attackers' own half; the
// ball does not matter.
struct OffsideLines {
    double blue = 0.5;     // the line blue attackers (towards x = 1) must not pass
    double orange = 0.5;   // the line orange attackers (towards x = 0) must not pass

    bool operator==(const OffsideLines&) const = default;
};

// Absent when either team has fewer than two players.
std::optional<OffsideLines> offsideLines(const std::vector<Player>& players);

}  // namespace vantrel

// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/pitch/offside_lines.h"

#include <algorithm>
#include <functional>

namespace vantrel {

std::optional<OffsideLines> offsideLines(const std::vector<Player>& players) {
    std::vector<double> blue, orange;
    for (const auto& p : players) (p.team == 0 ? blue : orange).push_back(p.position.x);
    if (blue.size() < 2 || orange.size() < 2) return std::nullopt;
    // Blue defends x = 0, so its second-last player is the second smallest x; orange
    // defends x = 1, its second-last player the second largest.
    std::nth_element(blue.begin(), blue.begin() + 1, blue.end());
    std::nth_element(orange.begin(), orange.begin() + 1, orange.end(), std::greater<>());
    return OffsideLines{.blue = std::max(orange[1], 0.5), .orange = std::min(blue[1], 0.5)};
}

}  // namespace vantrel

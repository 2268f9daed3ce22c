// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/pitch/offside_lines.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

// Blue players at `blue` x, then players of `orangeTeam` (any team but 0 is orange).
std::vector<Player> board(std::vector<double> blue, std::vector<double> orange, int orangeTeam = 1) {
    std::vector<Player> players;
    for (double x : blue) players.push_back({"", 0, 0, {x, 0.5}});
    for (double x : orange) players.push_back({"", 0, orangeTeam, {x, 0.5}});
    return players;
}

TEST(OffsideLines, TheSecondLastDefenderNeverInsideTheAttackersHalf) {
    // Orange defends x = 1: its second-last player is the second largest x, keeper included.
    EXPECT_EQ(offsideLines(board({0.05, 0.3, 0.2, 0.6}, {0.95, 0.7, 0.8, 0.4})), (OffsideLines{0.8, 0.2}));
    // Every orange player in blue's half: the halfway line; likewise for blue in orange's.
    EXPECT_EQ(offsideLines(board({0.9, 0.6, 0.7}, {0.1, 0.3, 0.45})), (OffsideLines{0.5, 0.5}));
    // Two players level at the back are the last and the second-last.
    EXPECT_EQ(offsideLines(board({0.3, 0.1, 0.1}, {0.7, 0.9, 0.9}, 7)), (OffsideLines{0.9, 0.1}));
    // A team of fewer than two draws no line for either side.
    EXPECT_FALSE(offsideLines(board({0.2}, {0.6, 0.8})));
    EXPECT_FALSE(offsideLines(board({0.2, 0.3}, {})));
}

}  // namespace
}  // namespace vantrel

#include "core/pitch/offside_lines.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

std::vector<Player> team(int t, std::vector<double> xs) {
    std::vector<Player> players;
    for (std::size_t i = 0; i < xs.size(); ++i)
        players.push_back({playerID(t, int(i) + 1), int(i) + 1, t, {xs[i], 0.5}});
    return players;
}

std::vector<Player> both(std::vector<double> blue, std::vector<double> orange) {
    auto players = team(0, blue);
    for (auto& p : team(1, orange)) players.push_back(p);
    return players;
}

TEST(OffsideLines, TheSecondLastDefenderNeverInsideTheAttackersHalf) {
    // Orange defends x = 1: its second-last player is the second largest x, keeper included.
    EXPECT_EQ(offsideLines(both({0.05, 0.3, 0.2, 0.6}, {0.95, 0.7, 0.8, 0.4})),
              (OffsideLines{.blue = 0.8, .orange = 0.2}));
    // Every orange player in blue's half: the halfway line; likewise for blue in orange's.
    EXPECT_EQ(offsideLines(both({0.9, 0.6, 0.7}, {0.1, 0.3, 0.45})), (OffsideLines{.blue = 0.5, .orange = 0.5}));
    // Players level at the line count twice; the ball and the order of the list do not matter.
    EXPECT_EQ(offsideLines(both({0.3, 0.1, 0.1}, {0.7, 0.9, 0.9})), (OffsideLines{.blue = 0.9, .orange = 0.1}));
}

TEST(OffsideLines, NoLinesWhenATeamHasFewerThanTwoPlayers) {
    EXPECT_FALSE(offsideLines(both({0.2}, {0.6, 0.8})));
    EXPECT_FALSE(offsideLines(both({0.2, 0.3}, {})));
    EXPECT_FALSE(offsideLines({}));
    // Any team other than 0 plays orange.
    auto players = team(0, {0.1, 0.2});
    players.push_back({"away-1", 1, 1, {0.9, 0.5}});
    players.push_back({"away-2", 2, 7, {0.7, 0.5}});
    EXPECT_EQ(offsideLines(players), (OffsideLines{.blue = 0.7, .orange = 0.2}));
}

}  // namespace
}  // namespace vantrel

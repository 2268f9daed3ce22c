// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/library/builtin_tactics.h"
#include "core/library/pressing.h"
#include "support/board_items.h"

namespace vantrel {
namespace {

using BuiltInTactics::limitedMove;
using testing::away;
using testing::expectNear;
using testing::home;
using testing::stepOf;

Point positionOf(const BoardStep& s, const std::string& id) { return s.player(id)->position; }

TEST(HighPress, PressersCloseDownTheCarrierFromGoalSide) {
    // Blue has the ball; orange presses. Distances from the carrier at (0.3, 0.5):
    // away-2 0.124, away-3 0.174, away-4 0.57.
    Tactic t;
    t.name = "压迫";
    t.steps.push_back(stepOf({home(1, {0.1, 0.5}), home(2, {0.3, 0.5}), home(3, {0.6, 0.8}),
                              away(1, {0.9, 0.5}), away(2, {0.38, 0.5}), away(3, {0.4, 0.42}),
                              away(4, {0.66, 0.8})},
                             "home-2"));
    const Tactic adapted = withOpponentHighPress(t);
    const BoardStep& s = adapted.steps[0];

    // First presser: onto the carrier, at most 0.075 this step.
    expectNear(positionOf(s, "away-2"), limitedMove({0.38, 0.5}, {0.3, 0.5}, 0.075), "first presser");
    // Second presser: 0.09 goal-side (orange defends x = 1) and on his own side (below).
    expectNear(positionOf(s, "away-3"), {0.39, 0.435}, "second presser");
    // Marker: 0.035 goal-side of the one attacker left.
    expectNear(positionOf(s, "away-4"), {0.635, 0.8}, "marker");
    // The goalkeeper has no target; the step keeps its title and id.
    EXPECT_EQ(positionOf(s, "away-1"), (Point{0.9, 0.5}));
    EXPECT_EQ(s.title, t.steps[0].title);
    EXPECT_EQ(s.id, t.steps[0].id);
    // No run leads into the first step.
    EXPECT_FALSE(s.pathControls.has_value());

    // The second presser takes the other side when he starts on it.
    t.steps[0].player("away-3")->position = {0.4, 0.58};
    expectNear(positionOf(withOpponentHighPress(t).steps[0], "away-3"), {0.39, 0.565}, "second presser above");
}

TEST(HighPress, BlueDefendsTowardsItsOwnGoal) {
    Tactic t;
    t.steps.push_back(stepOf({home(1, {0.1, 0.5}), home(2, {0.66, 0.5}), home(3, {0.61, 0.57}),
                              home(4, {0.38, 0.8}), away(1, {0.9, 0.5}), away(2, {0.7, 0.5}),
                              away(3, {0.4, 0.8})},
                             "away-2"));
    const BoardStep s = withOpponentHighPress(t).steps[0];
    expectNear(positionOf(s, "home-2"), {0.7, 0.5}, "first presser");
    // 0.09 towards x = 0, on the upper side where he started.
    expectNear(positionOf(s, "home-3"), {0.61, 0.565}, "second presser");
    expectNear(positionOf(s, "home-4"), {0.365, 0.8}, "marker");
    EXPECT_EQ(positionOf(s, "away-3"), (Point{0.4, 0.8}));
}

TEST(HighPress, BlocksTheLaneOfThePassThatJustArrived) {
    // Step 0 is built so that every orange player already stands at his target: on the
    // carrier, second presser 0.09 goal-side below him, markers 0.035 goal-side of 3 and 4.
    const std::vector<Player> opening{home(1, {0.1, 0.5}),          home(2, {0.3, 0.5}),
                                      home(3, {0.6, 0.5}),          home(4, {0.415, 0.58}),
                                      away(1, {0.9, 0.5}),          away(2, {0.3, 0.5}),
                                      away(3, {0.3 + 0.09, 0.5 - 0.065}), away(4, {0.6 + 0.035, 0.5}),
                                      away(5, {0.415 + 0.035, 0.58})};
    Tactic t;
    t.steps.push_back(stepOf(opening, "home-2"));
    // Blue 2 passes to blue 3 along y = 0.5; the orange keeper has drifted far.
    std::vector<Player> next = opening;
    next[4].position = {0.9, 0.7};
    t.steps.push_back(stepOf(next, "home-3", "2 · 传球"));
    t.steps[1].pathControls = std::map<std::string, Point>{{"home-3", {0.6, 0.45}}};

    const Tactic adapted = withOpponentHighPress(t);
    EXPECT_EQ(adapted.steps[0], t.steps[0]);

    const BoardStep& s = adapted.steps[1];
    // Nearest the new carrier: away-4 presses him.
    expectNear(positionOf(s, "away-4"), {0.6, 0.5}, "first presser");
    // Two defenders stand near the lane (t = 0.3 at 0.065 and t = 0.5 at 0.08 away): the
    // nearer one blocks it, as an ordinary player limited to 0.055 this step.
    expectNear(positionOf(s, "away-3"), {0.39, 0.435 + 0.055}, "lane blocker");
    // The other keeps his second-presser job: 0.09 goal-side, above, limited to 0.075.
    expectNear(positionOf(s, "away-5"), limitedMove({0.45, 0.58}, {0.69, 0.565}, 0.075), "second presser");
    // The last one marks the nearest free attacker, the passer.
    expectNear(positionOf(s, "away-2"), {0.335, 0.5}, "marker");
    // The keeper has no target but may still move only 0.025.
    expectNear(positionOf(s, "away-1"), {0.9, 0.525}, "goalkeeper");

    // The pressing runs are drawn straight: midpoints of start and end; the keeper has none.
    ASSERT_TRUE(s.pathControls.has_value());
    for (const char* id : {"away-2", "away-3", "away-4", "away-5"}) {
        const Point from = positionOf(adapted.steps[0], id);
        const Point to = positionOf(s, id);
        expectNear(*s.pathControl(id), {(from.x + to.x) / 2, (from.y + to.y) / 2}, id);
    }
    EXPECT_FALSE(s.pathControl("away-1").has_value());
    EXPECT_EQ(s.pathControl("home-3"), (Point{0.6, 0.45}));
}

TEST(HighPress, LeavesStepsWithoutACarrierAlone) {
    EXPECT_TRUE(withOpponentHighPress(Tactic{}).steps.empty());

    const std::vector<Player> players{home(1, {0.1, 0.5}), home(2, {0.3, 0.5}), away(1, {0.9, 0.5}),
                                      away(2, {0.8, 0.5})};
    Tactic t;
    t.steps.push_back(stepOf(players, std::nullopt));
    t.steps.push_back(stepOf(players, std::string("home-9"), "2 · 无人"));
    t.steps[1].passStyle = PassStyle::loft;
    EXPECT_EQ(withOpponentHighPress(t), t);
}

TEST(HighPress, KeepsEveryDefenderWithinHisLimitOverAWholePlay) {
    for (const auto& play : BuiltInTactics::sevenLibrary()) {
        const Tactic adapted = withOpponentHighPress(play);
        ASSERT_EQ(adapted.steps.size(), play.steps.size());
        for (std::size_t i = 1; i < adapted.steps.size(); ++i) {
            const BoardStep& s = adapted.steps[i];
            const BoardStep& before = adapted.steps[i - 1];
            const Player* owner = s.owner();
            ASSERT_NE(owner, nullptr);
            EXPECT_EQ(s.ball, play.steps[i].ball);
            EXPECT_EQ(s.ballOwner, play.steps[i].ballOwner);
            for (const auto& p : s.players) {
                if ((p.team == 0) == (owner->team == 0)) {
                    EXPECT_EQ(p, *play.steps[i].player(p.id)) << "the side with the ball is untouched";
                    continue;
                }
                const double limit = p.number == 1 ? 0.025 : 0.075;
                EXPECT_LE(aspectDistance(before.player(p.id)->position, p.position), limit + 1e-9)
                    << play.name << " " << s.title << " " << p.id;
            }
        }
    }
}

TEST(HighPress, SurvivesPlayersWithoutPositions) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    Tactic t;
    t.steps.push_back(stepOf({home(2, {0.3, 0.5}), home(3, {nan, 0.4}), away(2, {nan, nan}), away(3, {0.5, 0.5})},
                             "home-2"));
    t.steps.push_back(stepOf({home(2, {0.3, 0.5}), home(3, {0.5, 0.4}), away(2, {0.6, 0.6}), away(3, {nan, 0.5})},
                             "home-3", "2 · 传球"));
    const Tactic adapted = withOpponentHighPress(t);
    for (const auto& s : adapted.steps)
        for (const auto& p : s.players) EXPECT_TRUE(p.team != 1 || isFinite(p.position)) << p.id;
}

}  // namespace
}  // namespace vantrel

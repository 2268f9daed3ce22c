// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/library/builtin_tactics.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <set>

#include "core/library/formation_preset.h"
#include "core/library/pressing.h"
#include "support/board_items.h"

namespace vantrel {
namespace {

using BuiltInTactics::limitedMove;

constexpr double kTolerance = 1e-9;

TEST(LimitedMove, ShortensLongMovesWithThePitchAspectStaysOnThePitchAndToleratesOddInput) {
    // The limit is measured with the pitch's aspect.
    EXPECT_NEAR(aspectDistance({0.2, 0.2}, limitedMove({0.2, 0.2}, {0.6, 0.7}, 0.1)), 0.1, 1e-12);
    EXPECT_EQ(limitedMove({0.5, 0.5}, {0.55, 0.45}, 0.12), (Point{0.55, 0.45}));   // within the limit: exactly there
    EXPECT_EQ(limitedMove({0.95, 0.5}, {0.99, 0.5}, 0.12), (Point{0.96, 0.5}));
    EXPECT_EQ(limitedMove({0.5, 0.1}, {0.5, -0.5}, 0.12), (Point{0.5, 0.04}));
    // No limit, or none we can read, keeps the player where he is.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (const double limit : {0.0, -0.2, nan}) EXPECT_EQ(limitedMove({0.3, 0.3}, {0.6, 0.6}, limit), (Point{0.3, 0.3}));
    EXPECT_EQ(limitedMove({0.3, 0.3}, {nan, 0.6}, 0.12), (Point{0.3, 0.3}));
}

TEST(SampleTactic, OrangeMirrorsBlueWhoAdvancesThenSendsTheRunner) {
    for (int format : {7, 11, 9}) {
        const Tactic t = BuiltInTactics::sample(format);
        const int size = format == 7 ? 7 : 11;
        const std::string runner = format == 7 ? "home-6" : "home-10";
        EXPECT_EQ(t.format, size);
        ASSERT_EQ(t.steps.size(), 3u);
        const auto& [first, second, third] = std::tie(t.steps[0], t.steps[1], t.steps[2]);
        ASSERT_EQ(first.players.size(), 2u * size);
        for (int n = 1; n <= size; ++n) {
            // The orange side mirrors blue through the centre; the goalkeeper stays on the axis.
            const Point home = first.players[n - 1].position;
            const Player& away = first.players[size + n - 1];
            EXPECT_EQ(away.id, "away-" + std::to_string(n));
            EXPECT_EQ(away.position, (n == 1 ? Point{1 - home.x, 0.5} : Point{1 - home.x, 1 - home.y}));
        }
        // Blue's outfield moves up, then only the runner goes on, and receives the ball.
        for (std::size_t i = 0; i < first.players.size(); ++i) {
            const Player& before = first.players[i];
            EXPECT_EQ(second.players[i].position.x > before.position.x, before.team == 0 && before.number != 1) << before.id;
            EXPECT_EQ(third.players[i].position.x > second.players[i].position.x, before.id == runner) << before.id;
        }
        EXPECT_EQ(third.ballOwner, runner);
        EXPECT_NE(BuiltInTactics::sample(format).steps[0].id, first.id);   // fresh ids every call
    }
}

PlayFrame frame(std::string title, int owner, std::map<int, Point> moves = {}) {
    return PlayFrame{std::move(title), "", std::move(moves), owner};
}

TEST(MakePlay, PlacesTheFirstFrameFreelyAndLimitsLaterMoves) {
    const Tactic t = BuiltInTactics::makePlay("试", 7, "2-3-1", {
        frame("1 · a", 3, {{2, {0.7, 0.3}}, {-4, {0.01, 0.5}}, {99, {0.5, 0.5}}}),
        frame("2 · b", 2, {{2, {0.2, 0.3}}, {40, {0.5, 0.5}}}),
        frame("3 · c", 12),
    });
    ASSERT_EQ(t.steps.size(), 3u);

    // The preset places everybody the frame does not; orange mirrored.
    const auto spots = FormationPreset::find("2-3-1", 7)->positions(0);
    const auto& first = t.steps[0];
    EXPECT_EQ(first.player("home-5")->position, spots[4]);
    EXPECT_EQ(first.player("away-5")->position, (Point{1 - spots[4].x, 1 - spots[4].y}));
    // Scripted spots exactly, even off the pitch.
    EXPECT_EQ(first.player("home-2")->position, (Point{0.7, 0.3}));
    EXPECT_EQ(first.player("away-4")->position, (Point{0.01, 0.5}));
    EXPECT_EQ(first.ball, spots[2]);
    EXPECT_EQ(first.ballOwner, "home-3");

    // Later frames move at most 0.12 (aspect-weighted) towards the scripted spot.
    const auto& second = t.steps[1];
    EXPECT_NEAR(aspectDistance(second.player("home-2")->position, limitedMove({0.7, 0.3}, {0.2, 0.3}, 0.12)), 0, 1e-12);

    // An owner who is nobody leaves the ball loose in the middle.
    EXPECT_EQ(t.steps[2].ball, (Point{0.5, 0.5}));
    EXPECT_FALSE(t.steps[2].ballOwner.has_value());

    for (const auto& step : t.steps) EXPECT_TRUE(step.blueFormation == "2-3-1" && step.orangeFormation == "2-3-1") << step.title;
}

TEST(MakePlay, AnUnknownPresetKeepsTheSampleLineUpAndClaimsNone) {
    const Tactic custom = BuiltInTactics::makePlay("试", 7, "9-9", {frame("1 · a", 6)});
    EXPECT_EQ(custom.steps[0].players, BuiltInTactics::sample(7).steps[0].players);
    EXPECT_FALSE(custom.steps[0].blueFormation || custom.steps[0].orangeFormation);

    EXPECT_TRUE(BuiltInTactics::makePlay("空", 7, "2-3-1", {}).steps.empty());
}

TEST(MakePlay, OnlyTheSideWithoutTheBallReactsAndWithinItsLimits) {
    // Blue passes through the middle; nobody orange is scripted.
    const Tactic t = BuiltInTactics::makePlay("试", 7, "2-3-1", {
        frame("1 · a", 3),
        frame("2 · b", 6, {{6, {0.42, 0.78}}}),
        frame("3 · c", 6, {{6, {0.5, 0.8}}, {7, {0.55, 0.62}}}),
        frame("4 · d", 7),
        frame("5 · e", 7, {{7, {0.62, 0.6}}}),
    });
    const std::vector<std::set<std::string>> scripted{{}, {"home-6"}, {"home-6", "home-7"}, {}, {"home-7"}};
    for (std::size_t i = 1; i < t.steps.size(); ++i) {
        const auto& before = t.steps[i - 1];
        const auto& step = t.steps[i];
        bool orangeReacted = false;
        for (const auto& p : step.players) {
            const Point was = before.player(p.id)->position;
            const double moved = aspectDistance(was, p.position);
            if (p.team == 0) {
                if (!scripted[i].count(p.id)) {
                    EXPECT_EQ(p.position, was) << p.id << " in " << step.title;
                }
                continue;
            }
            orangeReacted = orangeReacted || moved > 0;
            EXPECT_LE(moved, (p.number == 1 ? PressLimits::kGoalkeeper : PressLimits::kPresser) + kTolerance)
                << p.id << " in " << step.title;
        }
        EXPECT_TRUE(orangeReacted) << step.title;
    }
}

TEST(MakePlay, IgnoresMovesItCannotPlace) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const int lowest = std::numeric_limits<int>::min();
    const Tactic t = BuiltInTactics::makePlay("试", 7, "3-2-1", {
        frame("1 · a", lowest, {{2, {nan, 0.3}}, {lowest, {0.5, 0.5}}}),
        frame("2 · b", 4, {{4, {0.3, nan}}, {std::numeric_limits<int>::max(), {0.5, 0.5}}}),
    });
    const auto spots = FormationPreset::find("3-2-1", 7)->positions(0);
    EXPECT_EQ(t.steps[0].player("home-2")->position, spots[1]);
    EXPECT_EQ(t.steps[0].ball, (Point{0.5, 0.5}));
    EXPECT_EQ(t.steps[1].player("home-4")->position, spots[3]);
    for (const auto& step : t.steps)
        for (const auto& p : step.players) EXPECT_TRUE(isFinite(p.position)) << p.id;
}

TEST(MakePlay, TheSideWithoutTheBallShiftsTowardsItAndStaysGoalSide) {
    // The carrier dribbles down one touchline towards the goal of the side without the
    // ball, first blue, then (the same play mirrored) orange.
    for (const int carrier : {6, -6}) {
        const double sign = carrier > 0 ? 1.0 : -1.0;
        auto spot = [&](double x, double y) { return sign > 0 ? Point{x, y} : Point{1 - x, 1 - y}; };
        std::vector<PlayFrame> frames{frame("1 · a", carrier)};
        for (int k = 1; k <= 5; ++k)
            frames.push_back(frame(std::to_string(k + 1) + " · b", carrier, {{carrier, spot(0.36 + 0.06 * k, 0.85)}}));
        const Tactic t = BuiltInTactics::makePlay("试", 7, "2-3-1", frames);
        SCOPED_TRACE(sign > 0 ? "orange defends" : "blue defends");

        const int defending = sign > 0 ? 1 : 0;
        auto depth = [&](Point p) { return sign > 0 ? p.x : 1 - p.x; };   // towards the defended goal
        auto across = [&](Point p) { return sign > 0 ? p.y : 1 - p.y; };  // towards the ball's side
        auto meanAcross = [&](const BoardStep& s) {
            double sum = 0;
            for (const auto& p : s.players)
                if (p.team == defending && p.number != 1) sum += across(p.position);
            return sum / 6;
        };
        auto nearestToBall = [&](const BoardStep& s) {
            double nearest = 10;
            for (const auto& p : s.players)
                if (p.team == defending) nearest = std::min(nearest, aspectDistance(p.position, s.ball));
            return nearest;
        };
        for (std::size_t i = 1; i < t.steps.size(); ++i) {
            const auto& before = t.steps[i - 1];
            const auto& step = t.steps[i];
            SCOPED_TRACE(step.title);
            // Once across, the block settles: it never drifts back more than a little.
            EXPECT_GT(meanAcross(step), meanAcross(before) - 0.01);
            EXPECT_GE(across(step.player(playerID(defending, 1))->position),
                      across(before.player(playerID(defending, 1))->position));
            // Someone closes the carrier down, but nobody runs into him.
            EXPECT_LT(nearestToBall(step), aspectDistance(before.ball, step.ball) + nearestToBall(before));
            EXPECT_GE(nearestToBall(step), 0.06 - kTolerance);
            // The back line keeps goal-side of the ball.
            for (int n : {2, 3}) EXPECT_GT(depth(step.player(playerID(defending, n))->position), depth(step.ball));
        }
        EXPECT_GT(meanAcross(t.steps.back()) - meanAcross(t.steps.front()), 0.08);
        EXPECT_LT(nearestToBall(t.steps.back()), 0.15);
    }
}

TEST(PlayReaction, HoldsItsPairingsFromFrameToFrame) {
    std::vector<Player> players = BuiltInTactics::sample(7).steps[0].players;
    PlayReaction reaction(players);
    std::vector<Player> before = players;
    reaction.react(players, before, "home-6", {}, "home-6");
    const auto pairs = reaction.pairings(false);
    // Every blue outfield player is picked up by a different orange one.
    ASSERT_EQ(pairs.size(), 6u);
    std::set<std::string> marked;
    for (const auto& [defender, attacker] : pairs) {
        EXPECT_EQ(defender.rfind("away-", 0), 0u);
        EXPECT_EQ(attacker.rfind("home-", 0), 0u);
        EXPECT_NE(defender, "away-1");
        marked.insert(attacker);
    }
    EXPECT_EQ(marked.size(), 6u);
    EXPECT_TRUE(reaction.pairings(true).empty());

    // The blue attackers swap sides: the pairs stay with their men.
    before = players;
    for (auto& p : players)
        if (p.team == 0 && p.number != 1) p.position.y = 1.0 - p.position.y;
    reaction.react(players, before, "home-6", {}, "home-6");
    EXPECT_EQ(reaction.pairings(false), pairs);

    // A loose ball moves nobody.
    before = players;
    reaction.react(players, before, "home-6", {}, "home-42");
    EXPECT_EQ(players, before);
}

void expectWellFormedPlay(const Tactic& t, int format) {
    SCOPED_TRACE(t.name);
    ASSERT_FALSE(t.steps.empty());
    EXPECT_EQ(t.format, format);
    const auto& opening = t.steps.front();
    ASSERT_EQ(opening.players.size(), static_cast<std::size_t>(2 * format));
    EXPECT_FALSE(opening.pathControls.has_value());

    const double scriptLimit = format == 7 ? 0.12 : 0.10;
    std::set<Uuid> ids;
    for (std::size_t i = 0; i < t.steps.size(); ++i) {
        const auto& step = t.steps[i];
        SCOPED_TRACE(step.title);
        ids.insert(step.id);
        EXPECT_EQ(step.title.rfind(std::to_string(i + 1) + " · ", 0), 0u);
        EXPECT_FALSE(step.note.empty());
        ASSERT_TRUE(step.owner());
        EXPECT_EQ(step.ball, step.owner()->position);
        // A 7-a-side step names one preset for both sides; an 11-a-side step none.
        EXPECT_TRUE(format == 7 ? FormationPreset::find(step.blueFormation.value_or(""), 7) != nullptr : !step.blueFormation);
        EXPECT_EQ(step.orangeFormation, step.blueFormation);
        EXPECT_FALSE(step.passStyle || step.annotations);

        ASSERT_EQ(step.players.size(), opening.players.size());
        for (std::size_t k = 0; k < step.players.size(); ++k) {
            const Player &now = step.players[k], &then = opening.players[k];
            EXPECT_TRUE(now.id == then.id && now.team == then.team && now.number == then.number) << now.id << " for " << then.id;
        }
        if (i == 0) continue;

        const auto& before = t.steps[i - 1];
        for (const auto& p : step.players) {
            const Point was = before.player(p.id)->position;
            const double moved = aspectDistance(was, p.position);
            // Goalkeepers are never scripted; everybody else moves within the script's limit.
            EXPECT_LE(moved, (p.number == 1 ? 0.025 : scriptLimit) + kTolerance) << p.id;
            const auto control = step.pathControl(p.id);
            EXPECT_EQ(control.has_value(), moved > 0) << p.id;
            EXPECT_TRUE(!control || testing::onDraggableSquare(*control)) << p.id;
        }
    }
    EXPECT_EQ(ids.size(), t.steps.size());
}

TEST(BuiltInLibrary, SixSevenASidePlaysOnePerPresetAndTwoElevenASideOnesForBlue) {
    const auto& seven = BuiltInTactics::sevenLibrary();
    ASSERT_EQ(seven.size(), 6u);
    std::set<std::string> names, formations;
    for (const auto& t : seven) {
        names.insert(t.name);
        formations.insert(t.steps.at(0).blueFormation.value_or(""));
        expectWellFormedPlay(t, 7);
    }
    EXPECT_EQ(names.size(), 6u);
    EXPECT_EQ(formations.size(), 6u);
    ASSERT_EQ(BuiltInTactics::elevenLibrary().size(), 2u);
    for (const auto& t : BuiltInTactics::elevenLibrary()) {
        EXPECT_EQ(t.steps[0].players, BuiltInTactics::sample(11).steps[0].players);
        for (const auto& step : t.steps) EXPECT_EQ(step.owner()->team, 0);
        expectWellFormedPlay(t, 11);
    }
}

TEST(BuiltInLibrary, BuiltOnceAndTheSameEveryTime) {
    EXPECT_EQ(&BuiltInTactics::library(7), &BuiltInTactics::sevenLibrary());
    EXPECT_EQ(&BuiltInTactics::library(11), &BuiltInTactics::elevenLibrary());
    EXPECT_EQ(&BuiltInTactics::library(5), &BuiltInTactics::elevenLibrary());

    // A fresh build differs only in its step ids: the reactions are deterministic.
    auto withoutIDs = [](std::vector<Tactic> list) {
        for (auto& t : list)
            for (auto& s : t.steps) s.id = Uuid();
        return list;
    };
    EXPECT_EQ(withoutIDs(BuiltInTactics::buildSevenLibrary()), withoutIDs(BuiltInTactics::sevenLibrary()));
    EXPECT_EQ(withoutIDs(BuiltInTactics::buildElevenLibrary()), withoutIDs(BuiltInTactics::elevenLibrary()));
}

}  // namespace
}  // namespace vantrel

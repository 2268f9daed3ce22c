// SPDX-License-Identifier: GPL-3.0-or-later
#include <cmath>

#include "core/scene/board_scene.h"
#include "core/pitch/step_playback.h"
#include "core/scene/tactic_playback.h"
#include "../store/store_fixture.h"

using namespace vantrel;
using vantrel::testing::lineup;
using vantrel::testing::StoreTest;

namespace {

// Blue 2 passes 40 m along y = 0.5 to blue 3, both standing still.
std::vector<BoardStep> longPass(std::optional<PassStyle> style = std::nullopt) {
    return vantrel::testing::passBetween({0.2, 0.5}, {0.2 + 40.0 / 60.0, 0.5}, {}, style);
}

}  // namespace

// What the board shows while a played pass flies: the ball leaves the passer's feet,
// travels free between passer and receiver (lofted: above the turf), and is at the
// receiver's feet once received.
TEST_F(StoreTest, APlayedPassShowsTheBallTravellingFree) {
    BoardStore& s = open(longPass(PassStyle::loft));
    EXPECT_EQ(s.scene().ball.carrierID, "home-2");
    s.next();
    double lastX = 0.2;
    bool sawFree = false, sawLoft = false;
    while (s.transitionRunning()) {
        const BoardScene scene = s.scene();
        EXPECT_FALSE(scene.interactive);
        if (!scene.ball.carrierID) {
            sawFree = true;
            EXPECT_GE(scene.ball.position.x, lastX - 1e-9);
            EXPECT_LE(scene.ball.position.x, 0.2 + 40.0 / 60.0 + 1e-9);
            if (scene.ball.height > 0.01) sawLoft = true;
        }
        lastX = scene.ballGround().x;
        platform.advance(1.0 / 60);
    }
    EXPECT_TRUE(sawFree);
    EXPECT_TRUE(sawLoft);
    EXPECT_EQ(s.scene().ball.carrierID, "home-3");
    EXPECT_TRUE(s.scene().interactive);
}

// The display rules every surface shares: the carried ball just under its carrier's
// token, vision and offside only when asked, the selected run, the risk marker.
TEST(BoardScene, DecidesOrderOverlaysAndRiskOnce) {
    Tactic t{"t", 7, longPass()};
    // Blue 3 moves under blue 2 on the screen: the carrier's ball sits between them.
    t.steps[0].player("home-3")->position = {0.2, 0.52};
    BoardScene still = stepScene(t, 0, {});
    ASSERT_EQ(still.ball.carrierID, "home-2");
    std::vector<std::string> drawn;
    for (const auto& item : still.order)
        if (item.layer != BoardScene::Layer::ballShadow)
            drawn.push_back(item.layer == BoardScene::Layer::token ? still.players[item.player].player.id : "ball");
    const auto at = [&](const std::string& id) { return std::find(drawn.begin(), drawn.end(), id) - drawn.begin(); };
    EXPECT_EQ(at("ball") + 1, at("home-2"));
    EXPECT_LT(at("home-2"), at("home-3"));
    EXPECT_FALSE(still.vision || still.offside || still.risk);

    BoardScene shown = stepScene(t, 0, {.showVision = true, .showOffside = true});
    ASSERT_TRUE(shown.vision);
    EXPECT_EQ(shown.vision->ownerID, "home-2");
    ASSERT_TRUE(shown.offside);

    // An opponent on the pass line: the step it leads to carries the risk.
    Tactic risky = t;
    for (auto& step : risky.steps) step.player("away-4")->position = {0.5, 0.5};
    const BoardScene marked = stepScene(risky, 1, {});
    ASSERT_TRUE(marked.risk);
    EXPECT_EQ(marked.risk->interceptor.id, "away-4");
    EXPECT_FALSE(stepScene(risky, 1, {.showInterceptionRisk = false}).risk);
    EXPECT_TRUE(stepScene(risky, 7, {}).players.empty());
}

// The moves into a step: a run along its curve, the owner's run with the ball as a
// dribble, a pass from the kick to the reception in its style, nothing for a player who
// stood still; exports draw them unless told not to, the board only when switched on,
// fading them while the step plays.
TEST_F(StoreTest, MovesIntoAStepAreRunsDribblesAndPassesAsPlayed) {
    std::vector<BoardStep> steps = longPass(PassStyle::loft);
    steps[1].player("home-5")->position = {0.5, 0.3};
    const auto moves = movesInto(steps[0], steps[1]);
    ASSERT_EQ(moves.size(), 2u);
    EXPECT_EQ(moves[0].kind, SceneMove::Kind::run);
    EXPECT_EQ(moves[0].curve.end, (Point{0.5, 0.3}));
    EXPECT_EQ(moves[1].kind, SceneMove::Kind::pass);
    EXPECT_EQ(moves[1].pass.style, PassStyle::loft);
    EXPECT_EQ(moves[1].pass.end, steps[1].player("home-3")->position);

    BoardStep dribble = steps[0];
    dribble.player("home-2")->position = dribble.ball = {0.4, 0.6};
    const auto carried = movesInto(steps[0], dribble);
    ASSERT_EQ(carried.size(), 1u);
    EXPECT_EQ(carried[0].kind, SceneMove::Kind::dribble);

    const Tactic t{"t", 7, steps};
    EXPECT_EQ(stepScene(t, 1, {}).moves, moves);
    EXPECT_TRUE(stepScene(t, 1, {.showMoves = false}).moves.empty());
    EXPECT_TRUE(stepScene(t, 0, {}).moves.empty());

    BoardStore& s = open(steps);
    s.selectStep(1);
    EXPECT_TRUE(s.scene().moves.empty());
    s.setShowMoves(true);
    EXPECT_EQ(s.scene().moves, moves);
    s.selectStep(0);
    s.next();
    platform.advance(StepPlayback::kStepSeconds / 2);
    const BoardScene playing = s.scene();
    EXPECT_EQ(playing.moves, moves);
    EXPECT_GT(playing.movesOpacity, 0.0);
    EXPECT_LT(playing.movesOpacity, 1.0);
}

// A video's frames: one every sixtieth of the tactic's length, pauses included, and an
// interception ends playback on the step it makes.
TEST(TacticPlayback, PlaysTheTacticFrameByFrameAndStopsAtAnInterception) {
    Tactic t{"t", 7, longPass()};
    t.steps.push_back(lineup({{"home-2", {0.2, 0.5}}, {"home-3", {0.2 + 40.0 / 60.0, 0.5}}}, "home-3", "3"));
    TacticPlayback playback(t, {});
    long frames = 0;
    while (playback.next()) ++frames;
    EXPECT_NEAR(frames / 60.0, TacticPlayback::seconds(t), 0.1);

    Tactic cut = t;
    for (auto& step : cut.steps) step.player("away-4")->position = {0.5, 0.5};
    TacticPlayback stopped(cut, {});
    std::optional<BoardScene> end;
    long count = 0;
    while (auto scene = stopped.next()) end = scene, ++count;
    ASSERT_TRUE(end);
    EXPECT_LT(count / 60.0, TacticPlayback::seconds(t) / 2);
    EXPECT_EQ(end->ball.carrierID, "away-4");
}

// Every built-in play, as a video shows it: the ball never jumps further between two
// frames than a hard pass carries it. Only a ball won by the other side changes feet at
// once, as the steps are written.
TEST(TacticPlayback, TheBallOfEveryBuiltInPlayMovesContinuously) {
    auto team = [](const BoardScene& s) { return s.ball.carrierID ? s.token(*s.ball.carrierID)->player.team : -1; };
    for (int format : {7, 11})
        for (const Tactic& tactic : BuiltInTactics::library(format)) {
            TacticPlayback playback(tactic, {});
            std::optional<BoardScene> last;
            double biggest = 0;
            while (auto scene = playback.next()) {
                const Point ball = scene->ballGround(), before = last ? last->ballGround() : ball;
                const bool turnover = last && team(*last) >= 0 && team(*scene) >= 0 && team(*last) != team(*scene);
                if (!turnover) biggest = std::max(biggest, std::hypot((ball.x - before.x) * kPitchAspect, ball.y - before.y));
                last = std::move(scene);
            }
            EXPECT_LT(biggest, 0.03) << tactic.name;
        }
}

// A focused player's path: a stop per place he stands, one label for the steps he stays,
// a run for every move, the others dimmed.
TEST(BoardScene, FollowsOneFocusedPlayerThroughTheSteps) {
    Tactic t{"t", 7, {lineup(), lineup({{"home-4", {0.5, 0.3}}}), lineup({{"home-4", {0.5, 0.3}}}),
                      lineup({{"home-4", {0.5, 0.3}}}), lineup({{"home-4", {0.7, 0.5}}})}};
    auto focus = focusOf(t, "home-4");
    ASSERT_TRUE(focus);
    std::vector<std::string> labels;
    for (const auto& stop : focus->stops) labels.push_back(stop.label);
    EXPECT_EQ(labels, (std::vector<std::string>{"1", "2–4", "5"}));
    ASSERT_EQ(focus->runs.size(), 2u);
    EXPECT_EQ(focus->runs[1].start, (Point{0.5, 0.3}));
    EXPECT_EQ(focus->runs[1].end, (Point{0.7, 0.5}));
    EXPECT_FALSE(focusOf(t, "home-9"));

    SceneInput in;
    in.players = t.steps[0].players;
    in.focus = focus;
    const BoardScene scene = buildScene(in);
    EXPECT_EQ(scene.token("home-4")->opacity, 1);
    EXPECT_LT(scene.token("home-5")->opacity, 0.5);
}

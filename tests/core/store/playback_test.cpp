// SPDX-License-Identifier: GPL-3.0-or-later
#include <cmath>

#include "core/pitch/motion_path.h"
#include "core/pitch/step_playback.h"
#include "store_fixture.h"

using namespace vantrel;
using vantrel::testing::lineup;
using vantrel::testing::ManualPlatform;
using vantrel::testing::passBetween;
using vantrel::testing::passPastDefender;
using vantrel::testing::StoreTest;

TEST_F(StoreTest, ADribbleLastsOnePointEightSecondsAndTheOwnerCarriesTheBall) {
    BoardStep a = lineup({{"home-2", {0.2, 0.5}}}, "home-2");
    BoardStep b = lineup({{"home-2", {0.5, 0.5}}, {"home-6", {0.7, 0.3}}}, "home-2", "2 · 带球");
    b.pathControls = std::map<std::string, Point>{{"home-6", {0.65, 0.2}}};
    BoardStore& s = open({a, b});
    s.next();
    EXPECT_TRUE(s.transitionRunning());
    platform.advance(0.9);   // p = 0.5, eased 0.5: half-way along every curve
    const auto players = s.displayPlayers();
    auto at = [&](const std::string& id) {
        for (const auto& p : players)
            if (p.id == id) return p.position;
        return Point{};
    };
    const Point half = quadraticPoint({0.6, 0.1}, {0.65, 0.2}, {0.7, 0.3}, 0.5);
    EXPECT_NEAR(at("home-6").x, half.x, 1e-9);
    EXPECT_NEAR(at("home-6").y, half.y, 1e-9);
    EXPECT_EQ(s.displayBall(), at("home-2"));   // dribbling
    EXPECT_EQ(s.displayOwnerID(), "home-2");
    EXPECT_GT(s.ballRotation(), 0);   // the ball rolls with the carrier
    platform.advance(0.88);
    EXPECT_EQ(s.stepIndex(), 0);
    platform.advance(0.04);
    EXPECT_EQ(s.stepIndex(), 1);
    EXPECT_FALSE(s.transitionRunning());
    EXPECT_EQ(s.status(), "正在演示：2 · 带球");
    EXPECT_EQ(*s.stageBaseline(), s.tactic().steps[1]);
    EXPECT_EQ(platform.runningClocks(), 0);
}

TEST_F(StoreTest, AFortyMetreGroundPassStretchesTheTransition) {
    BoardStore& s = open(passBetween({0.2, 0.5}, {0.2 + 40.0 / 60.0, 0.5}));
    const double T = 2 * 40.0 / 17.6;   // ≈ 4.55 s
    s.next();
    ASSERT_TRUE(s.previewRoute());
    EXPECT_EQ(s.previewRoute()->start, (Point{0.2, 0.5}));
    EXPECT_EQ(s.previewPassStyle(), PassStyle::ground);

    platform.advance(0.24 * T);
    EXPECT_EQ(s.displayBall(), (Point{0.2, 0.5}));   // still at the passer's feet
    EXPECT_EQ(s.displayOwnerID(), "home-2");
    platform.advance(0.52 * T);   // p = 0.76: received
    EXPECT_EQ(s.displayOwnerID(), "home-3");
    EXPECT_NEAR(s.displayBall().x, 0.2 + 40.0 / 60.0, 1e-12);
    platform.advance(0.24 * T - 0.05);
    EXPECT_EQ(s.stepIndex(), 0);
    platform.advance(0.07);
    EXPECT_EQ(s.stepIndex(), 1);

    // A 5 m pass still takes the full 1.8 s.
    open(passBetween({0.2, 0.5}, {0.2 + 5.0 / 60.0, 0.5}));
    store->next();
    platform.advance(1.78);
    EXPECT_EQ(store->stepIndex(), 0);
    platform.advance(0.04);
    EXPECT_EQ(store->stepIndex(), 1);
}

TEST_F(StoreTest, AnOpponentOnTheLineCutsOutAGroundPassInMidFlightOnly) {
    // On the line half-way: intercepted.
    open(passBetween({0.2, 0.5}, {0.6, 0.5}, {{"away-4", {0.4, 0.5}}}));
    store->next();
    platform.advance(5);
    EXPECT_EQ(store->tactic().steps.size(), 3u);
    EXPECT_EQ(store->currentStep()->title, "传球被拦截");

    // Standing by the passer: the ball is within reach only before 6 % of the flight.
    open(passBetween({0.2, 0.5}, {0.6, 0.5}, {{"away-4", {0.21, 0.5}}}));
    store->next();
    platform.advance(5);
    EXPECT_EQ(store->tactic().steps.size(), 2u);
    EXPECT_EQ(store->stepIndex(), 1);

    // And just behind the receiver: only after 94 %.
    open(passBetween({0.2, 0.5}, {0.6, 0.5}, {{"away-4", {0.61, 0.5}}}));
    store->next();
    platform.advance(5);
    EXPECT_EQ(store->tactic().steps.size(), 2u);

    // A lofted pass flies over him.
    open(passBetween({0.2, 0.5}, {0.6, 0.5}, {{"away-4", {0.4, 0.5}}}, PassStyle::loft));
    store->next();
    platform.advance(5);
    EXPECT_EQ(store->tactic().steps.size(), 2u);
    EXPECT_EQ(store->stepIndex(), 1);

    // Stepping back passes from blue 3 to blue 2 through him: never intercepted.
    store->previous();
    platform.advance(5);
    EXPECT_EQ(store->tactic().steps.size(), 2u);
    EXPECT_EQ(store->stepIndex(), 0);
}

TEST_F(StoreTest, AnInterceptionBecomesANewStepAndStopsPlayback) {
    auto pair = passBetween({0.2, 0.5}, {0.6, 0.5}, {{"away-4", {0.4, 0.5}}});
    BoardStep last = pair[1];
    last.id = Uuid::random();
    last.title = "4 · 后续";
    pair[1].pathControls = std::map<std::string, Point>{{"home-6", {0.5, 0.3}}};
    BoardStep first = pair[0];
    first.id = Uuid::random();
    BoardStore& s = open({first, pair[0], pair[1], last});
    s.selectStep(1);
    s.squad().setTeamIdentity(1, "红星队", std::nullopt);   // the note names him as the squad does
    s.play();
    ASSERT_TRUE(platform.advanceUntil([&] { return !s.playing(); }, 10));
    ASSERT_EQ(s.tactic().steps.size(), 5u);
    EXPECT_EQ(s.stepIndex(), 2);
    const BoardStep& cut = s.tactic().steps[2];
    EXPECT_EQ(cut.title, "传球被拦截");
    EXPECT_EQ(cut.note, "红星队 4 号在传球线路上断球。后续进攻需要重新选择路线。");
    EXPECT_EQ(cut.ballOwner, "away-4");
    EXPECT_FALSE(cut.pathControls);
    EXPECT_EQ(cut.players.size(), 14u);
    EXPECT_NE(cut.id, pair[1].id);
    EXPECT_EQ(s.tactic().steps[3].id, pair[1].id);
    EXPECT_FALSE(s.tactic().steps[3].pathControls);
    EXPECT_EQ(s.tactic().steps[4].title, "4 · 后续");
    EXPECT_EQ(s.status(), "传球被拦截，已停在断球画面；可调整后续战术");
    EXPECT_FALSE(s.transitionRunning());
    EXPECT_FALSE(s.hasStageChanges());
    EXPECT_EQ(*s.stageBaseline(), cut);
}

TEST_F(StoreTest, AnOpponentReachingTheDribblerTacklesHim) {
    BoardStep a = lineup({{"home-2", {0.2, 0.5}}, {"away-4", {0.5, 0.5}}}, "home-2");
    BoardStep b = lineup({{"home-2", {0.6, 0.5}}, {"away-4", {0.5, 0.5}}}, "home-2");
    b.pathControls = std::map<std::string, Point>{{"home-2", {0.4, 0.5}}};   // straight through him
    open({a, b});
    store->next();
    platform.advance(2);
    ASSERT_EQ(store->tactic().steps.size(), 3u);
    EXPECT_EQ(store->currentStep()->title, "带球被抢断");
    EXPECT_EQ(store->currentStep()->note, "橙队 4 号逼近持球人并完成抢断。后续进攻需要重新选择路线。");
}

TEST_F(StoreTest, PlaybackRunsThroughWithShortPausesAndRestartsFromTheTop) {
    BoardStore& s = open({lineup({}, "home-2", "1"), lineup({{"home-4", {0.4, 0.3}}}, "home-2", "2"),
          lineup({{"home-4", {0.4, 0.5}}}, "home-2", "3")});
    s.play();
    EXPECT_TRUE(s.playing());
    platform.advance(1.82);
    EXPECT_EQ(s.stepIndex(), 1);
    EXPECT_FALSE(s.transitionRunning());   // the 0.2 s pause between steps
    platform.advance(0.2);
    EXPECT_TRUE(s.transitionRunning());
    ASSERT_TRUE(platform.advanceUntil([&] { return !s.playing(); }, 5));
    EXPECT_EQ(s.stepIndex(), 2);

    s.play();   // from the last step: back to the first
    EXPECT_TRUE(s.playing());
    EXPECT_EQ(s.stepIndex(), 0);
    s.play();   // a second press pauses
    EXPECT_FALSE(s.playing());
    EXPECT_FALSE(s.transitionRunning());
    EXPECT_EQ(s.stepIndex(), 0);
}

TEST_F(StoreTest, PausingInTheGapOrAnEditStopsTheChain) {
    for (const bool edit : {false, true}) {
        BoardStore& s = open({lineup({}, "home-2"), lineup({{"home-4", {0.4, 0.3}}}, "home-2"), lineup({}, "home-2")});
        s.play();
        if (edit) {   // mid-move
            platform.advance(0.5);
            s.setPassStyle(PassStyle::loft);
        } else {   // in the gap after the first move
            ASSERT_TRUE(platform.advanceUntil([&] { return s.stepIndex() == 1; }, 3));
            platform.advance(0.1);
            s.pause();
        }
        EXPECT_FALSE(s.playing() || s.transitionRunning()) << edit;
        platform.advance(5);
        EXPECT_EQ(s.stepIndex(), edit ? 0 : 1);
        EXPECT_FALSE(s.playing() || s.transitionRunning()) << edit;
    }
}

TEST_F(StoreTest, TheVisionFadesAroundThePass) {
    for (bool reduce : {false, true}) {
        open(passBetween({0.2, 0.5}, {0.3, 0.5}));   // 6 m: the transition takes 1.8 s
        BoardStore& s = *store;
        s.setReduceMotion(reduce);
        s.next();
        platform.advance(0.2 * 1.8);
        EXPECT_EQ(s.visionOpacity(), 1.0) << reduce;
        platform.advance(0.3 * 1.8);   // mid-flight
        EXPECT_EQ(s.visionOpacity(), 0.0) << reduce;
        EXPECT_EQ(s.visionOwnerID(), "home-2");
        platform.advance(0.3 * 1.8);   // p = 0.8
        EXPECT_EQ(s.visionOwnerID(), "home-3");
        if (reduce) EXPECT_EQ(s.visionOpacity(), 1.0);
        else EXPECT_LT(s.visionOpacity(), 1.0);   // still fading in
        platform.advance(1);
        EXPECT_EQ(s.visionOpacity(), 1.0);
    }
}

TEST_F(StoreTest, EveryBuiltInPlayRunsThroughWithoutAnInterception) {
    for (int format : {7, 11}) {
        const auto& list = BuiltInTactics::library(format);
        for (int i = 0; i < static_cast<int>(list.size()); ++i) {
            BoardStore& s = start();
            s.selectBuiltIn(i, format);
            s.play();
            ASSERT_TRUE(platform.advanceUntil([&] { return !s.playing(); }, 120)) << list[i].name;
            EXPECT_EQ(s.tactic().steps.size(), list[i].steps.size()) << list[i].name << ": " << s.status();
            EXPECT_EQ(s.stepIndex(), static_cast<int>(list[i].steps.size()) - 1) << list[i].name;
        }
    }
}

TEST_F(StoreTest, SeekingAnyMomentShowsWhatPlayingUpToItShows) {
    // A pass to a team-mate who runs on along a bend, while an opponent runs too.
    auto steps = passBetween({0.2, 0.3}, {0.3, 0.7}, {{"away-5", {0.7, 0.5}}});
    steps[1].player("home-3")->position = {0.6, 0.7};
    steps[1].player("away-5")->position = {0.6, 0.4};
    steps[1].ball = {0.6, 0.7};
    steps[1].pathControls = std::map<std::string, Point>{{"home-3", {0.45, 0.9}}};
    for (bool reduce : {false, true}) {
        BoardStore& s = open(steps);
        s.setReduceMotion(reduce);
        const double rotation = s.ballRotation();
        const Point direction = s.ballTravelDirection();
        const StepPlayback playback(steps[0], steps[1], true, rotation);
        const double started = platform.now();
        s.next();
        for (double t : {0.3, 0.5, 0.6, 0.9, 0.5}) {
            platform.advance(t);
            const auto frame = playback.sample(platform.now() - started, reduce);
            // The test's clock arithmetic may round the elapsed time by an ulp.
            auto near = [](Point a, Point b) { return std::abs(a.x - b.x) < 1e-9 && std::abs(a.y - b.y) < 1e-9; };
            ASSERT_TRUE(s.transitionRunning());
            const auto players = s.displayPlayers();
            ASSERT_EQ(players.size(), frame.players.size());
            for (std::size_t i = 0; i < players.size(); ++i)
                EXPECT_TRUE(players[i].id == frame.players[i].id && near(players[i].position, frame.players[i].position));
            EXPECT_TRUE(near(s.displayBall(), frame.ball)) << t;
            EXPECT_EQ(s.displayOwnerID(), frame.ownerID);
            EXPECT_NEAR(s.displayBallHeight(), frame.ballHeight, 1e-9);
            EXPECT_NEAR(s.ballRotation(), frame.ballRotation, 1e-6);
            EXPECT_TRUE(near(s.ballTravelDirection(), frame.travelDirection.value_or(direction))) << t;
            EXPECT_NEAR(s.visionOpacity(), frame.visionOpacity.value_or(1.0), 1e-9);
        }
    }
}

TEST_F(StoreTest, TheRiskMarksWherePlaybackStops) {
    BoardStore& s = open(passPastDefender());
    EXPECT_FALSE(s.interceptionRisk());   // the first step has no move into it
    s.selectStep(1);
    const auto risk = s.interceptionRisk();
    ASSERT_TRUE(risk);
    EXPECT_EQ(risk->interceptor.id, "away-4");
    EXPECT_TRUE(risk->onPassLine);

    // Playback stops exactly there, at that interceptor.
    s.selectStep(0);
    s.next();
    EXPECT_FALSE(s.interceptionRisk());   // not while a move is shown
    platform.advance(5);
    ASSERT_EQ(s.currentStep()->title, "传球被拦截");
    EXPECT_NEAR(s.currentStep()->ball.x, risk->at.x, 1e-9);
    EXPECT_NEAR(s.currentStep()->ball.y, risk->at.y, 1e-9);
    EXPECT_EQ(s.currentStep()->ballOwner, risk->interceptor.id);
    EXPECT_NEAR(s.currentStep()->player("away-4")->position.x, risk->interceptor.position.x, 1e-9);
}

TEST_F(StoreTest, ThePlaybackSpeedScalesTransitionsFromTheNextTickOn) {
    BoardStore& s = open({lineup({}, "home-2"), lineup({{"home-2", {0.5, 0.5}}}, "home-2")});
    s.setPlaybackSpeed(2);
    s.next();   // 1.8 s of dribble at 2×
    platform.advance(0.85);
    EXPECT_TRUE(s.transitionRunning());
    platform.advance(0.1);
    EXPECT_EQ(s.stepIndex(), 1);

    // Half-way at 1×, the other half at 0.5× takes twice as long, without a jump.
    s.setPlaybackSpeed(1);
    s.previous();
    platform.advance(0.9);
    const double halfWay = s.displayPlayers()[1].position.x;
    s.setPlaybackSpeed(0.5);
    platform.advance(1.0 / 60);
    EXPECT_NEAR(s.displayPlayers()[1].position.x, halfWay, 0.01);
    platform.advance(1.73);
    EXPECT_TRUE(s.transitionRunning());
    platform.advance(0.1);
    EXPECT_EQ(s.stepIndex(), 0);
}

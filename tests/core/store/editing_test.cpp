// SPDX-License-Identifier: GPL-3.0-or-later
#include <cmath>

#include "core/library/formation_preset.h"
#include "core/model/ball_flight.h"
#include "core/model/tactic_limits.h"
#include "core/pitch/motion_path.h"
#include "store_fixture.h"

using namespace vantrel;
using vantrel::testing::lineup;
using vantrel::testing::StoreTest;

TEST_F(StoreTest, DraggingClampsFollowsTheBallAndClearsOnlyThatTeamsFormation) {
    BoardStore& s = start();   // the first built-in carries formation labels for both teams
    const BoardStep before = *s.currentStep();
    ASSERT_TRUE(before.blueFormation && before.orangeFormation);
    s.movePlayer("away-3", {-1, 2});
    EXPECT_EQ(s.currentStep()->player("away-3")->position, (Point{0.04, 0.96}));
    EXPECT_FALSE(s.currentStep()->orangeFormation);
    EXPECT_EQ(s.currentStep()->blueFormation, before.blueFormation);

    const std::string owner = *before.ballOwner;
    s.movePlayer(owner, {0.5, 0.3});
    EXPECT_EQ(s.currentStep()->ball, (Point{0.5, 0.3}));
    const BoardStep moved = *s.currentStep();
    s.movePlayer("home-99", {0.5, 0.5});   // unknown ids do nothing
    EXPECT_EQ(*s.currentStep(), moved);
}

TEST_F(StoreTest, TheBallSnapsOnlyWithinReach) {
    BoardStore& s = open({lineup({{"home-3", {0.5, 0.5}}})});
    s.moveBall({0.5 + 0.064, 0.5}, true);
    EXPECT_EQ(s.currentStep()->ballOwner, "home-3");
    EXPECT_EQ(s.currentStep()->ball, (Point{0.5, 0.5}));
    EXPECT_EQ(s.selectedPlayer(), "home-3");
    EXPECT_EQ(s.status(), "足球已吸附到 蓝队 3 号");

    s.moveBall({0.5 + 0.066, 0.5}, true);
    EXPECT_FALSE(s.currentStep()->ballOwner);
    EXPECT_NEAR(s.currentStep()->ball.x, 0.566, 1e-12);
    EXPECT_EQ(s.status(), "足球已吸附到 蓝队 3 号");   // unchanged when loose

    s.moveBall({0.5, 0.5}, false);   // no snap requested
    EXPECT_FALSE(s.currentStep()->ballOwner);
    s.moveBall({2, -2}, false);
    EXPECT_EQ(s.currentStep()->ball, (Point{0.96, 0.04}));

    // Equal distances: the earlier player in the list wins.
    open({lineup({{"home-2", {0.4, 0.5}}, {"away-2", {0.6, 0.5}}})});
    store->moveBall({0.5, 0.5}, true);
    EXPECT_FALSE(store->currentStep()->ballOwner);   // 0.1 is out of reach
    store->moveBall({0.45, 0.5}, true);
    EXPECT_EQ(store->currentStep()->ballOwner, "home-2");
}

TEST_F(StoreTest, PassRefusals) {
    BoardStore& s = open({lineup()});
    s.pass("home-3");   // nobody holds the ball
    EXPECT_EQ(s.status(), "请双击接球队员进行传球");
    s.giveBall("home-2");
    EXPECT_EQ(s.currentStep()->ballOwner, "home-2");
    for (const char* receiver : {"home-2", "nobody"}) {
        s.pass(receiver);
        EXPECT_EQ(s.status(), "请双击接球队员进行传球") << receiver;
    }
    s.pass("away-2");
    EXPECT_EQ(s.status(), "只能向本队球员传球");
    EXPECT_EQ(s.currentStep()->ballOwner, "home-2");
    EXPECT_FALSE(s.flyingBall());
}

TEST_F(StoreTest, ACompletedPassLandsWhereTheReceiverStoodWhenItWasPlayed) {
    BoardStore& s = open({lineup({{"home-2", {0.2, 0.5}}, {"home-3", {0.6, 0.5}}}, "home-2")});
    s.setShowVision(true);
    s.passOrGiveBall("home-3");
    EXPECT_EQ(s.passingFromID(), "home-2");
    EXPECT_FALSE(s.currentStep()->ballOwner);
    EXPECT_EQ(s.visionOwnerID(), "home-2");
    EXPECT_FALSE(s.displayOwnerID());
    EXPECT_EQ(s.ballTravelDirection().x, 0.6 - 0.2);
    platform.advance(0.1);
    EXPECT_EQ(s.displayBall(), *s.flyingBall());
    EXPECT_LT(s.visionOpacity(), 1.0);   // the vision fades while the ball flies
    s.passOrGiveBall("home-5");          // ignored while a pass flies
    s.movePlayer("home-3", {0.7, 0.7});   // dragged meanwhile
    const double duration = BallFlight::duration({0.2, 0.5}, {0.6, 0.5}, PassStyle::ground);
    platform.advance(duration - 0.15);
    EXPECT_TRUE(s.flyingBall());
    ASSERT_TRUE(platform.advanceUntil([&] { return !s.passingFromID(); }, 0.2));
    EXPECT_FALSE(s.flyingBall());
    EXPECT_FALSE(s.passingFromID());
    EXPECT_EQ(s.currentStep()->ballOwner, "home-3");
    EXPECT_EQ(s.currentStep()->ball, (Point{0.6, 0.5}));
    EXPECT_EQ(s.status(), "传球完成，足球已吸附到 蓝队 3 号");
    EXPECT_EQ(s.visionOpacity(), 0.0);   // the receiver's vision is being revealed
    platform.advance(0.4);
    EXPECT_EQ(s.visionOpacity(), 1.0);
    EXPECT_EQ(platform.runningClocks(), 0);
}

TEST_F(StoreTest, TheNearestOpponentCutsOutAManualPass) {
    BoardStore& s = open({lineup({{"home-2", {0.2, 0.5}}, {"home-3", {0.6, 0.5}}, {"away-5", {0.42, 0.51}},
                  {"away-4", {0.40, 0.5}}},
                 "home-2")});
    s.pass("home-3");
    platform.advanceUntil([&] { return !s.passingFromID(); }, 5);
    EXPECT_EQ(s.currentStep()->ballOwner, "away-4");
    EXPECT_EQ(s.currentStep()->ball, (Point{0.40, 0.5}));
    EXPECT_EQ(s.status(), "传球被 橙队 4 号拦截");
    EXPECT_FALSE(s.flyingBall());
}

TEST_F(StoreTest, ALoftedManualPassFliesOverAnOpponent) {
    BoardStep step = lineup({{"home-2", {0.2, 0.5}}, {"home-3", {0.6, 0.5}}, {"away-4", {0.40, 0.5}}}, "home-2");
    step.passStyle = PassStyle::loft;
    open({step});
    store->pass("home-3");
    platform.advance(3);
    EXPECT_EQ(store->currentStep()->ballOwner, "home-3");
}

TEST_F(StoreTest, RunsAreBentResetAndPlanned) {
    BoardStep first = lineup({}, "home-2");
    BoardStep second = lineup({{"home-5", {0.7, 0.3}}}, "home-2");
    BoardStore& s = open({first, second});
    s.selectPlayer("home-5", false);
    s.setRouteControl({0.6, 0.6});   // step 0: nothing
    EXPECT_FALSE(s.currentStep()->pathControls);
    EXPECT_FALSE(s.selectedRoute());

    s.selectStep(1);
    s.setRouteControl({0.6, 0.6});   // nobody selected: nothing
    EXPECT_FALSE(s.currentStep()->pathControls);
    s.selectPlayer("home-5", false);
    const auto planned = s.selectedRoute();
    ASSERT_TRUE(planned);
    EXPECT_EQ(planned->start, (Point{0.5, 0.1}));
    EXPECT_EQ(planned->end, (Point{0.7, 0.3}));
    EXPECT_EQ(planned->control, BoardStore::routeControl("home-5", first, *s.currentStep(), planned->start, planned->end));

    s.setRouteControl({1.5, 0.6});
    EXPECT_EQ(s.currentStep()->pathControl("home-5"), (Point{0.96, 0.6}));
    EXPECT_EQ(s.selectedRoute()->control, (Point{0.96, 0.6}));
    EXPECT_EQ(s.status(), "已调整该球员的弯曲跑位");
    s.resetSelectedRoute();
    EXPECT_FALSE(s.currentStep()->pathControl("home-5"));
    EXPECT_EQ(s.selectedRoute(), planned);
    EXPECT_EQ(s.status(), "已恢复自动规划的跑位路线");
}

TEST_F(StoreTest, OpponentsClosingOnTheBallRunStraight) {
    // Orange 4 closes on the ball held by blue 2: its run is urgent (straight).
    BoardStep from = lineup({{"home-2", {0.3, 0.5}}, {"away-4", {0.6, 0.5}}}, "home-2");
    BoardStep to = lineup({{"home-2", {0.3, 0.5}}, {"away-4", {0.4, 0.6}}}, "home-2");
    Point c = BoardStore::routeControl("away-4", from, to, {0.6, 0.5}, {0.4, 0.6});
    EXPECT_EQ(c, (Point{0.5, 0.55}));
    // A team-mate of the owner making the same run bends.
    BoardStep to2 = lineup({{"home-2", {0.3, 0.5}}, {"home-4", {0.4, 0.6}}}, "home-2");
    BoardStep from2 = lineup({{"home-2", {0.3, 0.5}}, {"home-4", {0.6, 0.5}}}, "home-2");
    EXPECT_NE(BoardStore::routeControl("home-4", from2, to2, {0.6, 0.5}, {0.4, 0.6}), (Point{0.5, 0.55}));
    // Without an owner nobody runs urgently.
    from.ballOwner.reset();
    EXPECT_NE(BoardStore::routeControl("away-4", from, to, {0.6, 0.5}, {0.4, 0.6}), (Point{0.5, 0.55}));
}

TEST_F(StoreTest, AFormationMovesOnlyItsTeamAndGlides) {
    BoardStep step = lineup({}, "away-3");
    step.pathControls = std::map<std::string, Point>{{"away-2", {0.5, 0.5}}, {"home-2", {0.3, 0.3}}};
    BoardStore& s = open({lineup(), step});
    s.selectStep(1);
    const BoardStep before = *s.currentStep();
    s.applyFormation("2-3-1", 1);
    const auto positions = FormationPreset::find("2-3-1", 7)->positions(1);
    for (const auto& p : s.currentStep()->players) {
        if (p.team == 1) EXPECT_EQ(p.position, positions[static_cast<std::size_t>(p.number - 1)]) << p.id;
        else EXPECT_EQ(p.position, before.player(p.id)->position) << p.id;
    }
    EXPECT_EQ(s.currentStep()->ball, s.currentStep()->player("away-3")->position);
    EXPECT_FALSE(s.currentStep()->pathControl("away-2"));
    EXPECT_TRUE(s.currentStep()->pathControl("home-2"));
    EXPECT_EQ(s.formationID(1), "2-3-1");
    EXPECT_EQ(s.formationID(0), "custom");
    EXPECT_EQ(s.status(), "橙队 · 2-3-1 · 已应用到当前阶段");
    EXPECT_TRUE(s.hasStageChanges());

    // The glide, which the board shows: the largest move is long, so it takes the longest time.
    ASSERT_TRUE(s.layoutFrame());
    EXPECT_EQ(s.displayPlayers(), s.layoutFrame()->players);
    EXPECT_EQ(s.displayBall(), s.layoutFrame()->ball);
    EXPECT_TRUE(s.transitionRunning());
    EXPECT_FALSE(s.selectedRoute());
    platform.advance(0.66);
    EXPECT_TRUE(s.layoutFrame());
    platform.advance(0.04);
    EXPECT_FALSE(s.layoutFrame());

    // Applying it again moves nobody: the shortest glide.
    s.applyFormation("2-3-1", 1);
    platform.advance(0.40);
    EXPECT_TRUE(s.layoutFrame());
    platform.advance(0.04);
    EXPECT_FALSE(s.layoutFrame());

    // Unknown ids, and ids of the other format, do nothing.
    const Tactic unchanged = s.tactic();
    s.applyFormation("4-3-3", 0);
    s.applyFormation("9-9", 0);
    EXPECT_EQ(s.tactic(), unchanged);

    // With motion reduced the formation shows at once.
    s.setReduceMotion(true);
    s.applyFormation("3-2-1", 0);
    EXPECT_FALSE(s.layoutFrame());
    EXPECT_EQ(s.displayPlayers(), s.currentStep()->players);
}

TEST_F(StoreTest, ChangingFormatOpensTheOtherFormatsFirstTacticWithAGlide) {
    BoardStore& s = start();
    s.changeFormat(7);   // same format: nothing
    EXPECT_FALSE(s.layoutFrame());
    s.changeFormat(11);
    EXPECT_EQ(s.selectedTacticKey(), "builtin-11-0");
    ASSERT_TRUE(s.layoutFrame());
    // Players of the 7-a-side picture who are not in the new step fade out.
    EXPECT_EQ(s.layoutFrame()->players.size(), 22u);
    platform.advance(1);
    EXPECT_FALSE(s.layoutFrame());
    EXPECT_EQ(s.displayPlayers().size(), 22u);
}

TEST_F(StoreTest, NamesTitlesAndNotesAreEditsOfTheOpenTactic) {
    BoardStore& s = start();
    s.newTactic("原名");
    const BoardStep original = *s.currentStep();
    const int writes = libraryWrites();
    s.setTacticName("\xE3\x80\x80 边路推进 \n");
    EXPECT_EQ(s.tactic().name, "边路推进");
    EXPECT_EQ(s.importedTactics().back().tactic.name, "边路推进");   // the library row follows
    s.setTacticName(" \xE3\x80\x80 ");   // nothing left: the old name stays
    EXPECT_EQ(s.tactic().name, "边路推进");
    EXPECT_FALSE(s.hasStageChanges());

    s.setStepTitle("1 · 回接");
    s.setStepNote("中场回撤接球。");
    EXPECT_EQ(s.currentStep()->title, "1 · 回接");
    EXPECT_EQ(s.currentStep()->note, "中场回撤接球。");
    EXPECT_TRUE(s.hasStageChanges());
    s.setStepTitle(original.title);
    s.setStepNote(original.note);
    EXPECT_FALSE(s.hasStageChanges());   // back to the baseline

    // What the coach types is cut where an import would refuse it, never inside a
    // character, so an exported tactic always imports again.
    std::string longName;
    for (int i = 0; i < 300; ++i) longName += "长";
    s.setTacticName(longName + "x");
    s.setStepTitle(longName);
    s.setStepNote(std::string(6000, 'n'));
    Tactic typed = s.tactic();
    EXPECT_EQ(typed.name, longName.substr(0, 3 * TacticLimits::kMaxNameCharacters));
    EXPECT_EQ(s.currentStep()->title.size(), 3 * TacticLimits::kMaxTitleCharacters);
    EXPECT_EQ(s.currentStep()->note.size(), TacticLimits::kMaxNoteCharacters);
    EXPECT_FALSE(admitTactic(typed));
    s.setTacticName("边路推进");
    s.setStepTitle(original.title);
    s.setStepNote(original.note);

    platform.advance(0.7);   // one autosave for the burst
    EXPECT_EQ(libraryWrites(), writes + 1);
    EXPECT_EQ(storedLibrary().back().tactic.name, "边路推进");

    // A built-in tactic is renamed in memory only.
    s.selectBuiltIn(0, 7);
    const int before = libraryWrites();
    s.setTacticName("我的改名");
    EXPECT_EQ(s.tactic().name, "我的改名");
    platform.advance(1);
    EXPECT_EQ(libraryWrites(), before);
}

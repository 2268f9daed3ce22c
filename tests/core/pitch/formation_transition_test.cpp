// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/pitch/formation_transition.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "support/board_items.h"

namespace vantrel {
namespace {

using testing::away;
using testing::expectNear;
using testing::home;
using testing::stepOf;

const Player& find(const FormationLayoutFrame& frame, const std::string& id) {
    for (const auto& player : frame.players)
        if (player.id == id) return player;
    ADD_FAILURE() << "no player " << id;
    static const Player none;
    return none;
}

TEST(FormationTransition, DurationFollowsTheLongestScaledMoveWithinItsBounds) {
    const auto still = FormationLayoutFrame::still(stepOf({home(1, {0.1, 0.5}), home(2, {0.3, 0.2})}));
    const auto duration = [&](Point one) { return FormationTransition(still, stepOf({home(1, one), home(2, {0.3, 0.2})})).duration; };
    const double shortest = duration({0.1, 0.5}), longest = duration({0.96, 0.96});
    EXPECT_LT(shortest, longest);
    EXPECT_EQ(duration({0.1, 0.52}), shortest);   // a short move takes the shortest glide
    // A move along the pitch counts 1.55 times one across it.
    EXPECT_NEAR(duration({0.1 + 0.2 / 1.55, 0.5}), duration({0.1, 0.7}), 1e-12);
    EXPECT_GT(duration({0.1, 0.7}), shortest);
    // Arriving and leaving players do not move, so they do not lengthen it; nor does no one.
    EXPECT_EQ(FormationTransition(still, stepOf({home(1, {0.1, 0.5}), away(9, {0.9, 0.9})})).duration, shortest);
    EXPECT_EQ(FormationTransition(FormationLayoutFrame{}, BoardStep{}).duration, shortest);
    EXPECT_EQ(duration({std::nan(""), 0.5}), longest);   // unreadable: finite and bounded
}

TEST(FormationTransition, StartsAtTheStartPictureAndEndsExactlyAtTheStepAtRest) {
    FormationLayoutFrame from = FormationLayoutFrame::still(
        stepOf({home(1, {0.1, 0.5}), home(2, {0.3, 0.2}), away(1, {0.9, 0.5})}, "home-2"));
    from.opacities["home-2"] = 0.4;
    from.velocities["home-2"] = {0.5, 0.5};
    const auto to = stepOf({home(1, {0.2, 0.45}), home(2, {0.61, 0.33}), away(1, {0.77, 0.13})}, "home-2");
    const FormationTransition transition(from, to);

    for (double before : {0.0, -1.0, std::nan("")}) {
        const auto frame = transition.sample(before);
        ASSERT_EQ(frame.players.size(), 3u);
        for (std::size_t i = 0; i < 3; ++i) EXPECT_EQ(frame.players[i].position, from.players[i].position);
        EXPECT_DOUBLE_EQ(frame.opacities.at("home-2"), 0.4);
        EXPECT_DOUBLE_EQ(frame.opacities.at("home-1"), 1.0);
    }
    for (double after :
         {transition.duration, transition.duration + 5.0, std::numeric_limits<double>::infinity()}) {
        const auto frame = transition.sample(after);
        EXPECT_EQ(frame.players, to.players);   // exact, records included
        EXPECT_EQ(frame.ball, to.ball);
        for (const auto& player : to.players) {
            EXPECT_EQ(frame.velocities.at(player.id), (Point{0, 0}));
            EXPECT_EQ(frame.opacities.at(player.id), 1.0);
        }
    }
}

TEST(FormationTransition, LeavingPlayersFadeOutInPlaceAndArrivingOnesFadeInAtTheirPlace) {
    FormationLayoutFrame from = FormationLayoutFrame::still(stepOf({home(1, {0.1, 0.5}), home(8, {0.4, 0.4})}));
    from.opacities.erase("home-8");   // no entry: opaque
    const auto to = stepOf({home(1, {0.1, 0.5}), home(9, {0.6, 0.6})});
    const FormationTransition transition(from, to);

    // The target's players first, then the leaving one.
    ASSERT_EQ(transition.tracks.size(), 3u);
    EXPECT_EQ(transition.tracks[1].player.id, "home-9");
    EXPECT_EQ(transition.tracks[2].player.id, "home-8");

    double previousIn = -1, previousOut = 2;
    for (double p : {0.0, 0.25, 0.5, 0.75, 1.0}) {
        const auto frame = transition.sample(p * transition.duration);
        EXPECT_EQ(find(frame, "home-8").position, (Point{0.4, 0.4}));
        EXPECT_EQ(find(frame, "home-9").position, (Point{0.6, 0.6}));
        const double in = frame.opacities.at("home-9"), out = frame.opacities.at("home-8");
        EXPECT_GT(in, previousIn);
        EXPECT_LT(out, previousOut);
        EXPECT_NEAR(in + out, 1.0, 1e-12);
        previousIn = in;
        previousOut = out;
    }
    EXPECT_DOUBLE_EQ(transition.sample(0).opacities.at("home-9"), 0.0);
    EXPECT_DOUBLE_EQ(transition.sample(transition.duration).opacities.at("home-8"), 0.0);
}

TEST(FormationTransition, StartVelocityIsKeptOnlyTowardsTheTargetAndCapped) {
    auto from = FormationLayoutFrame::still(stepOf({home(1, {0.2, 0.5}), home(2, {0.2, 0.5}), home(3, {0.2, 0.5}), home(4, {0.2, 0.5})}));
    from.velocities["home-1"] = {0.1, 0.3};    // x towards, y away
    from.velocities["home-2"] = {50.0, 0.0};   // far too fast
    from.velocities["home-3"] = {std::nan(""), std::numeric_limits<double>::infinity()};
    from.velocities["home-4"] = {0.3, 0.0};   // the target does not move on x
    const auto to = stepOf({home(1, {0.5, 0.3}), home(2, {0.5, 0.5}), home(3, {0.5, 0.6}), home(4, {0.2, 0.5})});
    const FormationTransition transition(from, to);
    const double duration = transition.duration;

    EXPECT_EQ(transition.tracks[0].velocity, (Point{0.1, 0.0}));
    EXPECT_EQ(transition.tracks[2].velocity.x, 0.0);
    EXPECT_NEAR(transition.tracks[2].velocity.y, 3.0 * 0.1 / duration, 1e-12);
    EXPECT_EQ(transition.tracks[3].velocity, (Point{0.0, 0.0}));

    // Capped: even the far too fast start does not overshoot its end.
    for (int i = 0; i <= 50; ++i)
        EXPECT_LE(find(transition.sample(duration * i / 50.0), "home-2").position.x, 0.5 + 1e-12);
    // The picture leaves with exactly the start velocity.
    EXPECT_EQ(transition.sample(0).velocities.at("home-1"), (Point{0.1, 0.0}));
}

TEST(FormationTransition, ReportedVelocityIsTheRateOfChangeOfPosition) {
    auto from = FormationLayoutFrame::still(stepOf({home(1, {0.2, 0.5})}));
    from.velocities["home-1"] = {0.4, -0.2};
    const FormationTransition transition(from, stepOf({home(1, {0.6, 0.3})}));

    const double step = 1e-6;
    for (double p : {0.1, 0.33, 0.5, 0.8}) {
        const double t = p * transition.duration;
        const Point before = transition.sample(t - step).players[0].position;
        const Point after = transition.sample(t + step).players[0].position;
        expectNear(transition.sample(t).velocities.at("home-1"), {(after.x - before.x) / (2 * step), (after.y - before.y) / (2 * step)},
                   std::to_string(p), 1e-6);
    }
}

TEST(FormationTransition, BallRidesAtTheOwnersFeetOnlyWhileTheOwnerStays) {
    const auto start = stepOf({home(1, {0.1, 0.5}), home(2, {0.3, 0.2})}, "home-2");
    const auto kept = stepOf({home(1, {0.1, 0.5}), home(2, {0.6, 0.4})}, "home-2");
    const FormationTransition keep(FormationLayoutFrame::still(start), kept);
    EXPECT_TRUE(keep.keepBallAtFoot);
    for (double p : {0.0, 0.3, 0.7, 1.0}) {
        const auto frame = keep.sample(p * keep.duration);
        EXPECT_EQ(frame.ball, find(frame, "home-2").position);
        EXPECT_EQ(frame.ownerID, "home-2");
    }

    // A new owner: the ball glides on its own, eased, and nobody holds it meanwhile.
    const auto passed = stepOf({home(1, {0.1, 0.5}), home(2, {0.6, 0.4})}, "home-1");
    const FormationTransition glide(FormationLayoutFrame::still(start), passed);
    EXPECT_FALSE(glide.keepBallAtFoot);
    const auto half = glide.sample(0.5 * glide.duration);
    expectNear(half.ball, {0.2, 0.35});
    EXPECT_FALSE(half.ownerID);
    expectNear(glide.sample(0.25 * glide.duration).ball, {0.3 - 0.2 * 0.15625, 0.2 + 0.3 * 0.15625});
    EXPECT_EQ(glide.sample(glide.duration).ball, passed.ball);

    // A loose ball before and after counts as the same owner, but there are no feet to ride.
    BoardStep looseEnd = stepOf(kept.players);
    looseEnd.ball = {0.7, 0.5};
    const FormationTransition loose(FormationLayoutFrame::still(stepOf(start.players)), looseEnd);
    EXPECT_TRUE(loose.keepBallAtFoot);
    EXPECT_FALSE(loose.sample(0.2).ownerID);
    EXPECT_EQ(loose.sample(loose.duration).ball, (Point{0.7, 0.5}));
}

TEST(FormationTransition, ATransitionBuiltFromAMidFlightFrameContinuesSmoothly) {
    const auto first = FormationTransition(
        FormationLayoutFrame::still(stepOf({home(1, {0.2, 0.5}), home(2, {0.8, 0.5})})),
        stepOf({home(1, {0.5, 0.6}), home(2, {0.8, 0.5})}));
    const auto handOver = first.sample(0.4 * first.duration);
    const Point velocity = handOver.velocities.at("home-1");
    ASSERT_TRUE(velocity.x > 0 && velocity.y > 0);

    // Retargeted further the same way: no jump in position, none in velocity (which is the
    // rate of change of position, as the test above checks).
    const FormationTransition second(handOver, stepOf({home(1, {0.85, 0.75}), home(2, {0.8, 0.5})}));
    const auto continued = second.sample(0.0);
    EXPECT_EQ(find(continued, "home-1").position, find(handOver, "home-1").position);
    EXPECT_EQ(continued.velocities.at("home-1"), velocity);

    // Retargeted back where it came from: still no jump in position, and the run turns
    // round from rest rather than first carrying on away from its new target.
    const FormationTransition back(handOver, stepOf({home(1, {0.2, 0.5}), home(2, {0.8, 0.5})}));
    EXPECT_EQ(find(back.sample(0), "home-1").position, find(handOver, "home-1").position);
    EXPECT_EQ(back.sample(0).velocities.at("home-1"), (Point{0, 0}));
    EXPECT_LT(find(back.sample(0.05), "home-1").position.x, find(handOver, "home-1").position.x);

    // A faded-in player interrupted half way keeps its opacity.
    const FormationTransition arriving(FormationLayoutFrame::still(stepOf({})), stepOf({home(3, {0.4, 0.4})}));
    const auto halfIn = arriving.sample(0.5 * arriving.duration);
    const FormationTransition resumed(halfIn, stepOf({home(3, {0.4, 0.4})}));
    EXPECT_DOUBLE_EQ(resumed.sample(0).opacities.at("home-3"), 0.5);
}

}  // namespace
}  // namespace vantrel

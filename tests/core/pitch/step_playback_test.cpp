// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/pitch/step_playback.h"

#include <gtest/gtest.h>

#include <cmath>

#include "core/model/ball_flight.h"
#include "core/pitch/motion_path.h"
#include "support/board_items.h"

using namespace vantrel;
using vantrel::testing::away;
using vantrel::testing::home;
using vantrel::testing::stepOf;

namespace {

// Blue 2 passes to blue 3, who runs on along a bend; orange 4 stands far off.
struct PassMove {
    BoardStep from = stepOf({home(2, {0.2, 0.3}), home(3, {0.3, 0.7}), away(4, {0.9, 0.1})}, "home-2");
    BoardStep to = [] {
        BoardStep s = stepOf({home(2, {0.25, 0.3}), home(3, {0.6, 0.7}), away(4, {0.9, 0.1})}, "home-3");
        s.pathControls = std::map<std::string, Point>{{"home-3", {0.45, 0.9}}};
        return s;
    }();
};

double angleBetween(Point a, Point b) { return std::atan2(a.x * b.y - a.y * b.x, a.x * b.x + a.y * b.y); }

}  // namespace

TEST(StepPlayback, ThePassMeetsTheRunsAtAQuarterAndThreeQuarters) {
    PassMove m;
    const StepPlayback playback(m.from, m.to, true);
    ASSERT_TRUE(playback.pass());
    const auto& pass = *playback.pass();
    // The ball leaves the passer's foot and arrives at the receiver's without a jump:
    // the eased runs reach the kick and receive points exactly then.
    for (double p : {StepPlayback::kKick, StepPlayback::kReceive})
        vantrel::testing::expectNear(playback.sampleAt(p - 1e-6).ball, playback.sampleAt(p + 1e-6).ball, std::to_string(p), 1e-4);
    EXPECT_NEAR(playback.sampleAt(StepPlayback::kKick).ball.x, pass.kick.x, 1e-12);
    // The passer keeps the ball drawn at his feet until the reception, not before.
    for (double p : {0.2, 0.5, 0.6, 0.74}) EXPECT_EQ(playback.sampleAt(p).ownerID, "home-2") << p;
    for (double p : {0.76, 1.0}) EXPECT_EQ(playback.sampleAt(p).ownerID, "home-3") << p;
}

TEST(StepPlayback, TheBallPointsWhereItGoesAndRollsAfterThePass) {
    PassMove m;
    const StepPlayback playback(m.from, m.to, true, 30);
    const auto& pass = *playback.pass();
    EXPECT_FALSE(playback.sampleAt(0).travelDirection);   // nothing has moved yet
    EXPECT_EQ(playback.sampleAt(0).ballRotation, 30);

    // In flight along the pass; after the reception along the receiver's bend, which turns.
    const Point line{pass.receive.x - pass.kick.x, pass.receive.y - pass.kick.y};
    const auto flying = playback.sampleAt(0.5).travelDirection;
    ASSERT_TRUE(flying);
    EXPECT_NEAR(angleBetween(*flying, line), 0, 1e-9);
    const auto early = playback.sampleAt(0.8).travelDirection;
    const auto late = playback.sampleAt(0.98).travelDirection;
    ASSERT_TRUE(early && late);
    EXPECT_GT(std::abs(angleBetween(*early, *late)), 0.05);

    // The spin grows with the distance rolled: before the kick, through the flight, and
    // on the receiver's feet after it.
    double previous = 30;
    for (double p : {0.2, 0.5, 0.76, 0.9, 1.0}) {
        const double rotation = playback.sampleAt(p).ballRotation;
        EXPECT_GT(rotation, previous) << p;
        previous = rotation;
    }
    const double afterReception = playback.sampleAt(1.0).ballRotation - playback.sampleAt(StepPlayback::kReceive).ballRotation;
    const double receiverRun = MotionPath::arcMetres({0.3, 0.7}, {0.45, 0.9}, {0.6, 0.7}, MotionPath::kReceiveAt, 1.0);
    EXPECT_NEAR(afterReception, BallFlight::rollDegrees(receiverRun), 1e-6);
}

TEST(StepPlayback, TheDistanceRolledIsMeasuredAlongTheRun) {
    // 30 m straight along the pitch, half of it by half the curve; a bend is longer than its chord.
    EXPECT_NEAR(MotionPath::arcMetres({0.2, 0.5}, {0.45, 0.5}, {0.7, 0.5}, 0, 0.5), 15, 1e-9);
    EXPECT_GT(MotionPath::arcMetres({0.2, 0.3}, {0.45, 0.9}, {0.7, 0.3}, 0, 1), 30);
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cmath>

#include "core/model/ball_flight.h"

using namespace vantrel;

namespace {

// A point `metres` along the pitch from (0.2, 0.5).
Point along(double metres) { return {0.2 + metres / kPitchLengthMetres, 0.5}; }

}  // namespace

TEST(BallFlight, LongerPassesTakeLongerWithinAFloorAndACap) {
    for (const PassStyle style : {PassStyle::ground, PassStyle::loft}) {
        const double floor = BallFlight::duration(along(0), along(0), style);
        EXPECT_EQ(BallFlight::duration({std::nan(""), 0.5}, along(10), style), floor);   // unreadable: the floor
        EXPECT_LT(floor, BallFlight::duration(along(0), along(10), style));
        EXPECT_LT(BallFlight::duration(along(0), along(10), style), BallFlight::duration(along(0), along(40), style));
    }
    // A ground pass never rolls faster than 22 m/s.
    EXPECT_NEAR(BallFlight::duration({0.0, 0.5}, {100.0 / 60.0, 0.5}, PassStyle::ground), 100.0 / 22, 1e-3);
}

TEST(BallFlight, SamplesSlowAGroundPassLiftALoftAndKeepTheEndsExact) {
    const Point a = along(0), b = along(20);
    const auto ground = BallFlight::sample(a, b, 0.5, PassStyle::ground);
    EXPECT_GT(ground.position.x, (a.x + b.x) / 2);   // decelerating: past half-way at half time
    EXPECT_EQ(ground.height, 0);
    EXPECT_NEAR(ground.rotation, 5729.6, 0.1);   // 11 m rolled on a 0.11 m ball
    const auto loft = BallFlight::sample(a, b, 0.5, PassStyle::loft);
    EXPECT_NEAR(loft.position.x, (a.x + b.x) / 2, 1e-12);
    EXPECT_GT(loft.height, 0);

    // Progress is clamped, an unreadable one is the start, and the ball lands.
    EXPECT_EQ(BallFlight::sample(a, b, 1, PassStyle::ground).position, b);
    EXPECT_EQ(BallFlight::sample(a, b, -3, PassStyle::ground).position, a);
    EXPECT_EQ(BallFlight::sample(a, b, 7, PassStyle::loft).position, b);
    EXPECT_EQ(BallFlight::sample(a, b, 1, PassStyle::loft).height, 0);
    for (const double odd : {std::nan(""), double(INFINITY)}) EXPECT_EQ(BallFlight::sample(a, b, odd, PassStyle::ground).position, a);
    // A pass to the same spot never moves, rises or spins.
    for (double p : {0.0, 0.3, 1.0}) {
        const auto s = BallFlight::sample(a, a, p, PassStyle::loft);
        EXPECT_TRUE(s.position == a && s.height == 0 && s.rotation == 0) << p;
    }
}

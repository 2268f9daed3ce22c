// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cmath>

#include "core/model/ball_flight.h"

using namespace vantrel;

namespace {

// A point `metres` along the pitch from (0.2, 0.5).
Point along(double metres) { return {0.2 + metres / kPitchLengthMetres, 0.5}; }

}  // namespace

TEST(BallFlight, DurationsInSecondsWithTheirCapsAndFloors) {
    const double nan = std::nan("");
    for (const PassStyle style : {PassStyle::ground, PassStyle::loft}) {
        EXPECT_DOUBLE_EQ(BallFlight::duration(along(0), along(0), style), 0.12);
        EXPECT_DOUBLE_EQ(BallFlight::duration({nan, 0.5}, along(10), style), 0.12);
    }
    EXPECT_DOUBLE_EQ(BallFlight::duration(along(0), along(0.5), PassStyle::ground), 0.22);
    EXPECT_DOUBLE_EQ(BallFlight::duration(along(0), along(0.1), PassStyle::loft), 0.3);
    EXPECT_NEAR(BallFlight::duration(along(0), along(10), PassStyle::ground), 0.7463, 1e-4);
    EXPECT_NEAR(BallFlight::duration(along(0), along(40), PassStyle::ground), 2.2727, 1e-4);
    EXPECT_NEAR(BallFlight::duration({0.0, 0.5}, {100.0 / 60.0, 0.5}, PassStyle::ground), 4.5455, 1e-4);   // 22 m/s at most
    EXPECT_NEAR(BallFlight::duration({0.0, 0.5}, {50.0 / 60.0, 0.5}, PassStyle::loft), 2.1178, 1e-4);   // hangs under the 5.5 m apex
}

TEST(BallFlight, SamplesSlowAGroundPassLiftALoftAndKeepTheEndsExact) {
    const Point a = along(0), b = along(20);
    const auto ground = BallFlight::sample(a, b, 0.5, PassStyle::ground);
    EXPECT_NEAR(ground.position.x, a.x + (b.x - a.x) * 0.55, 1e-12);   // 55 % of the way at half time
    EXPECT_EQ(ground.height, 0);
    EXPECT_NEAR(ground.rotation, 5729.6, 0.1);   // 11 m rolled on a 0.11 m ball
    const auto loft = BallFlight::sample(a, b, 0.5, PassStyle::loft);
    EXPECT_NEAR(loft.position.x, (a.x + b.x) / 2, 1e-12);
    EXPECT_NEAR(loft.height * kPitchWidthMetres, 2.4, 1e-12);
    EXPECT_NEAR(loft.rotation, 210 * BallFlight::duration(a, b, PassStyle::loft), 1e-9);   // 420 °/s

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

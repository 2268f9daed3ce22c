#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/model/ball_flight.h"

using namespace vantrel;

namespace {

// A point `metres` along the pitch from (0.2, 0.5).
Point along(double metres) { return {0.2 + metres / kPitchLengthMetres, 0.5}; }

}  // namespace

TEST(BallFlight, DurationFollowsSpeedLawsWithTheirCapsAndFloors) {
    EXPECT_DOUBLE_EQ(BallFlight::duration(along(0), along(0), PassStyle::ground), 0.12);
    EXPECT_DOUBLE_EQ(BallFlight::duration(along(0), along(0), PassStyle::loft), 0.12);
    EXPECT_NEAR(BallFlight::duration(along(0), along(10), PassStyle::ground), 10 / 13.4, 1e-9);
    // Across 100 m of pitch the ground speed is capped at 22 m/s.
    Point a{0.0, 0.5}, b{100.0 / 60.0, 0.5};
    EXPECT_NEAR(BallFlight::duration(a, b, PassStyle::ground), 100.0 / 22.0, 1e-9);
    // Floors for very short passes.
    EXPECT_DOUBLE_EQ(BallFlight::duration(along(0), along(0.5), PassStyle::ground), 0.22);
    EXPECT_DOUBLE_EQ(BallFlight::duration(along(0), along(0.1), PassStyle::loft), 0.3);
    // A lofted 50 m pass hangs at the apex cap of 5.5 m.
    Point c{0.0, 0.5}, d{50.0 / 60.0, 0.5};
    EXPECT_NEAR(BallFlight::duration(c, d, PassStyle::loft), std::max(2 * std::sqrt(11 / 9.81), 50.0 / 26.0), 1e-9);
    // A 40 m ground pass.
    EXPECT_NEAR(BallFlight::duration(along(0), along(40), PassStyle::ground), 40 / 17.6, 1e-9);
}

TEST(BallFlight, DurationOfNonFiniteDistanceIsTheMinimum) {
    Point nan{std::numeric_limits<double>::quiet_NaN(), 0.5};
    EXPECT_DOUBLE_EQ(BallFlight::duration(nan, along(10), PassStyle::ground), 0.12);
}

TEST(BallFlight, SamplesPositionHeightAndSpin) {
    Point a = along(0), b = along(20);
    // Ground pass: 55 % of the way at half time, no height, spin from the rolled distance.
    auto mid = BallFlight::sample(a, b, 0.5, PassStyle::ground);
    EXPECT_NEAR(mid.position.x, a.x + (b.x - a.x) * 0.55, 1e-12);
    EXPECT_DOUBLE_EQ(mid.height, 0);
    EXPECT_NEAR(mid.rotation, 0.55 * 20 / 0.11 * 180 / M_PI, 1e-6);
    // Lofted: even speed, apex 2.4 m at half time, 420 degrees per second.
    auto loft = BallFlight::sample(a, b, 0.5, PassStyle::loft);
    EXPECT_NEAR(loft.position.x, (a.x + b.x) / 2, 1e-12);
    EXPECT_NEAR(loft.height, 2.4 / kPitchWidthMetres, 1e-12);
    EXPECT_NEAR(loft.rotation, 0.5 * BallFlight::duration(a, b, PassStyle::loft) * 420, 1e-9);
    // The ends are exact.
    EXPECT_EQ(BallFlight::sample(a, b, 0, PassStyle::ground).position, a);
    EXPECT_EQ(BallFlight::sample(a, b, 1, PassStyle::ground).position, b);
    EXPECT_DOUBLE_EQ(BallFlight::sample(a, b, 1, PassStyle::loft).height, 0);
}

TEST(BallFlight, ProgressIsClampedAndNonFiniteProgressIsTheStart) {
    Point a = along(0), b = along(20);
    EXPECT_EQ(BallFlight::sample(a, b, -3, PassStyle::ground).position, a);
    EXPECT_EQ(BallFlight::sample(a, b, 7, PassStyle::loft).position, b);
    EXPECT_EQ(BallFlight::sample(a, b, std::nan(""), PassStyle::ground).position, a);
    EXPECT_EQ(BallFlight::sample(a, b, INFINITY, PassStyle::ground).position, a);
    // A pass to the same spot never moves, rises or spins.
    for (double p : {0.0, 0.3, 1.0}) {
        auto s = BallFlight::sample(a, a, p, PassStyle::loft);
        EXPECT_EQ(s.position, a);
        EXPECT_EQ(s.height, 0);
        EXPECT_EQ(s.rotation, 0);
    }
}

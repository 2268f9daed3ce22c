// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/pitch/pitch_perspective.h"

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "support/board_items.h"

namespace vantrel {
namespace {

using testing::onDraggableSquare;

const PitchPerspective kView{{1200, 780}};

TEST(PitchPerspective, UnprojectInvertsProjectInsideTheDraggableSquare) {
    for (double x = 0.04; x <= 0.9601; x += 0.046)
        for (double y = 0.04; y <= 0.9601; y += 0.046) {
            const Point back = kView.unproject(kView.project({x, y}));
            EXPECT_TRUE(std::abs(back.x - x) < 1e-12 && std::abs(back.y - y) < 1e-12) << x << "," << y;
        }
}

TEST(PitchPerspective, SpotsLandWhereThePaintedPitchHasThem) {
    const Point centre = kView.project({0.5, 0.5});
    EXPECT_DOUBLE_EQ(centre.x, 600);
    EXPECT_DOUBLE_EQ(centre.y, 0.51 * 780);
    // Penalty spots 0.115 from either goal line, at mid-depth scale 0.84.
    EXPECT_NEAR(kView.project({0.115, 0.5}).x, 0.1766 * 1200, 1e-9);
    EXPECT_NEAR(kView.project({0.885, 0.5}).x, 0.8234 * 1200, 1e-9);
    // The far touchline is narrower than the near one.
    EXPECT_LT(kView.project({1, 0}).x - kView.project({0, 0}).x, kView.project({1, 1}).x - kView.project({0, 1}).x);
}

TEST(PitchPerspective, EveryViewPointLandsInsideThePitch) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const Point samples[] = {{-500, -500}, {5000, 5000}, {0, 0}, {1200, 780}, {nan, 300}, {300, nan}, {inf, -inf}};
    for (const Point v : samples) EXPECT_TRUE(onDraggableSquare(kView.unproject(v))) << v.x << "," << v.y;
    // The top of the view is depth 0.04; below the near row a point keeps that row's scale.
    EXPECT_DOUBLE_EQ(kView.unproject({600, 0}).y, 0.04);
    const Point low = kView.unproject({900, 779});
    EXPECT_DOUBLE_EQ(low.y, 0.96);
    EXPECT_NEAR(low.x, kView.unproject({900, kView.project({0.5, 0.96}).y}).x, 1e-12);
    // An empty view cannot be inverted; it still gives a point on the pitch.
    const Point empty = PitchPerspective{{0, 0}}.unproject({10, 10});
    EXPECT_TRUE(isFinite(empty));
}

TEST(PitchPerspective, TheBallSitsAtThePucksFeetAndRisesOverAFadingShadow) {
    const BallPlacement ground = kView.ballPlacement({0.5, 0.5}, -0.2);   // never below the turf
    EXPECT_EQ(ground, kView.ballPlacement({0.5, 0.5}, 0));
    const BallPlacement lofted = kView.ballPlacement({0.5, 0.5}, 0.1);
    EXPECT_LT(lofted.centre.y, ground.centre.y);
    EXPECT_EQ(lofted.shadowCentre, ground.shadowCentre);   // the shadow stays on the turf
    EXPECT_GT(lofted.shadowWidth, ground.shadowWidth);
    EXPECT_LT(lofted.shadowOpacity, ground.shadowOpacity);
    EXPECT_GT(kView.ballPlacement({0.5, 0.5}, 1).shadowOpacity, 0);   // faded, not gone
}

}  // namespace
}  // namespace vantrel

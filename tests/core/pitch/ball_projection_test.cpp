// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/pitch/ball_orientation.h"
#include "core/pitch/ball_projection.h"

#include <algorithm>
#include <cmath>

#include <gtest/gtest.h>

#include "support/board_items.h"

namespace vantrel {
namespace {

using testing::onDraggableSquare;

const PitchPerspective kView{{1200, 780}};

TEST(BallProjection, ADraggedBallStaysUnderThePointerAndOnThePitch) {
    for (double x = 0.04; x <= 0.9601; x += 0.092)
        for (double y = 0.04; y <= 0.9601; y += 0.092) {
            const Point back = BallProjection::modelPosition(kView.ballPlacement({x, y}, 0).centre, kView);
            EXPECT_TRUE(std::abs(back.x - x) < 1e-6 && std::abs(back.y - y) < 1e-6) << x << "," << y;
        }
    // The very top of the view (and above it) is the far row, never off the pitch.
    for (const Point v : {Point{600, 0}, Point{-300, -900}, Point{1500, 2000}, Point{NAN, NAN}})
        EXPECT_TRUE(onDraggableSquare(BallProjection::modelPosition(v, kView))) << v.x << "," << v.y;
    EXPECT_DOUBLE_EQ(BallProjection::modelPosition({600, 0}, kView).y, 0.04);
}

TEST(BallProjection, ALoftedBallCrossesOverANearerPuckAndAGroundBallStaysBehind) {
    const Point ball{0.5, 0.4};
    // A puck just in front of the ball, under the ball's drawn position, and one behind it.
    const std::vector<Player> players{{"home-5", 5, 0, {0.505, 0.42}}, {"away-2", 2, 1, {0.2, 0.3}}};
    const auto layer = [&](Point at, double height) { return BallProjection::layerIndex(at, height, players, kView); };
    const double puckDepth = 100 * 0.42 + 1;   // a token's depth in the scene
    EXPECT_LT(layer(ball, 0), puckDepth);
    EXPECT_GT(layer(ball, 0.015), puckDepth);
    EXPECT_EQ(layer(ball, 0.4), layer(ball, 0));   // far above the puck's head it no longer overlaps it
    EXPECT_EQ(layer({0.2, 0.35}, 0.015), layer({0.2, 0.35}, 0));   // a puck behind never lifts it
}

TEST(BallOrientation, RollsStayUnitAndReverse) {
    BallOrientation q;
    EXPECT_EQ(q.rolling(0.000005, 1, 0), q);
    for (int i = 0; i < 5000; ++i) q = q.rolling(7.3 + (i % 11), std::cos(i * 0.37), std::sin(i * 0.37));
    EXPECT_NEAR(std::sqrt(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w), 1.0, 1e-12);
    const BallOrientation there = q.rolling(40, 0.3, -0.8).rolling(-40, 0.3, -0.8);
    EXPECT_LT(std::max({std::abs(there.x - q.x), std::abs(there.y - q.y), std::abs(there.z - q.z), std::abs(there.w - q.w)}), 1e-12);

    // Rolling right by 90° carries the point facing the viewer to the right-hand side;
    // with no direction the ball turns about the vertical axis.
    const BallVector front = BallOrientation{}.rolling(90, 1, 0).rotate({0, 0, 1});
    EXPECT_NEAR(front.x, 1, 1e-12);
    EXPECT_NEAR(front.z, 0, 1e-12);
    const BallVector still = BallOrientation{}.rolling(90, 0, 0).rotate({0, 1, 0});
    EXPECT_NEAR(still.y, 1, 1e-12);
}

TEST(BallPanelGeometry, TwelvePentagonsOfTwentyFivePointsOnTheSphere) {
    const auto& panels = BallPanelGeometry::pentagons();
    ASSERT_EQ(panels.size(), 12u);
    for (const auto& outline : panels) {
        ASSERT_EQ(outline.size(), 25u);
        for (const auto& v : outline) EXPECT_NEAR(std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z), 1, 1e-12);
    }
    // The panels sit symmetrically around the ball.
    BallVector sum{};
    for (const auto& outline : panels)
        for (const auto& v : outline) sum = {sum.x + v.x, sum.y + v.y, sum.z + v.z};
    EXPECT_LT(std::max({std::abs(sum.x), std::abs(sum.y), std::abs(sum.z)}), 1e-9);
}

}  // namespace
}  // namespace vantrel

// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/pitch/flat_projection.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

TEST(FlatProjection, FitsTheSquareIntoTheLargestCentredPitchRectangle) {
    // Too wide: full height, centred across. Too tall: full width, centred down.
    const FlatProjection view{{1500, 900}};
    EXPECT_EQ(view.rect(), (ViewRect{52.5, 0, 1395, 900}));
    EXPECT_EQ((FlatProjection{{1240, 1000}}.rect()), (ViewRect{0, 100, 1240, 800}));
    EXPECT_EQ(view.toView({1, 1}), (Point{1447.5, 900}));
    // Off-pitch points map both ways unclamped: the store decides what to keep.
    const Point back = view.toPitch(view.toView({-0.2, 1.4}));
    EXPECT_NEAR(back.x, -0.2, 1e-12);
    EXPECT_NEAR(back.y, 1.4, 1e-12);
    EXPECT_EQ((FlatProjection{{0, 300}}.toPitch({10, 10})), (Point{0.5, 0.5}));
}

TEST(FlatProjection, TheBallRisesFromTheFeetOverAGroundedShadow) {
    const FlatProjection view{{1240, 800}};
    EXPECT_EQ(view.ballPlacement({0.5, 0.5}, 0),
              (BallPlacement{{632, 420}, 7, {632, 424}, 17, 6, 0.18, 0}));
    // Barely off the ground still casts the ground's darker shadow.
    EXPECT_DOUBLE_EQ(view.ballPlacement({0.5, 0.5}, 0.005).shadowOpacity, 0.18);
    const BallPlacement lofted = view.ballPlacement({0.5, 0.5}, 0.1);
    EXPECT_DOUBLE_EQ(lofted.centre.y, 420 - 0.55 * 800 * 0.1);
    EXPECT_EQ(lofted.shadowCentre, (Point{632, 424}));
    EXPECT_DOUBLE_EQ(lofted.shadowWidth, 17 + 3.5);
    EXPECT_DOUBLE_EQ(lofted.shadowHeight, 6 + 1.2);
    EXPECT_DOUBLE_EQ(lofted.shadowOpacity, 0.12);
}

}  // namespace
}  // namespace vantrel

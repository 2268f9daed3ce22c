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
    const BallPlacement ground = view.ballPlacement({0.5, 0.5}, 0), lofted = view.ballPlacement({0.5, 0.5}, 0.1);
    EXPECT_EQ(view.ballPlacement({0.5, 0.5}, 0.005).shadowOpacity, ground.shadowOpacity);   // barely off: the ground's
    EXPECT_LT(lofted.centre.y, ground.centre.y);
    EXPECT_EQ(lofted.shadowCentre, ground.shadowCentre);
    EXPECT_GT(lofted.shadowWidth, ground.shadowWidth);
    EXPECT_LT(lofted.shadowOpacity, ground.shadowOpacity);
}

}  // namespace
}  // namespace vantrel

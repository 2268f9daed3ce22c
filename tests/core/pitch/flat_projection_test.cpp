// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/pitch/flat_projection.h"

#include <gtest/gtest.h>

#include <cmath>

#include "support/board_items.h"

namespace vantrel {
namespace {

using testing::expectNear;

TEST(FlatProjection, FitsTheSquareIntoTheLargestCentredPitchRectangle) {
    // Too wide: full height, centred across. Too tall: full width, centred down.
    const FlatProjection view{{1500, 900}};
    EXPECT_EQ(view.rect(), (ViewRect{52.5, 0, 1395, 900}));
    EXPECT_EQ((FlatProjection{{1240, 1000}}.rect()), (ViewRect{0, 100, 1240, 800}));
    EXPECT_EQ(view.toView({1, 1}), (Point{1447.5, 900}));
    // Off-pitch points map both ways unclamped: the store decides what to keep.
    expectNear(view.toPitch(view.toView({-0.2, 1.4})), {-0.2, 1.4});
    EXPECT_EQ((FlatProjection{{0, 300}}.toPitch({10, 10})), (Point{0.5, 0.5}));
}

TEST(FlatProjection, AHalfOrTheFinalThirdTurnsToFillTheSurface) {
    for (PitchArea area : {PitchArea::half, PitchArea::box}) {
        const FlatProjection view{{1500, 900}, area};
        const ViewRect w = view.window();
        // Inside the surface and touching two of its opposite sides.
        EXPECT_TRUE(w.left >= -1e-9 && w.top >= -1e-9 && w.left + w.width <= 1500 + 1e-9 && w.top + w.height <= 900 + 1e-9);
        EXPECT_TRUE(std::abs(w.height - 900) < 1e-6 || std::abs(w.width - 1500) < 1e-6);
        // The goal line along the top edge, the touchline y = 0 down the left edge, and the
        // area's back line inside the window, near its bottom.
        EXPECT_NEAR(view.toView({1, 0.3}).y, w.top, 1e-9);
        EXPECT_NEAR(view.toView({0.7, 0}).x, w.left, 1e-9);
        const double back = view.toView({pitchAreaRect(area).x0, 0.5}).y;
        EXPECT_GT(back, w.top + 0.9 * w.height);
        EXPECT_LT(back, w.top + w.height);
        expectNear(view.toPitch(view.toView({0.81, 0.27})), {0.81, 0.27});
    }
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

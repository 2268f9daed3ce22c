// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/pitch/motion_path.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "support/board_items.h"

namespace vantrel {
namespace {

// Size of the bend: how far the control lies from the run's midpoint, in scaled units.
double bendOf(Point from, Point to, Point control) {
    return aspectDistance(control, {(from.x + to.x) / 2, (from.y + to.y) / 2});
}

// A run along x in the middle of the pitch whose scaled length is `length`.
std::pair<Point, Point> runAlongX(double length, double startX = 0.3) {
    return {{startX, 0.5}, {startX + length / kPitchAspect, 0.5}};
}

TEST(MotionPathControl, UrgentOrShortRunsAreStraightOthersBendMoreAroundAnObstacleWithinLimits) {
    EXPECT_EQ(quadraticPoint({0.1, 0.2}, {0.5, 0.9}, {0.7, 0.3}, 1), (Point{0.7, 0.3}));
    const Point from{0.2, 0.3}, to{0.6, 0.7};
    EXPECT_EQ(MotionPath::control(from, to, {}, true), (Point{0.4, 0.5}));
    const auto [a, b] = runAlongX(0.025);   // exactly the threshold still counts as short
    EXPECT_EQ(MotionPath::control(a, b, {}, false), (Point{(a.x + b.x) / 2, 0.5}));

    // Clear runs bend in proportion to their length up to 0.06, perpendicular to the run;
    // one on the line bends more, up to 0.13.
    struct Case { double length, clear, blocked; };
    for (const Case c : {Case{0.1, 0.035, 0.07}, Case{0.14, 0.049, 0.07}, Case{0.2, 0.06, 0.1}, Case{0.9, 0.06, 0.13}}) {
        const auto [from, to] = runAlongX(c.length, 0.05);
        const Point control = MotionPath::control(from, to, {}, false);
        EXPECT_NEAR(bendOf(from, to, control), c.clear, 1e-12) << c.length;
        EXPECT_DOUBLE_EQ(control.x, (from.x + to.x) / 2);
        const Point blocked = MotionPath::control(from, to, {{(from.x + to.x) / 2, 0.5}}, false);
        EXPECT_NEAR(bendOf(from, to, blocked), c.blocked, 1e-12) << c.length;
    }
}

TEST(MotionPathControl, ObstaclesNearTheEndsOrBesideTheLineDoNotCount) {
    const auto [from, to] = runAlongX(0.4);
    auto along = [&](double t, double off) { return Point{from.x + (to.x - from.x) * t, 0.5 + off}; };
    for (const Point ignored : {along(0.1, 0), along(0.9, 0), along(0.5, 0.08), along(0.5, -0.08)}) {
        const Point control = MotionPath::control(from, to, {ignored}, false);
        EXPECT_NEAR(bendOf(from, to, control), 0.06, 1e-12) << ignored.x << ", " << ignored.y;
    }
    // Just inside the corridor it counts.
    EXPECT_NEAR(bendOf(from, to, MotionPath::control(from, to, {along(0.5, 0.07)}, false)), 0.13, 1e-12);
    EXPECT_NEAR(bendOf(from, to, MotionPath::control(from, to, {along(0.13, 0)}, false)), 0.13, 1e-12);
}

TEST(MotionPathControl, BendsAwayFromTouchlinesAndPlayers) {
    // Along the near touchline, in both directions, the bend goes infield.
    EXPECT_GT(MotionPath::control({0.2, 0.1}, {0.5, 0.1}, {}, false).y, 0.1);
    EXPECT_GT(MotionPath::control({0.5, 0.1}, {0.2, 0.1}, {}, false).y, 0.1);
    EXPECT_LT(MotionPath::control({0.2, 0.9}, {0.5, 0.9}, {}, false).y, 0.9);
    // Along a goal line the bend goes towards the middle too.
    EXPECT_GT(MotionPath::control({0.08, 0.3}, {0.08, 0.7}, {}, false).x, 0.08);

    // A player standing on the left of the line pushes the bend to the right.
    const auto [from, to] = runAlongX(0.4);
    const Point leftOfLine{(from.x + to.x) / 2, 0.55};
    EXPECT_LT(MotionPath::control(from, to, {leftOfLine}, false).y, 0.5);
}

TEST(MotionPathControl, ControlStaysOnThePitch) {
    for (double x0 = 0.0; x0 <= 1.0; x0 += 0.125)
        for (double y0 = 0.0; y0 <= 1.0; y0 += 0.125)
            for (double x1 = 0.0; x1 <= 1.0; x1 += 0.25)
                for (double y1 = 0.0; y1 <= 1.0; y1 += 0.25)
                    if (aspectDistance({x0, y0}, {x1, y1}) > 0.025) {
                        const Point c = MotionPath::control({x0, y0}, {x1, y1}, {{0.5, 0.5}, {x0, y1}}, false);
                        EXPECT_TRUE(testing::onDraggableSquare(c)) << x0 << "," << y0 << " to " << x1 << "," << y1;
                    }
}

TEST(MotionPathControl, UnknownPositionsDoNotBreakThePlan) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const auto [from, to] = runAlongX(0.4);
    // A player without a position is no obstacle.
    EXPECT_EQ(MotionPath::control(from, to, {{nan, nan}}, false), MotionPath::control(from, to, {}, false));
    // A run we cannot measure is not bent.
    const Point c = MotionPath::control({nan, 0.5}, to, {}, false);
    EXPECT_TRUE(std::isnan(c.x));
    EXPECT_DOUBLE_EQ(c.y, 0.5);
}

TEST(PathPreview, ThirtyOneSamplesFromEndToEndThatRiseOnlyForALoft) {
    const PathPreview ground{{0.1, 0.2}, {0.7, 0.6}, PassStyle::ground};
    const auto rolled = ground.samples();
    ASSERT_EQ(rolled.size(), 31u);
    EXPECT_EQ(rolled.front().position, ground.start);
    EXPECT_EQ(rolled.back().position, ground.end);
    for (const auto& s : rolled) EXPECT_EQ(s.height, 0.0);
    EXPECT_NEAR(rolled[15].position.y, 0.2 + 0.4 * 0.55, 1e-12);   // slowing towards the end

    // 20 m lofted: the apex of 2.4 m at the 16th sample, in width units, at even speed.
    const PathPreview loft{{0.2, 0.5}, {0.2 + 20.0 / kPitchLengthMetres, 0.5}, PassStyle::loft};
    const auto flown = loft.samples();
    ASSERT_EQ(flown.size(), 31u);
    EXPECT_NEAR(flown[15].height, 2.4 / kPitchWidthMetres, 1e-12);
    for (std::size_t i = 0; i < flown.size(); ++i) EXPECT_TRUE(i == 15 || flown[i].height < flown[15].height) << i;
    EXPECT_EQ(flown.back().height, 0.0);
    EXPECT_NEAR(flown[10].position.x, 0.2 + (20.0 / kPitchLengthMetres) / 3, 1e-12);
    const PathPreview longLoft{{0.05, 0.5}, {0.95, 0.5}, PassStyle::loft};
    EXPECT_NEAR(longLoft.samples()[15].height, 5.5 / kPitchWidthMetres, 1e-12);   // the apex is capped

    for (const PassStyle style : {PassStyle::ground, PassStyle::loft})
        for (const auto& s : PathPreview{{0.4, 0.4}, {0.4, 0.4}, style}.samples())
            EXPECT_EQ(s, (PathPreview::Sample{{0.4, 0.4}, 0.0}));
}

}  // namespace
}  // namespace vantrel

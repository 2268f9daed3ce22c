// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/pitch/vision_geometry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

#include "support/board_items.h"

namespace vantrel {
namespace {

constexpr double kAspect = 1.55;
constexpr double kRadius = 0.018;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

bool onPitchEdge(Point p) {
    constexpr double e = 1e-12;
    return std::abs(p.x) < e || std::abs(p.x - 1) < e || std::abs(p.y) < e || std::abs(p.y - 1) < e;
}

// Angle and distance of a corner as seen from the origin, in the space where discs are round.
double angleFrom(Point origin, Point p) {
    const double angle = std::atan2((p.y - origin.y) / kAspect, p.x - origin.x);
    return angle < 0 ? angle + 2 * std::numbers::pi : angle;
}
double distanceFrom(Point origin, Point p) { return std::hypot(p.x - origin.x, (p.y - origin.y) / kAspect); }

bool contains(const std::vector<Point>& polygon, Point corner) {
    return std::any_of(polygon.begin(), polygon.end(), [&](Point p) { return std::abs(p.x - corner.x) < 1e-12 && std::abs(p.y - corner.y) < 1e-12; });
}

TEST(VisionGeometry, WithoutBlockersTheWholePitchIsVisibleInAngularOrder) {
    for (Point origin : {Point{0.5, 0.5}, Point{0.2, 0.85}, Point{0.0, 0.0}}) {
        const auto polygon = VisionGeometry::visiblePolygon(origin, {}, kAspect, kRadius);
        ASSERT_GE(polygon.size(), 360u);
        ASSERT_LE(polygon.size(), 364u);
        for (Point corner : {Point{0, 0}, Point{1, 0}, Point{1, 1}, Point{0, 1}})
            EXPECT_TRUE(contains(polygon, corner)) << corner.x << "," << corner.y;
        for (std::size_t i = 0; i < polygon.size(); ++i) {
            EXPECT_TRUE(onPitchEdge(polygon[i]) || polygon[i] == origin) << i;
            if (i > 0 && polygon[i] != origin && polygon[i - 1] != origin) {
                EXPECT_GE(angleFrom(origin, polygon[i]), angleFrom(origin, polygon[i - 1]) - 1e-12) << i;
            }
        }
    }
    // The first ray points along +x: straight at the far goal line.
    testing::expectNear(VisionGeometry::visiblePolygon({0.5, 0.5}, {}, kAspect, kRadius).front(), {1.0, 0.5});
}

TEST(VisionGeometry, ABlockerCastsAWedgeWhoseEdgesAreTheTangents) {
    // Carrier in the middle, a team-mate 0.1 (round units) straight towards the y = 0 touchline.
    const Point origin{0.5, 0.5};
    const double d = 0.1;
    const Point blocker{0.5, 0.5 - d * kAspect};
    const std::vector<Point> blockers{blocker};
    const auto polygon = VisionGeometry::visiblePolygon(origin, blockers, kAspect, kRadius);

    const double theta = 1.5 * std::numbers::pi;
    const double alpha = std::asin(kRadius / d);
    int shaded = 0, lit = 0;
    for (Point p : polygon) {
        const double off = std::abs(angleFrom(origin, p) - theta);
        if (off < alpha - 1e-9) {
            // In the shadow: stopped on the near side of the disc.
            EXPECT_LT(distanceFrom(origin, p), d) << off;
            EXPECT_GE(distanceFrom(origin, p), d - kRadius - 1e-12) << off;
            ++shaded;
        } else if (off > alpha + 1e-9 && off < 0.6) {
            EXPECT_NEAR(p.y, 0.0, 1e-12) << off;   // reaches the touchline
            ++lit;
        }
    }
    EXPECT_GE(shaded, 2 * 10 + 2);   // about 21 degree rays, plus the rays just inside each edge
    EXPECT_GT(lit, 0);

    // Straight at the blocker the ray stops at its nearest point.
    EXPECT_TRUE(contains(polygon, {0.5, 0.5 - (d - kRadius) * kAspect}));

    // The rays either side of each edge: one stops on the disc, the other reaches the touchline.
    const auto rayAt = [&](double angle) {
        return std::find_if(polygon.begin(), polygon.end(), [&](Point p) { return std::abs(angleFrom(origin, p) - angle) < 1e-9; });
    };
    for (double edge : {theta - alpha, theta + alpha}) {
        const double in = edge < theta ? 1e-5 : -1e-5;
        const auto inside = rayAt(edge + in), outside = rayAt(edge - in);
        ASSERT_TRUE(inside != polygon.end() && outside != polygon.end()) << edge;
        EXPECT_LT(distanceFrom(origin, *inside), d);
        EXPECT_NEAR(outside->y, 0.0, 1e-12);
    }
}

TEST(VisionGeometry, TheCarrierAndPlayersOnTopOfItAreNotBlockers) {
    const Point origin{0.4, 0.6};
    const auto open = VisionGeometry::visiblePolygon(origin, {}, kAspect, kRadius);
    const std::vector<Point> onTop{origin, {origin.x + kRadius + 0.00005, origin.y}};
    EXPECT_EQ(VisionGeometry::visiblePolygon(origin, onTop, kAspect, kRadius), open);

    // Just beyond the margin a player does block.
    const std::vector<Point> close{{origin.x + kRadius + 0.001, origin.y}};
    EXPECT_NE(VisionGeometry::visiblePolygon(origin, close, kAspect, kRadius), open);
}

TEST(VisionGeometry, OddInputGivesASoundPolygon) {
    const Point origin{0.5, 0.5};
    const auto open = VisionGeometry::visiblePolygon(origin, {}, kAspect, kRadius);

    EXPECT_TRUE(VisionGeometry::visiblePolygon({kNaN, 0.5}, {}, kAspect, kRadius).empty());
    EXPECT_TRUE(VisionGeometry::visiblePolygon(origin, {}, 0.0, kRadius).empty());
    EXPECT_TRUE(VisionGeometry::visiblePolygon(origin, {}, -1.55, kRadius).empty());
    EXPECT_TRUE(VisionGeometry::visiblePolygon(origin, {}, kNaN, kRadius).empty());

    // Blockers that are not points, or a radius that is not one, cast no shadow.
    const std::vector<Point> broken{{kNaN, 0.4}, {0.6, std::numeric_limits<double>::infinity()}};
    EXPECT_EQ(VisionGeometry::visiblePolygon(origin, broken, kAspect, kRadius), open);
    const std::vector<Point> real{{0.6, 0.5}, {0.3, 0.2}};
    EXPECT_EQ(VisionGeometry::visiblePolygon(origin, real, kAspect, kNaN), open);
    EXPECT_EQ(VisionGeometry::visiblePolygon(origin, real, kAspect, -0.02), open);

    // A carrier off the pitch sees from the nearest edge; every corner stays on the pitch.
    const auto outside = VisionGeometry::visiblePolygon({1.3, -0.2}, real, kAspect, kRadius);
    ASSERT_FALSE(outside.empty());
    for (Point p : outside) EXPECT_TRUE(p.x >= 0 && p.x <= 1 && p.y >= 0 && p.y <= 1) << p.x << "," << p.y;
    EXPECT_TRUE(contains(outside, {0, 1}));
}

TEST(VisionTransition, FadesOutAfterAQuarterAndInAfterThreeQuarters) {
    const double inf = std::numeric_limits<double>::infinity();
    struct Case { double elapsed, duration, stage; };
    for (const Case c : {
             // A 2 s pass: the fades fit in their intervals.
             Case{0.0, 2.0, 1.0}, {0.5, 2.0, 1.0}, {0.6, 2.0, 0.5}, {0.75, 2.0, 0.0}, {1.5, 2.0, 0.0},
             {1.66, 2.0, 0.5}, {1.9, 2.0, 1.0}, {9.0, 2.0, 1.0},
             // A 0.3 s pass: half of it is shorter than the fade-out, cut off at the reception.
             {0.07, 0.3, 1.0}, {0.175, 0.3, 0.5}, {0.225, 0.3, 0.0}, {0.225 + 0.16, 0.3, 0.5},
             // No duration: the new view fades in from the start. Odd values stay within 0 … 1.
             {0.0, 0.0, 0.0}, {0.32, 0.0, 1.0}, {kNaN, 2.0, 1.0}, {0.16, kNaN, 0.5}, {0.16, -3.0, 0.5},
             {inf, 2.0, 1.0}, {-1.0, 2.0, 1.0}, {5.0, inf, 1.0}})
        EXPECT_NEAR(VisionTransition::stage(c.elapsed, c.duration), c.stage, 1e-12) << c.elapsed << " of " << c.duration;
    EXPECT_GT(VisionTransition::stage(0.2249, 0.3), 0.1);
}

}  // namespace
}  // namespace vantrel

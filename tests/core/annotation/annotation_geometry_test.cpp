// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/annotation/annotation_geometry.h"

#include <cmath>
#include <limits>
#include <numbers>

#include <gtest/gtest.h>

#include "core/annotation/annotation_text.h"
#include "support/board_items.h"

namespace vantrel {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

using testing::drawing;

BoardAnnotation note(std::string text, double fontSize = 18) {
    BoardAnnotation a = drawing(AnnotationTool::text, {{0.2, 0.3}});
    a.text = std::move(text);
    a.style.fontSize = fontSize;
    return a;
}

void expectRect(Rect r, double x, double y, double w, double h) {
    EXPECT_NEAR(r.x, x, 1e-12);
    EXPECT_NEAR(r.y, y, 1e-12);
    EXPECT_NEAR(r.width, w, 1e-12);
    EXPECT_NEAR(r.height, h, 1e-12);
}

TEST(AnnotationGeometry, BoundsIgnoreNonFinitePointsAndFollowTheKind) {
    const auto allNaN = drawing(AnnotationTool::pencil, {{kNaN, 0.2}, {0.3, kNaN}});
    EXPECT_EQ(AnnotationGeometry::bounds(allNaN), Rect{});
    EXPECT_FALSE(AnnotationGeometry::hitTest(allNaN, {0, 0}, 1));
    EXPECT_FALSE(AnnotationGeometry::hitTest(allNaN, {0.3, 0.2}, 1));

    // Straight shapes span first and last finite point only.
    expectRect(AnnotationGeometry::bounds(drawing(AnnotationTool::line, {{0.6, 0.1}, {0.9, 0.9}, {kInf, 0}, {0.2, 0.5}})),
               0.2, 0.1, 0.4, 0.4);
    // A pencil stroke spans every finite point.
    expectRect(AnnotationGeometry::bounds(drawing(AnnotationTool::pencil, {{0.6, 0.1}, {0.9, 0.9}, {kNaN, 2}, {0.2, 0.5}})),
               0.2, 0.1, 0.7, 0.8);
}

TEST(AnnotationGeometry, AnchoredNoteBoxFollowsItsText) {
    // ASCII is 0.58 em, CJK 1 em; 1000 × 645 reference points.
    expectRect(AnnotationGeometry::bounds(note("Hi")), 0.2, 0.3, 18 * 1.16 / 1000, 18 * 1.35 / 645);
    EXPECT_NEAR(AnnotationGeometry::bounds(note("战术")).width, 18 * 2.0 / 1000, 1e-12);
    // e + combining acute is one wide character; a flag and a family emoji one each.
    EXPECT_NEAR(AnnotationText::emWidth("e\u0301"), 1.0, 1e-12);
    EXPECT_NEAR(AnnotationText::emWidth("\U0001F1E8\U0001F1F3\U0001F468\u200D\U0001F469"), 2.0, 1e-12);
    // The widest line sets the width, every line (empty ones too) the height; CR LF breaks.
    const Rect lines = AnnotationGeometry::bounds(note("ab\r\n\n压迫"));
    EXPECT_NEAR(lines.width, 18 * 2.0 / 1000, 1e-12);
    EXPECT_NEAR(lines.height, 18 * 3 * 1.35 / 645, 1e-12);
    // An empty note is one em wide; odd font sizes fall back.
    EXPECT_NEAR(AnnotationGeometry::bounds(note("")).width, 18.0 / 1000, 1e-12);
    EXPECT_NEAR(AnnotationGeometry::bounds(note("", kNaN)).width, 18.0 / 1000, 1e-12);
    EXPECT_NEAR(AnnotationGeometry::bounds(note("", 0.2)).width, 1.0 / 1000, 1e-12);
    // With two points the note keeps its box.
    auto boxed = note("a very long line that does not matter");
    boxed.points.push_back({0.3, 0.35});
    expectRect(AnnotationGeometry::bounds(boxed), 0.2, 0.3, 0.1, 0.05);
}

TEST(AnnotationGeometry, FilledShapesAreHitInsideOutlinesOnlyNearTheLine) {
    const std::vector<Point> box{{0.2, 0.2}, {0.6, 0.8}};
    const Point centre{0.4, 0.5};
    EXPECT_TRUE(AnnotationGeometry::hitTest(drawing(AnnotationTool::rectangle, box, AnnotationFill::hatch), centre, 0.01));
    EXPECT_FALSE(AnnotationGeometry::hitTest(drawing(AnnotationTool::rectangle, box), centre, 0.01));
    EXPECT_TRUE(AnnotationGeometry::hitTest(drawing(AnnotationTool::rectangle, box), {0.605, 0.5}, 0.01));
    EXPECT_FALSE(AnnotationGeometry::hitTest(drawing(AnnotationTool::rectangle, box, AnnotationFill::solid), {0.62, 0.5}, 0.01));

    // Unfilled ellipse at its centre: hit only when the smaller radius is within tolerance.
    const auto ring = drawing(AnnotationTool::ellipse, box);
    EXPECT_FALSE(AnnotationGeometry::hitTest(ring, centre, 0.19));
    EXPECT_TRUE(AnnotationGeometry::hitTest(ring, centre, 0.2));
    EXPECT_TRUE(AnnotationGeometry::hitTest(drawing(AnnotationTool::ellipse, box, AnnotationFill::shadow), {0.45, 0.6}, 0));
    EXPECT_FALSE(AnnotationGeometry::hitTest(ring, {0.45, 0.6}, 0.01));
    EXPECT_TRUE(AnnotationGeometry::hitTest(ring, {0.6, 0.5}, 0));        // on the outline
    EXPECT_TRUE(AnnotationGeometry::hitTest(ring, {0.4, 0.805}, 0.01));   // just outside it
    // A flat ellipse is its segment.
    const auto flat = drawing(AnnotationTool::ellipse, {{0.2, 0.5}, {0.6, 0.5}});
    EXPECT_TRUE(AnnotationGeometry::hitTest(flat, {0.4, 0.505}, 0.01));
    EXPECT_FALSE(AnnotationGeometry::hitTest(flat, {0.4, 0.52}, 0.01));
}

TEST(AnnotationGeometry, LinesPencilsAndToolsHitByDistance) {
    const auto line = drawing(AnnotationTool::arrow, {{0.1, 0.1}, {0.5, 0.1}});
    EXPECT_TRUE(AnnotationGeometry::hitTest(line, {0.3, 0.109}, 0.01));
    EXPECT_FALSE(AnnotationGeometry::hitTest(line, {0.3, 0.111}, 0.01));
    EXPECT_FALSE(AnnotationGeometry::hitTest(line, {0.3, 0.109}, -1));    // negative tolerance is 0
    EXPECT_FALSE(AnnotationGeometry::hitTest(line, {0.3, 0.109}, kNaN));
    EXPECT_TRUE(AnnotationGeometry::hitTest(line, {0.1, 0.1}, kNaN));
    EXPECT_FALSE(AnnotationGeometry::hitTest(line, {kNaN, 0.1}, 1));

    // A bent stroke is hit along its segments, not across its box.
    const auto pencil = drawing(AnnotationTool::pencil, {{0.1, 0.1}, {0.5, 0.1}, {kNaN, 0}, {0.5, 0.5}});
    EXPECT_TRUE(AnnotationGeometry::hitTest(pencil, {0.505, 0.3}, 0.01));
    EXPECT_FALSE(AnnotationGeometry::hitTest(pencil, {0.3, 0.3}, 0.01));
    const auto dot = drawing(AnnotationTool::pencil, {{0.4, 0.4}});
    EXPECT_TRUE(AnnotationGeometry::hitTest(dot, {0.406, 0.408}, 0.01));
    EXPECT_FALSE(AnnotationGeometry::hitTest(dot, {0.41, 0.41}, 0.01));

    EXPECT_TRUE(AnnotationGeometry::hitTest(note("战术"), {0.21, 0.31}, 0));
    for (auto tool : {AnnotationTool::select, AnnotationTool::eraser})
        EXPECT_FALSE(AnnotationGeometry::hitTest(drawing(tool, {{0.1, 0.1}, {0.5, 0.5}}), {0.1, 0.1}, 1));
}

TEST(AnnotationCanvasGeometry, HitAnnotationTakesTheTopmostNotErased) {
    const AnnotationCanvasGeometry canvas{{1000, 500}, false};
    const std::vector list{drawing(AnnotationTool::rectangle, {{0.1, 0.1}, {0.5, 0.5}}, AnnotationFill::solid),
                           drawing(AnnotationTool::ellipse, {{0.2, 0.2}, {0.6, 0.6}}, AnnotationFill::solid),
                           drawing(AnnotationTool::line, {{0.0, 0.0}, {0.1, 0.1}})};
    const Point overlap{300, 150};
    EXPECT_EQ(canvas.hitAnnotation(overlap, list)->id, list[1].id);
    const std::vector erased{list[1].id};
    EXPECT_EQ(canvas.hitAnnotation(overlap, list, erased)->id, list[0].id);
    EXPECT_FALSE(canvas.hitAnnotation({990, 490}, list).has_value());
    // 9 view points on the shorter side: 8 points below the line's end still hits.
    EXPECT_EQ(canvas.hitAnnotation({100, 58}, list)->id, list[2].id);
    EXPECT_FALSE(canvas.hitAnnotation({kNaN, kNaN}, std::span<const BoardAnnotation>{}).has_value());
}

TEST(AnnotationCanvasGeometry, CornerHandlesPreferTheEarlierCornerOnATie) {
    const AnnotationCanvasGeometry canvas{{1000, 1000}, false};
    const auto box = drawing(AnnotationTool::rectangle, {{0.4, 0.4}, {0.41, 0.6}});   // 10 × 200 points
    EXPECT_EQ(canvas.cornerHandle(box, {405, 400}), 0);   // exactly between corners 0 and 1
    EXPECT_EQ(canvas.cornerHandle(box, {405, 600}), 2);   // between 2 and 3
    EXPECT_EQ(canvas.cornerHandle(box, {406, 600}), 3);
    EXPECT_EQ(canvas.cornerHandle(box, {418, 409}), 1);   // 12.04 points away
    EXPECT_FALSE(canvas.cornerHandle(box, {423, 400}).has_value());   // 13 points: too far
    EXPECT_FALSE(canvas.cornerHandle(box, {kNaN, 400}).has_value());

    // In 3D the handles sit on the projected corners.
    const AnnotationCanvasGeometry perspective{{1000, 1000}, true};
    const Point far = perspective.project({0.41, 0.4});
    EXPECT_EQ(perspective.cornerHandle(box, {far.x + 1, far.y}), 1);
}

TEST(AnnotationCanvasGeometry, ResizeKeepsTheOppositeCornerAMinimumSizeAndThePitch) {
    const AnnotationCanvasGeometry canvas{{1000, 1000}, false};
    const auto box = drawing(AnnotationTool::rectangle, {{0.9, 0.5}, {0.995, 0.6}});
    // Corner 0 grabbed, fixed corner at x = 0.995: dragging right can only reach 1.
    auto r = canvas.resizeBox({0.5, 0.5, 0.495, 0.1}, 0, {1200, 100});
    expectRect(r, 0.983, 0.1, 0.012, 0.5);
    r = canvas.resizeBox({0.9, 0.5, 0.095, 0.1}, 3, {2000, 500});   // grabbing max x at 0.995 beyond 1
    EXPECT_DOUBLE_EQ(r.maxX(), 1.0);
    r = canvas.resizeBox({0.995, 0.5, 0.001, 0.1}, 1, {500, 500});   // fixed min at 0.995: only 0.005 fits
    expectRect(r, 0.995, 0.5, 0.005, 0.1);
    // Crossing the fixed corner stops at the minimum size; the left edge stops at 0.
    r = canvas.resizeBox({0.3, 0.3, 0.2, 0.2}, 3, {100, 100});
    expectRect(r, 0.3, 0.3, 0.012, 0.012);
    r = canvas.resizeBox({0.3, 0.3, 0.2, 0.2}, 0, {-300, -300});
    expectRect(r, 0, 0, 0.5, 0.5);

    // The drawing resized by a corner of its start box; a corner that does not exist changes nothing.
    const Rect start = AnnotationGeometry::bounds(box);
    expectRect(AnnotationGeometry::bounds(canvas.resizing(box, start, 2, {700, 900})), 0.7, 0.5, 0.295, 0.4);
    EXPECT_EQ(canvas.resizing(box, start, 4, {700, 900}), box);

    // A note scales its font with the box, within 8…96.
    auto boxed = note("战术");
    boxed.points.push_back({0.3, 0.35});
    EXPECT_NEAR(canvas.resizing(boxed, {0.2, 0.3, 0.1, 0.05}, 3, {400, 450}).style.fontSize, 36, 1e-9);
    EXPECT_DOUBLE_EQ(canvas.resizing(boxed, {0.2, 0.3, 0.1, 0.05}, 3, {1000, 1000}).style.fontSize, 96);
    EXPECT_DOUBLE_EQ(canvas.resizing(boxed, {0.2, 0.3, 0.1, 0.05}, 3, {0, 0}).style.fontSize, 8);
}

TEST(AnnotationGeometry, ResizedMapsPointsAndTurnsAnAnchorIntoABox) {
    const auto withNaN = drawing(AnnotationTool::pencil, {{0.2, 0.2}, {0.4, 0.2}, {kNaN, 0.3}});
    const auto mapped = AnnotationGeometry::resized(withNaN, {0.2, 0.2, 0.2, 0}, {0.5, 0.5, 0.4, 0.2});
    EXPECT_EQ(mapped.points[0], (Point{0.5, 0.6}));   // zero height maps to the new middle
    EXPECT_EQ(mapped.points[1], (Point{0.9, 0.6}));
    EXPECT_TRUE(std::isnan(mapped.points[2].x));
    const auto pencil = drawing(AnnotationTool::pencil, {{0.2, 0.2}, {0.4, 0.2}});
    const auto r = AnnotationGeometry::resized(pencil, {0.2, 0.2, 0.2, 0}, {0.5, 0.5, 0.4, 0.2});
    EXPECT_EQ(AnnotationGeometry::resized(pencil, {0, 0, kInf, 1}, {0, 0, 1, 1}), pencil);
    // Negative sizes are standardised first.
    EXPECT_EQ(AnnotationGeometry::resized(pencil, {0.4, 0.2, -0.2, 0}, {0.9, 0.7, -0.4, -0.2}), r);

    const auto anchored = AnnotationGeometry::resized(note("Hi"), {0, 0, 1, 1}, {0.1, 0.2, 0.3, 0.1});
    ASSERT_EQ(anchored.points.size(), 2u);
    EXPECT_EQ(anchored.points[1], (Point{0.4, 0.30000000000000004}));
}

TEST(AnnotationCanvasGeometry, MovingKeepsTheBoxOnThePitch) {
    const AnnotationCanvasGeometry canvas{{1000, 500}, false};
    const auto touching = drawing(AnnotationTool::line, {{0.7, 0.4}, {1.0, 0.5}});
    EXPECT_EQ(canvas.moving(touching, {800, 200}, {900, 200}), touching);
    const auto moved = canvas.moving(touching, {800, 200}, {0, 400});   // far left and down
    expectRect(AnnotationGeometry::bounds(moved), 0.0, 0.4 + 0.4, 0.3, 0.1);
    EXPECT_DOUBLE_EQ(canvas.moveDelta(touching, {800, 200}, {0, 500}).y, 0.5);   // bottom edge stops at 1

    // A box partly off the pitch does not jump when clicked, and may come back.
    const auto off = drawing(AnnotationTool::rectangle, {{0.9, 0.2}, {1.3, 0.4}});
    EXPECT_EQ(canvas.moving(off, {500, 100}, {500, 100}), off);
    EXPECT_DOUBLE_EQ(canvas.moveDelta(off, {500, 100}, {600, 100}).x, 0.0);
    EXPECT_DOUBLE_EQ(canvas.moveDelta(off, {500, 100}, {300, 100}).x, -0.2);

    EXPECT_EQ(AnnotationGeometry::translated(touching, {kNaN, 0.1}), touching);
    const auto withNaN = AnnotationGeometry::translated(drawing(AnnotationTool::pencil, {{kNaN, 0.1}}), {0.1, 0.1});
    EXPECT_TRUE(std::isnan(withNaN.points[0].x));
    EXPECT_DOUBLE_EQ(withNaN.points[0].y, 0.2);
}

TEST(AnnotationCanvasGeometry, ShiftSnapsLinesTo45DegreesAndBoxesToSquares) {
    const AnnotationCanvasGeometry canvas{{1000, 1000}, false};
    const Point from{0.2, 0.5};
    const auto angleOf = [&](Point end) {
        return std::atan2(end.y - from.y, end.x - from.x) * 180 / std::numbers::pi;
    };
    const auto at = [](double degrees, double length) {
        const double a = degrees * std::numbers::pi / 180;
        return Point{200 + length * std::cos(a), 500 + length * std::sin(a)};
    };
    EXPECT_NEAR(angleOf(canvas.constrainedEndpoint(from, at(30, 100), AnnotationTool::line, true)), 45, 1e-9);
    EXPECT_NEAR(angleOf(canvas.constrainedEndpoint(from, at(22, 100), AnnotationTool::arrow, true)), 0, 1e-9);
    EXPECT_NEAR(angleOf(canvas.constrainedEndpoint(from, at(-100, 100), AnnotationTool::line, true)), -90, 1e-9);
    const Point snapped = canvas.constrainedEndpoint(from, at(30, 100), AnnotationTool::line, true);
    EXPECT_NEAR(std::hypot(snapped.x - from.x, snapped.y - from.y), 0.1, 1e-12);   // length kept

    testing::expectNear(canvas.constrainedEndpoint(from, {160, 510}, AnnotationTool::ellipse, true), {0.16, 0.54});
    EXPECT_EQ(canvas.constrainedEndpoint(from, {160, 510}, AnnotationTool::ellipse, false), (Point{0.16, 0.51}));
    // The snapped end is still a pitch point.
    EXPECT_EQ(canvas.constrainedEndpoint({0.95, 0.5}, {990, 600}, AnnotationTool::rectangle, true), (Point{1, 0.6}));
    EXPECT_EQ((AnnotationCanvasGeometry{{0, 700}, false}.constrainedEndpoint(from, {1, 1}, AnnotationTool::line, true)),
              (Point{0.5, 0.5}));

    // In 3D the snap follows the screen: the projected line is at 45°.
    const AnnotationCanvasGeometry perspective{{1000, 1000}, true};
    const Point start = perspective.project(from);
    const Point end = perspective.project(
        perspective.constrainedEndpoint(from, {start.x + 87, start.y + 50}, AnnotationTool::line, true));
    EXPECT_NEAR(std::atan2(end.y - start.y, end.x - start.x) * 180 / std::numbers::pi, 45, 1e-6);
}

TEST(AnnotationCanvasGeometry, FreshDrawingsBelowTheThresholdsAreDropped) {
    const AnnotationCanvasGeometry canvas{{1000, 1000}, false};
    const auto rect = [](double w, double h) { return drawing(AnnotationTool::rectangle, {{0.5, 0.5}, {0.5 + w / 1000, 0.5 + h / 1000}}); };
    EXPECT_FALSE(canvas.isLargeEnough(rect(4.5, 3)));
    EXPECT_FALSE(canvas.isLargeEnough(rect(40, 4)));
    EXPECT_TRUE(canvas.isLargeEnough(rect(4.5, -4.5)));
    const auto line = [](double length) { return drawing(AnnotationTool::line, {{0.25, 0.5}, {0.25 + length / 1000, 0.5}}); };
    EXPECT_FALSE(canvas.isLargeEnough(line(5)));
    EXPECT_TRUE(canvas.isLargeEnough(line(5.01)));
    EXPECT_FALSE(canvas.isLargeEnough(drawing(AnnotationTool::arrow, {{0.5, 0.5}})));
    EXPECT_TRUE(canvas.isLargeEnough(drawing(AnnotationTool::pencil, {{0.5, 0.5}})));
    EXPECT_FALSE(canvas.isLargeEnough(drawing(AnnotationTool::pencil, {{kNaN, 0.5}})));
    // Measured on screen: the same line is shorter at the far touchline in 3D.
    const auto farLine = drawing(AnnotationTool::line, {{0.5, 0}, {0.5071, 0}});
    EXPECT_TRUE(canvas.isLargeEnough(farLine));
    EXPECT_FALSE((AnnotationCanvasGeometry{{1000, 1000}, true}.isLargeEnough(farLine)));
}

TEST(AnnotationCanvasGeometry, NormaliseAlwaysGivesAPitchPoint) {
    const AnnotationCanvasGeometry flat{{800, 400}, false};
    EXPECT_EQ(flat.normalise({200, 100}), (Point{0.25, 0.25}));
    EXPECT_EQ(flat.normalise({-10, 900}), (Point{0, 1}));
    EXPECT_TRUE(isFinite(flat.normalise({kNaN, kInf})));
    EXPECT_EQ((AnnotationCanvasGeometry{{0, 400}, false}.normalise({1, 1})), (Point{0.5, 0.5}));
    EXPECT_EQ((AnnotationCanvasGeometry{{kNaN, 400}, true}.normalise({1, 1})), (Point{0.5, 0.5}));
    EXPECT_TRUE(flat.isNewPencilSample({0.25, 0.25}, {201.3, 100}));
    EXPECT_FALSE(flat.isNewPencilSample({0.25, 0.25}, {201, 100.5}));
}

TEST(AnnotationGeometry, TextBoxesForNewAndSavedNotes) {
    EXPECT_EQ(AnnotationGeometry::newTextPoints({0.9, 0.95})[1], (Point{1, 1}));

    const auto box = [](std::string_view text, double size = 18) {
        const auto p = AnnotationGeometry::committedTextPoints({0.1, 0.1}, text, size);
        return Rect::spanning(p[0], p[1]);
    };
    // A short note gets the minimum width and height.
    expectRect(box("Hi"), 0.1, 0.1, 0.14, 0.04);
    expectRect(box(""), 0.1, 0.1, 0.14, 0.04);
    // 20 CJK characters at 18: 360 points → 0.36 wide, one row.
    const std::string twenty = "边路压迫边路压迫边路压迫边路压迫边路压迫";
    expectRect(box(twenty), 0.1, 0.1, 0.36, 0.04);
    // Three rows: 2.4 · 18 · 1.4 / 645 ≈ 0.0586… with 3 lines.
    expectRect(box(twenty + "\n" + twenty + "\nx"), 0.1, 0.1, 0.36, 3 * 18 * 1.4 / 645);
    // A line wider than half the pitch wraps: 40 characters at 18 → 720 points in 500.
    expectRect(box(twenty + twenty, 18), 0.1, 0.1, 0.5, 2 * 18 * 1.4 / 645);
    // Kept inside the pitch.
    const auto corner = AnnotationGeometry::committedTextPoints({0.95, 0.99}, twenty, 18);
    EXPECT_EQ(corner[1], (Point{1, 1}));

    EXPECT_EQ(AnnotationText::trimmed("\u3000 \n 压迫\u00a0上抢 \r\n\t"), "压迫\u00a0上抢");
    EXPECT_EQ(AnnotationText::trimmed(" \n\u3000"), "");
}

TEST(PencilStabilizer, SmoothsGentleBendsAndKeepsCorners) {
    // Reference points: x · 1000, y · 645.
    const Point a{0.1, 0.1}, b{0.12, 0.1 + 3 / 645.0}, c{0.14, 0.1};
    const Point smoothed = PencilStabilizer::interior(a, b, c);
    EXPECT_TRUE(smoothed.y < b.y && smoothed.y > a.y);   // pulled towards its neighbours, not onto them
    // A sharp zigzag keeps its vertex.
    const Point peak{0.13, 0.1 + 20 / 645.0};
    EXPECT_EQ(PencilStabilizer::interior(a, peak, {0.16, 0.1}), peak);
    // Large pulls stop at 0.75 reference points.
    const Point wide = PencilStabilizer::interior({0.1, 0.1}, {0.2, 0.1 + 40 / 645.0}, {0.3, 0.1});
    EXPECT_NEAR((wide.y - 0.1) * 645, 40 - 0.75, 1e-9);
    // Degenerate neighbours change nothing.
    EXPECT_EQ(PencilStabilizer::interior(b, b, c), b);
    EXPECT_EQ(PencilStabilizer::interior(a, b, {kNaN, 0}), b);
}

}  // namespace
}  // namespace vantrel

// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/annotation/annotation_render.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <set>
#include <tuple>

#include <gtest/gtest.h>

#include "support/board_items.h"

namespace vantrel {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
const ViewSize kSurface{1000, 645};

using testing::drawing;

std::vector<BoardAnnotation> oneOfEachKind() {
    std::vector<BoardAnnotation> all{
        drawing(AnnotationTool::pencil, {{0.1, 0.1}, {0.15, 0.12}, {0.2, 0.18}, {0.24, 0.3}, {0.3, 0.31}}),
        drawing(AnnotationTool::line, {{0.1, 0.5}, {0.6, 0.55}}),
        drawing(AnnotationTool::arrow, {{0.2, 0.8}, {0.7, 0.6}}),
        drawing(AnnotationTool::ellipse, {{0.3, 0.3}, {0.6, 0.5}}, AnnotationFill::hatch),
        drawing(AnnotationTool::rectangle, {{0.55, 0.2}, {0.9, 0.45}}, AnnotationFill::hatch),
        drawing(AnnotationTool::text, {{0.4, 0.7}})};
    all[5].text = "压迫";
    return all;
}

using GrainKey = std::tuple<float, float, float, float>;
std::set<GrainKey> grainSet(const GraphiteStroke& stroke) {
    std::set<GrainKey> keys;
    for (const auto& layer : stroke.deposits)
        for (const auto& g : layer) keys.insert({g.x, g.y, g.width, g.height});
    return keys;
}

RenderPath straight(Point from, Point to) { return RenderPath::polyline(std::vector<Point>{from, to}); }

// A stroke that leaves a 500 × 200 surface and comes back over it along every kind of piece.
RenderPath wanderingPath() {
    RenderPath path;
    path.moveTo({-300, 40});
    path.lineTo({400, 60});
    path.quadTo({600, -200}, {700, 300});
    path.cubicTo({800, 500}, {-100, 500}, {50, 120});
    return path;
}

// The same annotation is the same item grain for grain, in 2D and 3D; only its seed moves
// the grains, never its ink.
TEST(AnnotationRenderItem, OnlyTheSeedMovesTheGrains) {
    for (const auto& annotation : oneOfEachKind()) {
        for (const bool is3D : {false, true})
            EXPECT_EQ(AnnotationRenderItem::build(annotation, kSurface, is3D), AnnotationRenderItem::build(annotation, kSurface, is3D))
                << rawValue(annotation.kind);
        if (annotation.kind == AnnotationTool::text) continue;
        const auto base = AnnotationRenderItem::build(annotation, kSurface, false);
        EXPECT_GT(base.graphite.grainCount(), 50u);

        auto restyled = annotation;
        restyled.style.color = AnnotationColor::red;
        restyled.style.customInk = AnnotationInk{0.1, 0.2, 0.3};
        restyled.style.opacity = 0.3;
        const auto recoloured = AnnotationRenderItem::build(restyled, kSurface, false);
        EXPECT_EQ(recoloured.outline, base.outline);
        EXPECT_EQ(recoloured.graphite, base.graphite);
        EXPECT_EQ(recoloured.hatchGraphite, base.hatchGraphite);
        EXPECT_EQ(recoloured.arrowGraphite, base.arrowGraphite);

        auto reseeded = annotation;
        reseeded.seed += 1;
        const auto other = AnnotationRenderItem::build(reseeded, kSurface, false);
        EXPECT_NE(other.outline, base.outline) << rawValue(annotation.kind);
        EXPECT_NE(other.graphite.deposits, base.graphite.deposits) << rawValue(annotation.kind);
        if (annotation.style.fill == AnnotationFill::hatch) {
            EXPECT_NE(other.hatching, base.hatching);
        }
    }
}

TEST(GraphiteStroke, GrainsLieAlongTheStrokeWithinItsWidth) {
    // 65 points long, horizontal: 100 columns.
    const auto stroke = GraphiteStroke::build(straight({10, 50}, {75, 50}), 4, 99);
    std::size_t count = 0;
    for (std::size_t layer = 0; layer < 4; ++layer) {
        for (const auto& g : stroke.deposits[layer])
            EXPECT_TRUE(g.x >= 10 - 0.24 && g.x <= 75 + 0.24 && std::abs(g.y - 50) <= 2 + 0.24) << g.x << "," << g.y;
        count += stroke.deposits[layer].size();
        EXPECT_FALSE(stroke.deposits[layer].empty()) << layer;   // all four tones are used
    }
    EXPECT_GT(count, 300u);   // a covered stroke, not a scatter
}

TEST(GraphiteStroke, TinySegmentsOnlyMoveTheCurrentPoint) {
    const auto withTiny = GraphiteStroke::build(RenderPath::polyline(std::vector<Point>{{0, 0}, {0.0005, 0}, {20, 0}}), 2, 3);
    const auto without = GraphiteStroke::build(straight({0.0005, 0}, {20, 0}), 2, 3);
    EXPECT_EQ(withTiny.deposits, without.deposits);
    EXPECT_EQ(GraphiteStroke::build(straight({5, 5}, {5.0005, 5}), 2, 3).grainCount(), 0u);
    // A closed subpath lays grains back to its start.
    RenderPath triangle = RenderPath::polygon(std::vector<Point>{{0, 0}, {30, 0}, {30, 30}});
    EXPECT_GT(GraphiteStroke::build(triangle, 2, 3).grainCount(), GraphiteStroke::build(RenderPath::polyline(std::vector<Point>{{0, 0}, {30, 0}, {30, 30}}), 2, 3).grainCount() + 100);
}

TEST(GraphiteStroke, ClippingToTheSurfaceKeepsEveryVisibleGrain) {
    const RenderPath path = wanderingPath();
    const Rect surface{0, 0, 500, 200};
    const auto all = grainSet(GraphiteStroke::build(path, 3, 11));
    const auto clipped = grainSet(GraphiteStroke::build(path, 3, 11, surface));
    EXPECT_LT(clipped.size(), all.size());
    for (const auto& g : clipped) EXPECT_TRUE(all.contains(g));
    for (const auto& [x, y, w, h] : all) {
        if (x >= 0 && x <= 500 && y >= 0 && y <= 200) {
            EXPECT_TRUE(clipped.contains({x, y, w, h})) << x << "," << y;
        }
    }
}

TEST(GraphiteStroke, AWalkResumedInPiecesLaysTheWholeStrokesGrains) {
    RenderPath path = wanderingPath();
    path.elements.pop_back();
    path.close();   // back to the subpath's start, which the walk must carry
    path.moveTo({20, 20});
    path.cubicTo({800, 500}, {-100, 500}, {50, 120});
    path.lineTo({50.0002, 120});   // lays nothing, still counted
    path.lineTo({90, 150});
    const Rect surface{0, 0, 500, 200};
    const auto whole = GraphiteStroke::build(path, 3, 11, surface);
    for (std::size_t split = 0; split <= path.elements.size(); ++split) {
        GraphiteStroke::Walk walk;
        auto joined = GraphiteStroke::continueWalk(path, split, 3, 11, surface, walk);
        EXPECT_EQ(walk.elements, split);
        const auto rest = GraphiteStroke::continueWalk(path, path.elements.size(), 3, 11, surface, walk);
        for (std::size_t layer = 0; layer < 4; ++layer)
            joined.deposits[layer].insert(joined.deposits[layer].end(), rest.deposits[layer].begin(),
                                          rest.deposits[layer].end());
        EXPECT_EQ(joined.deposits, whole.deposits) << "split at " << split;
    }
}

TEST(AnnotationRenderItem, ArrowHeadsGrowWithTheLineWidthWithinLimits) {
    EXPECT_DOUBLE_EQ(AnnotationRenderItem::arrowHeadLength(0.5), AnnotationRenderItem::arrowHeadLength(kNaN));

    auto arrow = drawing(AnnotationTool::arrow, {{0.2, 0.5}, {0.6, 0.5}});
    arrow.style.lineWidth = 2.4;
    const auto item = AnnotationRenderItem::build(arrow, kSurface, false);
    ASSERT_TRUE(item.arrowHead && item.arrowGraphite);
    const auto& head = item.arrowHead->elements;
    ASSERT_EQ(head.size(), 3u);
    EXPECT_EQ(head[1].to, (Point{600, 322.5}));   // the tip is the last point
    for (const Point wing : {head[0].to, head[2].to}) EXPECT_LT(wing.x, 600);   // wings trail behind the tip
    EXPECT_NEAR(head[0].to.y - 322.5, -(head[2].to.y - 322.5), 1e-9);
    EXPECT_GT(item.arrowGraphite->grainCount(), 0u);
    EXPECT_FALSE(AnnotationRenderItem::build(drawing(AnnotationTool::line, arrow.points), kSurface, false).arrowHead);
}

TEST(AnnotationRenderItem, HatchLinesFillTheShapeAtTheirSpacing) {
    auto box = drawing(AnnotationTool::rectangle, {{0.2, 0.2}, {0.6, 0.8}}, AnnotationFill::hatch);
    const ViewSize size{1000, 1000};   // a 400 × 600 box, hatch lines 7 points apart
    const auto item = AnnotationRenderItem::build(box, size, false);
    ASSERT_TRUE(item.fillPath);
    EXPECT_EQ(*item.fillPath, item.outline);
    // 45° lines: the box's extent across them is (400 + 600) / √2 ≈ 707 points.
    std::vector<Point> starts;
    for (const auto& e : item.hatching.elements)
        if (e.verb == RenderPath::Verb::move) starts.push_back(e.to);
    EXPECT_NEAR(static_cast<double>(starts.size()), 707.0 / 7, 1.5);
    // Every grain lies within the box (plus the line reach, wobble and grain size).
    for (const auto& layer : item.hatchGraphite.deposits)
        for (const auto& g : layer)
            EXPECT_TRUE(g.x >= 200 - 3.5 && g.x <= 600 + 3.5 && g.y >= 200 - 3.5 && g.y <= 800 + 3.5) << g.x << "," << g.y;
    // Each line wobbles in its own way: two neighbours of equal length are not translates.
    const auto line = [&](std::size_t index) {
        std::vector<Point> points;
        bool inside = false;
        for (const auto& e : item.hatching.elements) {
            if (e.verb == RenderPath::Verb::move) inside = starts[index] == e.to;
            else if (inside) points.push_back({e.to.x - starts[index].x, e.to.y - starts[index].y});
        }
        return points;
    };
    const auto middle = starts.size() / 2;
    EXPECT_NE(line(middle), line(middle + 1));

    // Other fills have no hatching; an unfilled shape has no fill path.
    box.style.fill = AnnotationFill::solid;
    const auto solid = AnnotationRenderItem::build(box, size, false);
    EXPECT_TRUE(solid.fillPath && solid.hatching.empty() && solid.hatchGraphite.grainCount() == 0);
    box.style.fill = AnnotationFill::none;
    EXPECT_FALSE(AnnotationRenderItem::build(box, size, false).fillPath);
    // Only closed shapes are filled.
    EXPECT_FALSE(AnnotationRenderItem::build(drawing(AnnotationTool::line, box.points, AnnotationFill::hatch), size, false).fillPath);
}

TEST(AnnotationRenderItem, SelectionDotsAndTextFollowTheSurface) {
    const auto box = drawing(AnnotationTool::ellipse, {{0.6, 0.5}, {0.2, 0.3}});
    const auto flat = AnnotationRenderItem::build(box, kSurface, false);
    EXPECT_EQ(flat.selectionCorners[0], (Point{200, 0.3 * 645}));
    EXPECT_EQ(flat.selectionCorners[3], (Point{600, 0.5 * 645}));
    const auto deep = AnnotationRenderItem::build(box, kSurface, true);
    const PitchPerspective perspective{kSurface};
    EXPECT_EQ(deep.selectionCorners[1], perspective.project({0.6, 0.3}));

    // A single-point stroke is a dot and has no grains.
    auto dot = drawing(AnnotationTool::pencil, {{0.5, 0.5}, {kNaN, 0.1}});
    dot.style.lineWidth = 0.8;
    const auto dotItem = AnnotationRenderItem::build(dot, kSurface, false);
    ASSERT_TRUE(dotItem.dot);
    EXPECT_EQ(*dotItem.dot, (Point{500, 322.5}));
    EXPECT_EQ(dotItem.graphite.grainCount(), 0u);
    auto repeated = drawing(AnnotationTool::pencil, {{0.5, 0.5}, {0.5, 0.5}, {0.5, 0.5}});
    EXPECT_TRUE(AnnotationRenderItem::build(repeated, kSurface, false).dot);
    repeated.points.push_back({0.51, 0.5});
    EXPECT_FALSE(AnnotationRenderItem::build(repeated, kSurface, false).dot);

    // Outline width and dash: at least 0.7 points, dotted at that width.
    auto thin = drawing(AnnotationTool::line, {{0.1, 0.1}, {0.3, 0.1}});
    thin.style.lineWidth = 0.2;
    thin.style.pattern = AnnotationLinePattern::dotted;
    const auto thinItem = AnnotationRenderItem::build(thin, kSurface, false);
    EXPECT_DOUBLE_EQ(thinItem.strokeWidth, 0.7);
    EXPECT_EQ(thinItem.dash, dashArray(AnnotationLinePattern::dotted, 0.7));

    // Text: the projected box, at least 20 × 16 points, the font scaled with the surface.
    auto text = drawing(AnnotationTool::text, {{0.4, 0.7}});
    text.text = "Hi";
    const auto textItem = AnnotationRenderItem::build(text, {2000, 1290}, false);
    testing::expectNear({textItem.textBounds.x, textItem.textBounds.y}, {800, 0.7 * 1290}, "text", 1e-9);
    EXPECT_TRUE(textItem.outline.empty());
    const auto small = AnnotationRenderItem::build(text, {300, 200}, true);
    EXPECT_DOUBLE_EQ(small.textBounds.width, 20);
    EXPECT_DOUBLE_EQ(small.textBounds.height, 16);
}

TEST(AnnotationRenderItem, OddInputNeverBreaksTheItem) {
    const double huge = 1e12;
    std::vector<BoardAnnotation> odd{
        drawing(AnnotationTool::pencil, {}),
        drawing(AnnotationTool::rectangle, {{kNaN, kNaN}, {kNaN, 0.2}}),
        drawing(AnnotationTool::ellipse, {{-huge, -huge}, {huge, huge}}, AnnotationFill::hatch),
        drawing(AnnotationTool::rectangle, {{-huge, 0.2}, {huge, 0.4}}, AnnotationFill::hatch),
        drawing(AnnotationTool::arrow, {{0.5, 0.5}}),
        drawing(AnnotationTool::select, {{0.1, 0.1}, {0.2, 0.2}}),
        drawing(AnnotationTool::pencil, {{0.1, 0.1}, {1e300, 1e300}, {-1e300, 0.4}}),
        drawing(AnnotationTool::arrow, {{-1.7e308, 0.5}, {1.7e308, 0.5}}),
        drawing(AnnotationTool::ellipse, {{-1e307, -1e307}, {1e307, 1e307}}, AnnotationFill::hatch)};
    odd[6].style.lineWidth = 1e9;
    for (const auto& annotation : odd) {
        for (const ViewSize size : {kSurface, ViewSize{0, 0}, ViewSize{-5, 100}, ViewSize{kNaN, 300},
                                    ViewSize{std::numeric_limits<double>::infinity(), 300}}) {
            const auto item = AnnotationRenderItem::build(annotation, size, size.width > 500);
            EXPECT_LE(item.graphite.grainCount() + item.hatchGraphite.grainCount(), 2 * GraphiteStroke::kMaxSlots);
            for (const RenderPath* path : {&item.outline, &item.hatching, &item.selection})
                for (const auto& e : path->elements)
                    EXPECT_TRUE(isFinite(e.to) && isFinite(e.control1) && isFinite(e.control2));
        }
    }
    // A stroke across a huge shape only grains what the surface shows.
    const auto big = AnnotationRenderItem::build(odd[3], kSurface, false);
    EXPECT_GT(big.hatchGraphite.grainCount(), 0u);
    EXPECT_LT(big.hatchGraphite.grainCount() + big.graphite.grainCount(), 200'000u);
}

TEST(AnnotationRenderCache, RebuildsOnlyWhatChanged) {
    auto list = oneOfEachKind();
    AnnotationRenderCache cache;
    EXPECT_EQ(cache.items(list, kSurface, false).size(), list.size());

    // A draft moves one annotation: it is painted in its place, the rest as they were.
    auto draft = list[2];
    draft.points[1].x += 0.01;
    const auto painted = annotationsToPaint(list, draft);
    ASSERT_EQ(painted.size(), list.size());
    const auto& items = cache.items(painted, kSurface, false);
    EXPECT_EQ(items[2].annotation, draft);
    EXPECT_EQ(items[3], AnnotationRenderItem::build(list[3], kSurface, false));

    // A new draft goes on top; a repeated id is kept apart.
    auto fresh = drawing(AnnotationTool::line, {{0.1, 0.1}, {0.2, 0.2}});
    EXPECT_EQ(annotationsToPaint(list, fresh).back(), fresh);
    auto twin = list[0];
    twin.seed += 1;
    list.push_back(twin);
    const auto& withTwin = cache.items(list, kSurface, false);
    EXPECT_EQ(withTwin[0].annotation, list[0]);
    EXPECT_EQ(withTwin.back().annotation, twin);

    // A new mode shows no item of the old one.
    EXPECT_EQ(cache.items(list, kSurface, true)[3], AnnotationRenderItem::build(list[3], kSurface, true));
}

}  // namespace
}  // namespace vantrel

// SPDX-License-Identifier: GPL-3.0-or-later
#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "core/annotation/annotation_render.h"

namespace vantrel {
namespace {

// Strokes no pointer could draw, as a damaged or hostile file may carry them. Building
// their render items must stay bounded by what the surface shows: every view point within
// one surface size of it, a thinned outline, and a walk that stops at its limits.
TEST(AnnotationRenderItem, HostileStrokesAreBoundedByTheSurface) {
    const ViewSize surface{1000, 645};
    const double nan = std::numeric_limits<double>::quiet_NaN();
    // Points are pulled to within one surface width of it; curve controls may reach a
    // sixth of the clamped span (three widths) further.
    const double reach = 2 * surface.width;
    const auto withinReach = [&](Point p) {
        return p.x >= -reach && p.x <= surface.width + reach && p.y >= -reach && p.y <= surface.height + reach;
    };

    BoardAnnotation far;
    far.kind = AnnotationTool::pencil;
    far.seed = 42;
    for (int i = 0; i < 100'000; ++i) far.points.push_back({i % 2 ? 1e9 : -1e9, i % 3 ? 1e9 : -1e9});
    BoardAnnotation wide = far;
    wide.style.lineWidth = 1e300;
    BoardAnnotation nanWidth = far;
    nanWidth.style.lineWidth = nan;
    nanWidth.points[7] = {nan, 0.5};
    BoardAnnotation dense;
    dense.kind = AnnotationTool::pencil;
    for (int i = 0; i < 200'000; ++i) dense.points.push_back({(i % 1000) / 1000.0, (i / 1000) / 1000.0});

    for (const BoardAnnotation* a : {&far, &wide, &nanWidth, &dense}) {
        for (const bool is3D : {false, true}) {
            const auto item = AnnotationRenderItem::build(*a, surface, is3D);
            // One move plus one curve per kept sample.
            EXPECT_LE(item.outline.elements.size(), AnnotationRenderItem::kMaxPencilSamples);
            for (const auto& e : item.outline.elements)
                ASSERT_TRUE(withinReach(e.to) && withinReach(e.control1) && withinReach(e.control2));
            for (const Point& corner : item.selectionCorners) EXPECT_TRUE(withinReach(corner));
            EXPECT_LE(item.graphite.grainCount(), GraphiteStroke::slotBudget(AnnotationRenderItem::visibleArea(surface)));
            EXPECT_LE(item.strokeWidth, GraphiteStroke::kMaxWidth);
        }
    }
    // The thinned dense stroke still covers the whole area it was drawn over.
    const auto denseItem = AnnotationRenderItem::build(dense, surface, false);
    EXPECT_EQ(denseItem.outline.elements.front().to, (Point{0, 0}));
    EXPECT_NEAR(denseItem.outline.elements.back().to.y, 0.199 * 645, 1);

    // The walk ends after kMaxEmptyPieces pieces that lay nothing: pieces off the surface use it up,
    // so a piece across the surface after them lays nothing, while alone it lays grains.
    RenderPath decoy;
    decoy.moveTo({-5000, -5000});
    for (std::size_t i = 0; i < GraphiteStroke::kMaxEmptyPieces; ++i) decoy.lineTo({i % 2 ? -4000.0 : -5000.0, -5000});
    const RenderPath across{{{RenderPath::Verb::move, {0, 300}, {}, {}}, {RenderPath::Verb::line, {1000, 300}, {}, {}}}};
    decoy.elements.insert(decoy.elements.end(), across.elements.begin(), across.elements.end());
    const Rect visible{0, 0, surface.width, surface.height};
    EXPECT_EQ(GraphiteStroke::build(decoy, 2, 1, visible).grainCount(), 0u);
    EXPECT_GT(GraphiteStroke::build(across, 2, 1, visible).grainCount(), 1000u);

    // Once the slots are used up, no piece adds a grain, however many follow.
    RenderPath full;
    full.moveTo({0, 0});
    for (int i = 0; i < 20'000; ++i) full.lineTo({i % 2 ? 1000.0 : 0.0, (i % 645) * 1.0});
    const auto capped = GraphiteStroke::build(full, GraphiteStroke::kMaxWidth, 3, visible);
    // 1024 slots per point of the surface's height: 660,480 here.
    EXPECT_LE(capped.grainCount(), 660'480u);
    EXPECT_GT(capped.grainCount(), 660'480u / 2);

    // The budget never cuts a hatch over the whole surface, wide, square or 4K.
    for (const ViewSize size : {ViewSize{1000, 645}, ViewSize{700, 700}, ViewSize{400, 1200}, ViewSize{3840, 2160}}) {
        BoardAnnotation zone;
        zone.kind = AnnotationTool::rectangle;
        zone.points = {{0, 0}, {1, 1}};
        zone.style.fill = AnnotationFill::hatch;
        const auto item = AnnotationRenderItem::build(zone, size, false);
        GraphiteStroke::Walk walk;
        const Rect area = AnnotationRenderItem::visibleArea(size);
        GraphiteStroke::continueWalk(item.hatching, item.hatching.elements.size(), item.hatchGraphite.width, zone.seed, area, walk);
        EXPECT_LT(double(walk.usedSlots), 0.8 * double(GraphiteStroke::slotBudget(area))) << size.width << "×" << size.height;
    }
}

}  // namespace
}  // namespace vantrel

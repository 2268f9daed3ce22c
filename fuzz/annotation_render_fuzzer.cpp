// SPDX-License-Identifier: GPL-3.0-or-later
// Decoding an annotation, then everything the canvas computes from it: model geometry,
// hit tests, moves and resizes, and render items in 2D and 3D on a small surface.
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "core/annotation/annotation_geometry.h"
#include "core/annotation/annotation_render.h"
#include "core/model/tactic_json.h"
#include "fuzz_platform.h"

using namespace vantrel;

namespace {

bool finitePath(const RenderPath& path) {
    for (const auto& e : path.elements)
        if (!isFinite(e.to) || !isFinite(e.control1) || !isFinite(e.control2)) return false;
    return true;
}

void render(const BoardAnnotation& annotation, ViewSize size, bool is3D) {
    const auto item = AnnotationRenderItem::build(annotation, size, is3D);
    if (!finitePath(item.outline) || !finitePath(item.hatching) || !finitePath(item.selection)) std::abort();
    if (item.graphite.grainCount() > GraphiteStroke::kMaxSlots ||
        item.hatchGraphite.grainCount() > GraphiteStroke::kMaxSlots)
        std::abort();
    // Pure: the same input builds the same item, grain for grain.
    if (!(AnnotationRenderItem::build(annotation, size, is3D) == item)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto decoded = TacticJson::decodeAnnotation(fuzz::bytes(data, size));
    if (!decoded) return 0;
    const BoardAnnotation& annotation = *decoded;

    const Rect bounds = AnnotationGeometry::bounds(annotation);
    AnnotationGeometry::hitTest(annotation, {0.5, 0.5}, 0.01);
    AnnotationGeometry::hitTest(annotation, {bounds.midX(), bounds.midY()}, 0.02);
    AnnotationGeometry::translated(annotation, {0.1, -0.05});
    AnnotationGeometry::resized(annotation, bounds, Rect{0.2, 0.2, 0.3, 0.1});

    const ViewSize small{320, 206};
    render(annotation, small, false);
    render(annotation, small, true);
    const AnnotationCanvasGeometry canvas{small, false};
    const AnnotationCanvasGeometry perspective{small, true};
    for (const auto& c : {canvas, perspective}) {
        const std::vector<BoardAnnotation> list{annotation};
        c.hitAnnotation({160, 103}, list);
        c.cornerHandle(annotation, {10, 10});
        c.moving(annotation, {160, 103}, {200, 120});
        for (int corner = 0; corner < 4; ++corner) c.resizing(annotation, bounds, corner, {300, 200});
        c.isLargeEnough(annotation);
    }
    return 0;
}

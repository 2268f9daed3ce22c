// SPDX-License-Identifier: GPL-3.0-or-later
#include <cmath>
#include <numbers>

#include <benchmark/benchmark.h>

#include "core/annotation/annotation_render.h"

namespace vantrel {
namespace {

const ViewSize kSurface{1500, 900};

// A hand stroke of 600 samples about 2.5 view points apart, waving across the pitch.
BoardAnnotation pencilStroke() {
    BoardAnnotation stroke;
    stroke.kind = AnnotationTool::pencil;
    stroke.style.lineWidth = 2.4;
    stroke.seed = 0x2d358dccaa6c78a5ULL;
    for (int i = 0; i < 600; ++i) {
        const double t = i / 599.0;
        stroke.points.push_back({0.1 + 0.8 * t, 0.5 + 0.15 * std::sin(t * 6 * std::numbers::pi)});
    }
    return stroke;
}

BoardAnnotation hatchRectangle(Point from, Point to) {
    BoardAnnotation box;
    box.kind = AnnotationTool::rectangle;
    box.points = {from, to};
    box.style.fill = AnnotationFill::hatch;
    box.seed = 0x8ab2c97a34e1d005ULL;
    return box;
}

void BM_PencilStroke600(benchmark::State& state) {
    const auto stroke = pencilStroke();
    std::size_t grains = 0;
    for (auto _ : state) {
        auto item = AnnotationRenderItem::build(stroke, kSurface, false);
        grains = item.graphite.grainCount();
        benchmark::DoNotOptimize(item);
    }
    state.counters["grains"] = static_cast<double>(grains);
}
BENCHMARK(BM_PencilStroke600)->Unit(benchmark::kMicrosecond);

// A hatched box 600 × 450 view points: the size a coach marks a zone with.
void BM_HatchRectangleZone(benchmark::State& state) {
    const auto box = hatchRectangle({0.3, 0.25}, {0.7, 0.75});
    std::size_t grains = 0;
    for (auto _ : state) {
        auto item = AnnotationRenderItem::build(box, kSurface, false);
        grains = item.graphite.grainCount() + item.hatchGraphite.grainCount();
        benchmark::DoNotOptimize(item);
    }
    state.counters["grains"] = static_cast<double>(grains);
}
BENCHMARK(BM_HatchRectangleZone)->Unit(benchmark::kMicrosecond);

// The worst case: a hatched box over the whole 1500 × 900 surface.
void BM_HatchRectangleWholeSurface(benchmark::State& state) {
    const auto box = hatchRectangle({0, 0}, {1, 1});
    std::size_t grains = 0;
    for (auto _ : state) {
        auto item = AnnotationRenderItem::build(box, kSurface, false);
        grains = item.graphite.grainCount() + item.hatchGraphite.grainCount();
        benchmark::DoNotOptimize(item);
    }
    state.counters["grains"] = static_cast<double>(grains);
}
BENCHMARK(BM_HatchRectangleWholeSurface)->Unit(benchmark::kMicrosecond);

// Strokes of 10⁶ points no pointer could draw, as a damaged or hostile file may carry them:
// at ±1e9 (0), ±1e9 with an absurd width (1), a dense scribble over the whole pitch (2).
void BM_HostileStrokeMillion(benchmark::State& state) {
    BoardAnnotation stroke;
    stroke.kind = AnnotationTool::pencil;
    stroke.seed = 42;
    for (int i = 0; i < 1'000'000; ++i) {
        if (state.range(0) == 2) stroke.points.push_back({(i % 1000) / 1000.0, (i / 1000) / 1000.0});
        else stroke.points.push_back({i % 2 ? 1e9 : -1e9, i % 3 ? 1e9 : -1e9});
    }
    if (state.range(0) == 1) stroke.style.lineWidth = 1e300;
    for (auto _ : state) {
        auto item = AnnotationRenderItem::build(stroke, kSurface, state.range(1) == 1);
        benchmark::DoNotOptimize(item);
    }
}
BENCHMARK(BM_HostileStrokeMillion)->ArgsProduct({{0, 1, 2}, {0, 1}})->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vantrel

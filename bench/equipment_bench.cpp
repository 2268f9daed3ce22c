// SPDX-License-Identifier: GPL-3.0-or-later
// A drill laid out on the 11-a-side board: 200 pieces of training equipment (25 of each
// kind, turned and spread over the pitch, one selected) with the 22 players, painted
// into an image at 1500 × 900 in 2D and in 3D. Both pitch goals stand in every frame.
#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>

#include "bench_application.h"
#include "core/platform/memory_preference_store.h"
#include "core/platform/virtual_time_platform.h"
#include "core/store/board_store.h"
#include "ui/render/board_painter.h"

namespace {

using namespace vantrel;

void paintEquipment(benchmark::State& state, BoardPainter::Projection projection) {
    bench::application();
    MemoryPreferenceStore prefs;
    VirtualTimePlatform platform;
    BoardStore store(prefs, platform);
    store.selectBuiltIn(0, 11);
    const auto kinds = allEquipmentKinds();
    for (int i = 0; i < 200; ++i) {
        const Point at{0.06 + 0.88 * ((i % 20) + 0.5) / 20, 0.06 + 0.88 * ((i / 20) + 0.5) / 10};
        const auto id = store.equipment().add(kinds[static_cast<std::size_t>(i) % kinds.size()], at);
        if (id) store.equipment().rotate(*id, 17.0 * i);
    }
    store.equipment().setPitchAreas(PitchAreas{PitchArea::half, PitchGrid::zones});
    const BoardScene scene = store.scene();
    if (scene.equipment.size() != 200 || scene.players.size() != 22) {
        state.SkipWithError("the board is not in the state measured");
        return;
    }
    auto painter = BoardPainter::make(projection);
    QImage image(int(state.range(0)), int(state.range(1)), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    for (auto _ : state) {
        QPainter p(&image);
        painter->paint(p, scene, QSizeF(image.size()));
        p.end();
        benchmark::DoNotOptimize(image.constBits());
    }
}

void BM_PaintEquipment2D(benchmark::State& state) { paintEquipment(state, BoardPainter::Projection::flat); }
BENCHMARK(BM_PaintEquipment2D)->Args({1500, 900})->Unit(benchmark::kMillisecond);

void BM_PaintEquipment3D(benchmark::State& state) { paintEquipment(state, BoardPainter::Projection::perspective); }
BENCHMARK(BM_PaintEquipment3D)->Args({1500, 900})->Unit(benchmark::kMillisecond);

}  // namespace

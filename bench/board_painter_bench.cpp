// SPDX-License-Identifier: GPL-3.0-or-later
// Frames of the board painted into images at 1500 × 900 and at 3840 × 2160 (a 4K screen,
// or 1920 × 1080 at twice the density), and the scene they paint built from the store.
// 2D: 22 players, vision and offside on, a pass preview and a selected route. 3D: 22
// pucks, a lofted pass in flight, vision and offside on.
#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>

#include "bench_application.h"
#include "core/platform/virtual_time_platform.h"
#include "core/platform/memory_preference_store.h"
#include "core/store/board_store.h"
#include "ui/render/board_painter.h"

namespace {

using namespace vantrel;

// The 11-a-side board in the middle of a transition's start: the pass preview shows.
bool prepare2D(BoardStore& store) {
    store.selectBuiltIn(0, 11);
    store.selectStep(1);
    store.setShowVision(true);
    store.setShowOffside(true);
    store.next();
    store.selectPlayer("home-11", false);
    return store.previewRoute().has_value();
}

// The 11-a-side board with a long lofted pass high in the air.
bool prepare3D(BoardStore& store, VirtualTimePlatform& platform) {
    store.selectBuiltIn(0, 11);
    store.setShowVision(true);
    store.setShowOffside(true);
    store.setPassStyle(PassStyle::loft);
    const auto owner = store.displayOwnerID();
    if (!owner) return false;
    const Player* carrier = store.currentStep()->player(*owner);
    std::string receiver;
    double longest = 0;
    for (const auto& p : store.displayPlayers())
        if (p.team == carrier->team && p.id != carrier->id && aspectDistance(p.position, carrier->position) > longest)
            longest = aspectDistance(p.position, carrier->position), receiver = p.id;
    store.pass(receiver);
    // High in the air, the carrier's vision faded out as it does while a pass flies.
    platform.advanceUntil([&] { return store.displayBallHeight() >= 0.03 && store.visionOpacity() == 0; }, 3);
    return store.passingFromID() && store.displayBallHeight() > 0;
}

void paintFrames(benchmark::State& state, BoardPainter::Projection projection) {
    bench::application();
    MemoryPreferenceStore prefs;
    VirtualTimePlatform platform;
    BoardStore store(prefs, platform);
    const bool ready = projection == BoardPainter::Projection::flat ? prepare2D(store) : prepare3D(store, platform);
    if (!ready) {
        state.SkipWithError("the board is not in the state measured");
        return;
    }
    const BoardScene scene = store.scene();
    auto painter = BoardPainter::make(projection);
    QImage image(int(state.range(0)), int(state.range(1)), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    for (auto _ : state) {
        // Every frame paints the whole board over the last one, as a widget repaint does.
        QPainter p(&image);
        painter->paint(p, scene, QSizeF(image.size()));
        p.end();
        benchmark::DoNotOptimize(image.constBits());
    }
}

void BM_PaintPitch2D(benchmark::State& state) { paintFrames(state, BoardPainter::Projection::flat); }
BENCHMARK(BM_PaintPitch2D)->Args({1500, 900})->Args({3840, 2160})->Unit(benchmark::kMillisecond);

void BM_PaintPitch3D(benchmark::State& state) { paintFrames(state, BoardPainter::Projection::perspective); }
BENCHMARK(BM_PaintPitch3D)->Args({1500, 900})->Args({3840, 2160})->Unit(benchmark::kMillisecond);

// One shown frame's scene: players, ball, preview, run, vision polygon, offside lines.
void BM_BuildScene(benchmark::State& state) {
    MemoryPreferenceStore prefs;
    VirtualTimePlatform platform;
    BoardStore store(prefs, platform);
    if (!prepare2D(store)) {
        state.SkipWithError("no pass preview");
        return;
    }
    for (auto _ : state) benchmark::DoNotOptimize(store.scene());
}
BENCHMARK(BM_BuildScene)->Unit(benchmark::kMicrosecond);

}  // namespace

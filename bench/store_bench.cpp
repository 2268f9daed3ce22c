// SPDX-License-Identifier: GPL-3.0-or-later
// One playback frame of an 11-a-side transition: every run's curve, the ball's flight
// sample and the nearest-opponent scan; and the store's work for one pointer move of a
// drag on an 11-a-side own tactic.
#include <benchmark/benchmark.h>

#include "core/platform/virtual_time_platform.h"
#include "core/library/builtin_tactics.h"
#include "core/platform/memory_preference_store.h"
#include "core/store/board_store.h"

namespace {

using namespace vantrel;

void BM_PlaybackFrame11(benchmark::State& state) {
    MemoryPreferenceStore prefs;
    VirtualTimePlatform platform;
    BoardStore store(prefs, platform);
    store.selectBuiltIn(0, 11);
    auto start = [&] {
        store.selectStep(1);   // step 2 → 3 is a pass from the right midfielder to the winger
        store.next();
    };
    start();
    if (!store.previewRoute()) {
        state.SkipWithError("no pass transition started");
        return;
    }
    for (auto _ : state) {
        platform.advance(VirtualTimePlatform::kFrame);
        if (!store.transitionRunning()) {
            state.PauseTiming();
            start();
            state.ResumeTiming();
        }
        benchmark::DoNotOptimize(store.previewBall());
    }
}
BENCHMARK(BM_PlaybackFrame11);

// What the board view sends per pointer move while a player is dragged: select him, move
// him (the edit joins the drag's one undo level; the autosave is rescheduled).
void BM_DragMove11(benchmark::State& state) {
    MemoryPreferenceStore prefs;
    VirtualTimePlatform platform;
    BoardStore store(prefs, platform);
    store.newTactic("拖动", 11);
    const std::string id = store.currentStep()->players.front().id;
    store.setDraggingPlayer(true);
    int i = 0;
    for (auto _ : state) {
        const double t = (++i % 200) / 200.0;
        store.selectPlayer(id, false);
        store.movePlayer(id, {0.2 + 0.5 * t, 0.3 + 0.2 * t});
    }
    store.setDraggingPlayer(false);
    if (!store.canUndoBoardEdit()) state.SkipWithError("the drag recorded nothing");
}
BENCHMARK(BM_DragMove11)->Unit(benchmark::kMicrosecond);

}  // namespace

// SPDX-License-Identifier: GPL-3.0-or-later
// The interception risk of an 11-a-side step worked out again after a drag: the move
// into the step sampled tick by tick with playback's own interception test.
#include <benchmark/benchmark.h>

#include "core/platform/virtual_time_platform.h"
#include "core/platform/memory_preference_store.h"
#include "core/store/board_store.h"

namespace {

using namespace vantrel;

void BM_InterceptionRiskAfterDrag11(benchmark::State& state) {
    MemoryPreferenceStore prefs;
    VirtualTimePlatform platform;
    BoardStore store(prefs, platform);
    store.selectBuiltIn(0, 11);
    store.selectStep(2);   // the move into it is a pass from the right midfielder to the winger
    const BoardStep* step = store.currentStep();
    if (!step || step->ballOwner == store.tactic().steps[1].ballOwner) {
        state.SkipWithError("no pass into the step");
        return;
    }
    // A defender who is not on the line: the whole flight is scanned, the dearest case.
    const Player defender = step->players.back();
    store.setDraggingPlayer(true);
    bool nudge = false;
    for (auto _ : state) {
        nudge = !nudge;
        store.movePlayer(defender.id, {defender.position.x, defender.position.y + (nudge ? 0.001 : 0)});
        benchmark::DoNotOptimize(store.interceptionRisk());
    }
    store.setDraggingPlayer(false);
}
BENCHMARK(BM_InterceptionRiskAfterDrag11)->Repetitions(5)->ReportAggregatesOnly(true)->Unit(benchmark::kMicrosecond);

}  // namespace

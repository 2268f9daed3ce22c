// SPDX-License-Identifier: GPL-3.0-or-later
// One playback frame of an 11-a-side transition: every run's curve, the ball's flight
// sample and the nearest-opponent scan; and the store's work for one pointer move of a
// drag on an 11-a-side own tactic; the recovery journal's part of an edit with 200 own
// tactics; the earlier versions of an own tactic, listed and kept.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <filesystem>

#include "core/platform/virtual_time_platform.h"
#include "core/library/builtin_tactics.h"
#include "core/model/tactic_json.h"
#include "core/platform/file_library_storage.h"
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

// A frame's scene while "聚焦球员" follows a midfielder through every step: his path is
// planned anew each frame.
void BM_FocusedScene11(benchmark::State& state) {
    MemoryPreferenceStore prefs;
    VirtualTimePlatform platform;
    BoardStore store(prefs, platform);
    store.selectBuiltIn(0, 11);
    store.squad().setFocused(state.range(0) ? std::optional<std::string>("home-8") : std::nullopt);
    for (auto _ : state) benchmark::DoNotOptimize(store.scene());
}
BENCHMARK(BM_FocusedScene11)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

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
    if (!store.boardEdits().canUndo()) state.SkipWithError("the drag recorded nothing");
}
BENCHMARK(BM_DragMove11)->Unit(benchmark::kMicrosecond);

// 200 own tactics (copies of the built-in plays, both formats) on a file storage in a
// folder of the benchmark's own, the 11-a-side one at index 101 open at its second step.
// Each iteration is one stage edit while the journal has nothing waiting, so the edit
// arms its timer; `fire` times instead the timer's firing, which copies the open tactic
// and hands it to the storage's writer. Encoding and disk writes run on that thread while
// the loop goes on, as they do beside the interface; waiting for them before each edit
// would time a thread woken from sleep, cold caches included (+50 µs).
void journalBench(benchmark::State& state, bool fire) {
    const auto dir = std::filesystem::temp_directory_path() / ("vantrel-journal-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    {
        MemoryPreferenceStore prefs;
        std::vector<SavedTactic> library;
        for (int i = 0; i < 200; ++i) {
            const auto& source = BuiltInTactics::library(i % 2 ? 11 : 7);
            library.push_back({Uuid::random(), source[std::size_t(i / 2) % source.size()], true});
        }
        prefs.setData(kImportedTacticsKey, TacticJson::encodeLibrary(library).value());
        FileLibraryStorage files(dir, prefs, [](std::function<void()>) {});
        VirtualTimePlatform platform;
        platform.storage = &files;
        BoardStore store(prefs, platform);
        store.selectImported(store.importedTactics()[101]);
        store.selectStep(1);
        const std::string id = store.currentStep()->players.back().id;
        int i = 0;
        for (auto _ : state) {
            const Point to{0.3 + 0.2 * (++i % 2), 0.5};
            state.PauseTiming();
            if (fire) store.movePlayer(id, to);
            platform.advance(fire ? 1.0 : 1.6);   // the autosave (0.6 s) fires before the journal (1.5 s)
            state.ResumeTiming();
            if (fire) platform.advance(0.6);
            else store.movePlayer(id, to);
        }
        files.flush();
        if (!std::filesystem::exists(files.recoveryFile())) state.SkipWithError("no journal written");
    }
    std::filesystem::remove_all(dir);
}
void BM_JournalStageEdit200(benchmark::State& state) { journalBench(state, false); }
void BM_JournalWrite200(benchmark::State& state) { journalBench(state, true); }
// A fixed count: each iteration also advances 1.6 s of virtual time, outside the timing.
BENCHMARK(BM_JournalStageEdit200)->Unit(benchmark::kMicrosecond)->Iterations(300);
BENCHMARK(BM_JournalWrite200)->Unit(benchmark::kMicrosecond)->Iterations(300);

// Twenty earlier versions of an 11-a-side play in a file beside the library. `list` times
// the first listing (read, decode, checks), which is what opening "历史版本…" costs;
// otherwise the calling thread's part of a save that keeps a version (the storage's
// writer reads, extends and rewrites the twenty, untimed).
void versionsBench(benchmark::State& state, bool list) {
    const auto dir = std::filesystem::temp_directory_path() / ("vantrel-versions-bench-" + std::to_string(::getpid()));
    {
        MemoryPreferenceStore prefs;
        FileLibraryStorage files(dir, prefs, [](std::function<void()>) {});
        VirtualTimePlatform platform;
        const Uuid id = Uuid::random();
        const Tactic& play = BuiltInTactics::library(11).front();
        TacticVersions seed(files, platform);
        for (std::size_t i = 0; i < TacticVersions::kMaxVersions; ++i) {
            platform.calendarOffset += TacticVersions::kSessionSeconds;
            seed.keep(id, play);
        }
        files.flush();
        TacticVersions kept(files, platform);
        kept.of(id);
        for (auto _ : state) {
            if (list) {
                TacticVersions fresh(files, platform);
                benchmark::DoNotOptimize(fresh.of(id).size());
            } else {
                kept.keep(id, play, true);
                state.PauseTiming();
                files.flush();
                state.ResumeTiming();
            }
        }
        files.flush();
    }
    std::filesystem::remove_all(dir);
}
void BM_VersionsFirstList20(benchmark::State& state) { versionsBench(state, true); }
void BM_VersionKeep20(benchmark::State& state) { versionsBench(state, false); }
BENCHMARK(BM_VersionsFirstList20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VersionKeep20)->Unit(benchmark::kMicrosecond);

}  // namespace

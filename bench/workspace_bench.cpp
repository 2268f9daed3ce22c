// The workspace with a coach's large library: the first painted window, and switching
// between two tactics with everything repainted.
#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>

#include "bench_application.h"
#include "bench_platform.h"
#include "core/library/builtin_tactics.h"
#include "core/model/tactic_json.h"
#include "core/platform/memory_preference_store.h"
#include "core/store/board_store.h"
#include "ui/workspace/content_view.h"
#include "ui/workspace/main_window.h"

namespace {

using namespace vantrel;

// 200 own tactics, eleven- and seven-a-side copies of the built-in plays (about 3 MB).
void fillLibrary(MemoryPreferenceStore& prefs) {
    std::vector<SavedTactic> library;
    for (int i = 0; i < 200; ++i) {
        const auto& source = BuiltInTactics::library(i % 2 ? 11 : 7);
        Tactic tactic = source[std::size_t(i / 2) % source.size()];
        tactic.name += " " + std::to_string(i);
        library.push_back({Uuid::random(), tactic, true});
    }
    prefs.setData(kImportedTacticsKey, TacticJson::encodeLibrary(library).value());
    prefs.setBoolean("Vantrel.onboardingCompleted", true);
}

// Window construction (the store reads and decodes the library), layout, and the first
// complete paint of the window.
void BM_WorkspaceFirstPaint200(benchmark::State& state) {
    bench::application();
    MemoryPreferenceStore prefs;
    fillLibrary(prefs);
    bench::BenchPlatform platform;
    for (auto _ : state) {
        MainWindow window(prefs, platform);
        window.resize(1500, 900);
        window.show();
        QImage frame = window.grab().toImage();
        benchmark::DoNotOptimize(frame.constBits());
    }
}
BENCHMARK(BM_WorkspaceFirstPaint200)->Unit(benchmark::kMillisecond);

// Selecting the other of two own tactics, then repainting the whole window.
void BM_WorkspaceSwitchTactic(benchmark::State& state) {
    bench::application();
    MemoryPreferenceStore prefs;
    fillLibrary(prefs);
    bench::BenchPlatform platform;
    MainWindow window(prefs, platform);
    window.resize(1500, 900);
    window.show();
    BoardStore& store = window.content().store();
    const SavedTactic a = store.importedTactics()[0];
    const SavedTactic b = store.importedTactics()[2];
    QImage frame(window.size(), QImage::Format_ARGB32_Premultiplied);
    bool flip = false;
    for (auto _ : state) {
        store.selectImported(flip ? a : b);
        flip = !flip;
        QPainter painter(&frame);
        window.render(&painter);
        painter.end();
        benchmark::DoNotOptimize(frame.constBits());
    }
}
BENCHMARK(BM_WorkspaceSwitchTactic)->Unit(benchmark::kMillisecond);

}  // namespace

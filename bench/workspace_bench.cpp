// SPDX-License-Identifier: GPL-3.0-or-later
// The workspace with a coach's large library: the first painted window, and switching
// between two tactics with everything repainted.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <QImage>
#include <QPainter>
#include <QSettings>
#include <deque>
#include <filesystem>

#include "bench_application.h"
#include "core/platform/virtual_time_platform.h"
#include "core/library/builtin_tactics.h"
#include "core/model/tactic_json.h"
#include "core/platform/file_library_storage.h"
#include "core/platform/memory_preference_store.h"
#include "core/store/board_store.h"
#include "ui/workspace/content_view.h"
#include "ui/platform/settings_preference_store.h"
#include "ui/workspace/main_window.h"

namespace {

using namespace vantrel;

// 200 own tactics, eleven- and seven-a-side copies of the built-in plays (about 3 MB).
void fillLibrary(PreferenceStore& prefs) {
    std::vector<SavedTactic> library;
    for (int i = 0; i < 200; ++i) {
        const auto& source = BuiltInTactics::library(i % 2 ? 11 : 7);
        Tactic tactic = source[std::size_t(i / 2) % source.size()];
        tactic.name += ' ';
        tactic.name += std::to_string(i);
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
    VirtualTimePlatform platform;
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
    VirtualTimePlatform platform;
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


// What the interface thread pays for the autosave of a 200-tactic library after one edit,
// with the preferences in a real settings file: the command that renames the open tactic
// and the write it schedules. The disk write itself runs on the storage's thread and is
// waited for outside the timing.
void BM_AutosaveOneEdit200(benchmark::State& state) {
    bench::application();
    const auto dir = std::filesystem::temp_directory_path() / ("vantrel-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    {
        SettingsPreferenceStore prefs(
            std::make_unique<QSettings>(QString::fromStdString((dir / "prefs.conf").string()), QSettings::IniFormat));
        fillLibrary(prefs);
        std::deque<std::function<void()>> outcomes;
        std::mutex mutex;
        FileLibraryStorage files(dir / "data", prefs, [&](std::function<void()> outcome) {
            std::lock_guard lock(mutex);
            outcomes.push_back(std::move(outcome));
        });
        VirtualTimePlatform platform;   // its own library file, written by the storage's thread
        platform.storage = &files;
        BoardStore store(prefs, platform);
        store.selectImported(store.importedTactics()[100]);
        int edit = 0;
        for (auto _ : state) {
            store.setTacticName("改名 " + std::to_string(++edit));
            store.flushAutosave();
            state.PauseTiming();
            files.flush();
            std::deque<std::function<void()>> due;
            {
                std::lock_guard lock(mutex);
                due.swap(outcomes);
            }
            for (auto& outcome : due) outcome();
            state.ResumeTiming();
        }
    }
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_AutosaveOneEdit200)->Unit(benchmark::kMillisecond);

}  // namespace

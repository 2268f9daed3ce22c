// SPDX-License-Identifier: GPL-3.0-or-later
// The workspace with a season's library: 1,000 own tactics (about 15 MB). The first
// painted window, a keystroke in the library's search, scrolling the rows with their
// pictures, and what the interface thread pays for the autosave after one edit.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <QImage>
#include <QListWidget>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <deque>
#include <filesystem>
#include <mutex>

#include "bench_application.h"
#include "core/library/builtin_tactics.h"
#include "core/model/tactic_json.h"
#include "core/platform/file_library_storage.h"
#include "core/platform/memory_preference_store.h"
#include "core/platform/virtual_time_platform.h"
#include "core/store/board_store.h"
#include "ui/platform/settings_preference_store.h"
#include "ui/workspace/content_view.h"
#include "ui/workspace/library_search_field.h"
#include "ui/workspace/library_sidebar.h"
#include "ui/workspace/main_window.h"
#include "ui/workspace/thumbnail_cache.h"

namespace {

using namespace vantrel;

constexpr int kTactics = 1000;

// Copies of the built-in plays of both formats, numbered, with a tag on every third.
std::string seasonLibrary() {
    std::vector<SavedTactic> library;
    for (int i = 0; i < kTactics; ++i) {
        const auto& source = BuiltInTactics::library(i % 2 ? 11 : 7);
        Tactic tactic = source[std::size_t(i / 2) % source.size()];
        tactic.name += ' ';
        tactic.name += std::to_string(i);
        if (i % 3 == 0) tactic.tags = {"定位球"};
        library.push_back({Uuid::random(), tactic, true});
    }
    return TacticJson::encodeLibrary(library).value();
}

void fill(PreferenceStore& prefs) {
    static const std::string bytes = seasonLibrary();
    prefs.setData(kImportedTacticsKey, bytes);
    prefs.setBoolean("Vantrel.onboardingCompleted", true);
}

// What start-up spends reading the library before any window: decoding the document,
// and the store built over it (decode, checks, press adaptation, cached entries).
void BM_LibraryStart1000(benchmark::State& state) {
    MemoryPreferenceStore prefs;
    fill(prefs);
    const std::string bytes = *prefs.data(kImportedTacticsKey);
    VirtualTimePlatform platform;
    for (auto _ : state) {
        if (state.range(0) == 0) benchmark::DoNotOptimize(TacticJson::decodeLibrary(bytes));
        else BoardStore store(prefs, platform);
    }
}
BENCHMARK(BM_LibraryStart1000)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_WorkspaceFirstPaint1000(benchmark::State& state) {
    bench::application();
    MemoryPreferenceStore prefs;
    fill(prefs);
    state.counters["libraryBytes"] = double(prefs.data(kImportedTacticsKey)->size());
    VirtualTimePlatform platform;
    for (auto _ : state) {
        MainWindow window(prefs, platform);
        window.resize(1500, 900);
        window.show();
        QImage frame = window.grab().toImage();
        benchmark::DoNotOptimize(frame.constBits());
    }
}
BENCHMARK(BM_WorkspaceFirstPaint1000)->Unit(benchmark::kMillisecond);

// The same with no own tactics: what a thousand add to the start.
void BM_WorkspaceFirstPaintEmpty(benchmark::State& state) {
    bench::application();
    MemoryPreferenceStore prefs;
    prefs.setBoolean("Vantrel.onboardingCompleted", true);
    VirtualTimePlatform platform;
    for (auto _ : state) {
        MainWindow window(prefs, platform);
        window.resize(1500, 900);
        window.show();
        QImage frame = window.grab().toImage();
        benchmark::DoNotOptimize(frame.constBits());
    }
}
BENCHMARK(BM_WorkspaceFirstPaintEmpty)->Unit(benchmark::kMillisecond);

// One keystroke: the field's text changes, the rows are filtered and the list laid out
// (the paint that follows is the list's ordinary paint of the rows on screen).
void BM_SearchKeystroke1000(benchmark::State& state) {
    bench::application();
    MemoryPreferenceStore prefs;
    fill(prefs);
    VirtualTimePlatform platform;
    MainWindow window(prefs, platform);
    window.resize(1500, 900);
    window.show();
    QApplication::processEvents();
    LibrarySearchField* field = window.content().librarySidebar().searchField();
    // Two words, then one: every keystroke changes which rows match.
    const QString word = QString::fromStdString(BuiltInTactics::library(11).front().name).left(2);
    const QStringList typed{word, word + QStringLiteral(" 1"), word + QStringLiteral(" 12")};
    field->setText(typed[0]);   // the searchable texts are folded once, on the first search
    int i = 0;
    for (auto _ : state) {
        field->setText(typed[++i % typed.size()]);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    }
}
BENCHMARK(BM_SearchKeystroke1000)->Unit(benchmark::kMillisecond);

// The first keystroke after the library changed, which folds every tactic's texts.
void BM_SearchFirstKeystroke1000(benchmark::State& state) {
    bench::application();
    MemoryPreferenceStore prefs;
    fill(prefs);
    VirtualTimePlatform platform;
    MainWindow window(prefs, platform);
    window.resize(1500, 900);
    window.show();
    QApplication::processEvents();
    LibrarySidebar& sidebar = window.content().librarySidebar();
    for (auto _ : state) {
        state.PauseTiming();
        sidebar.searchField()->clear();
        sidebar.refresh();
        state.ResumeTiming();
        sidebar.searchField()->setText(QStringLiteral("定位"));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    }
}
BENCHMARK(BM_SearchFirstKeystroke1000)->Unit(benchmark::kMillisecond);

// Scrolling the library one screen at a time, every picture already made: the scroll
// and the sidebar's repaint.
void BM_ScrollWithThumbnails1000(benchmark::State& state) {
    bench::application();
    MemoryPreferenceStore prefs;
    fill(prefs);
    VirtualTimePlatform platform;
    MainWindow window(prefs, platform);
    window.resize(1500, 900);
    window.show();
    QApplication::processEvents();
    LibrarySidebar& sidebar = window.content().librarySidebar();
    QScrollBar* bar = sidebar.findChild<QScrollArea*>()->verticalScrollBar();
    // Make every picture first: the timing is of scrolling, not of painting pictures.
    for (int v = 0; v <= bar->maximum(); v += 600) {
        bar->setValue(v);
        sidebar.repaint();
        sidebar.thumbnails()->waitForAll();
    }
    int v = 0;
    for (auto _ : state) {
        v = (v + 600) % (bar->maximum() + 1);
        bar->setValue(v);
        sidebar.repaint();
    }
}
BENCHMARK(BM_ScrollWithThumbnails1000)->Unit(benchmark::kMillisecond);

// The interface thread's share of the autosave after one edit, in the window (so the
// library column's answer to the change counts), with the library in a real file: the
// rename and the write it schedules; the disk write runs on the storage's thread.
void BM_AutosaveOneEdit1000(benchmark::State& state) {
    bench::application();
    const auto dir = std::filesystem::temp_directory_path() / ("vantrel-season-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    {
        SettingsPreferenceStore prefs(
            std::make_unique<QSettings>(QString::fromStdString((dir / "prefs.conf").string()), QSettings::IniFormat));
        fill(prefs);
        std::deque<std::function<void()>> outcomes;
        std::mutex mutex;
        FileLibraryStorage files(dir / "data", prefs, [&](std::function<void()> outcome) {
            std::lock_guard lock(mutex);
            outcomes.push_back(std::move(outcome));
        });
        VirtualTimePlatform platform;
        platform.storage = &files;
        MainWindow window(prefs, platform);
        window.resize(1500, 900);
        window.show();
        QApplication::processEvents();
        BoardStore& store = window.content().store();
        store.selectImported(store.importedTactics()[500]);
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
BENCHMARK(BM_AutosaveOneEdit1000)->Unit(benchmark::kMillisecond);

}  // namespace

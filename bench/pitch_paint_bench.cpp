// A full 2D frame at 1500 × 900 painted into an image: 22 players, vision and offside
// on, a pass preview and a selected route.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>

#include "bench_application.h"
#include "bench_platform.h"
#include "core/platform/memory_preference_store.h"
#include "core/store/board_store.h"
#include "ui/render/board_renderer.h"

namespace {

using namespace vantrel;

QApplication& application() { return bench::application(); }

void BM_PaintPitch2D(benchmark::State& state) {
    application();
    MemoryPreferenceStore prefs;
    bench::BenchPlatform platform;
    BoardStore store(prefs, platform);
    store.selectBuiltIn(0, 11);
    store.selectStep(1);
    store.setShowVision(true);
    store.setShowOffside(true);
    store.next();   // the transition holds its start: the pass preview shows
    store.selectPlayer("home-11", false);
    BoardRenderer renderer(store);
    QImage image(1500, 900, QImage::Format_ARGB32_Premultiplied);
    if (!store.previewRoute()) {
        state.SkipWithError("no pass preview");
        return;
    }
    image.fill(Qt::transparent);
    for (auto _ : state) {
        // Every frame paints the whole pitch over the last one, as a widget repaint does.
        QPainter painter(&image);
        renderer.paint(painter, QSizeF(image.size()));
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_PaintPitch2D)->Unit(benchmark::kMillisecond);

}  // namespace

// A full 3D frame at 1500 × 900 painted into an image: 22 pucks, a lofted pass in flight,
// vision and offside on.
#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>

#include "bench_application.h"
#include "bench_platform.h"
#include "core/platform/memory_preference_store.h"
#include "core/store/board_store.h"
#include "ui/render/perspective_renderer.h"

namespace {

using namespace vantrel;

void BM_PaintPitch3D(benchmark::State& state) {
    bench::application();
    MemoryPreferenceStore prefs;
    bench::BenchPlatform platform;
    BoardStore store(prefs, platform);
    store.selectBuiltIn(0, 11);
    store.setShowVision(true);
    store.setShowOffside(true);
    store.setPassStyle(PassStyle::loft);
    const auto owner = store.displayOwnerID();
    if (!owner) {
        state.SkipWithError("no ball carrier");
        return;
    }
    // The teammate furthest from the carrier, for a long lofted pass.
    const Player* carrier = store.currentStep()->player(*owner);
    std::string receiver;
    double longest = 0;
    for (const auto& p : store.displayPlayers())
        if (p.team == carrier->team && p.id != carrier->id && aspectDistance(p.position, carrier->position) > longest)
            longest = aspectDistance(p.position, carrier->position), receiver = p.id;
    store.pass(receiver);
    for (double t = 0.05; t < 3 && store.displayBallHeight() < 0.03; t += 0.05)
        for (auto* clock : platform.clocks) clock->tick(t);
    if (!store.passingFromID() || store.displayBallHeight() <= 0) {
        state.SkipWithError("no lofted ball in flight");
        return;
    }
    PerspectiveRenderer renderer(store);
    QImage image(1500, 900, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    for (auto _ : state) {
        QPainter painter(&image);
        renderer.paint(painter, QSizeF(image.size()));
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_PaintPitch3D)->Unit(benchmark::kMillisecond);

}  // namespace

// SPDX-License-Identifier: GPL-3.0-or-later
// The video export of the longest 11-a-side built-in tactic: painting its frames alone,
// encoding them alone, and the whole export end to end as `vantrel-export mp4|gif` runs
// it. Times are wall-clock (the export is meant to use every core); each iteration is
// one whole tactic. Counters: fps (frames a second), and for the export "realtime", how
// many seconds of playback one second of exporting writes.
#include <benchmark/benchmark.h>

#include <QImage>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <optional>
#include <vector>

#include <unistd.h>

#include "bench_application.h"
#include "core/library/builtin_tactics.h"
#include "core/scene/tactic_playback.h"
#include "ui/export/export_frame.h"
#include "ui/export/video_encoder.h"
#include "ui/export/video_export.h"

namespace {

using namespace vantrel;
using Clock = std::chrono::steady_clock;

const Tactic& longestEleven() {
    static const Tactic longest = *std::max_element(
        BuiltInTactics::library(11).begin(), BuiltInTactics::library(11).end(),
        [](const Tactic& a, const Tactic& b) { return TacticPlayback::seconds(a) < TacticPlayback::seconds(b); });
    return longest;
}

std::filesystem::path scratch(const char* name) {
    return std::filesystem::temp_directory_path() / ("vantrel-bench-" + std::to_string(::getpid()) + "-" + name);
}

double seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

// Every 1/60 s frame of the playback painted at 1920 × 1080 into one reused image, as
// the MP4 export paints it, without encoding.
void BM_VideoPaint(benchmark::State& state) {
    bench::application();
    const VideoSettings settings;
    ExportFrame frame(settings.view);
    QImage image(settings.pixels(), QImage::Format_RGB32);
    image.setDevicePixelRatio(settings.devicePixelRatio());
    long frames = 0;
    for (auto _ : state) {
        TacticPlayback playback(longestEleven(), settings.display, 1.0 / 60);
        while (auto scene = playback.next()) {
            frame.repaint(image, *scene);
            ++frames;
        }
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["fps"] = benchmark::Counter(static_cast<double>(frames), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_VideoPaint)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

// The same frames through the MP4 encoder only (conversion to Y'CbCr, H.264, the file):
// painted ahead in batches of 60 while the clock is stopped, then encoded on the clock.
// The encoder's own threads may still be busy with the last few frames of a batch while
// the next one is painted, a few frames in 60.
void BM_VideoEncode(benchmark::State& state) {
    bench::application();
    const VideoSettings settings;
    ExportFrame frame(settings.view);
    constexpr int kBatch = 60;
    std::vector<QImage> batch(kBatch, QImage(settings.pixels(), QImage::Format_RGB32));
    for (QImage& image : batch) image.setDevicePixelRatio(settings.devicePixelRatio());
    const auto path = scratch("encode.mp4");
    long frames = 0;
    for (auto _ : state) {
        Clock::duration encoding{};
        auto encoder = VideoEncoder::open(path, settings.format, settings.pixels(), settings.framesPerSecond());
        if (!encoder) {
            state.SkipWithError(encoder.error().c_str());
            break;
        }
        TacticPlayback playback(longestEleven(), settings.display, 1.0 / 60);
        bool more = true;
        while (more) {
            int painted = 0;
            while (painted < kBatch) {
                auto scene = playback.next();
                if (!scene) {
                    more = false;
                    break;
                }
                frame.repaint(batch[painted++], *scene);
            }
            const auto start = Clock::now();
            for (int i = 0; i < painted; ++i)
                if (!encoder.value()->add(batch[i])) state.SkipWithError("encoding failed");
            encoding += Clock::now() - start;
            frames += painted;
        }
        const auto start = Clock::now();
        if (!encoder.value()->finish()) state.SkipWithError("encoding failed");
        encoder.value().reset();
        encoding += Clock::now() - start;
        state.SetIterationTime(seconds(encoding));
    }
    std::filesystem::remove(path);
    state.counters["fps"] = benchmark::Counter(static_cast<double>(frames), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_VideoEncode)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1);

// The whole export, painting and encoding, into a file: MP4 at 1920 × 1080, 60 fps, and
// GIF at 960 × 540, 20 fps ("bytes" is the GIF's size).
void exportVideo(benchmark::State& state, VideoFormat format) {
    bench::application();
    VideoSettings settings;
    settings.format = format;
    const auto path = scratch(format == VideoFormat::mp4 ? "export.mp4" : "export.gif");
    const double playback = TacticPlayback::seconds(longestEleven());
    long frames = 0;
    for (auto _ : state) {
        auto written = writeVideo(longestEleven(), settings, path);
        if (!written) {
            state.SkipWithError(written.error().c_str());
            break;
        }
        frames += written->frames;
    }
    const double total = state.iterations() * playback;
    state.counters["fps"] = benchmark::Counter(static_cast<double>(frames), benchmark::Counter::kIsRate);
    state.counters["realtime"] = benchmark::Counter(total, benchmark::Counter::kIsRate);
    state.counters["playback_s"] = playback;
    if (format == VideoFormat::gif && std::filesystem::exists(path))
        state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(path));
    std::filesystem::remove(path);
}
void BM_VideoExportMp4(benchmark::State& state) { exportVideo(state, VideoFormat::mp4); }
BENCHMARK(BM_VideoExportMp4)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
void BM_VideoExportGif(benchmark::State& state) { exportVideo(state, VideoFormat::gif); }
BENCHMARK(BM_VideoExportGif)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

}  // namespace

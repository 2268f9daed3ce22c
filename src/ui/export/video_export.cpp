// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/export/video_export.h"

#include <algorithm>

#include "core/scene/tactic_playback.h"
#include "ui/export/pending_file.h"

namespace vantrel {

Result<VideoOutcome> writeVideo(const Tactic& tactic, const VideoSettings& settings, const std::filesystem::path& path,
                                const ExportProgress& progress) {
    using R = Result<VideoOutcome>;
    if (tactic.steps.empty()) return R::failure("战术没有阶段");
    auto pending = PendingFile::create(path);
    if (!pending) return R::failure(pending.error());
    auto encoder = VideoEncoder::open(pending->path(), settings.format, settings.pixels(), settings.framesPerSecond());
    if (!encoder) return R::failure(encoder.error());

    constexpr int kDisplayFramesPerSecond = 60;
    ExportFrame frame(settings.view);
    QImage image(settings.pixels(), QImage::Format_RGB32);
    image.setDevicePixelRatio(settings.devicePixelRatio());
    const double expectedFrames = std::max(1.0, TacticPlayback::seconds(tactic) * kDisplayFramesPerSecond);

    VideoOutcome outcome;
    long displayFrame = 0;
    auto push = [&](const BoardScene& scene) -> Status {
        if (displayFrame++ % settings.frameStride() != 0) return success();
        ++outcome.frames;
        frame.repaint(image, scene);
        return encoder.value()->add(image);
    };

    if (tactic.steps.size() < 2) {
        // One step: a one-second still.
        const BoardScene still = stepScene(tactic, 0, settings.display);
        for (int i = 0; i < kDisplayFramesPerSecond; ++i)
            if (auto added = push(still); !added) return R::failure(added.error());
    } else {
        TacticPlayback playback(tactic, settings.display, 1.0 / kDisplayFramesPerSecond);
        while (auto scene = playback.next()) {
            if (auto added = push(*scene); !added) return R::failure(added.error());
            if (progress && !progress(std::min(1.0, static_cast<double>(displayFrame) / expectedFrames))) {
                outcome.cancelled = true;
                return outcome;   // the pending file goes with it
            }
        }
    }
    if (auto done = encoder.value()->finish(); !done) return R::failure(done.error());
    encoder.value().reset();
    if (auto committed = pending.value().commit(); !committed) return R::failure(committed.error());
    if (progress) progress(1.0);
    return outcome;
}

}  // namespace vantrel

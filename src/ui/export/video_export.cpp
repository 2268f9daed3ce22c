#include "ui/export/video_export.h"

#include <algorithm>

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

    ExportBoard board(tactic, settings.display);
    BoardStore& store = board.store();
    ExportFrame frame(store, settings.view);
    QImage image(settings.pixels(), QImage::Format_RGB32);
    image.setDevicePixelRatio(settings.devicePixelRatio());
    const double expectedFrames = std::max(1.0, playbackSeconds(tactic) * VirtualTimePlatform::kFramesPerSecond);

    VideoOutcome outcome;
    long displayFrame = 0;
    auto push = [&]() -> Status {
        if (displayFrame++ % settings.frameStride() != 0) return success();
        ++outcome.frames;
        frame.repaint(image);
        return encoder.value()->add(image);
    };

    if (tactic.steps.size() < 2) {
        for (int i = 0; i < VirtualTimePlatform::kFramesPerSecond; ++i)
            if (auto added = push(); !added) return R::failure(added.error());
    } else {
        store.play();
        if (auto added = push(); !added) return R::failure(added.error());
        while (store.playing()) {
            board.platform().advanceFrame();
            if (auto added = push(); !added) return R::failure(added.error());
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

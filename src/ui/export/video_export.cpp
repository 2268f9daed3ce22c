// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/export/video_export.h"

#include <algorithm>
#include <cmath>
#include <condition_variable>
#include <deque>
#include <list>
#include <mutex>
#include <new>
#include <optional>
#include <thread>
#include <vector>

#include "core/scene/tactic_playback.h"
#include "ui/export/pending_file.h"

namespace vantrel {

namespace {

constexpr int kDisplayFramesPerSecond = 60;

// The encoder on a thread of its own, fed by the painting thread (the caller's) through a
// few images that go round: taken free, painted, queued, encoded, free again. Painting
// runs at most kImages frames ahead and allocates nothing per frame. Either side can
// end it early: the encoder when it fails, the painter when the caller cancels; every
// wait ends then, and dropping it mid-way stops and joins the thread.
class EncodingThread {
public:
    static constexpr int kImages = 3;   // one painting, one encoding, one queued between them

    EncodingThread(VideoEncoder& encoder, QSize pixels, qreal devicePixelRatio) : encoder_(encoder) {
        for (int i = 0; i < kImages; ++i) {
            QImage& image = images_.emplace_back(pixels, QImage::Format_RGB32);
            image.setDevicePixelRatio(devicePixelRatio);
            free_.push_back(&image);
        }
        thread_ = std::thread([this] { run(); });
    }
    ~EncodingThread() { stop(); }
    EncodingThread(const EncodingThread&) = delete;
    EncodingThread& operator=(const EncodingThread&) = delete;

    // An image to paint the next frame into, or nullptr once the encoder has stopped
    // (`finish` says why).
    QImage* freeImage() {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return ended_ || !free_.empty(); });
        if (ended_) return nullptr;
        QImage* image = free_.front();
        free_.pop_front();
        return image;
    }

    // Queues a painted image from `freeImage`.
    void encode(QImage* image) {
        {
            std::lock_guard lock(mutex_);
            painted_.push_back(image);
        }
        changed_.notify_all();
    }

    // No more frames: waits until the queued ones are encoded and the encoder finished.
    Status finish() {
        {
            std::lock_guard lock(mutex_);
            closed_ = true;
        }
        changed_.notify_all();
        join();
        return status_;
    }

    // Abandons the video: the frame being encoded completes, the queued ones are dropped
    // and the encoder is not finished.
    void stop() {
        {
            std::lock_guard lock(mutex_);
            ended_ = true;
        }
        changed_.notify_all();
        join();
    }

private:
    void run() {
        Status status = success();
        bool complete = false;
        while (true) {
            QImage* image = nullptr;
            {
                std::unique_lock lock(mutex_);
                changed_.wait(lock, [&] { return ended_ || closed_ || !painted_.empty(); });
                if (ended_) break;
                if (painted_.empty()) {   // closed, and every frame encoded
                    complete = true;
                    break;
                }
                image = painted_.front();
                painted_.pop_front();
            }
            try {
                status = encoder_.add(*image);
            } catch (const std::bad_alloc&) {   // nothing may leave the thread but its status
                status = Status::failure("内存不足");
            }
            {
                std::lock_guard lock(mutex_);
                free_.push_back(image);
            }
            changed_.notify_all();
            if (!status) break;
        }
        if (complete) status = encoder_.finish();
        {
            std::lock_guard lock(mutex_);
            status_ = status;   // read by the painter after the join
            ended_ = true;
        }
        changed_.notify_all();
    }

    void join() {
        if (thread_.joinable()) thread_.join();
    }

    VideoEncoder& encoder_;
    std::list<QImage> images_;   // a list: the queues hold pointers into it
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<QImage*> free_;
    std::deque<QImage*> painted_;
    bool closed_ = false;   // the painter has queued its last frame
    bool ended_ = false;    // the encoder has stopped, or must stop
    Status status_ = success();
    std::thread thread_;    // last: started once everything above exists
};

// Frames spread evenly over the playback from the first to the last, painted as the
// video paints them, for the GIF's one palette: a colour that only a later step shows (a
// drawing, a pass line) gets its own entry. A still gives its one frame.
std::vector<QImage> paletteSamples(const Tactic& tactic, const VideoSettings& settings, ExportFrame& frame) {
    constexpr long kSamples = 8;
    auto paint = [&](const BoardScene& scene) {
        QImage image(settings.pixels(), QImage::Format_RGB32);
        image.setDevicePixelRatio(settings.devicePixelRatio());
        frame.repaint(image, scene);
        return image;
    };
    if (tactic.steps.size() < 2) return {paint(stepScene(tactic, 0, settings.display))};

    const long frames = std::max(1L, std::lround(TacticPlayback::seconds(tactic) * kDisplayFramesPerSecond));
    std::vector<QImage> samples;
    TacticPlayback playback(tactic, settings.display, 1.0 / kDisplayFramesPerSecond);
    std::optional<BoardScene> last;
    long index = 0;
    bool sampled = false;   // the scene just played is a sample
    while (auto scene = playback.next()) {
        sampled = index == static_cast<long>(samples.size()) * (frames - 1) / (kSamples - 1);
        if (sampled) samples.push_back(paint(*scene));
        last = std::move(scene);
        ++index;
    }
    // An interception ends the playback early; rounding may end it a frame late.
    if (last && !sampled) samples.push_back(paint(*last));
    return samples;
}

}  // namespace

Result<VideoOutcome> writeVideo(const Tactic& tactic, const VideoSettings& settings, const std::filesystem::path& path,
                                const ExportProgress& progress) {
    using R = Result<VideoOutcome>;
    if (tactic.steps.empty()) return R::failure("战术没有阶段");
    auto pending = PendingFile::create(path);
    if (!pending) return R::failure(pending.error());
    auto encoder = VideoEncoder::open(pending->path(), settings.format, settings.pixels(), settings.framesPerSecond());
    if (!encoder) return R::failure(encoder.error());

    ExportFrame frame(settings.view);
    if (settings.format == VideoFormat::gif) encoder.value()->setPalette(paletteSamples(tactic, settings, frame));
    const double expectedFrames = std::max(1.0, TacticPlayback::seconds(tactic) * kDisplayFramesPerSecond);
    // Declared after the encoder and the pending file: it stops before either goes.
    EncodingThread encoding(*encoder.value(), settings.pixels(), settings.devicePixelRatio());

    VideoOutcome outcome;
    long displayFrame = 0;
    // False once the encoder has stopped on a failure.
    auto push = [&](const BoardScene& scene) -> bool {
        if (displayFrame++ % settings.frameStride() != 0) return true;
        QImage* image = encoding.freeImage();
        if (!image) return false;
        frame.repaint(*image, scene);
        encoding.encode(image);
        ++outcome.frames;
        return true;
    };

    if (tactic.steps.size() < 2) {
        // One step: a one-second still.
        const BoardScene still = stepScene(tactic, 0, settings.display);
        for (int i = 0; i < kDisplayFramesPerSecond; ++i)
            if (!push(still)) break;
    } else {
        TacticPlayback playback(tactic, settings.display, 1.0 / kDisplayFramesPerSecond);
        while (auto scene = playback.next()) {
            if (!push(*scene)) break;
            if (progress && !progress(std::min(1.0, static_cast<double>(displayFrame) / expectedFrames))) {
                encoding.stop();
                outcome.cancelled = true;
                return outcome;   // the pending file goes with it
            }
        }
    }
    if (auto done = encoding.finish(); !done) return R::failure(done.error());
    encoder.value().reset();
    if (auto committed = pending.value().commit(); !committed) return R::failure(committed.error());
    if (progress) progress(1.0);
    return outcome;
}

}  // namespace vantrel

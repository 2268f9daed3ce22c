// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/export/video_export.h"

#include <algorithm>
#include <cmath>
#include <condition_variable>
#include <deque>
#include <memory>
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
// few frames in the encoder's pixel format that go round: taken free, converted from the
// painted image, queued, encoded, free again. The conversion stays with the painting,
// which has time to spare, and off the encoder's thread, which is the slower. Painting
// runs at most kFrames frames ahead and allocates nothing per frame. Either side can end
// it early: the encoder when it fails, the painter when the caller cancels; every wait
// ends then, and dropping it mid-way stops and joins the thread.
class EncodingThread {
public:
    static constexpr int kFrames = 3;   // one being filled, one encoding, one queued between them

    explicit EncodingThread(VideoEncoder& encoder) : encoder_(encoder) {}
    ~EncodingThread() { stop(); }
    EncodingThread(const EncodingThread&) = delete;
    EncodingThread& operator=(const EncodingThread&) = delete;

    Status start() {
        for (int i = 0; i < kFrames; ++i) {
            auto frame = encoder_.newFrame();
            if (!frame) return Status::failure(frame.error());
            free_.push_back(frame.value().get());
            frames_.push_back(std::move(frame.value()));
        }
        thread_ = std::thread([this] { run(); });
        return success();
    }

    // A frame to convert the next painted image into, or nullptr once the encoder has
    // stopped (`finish` says why).
    VideoEncoder::Frame* freeFrame() {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return ended_ || !free_.empty(); });
        if (ended_) return nullptr;
        VideoEncoder::Frame* frame = free_.front();
        free_.pop_front();
        return frame;
    }

    // Queues a frame from `freeFrame`, filled.
    void encode(VideoEncoder::Frame* frame) {
        {
            std::lock_guard lock(mutex_);
            painted_.push_back(frame);
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
            VideoEncoder::Frame* frame = nullptr;
            {
                std::unique_lock lock(mutex_);
                changed_.wait(lock, [&] { return ended_ || closed_ || !painted_.empty(); });
                if (ended_) break;
                if (painted_.empty()) {   // closed, and every frame encoded
                    complete = true;
                    break;
                }
                frame = painted_.front();
                painted_.pop_front();
            }
            try {
                status = encoder_.add(*frame);
            } catch (const std::bad_alloc&) {   // nothing may leave the thread but its status
                status = Status::failure("内存不足");
            }
            {
                std::lock_guard lock(mutex_);
                free_.push_back(frame);
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
    std::vector<std::unique_ptr<VideoEncoder::Frame>> frames_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<VideoEncoder::Frame*> free_;
    std::deque<VideoEncoder::Frame*> painted_;   // converted, waiting for the encoder
    bool closed_ = false;   // the painter has queued its last frame
    bool ended_ = false;    // the encoder has stopped, or must stop
    Status status_ = success();
    std::thread thread_;
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
    EncodingThread encoding(*encoder.value());
    if (auto started = encoding.start(); !started) return R::failure(started.error());
    QImage image(settings.pixels(), QImage::Format_RGB32);
    image.setDevicePixelRatio(settings.devicePixelRatio());

    VideoOutcome outcome;
    long displayFrame = 0;
    Status failure = success();   // of a conversion, on this thread
    // False once the conversion or the encoder has failed.
    auto push = [&](const BoardScene& scene) -> bool {
        if (displayFrame++ % settings.frameStride() != 0) return true;
        VideoEncoder::Frame* encoded = encoding.freeFrame();
        if (!encoded) return false;
        frame.repaint(image, scene);
        if (auto converted = encoder.value()->convert(image, *encoded); !converted) {
            failure = converted;
            return false;
        }
        encoding.encode(encoded);
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
    if (!failure) return R::failure(failure.error());   // the encoder stops with the export
    if (auto done = encoding.finish(); !done) return R::failure(done.error());
    encoder.value().reset();
    if (auto committed = pending.value().commit(); !committed) return R::failure(committed.error());
    if (progress) progress(1.0);
    return outcome;
}

}  // namespace vantrel

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QSize>

#include <filesystem>
#include <memory>
#include <span>

#include "core/model/result.h"

struct AVFrame;

namespace vantrel {

enum class VideoFormat { mp4, gif };

// Encodes frames into a file with FFmpeg's libraries: H.264 (yuv420p) in MP4, or an
// animated GIF on one palette for all frames. Frames arrive as opaque images of exactly
// the encoder's size. Dropping an encoder that was not finished leaves a partial file for
// the caller to discard. One thread at a time.
class VideoEncoder {
public:
    static Result<std::unique_ptr<VideoEncoder>> open(const std::filesystem::path& path, VideoFormat format,
                                                      QSize size, int framesPerSecond);
    ~VideoEncoder();

    // A frame in the encoder's own pixel format, made once and reused. Converting images
    // into frames and adding frames may run on two threads, one each: the conversion
    // reads only what is fixed before it (the first makes a GIF's palette if none was set).
    class Frame {
    public:
        ~Frame();
        Frame(const Frame&) = delete;
        Frame& operator=(const Frame&) = delete;

    private:
        friend class VideoEncoder;
        explicit Frame(AVFrame* frame) : frame_(frame) {}
        AVFrame* frame_;
    };
    Result<std::unique_ptr<Frame>> newFrame() const;
    Status convert(const QImage& image, Frame& frame);
    Status add(Frame& frame);

    // GIF: the palette of every frame, made from these frames (a few spread over the
    // video, so that colours first seen late have entries); without it, the first
    // frame's. Before the first `add`. An MP4 has no palette and ignores it.
    void setPalette(std::span<const QImage> samples);
    Status add(const QImage& image);   // converted into a frame of the encoder's own
    Status finish();   // flushes the encoder and writes the container's index

    struct Impl;

private:
    explicit VideoEncoder(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

}  // namespace vantrel

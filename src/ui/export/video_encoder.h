// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QSize>

#include <filesystem>
#include <memory>
#include <span>

#include "core/model/result.h"

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

    // GIF: the palette of every frame, made from these frames (a few spread over the
    // video, so that colours first seen late have entries); without it, the first
    // frame's. Before the first `add`. An MP4 has no palette and ignores it.
    void setPalette(std::span<const QImage> samples);
    Status add(const QImage& frame);
    Status finish();   // flushes the encoder and writes the container's index

    struct Impl;

private:
    explicit VideoEncoder(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

}  // namespace vantrel

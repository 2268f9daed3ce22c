// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QSize>

#include <filesystem>
#include <memory>

#include "core/model/result.h"

namespace vantrel {

enum class VideoFormat { mp4, gif };

// Encodes frames into a file with FFmpeg's libraries: H.264 (yuv420p) in MP4, or an
// animated GIF on one palette taken from the first frame. Frames arrive as opaque images
// of exactly the encoder's size. Dropping an encoder that was not finished leaves a
// partial file for the caller to discard.
class VideoEncoder {
public:
    static Result<std::unique_ptr<VideoEncoder>> open(const std::filesystem::path& path, VideoFormat format,
                                                      QSize size, int framesPerSecond);
    ~VideoEncoder();

    Status add(const QImage& frame);
    Status finish();   // flushes the encoder and writes the container's index

    struct Impl;

private:
    explicit VideoEncoder(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

}  // namespace vantrel

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSize>

#include <filesystem>
#include <functional>

#include "core/model/board.h"
#include "core/model/result.h"
#include "ui/export/export_frame.h"
#include "ui/export/video_encoder.h"

namespace vantrel {

struct VideoSettings {
    VideoFormat format = VideoFormat::mp4;
    ExportView view = ExportView::flat;
    ExportDisplay display;

    // MP4: 1920 × 1080 pixels, the board laid out as on a 960 × 540 point view at twice
    // the density, every display frame (60 per second). GIF: 960 × 540 at one pixel per
    // point, every third display frame (20 per second, a whole 5 centiseconds each).
    QSize pixels() const { return format == VideoFormat::mp4 ? QSize(1920, 1080) : QSize(960, 540); }
    qreal devicePixelRatio() const { return format == VideoFormat::mp4 ? 2 : 1; }
    int frameStride() const { return format == VideoFormat::mp4 ? 1 : 3; }
    int framesPerSecond() const { return 60 / frameStride(); }
};

// Told the fraction done (0 … 1) after each frame, on the calling thread; returning
// false cancels.
using ExportProgress = std::function<bool(double fraction)>;

// The playback of the whole tactic from its first step, as the screen plays it: the
// scenes of the played tactic, one per display frame (1/60 s), each painted and encoded.
// The frames are painted on the calling thread while the ones before are encoded on
// another, so the two use two cores. The video ends where the playback ends (the last
// step, or an interception). A tactic of one step gives a one second still. A cancelled
// or failed export leaves no file; an existing file is replaced only by a complete one.
struct VideoOutcome {
    bool cancelled = false;
    long frames = 0;
};
Result<VideoOutcome> writeVideo(const Tactic& tactic, const VideoSettings& settings, const std::filesystem::path& path,
                                const ExportProgress& progress = {});

}  // namespace vantrel

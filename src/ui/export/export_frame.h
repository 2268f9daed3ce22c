// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QSize>

#include <memory>

#include "core/scene/board_scene.h"
#include "ui/render/board_painter.h"

class QPainter;

namespace vantrel {

// The board as an export shows it: the flat board or the perspective one.
enum class ExportView { flat, perspective };

// What an export shows besides the steps: the vision and offside overlays the board
// shows, the interception risk, reduce motion.
using ExportDisplay = SceneDisplay;

// The one place that decides what an exported frame holds: the workspace background,
// the scene in the chosen view and its drawings over it. Images, handout pages and video
// frames all paint through here. A frame keeps its painter, so the frames of a video
// reuse the painted pitch, the token sprites and each drawing's grains.
class ExportFrame {
public:
    explicit ExportFrame(ExportView view);

    // Paints into `size` points of the painter; `devicePixelRatio` is how many device
    // pixels (or, for a PDF, how fine the cached images) one point is.
    void paint(QPainter& painter, const BoardScene& scene, QSizeF size, qreal devicePixelRatio);
    // The board only, without the background: a handout page places it on white.
    void paintBoard(QPainter& painter, const BoardScene& scene, QSizeF size, qreal devicePixelRatio);
    // An opaque image of `size` points at `devicePixelRatio`: size × ratio pixels.
    QImage image(const BoardScene& scene, QSizeF size, qreal devicePixelRatio);
    // Repaints an opaque image (of any size and ratio) in place: a video reuses one buffer.
    void repaint(QImage& image, const BoardScene& scene);

private:
    ExportView view_;
    std::unique_ptr<BoardPainter> painter_;
};

}  // namespace vantrel

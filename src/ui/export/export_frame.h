#pragma once

#include <QImage>
#include <QSize>

#include "core/store/board_store.h"
#include "ui/render/board_renderer.h"
#include "ui/render/annotation_drawing.h"
#include "ui/render/perspective_renderer.h"

class QPainter;

namespace vantrel {

// The board as an export shows it: the flat board or the perspective one.
enum class ExportView { flat, perspective };

// The one place that decides what an exported frame holds: the workspace background,
// the board in the chosen view and the step's annotations over it. Images, handout
// pages and video frames all paint through here. A frame keeps its renderer, so the
// frames of a video reuse the painted pitch and the token sprites.
class ExportFrame {
public:
    ExportFrame(const BoardStore& store, ExportView view);

    // Paints into `size` points of the painter; `devicePixelRatio` is how many device
    // pixels (or, for a PDF, how fine the cached images) one point is.
    void paint(QPainter& painter, QSizeF size, qreal devicePixelRatio);
    // The board only, without the background: a handout page places it on white.
    void paintBoard(QPainter& painter, QSizeF size, qreal devicePixelRatio);
    // An opaque image of `size` points at `devicePixelRatio`: size × ratio pixels.
    QImage image(QSizeF size, qreal devicePixelRatio);
    // Repaints an opaque image (of any size and ratio) in place: a video reuses one buffer.
    void repaint(QImage& image);

private:
    const BoardStore& store_;
    ExportView view_;
    // The step's drawings, painted by either renderer after the board; kept with the
    // frame so a video reuses each drawing's cached grains.
    AnnotationDrawing annotations_;
    BoardRenderer flat_;
    PerspectiveRenderer perspective_;
};

void paintExportFrame(const BoardStore& store, QPainter& painter, QSizeF size, ExportView view,
                      qreal devicePixelRatio = 1);

}  // namespace vantrel

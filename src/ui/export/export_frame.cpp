#include "ui/export/export_frame.h"

#include <QPainter>

#include <cmath>

#include "ui/style/studio_style.h"

namespace vantrel {

ExportFrame::ExportFrame(const BoardStore& store, ExportView view)
    : store_(store), view_(view), flat_(store), perspective_(store) {
    flat_.setAnnotationDrawing(&annotations_);
    perspective_.setAnnotationDrawing(&annotations_);
}

void ExportFrame::paintBoard(QPainter& painter, QSizeF size, qreal dpr) {
    AnnotationScene scene;
    if (const BoardStep* step = store_.currentStep(); step && step->annotations) scene.annotations = *step->annotations;
    if (!(scene == annotations_.scene())) annotations_.setScene(std::move(scene));
    if (view_ == ExportView::perspective) perspective_.paint(painter, size, dpr);
    else flat_.paint(painter, size, dpr);
}

void ExportFrame::paint(QPainter& painter, QSizeF size, qreal dpr) {
    // The views' own backgrounds: the 3D view stands on the canvas colour.
    painter.fillRect(QRectF(QPointF(0, 0), size),
                     view_ == ExportView::perspective ? StudioStyle::canvas3D() : StudioStyle::workspace());
    paintBoard(painter, size, dpr);
}

QImage ExportFrame::image(QSizeF size, qreal dpr) {
    const QSize pixels(static_cast<int>(std::lround(size.width() * dpr)), static_cast<int>(std::lround(size.height() * dpr)));
    QImage image(pixels, QImage::Format_RGB32);
    image.setDevicePixelRatio(dpr);
    repaint(image);
    return image;
}

void ExportFrame::repaint(QImage& image) {
    QPainter painter(&image);
    paint(painter, image.deviceIndependentSize(), image.devicePixelRatio());
}

void paintExportFrame(const BoardStore& store, QPainter& painter, QSizeF size, ExportView view, qreal dpr) {
    ExportFrame(store, view).paint(painter, size, dpr);
}

}  // namespace vantrel

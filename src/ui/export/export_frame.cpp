// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/export/export_frame.h"

#include <QPainter>

#include <cmath>

#include "ui/style/studio_style.h"

namespace vantrel {

ExportFrame::ExportFrame(ExportView view)
    : view_(view),
      painter_(BoardPainter::make(view == ExportView::perspective ? BoardPainter::Projection::perspective
                                                                  : BoardPainter::Projection::flat)) {}

void ExportFrame::paintBoard(QPainter& painter, const BoardScene& scene, QSizeF size, qreal dpr) {
    painter_->paint(painter, scene, size, dpr);
}

void ExportFrame::paint(QPainter& painter, const BoardScene& scene, QSizeF size, qreal dpr) {
    // The views' own backgrounds: the 3D view stands on the canvas colour.
    painter.fillRect(QRectF(QPointF(0, 0), size),
                     view_ == ExportView::perspective ? StudioStyle::canvas3D() : StudioStyle::workspace());
    paintBoard(painter, scene, size, dpr);
}

QImage ExportFrame::image(const BoardScene& scene, QSizeF size, qreal dpr) {
    const QSize pixels(static_cast<int>(std::lround(size.width() * dpr)), static_cast<int>(std::lround(size.height() * dpr)));
    QImage image(pixels, QImage::Format_RGB32);
    image.setDevicePixelRatio(dpr);
    repaint(image, scene);
    return image;
}

void ExportFrame::repaint(QImage& image, const BoardScene& scene) {
    QPainter painter(&image);
    paint(painter, scene, image.deviceIndependentSize(), image.devicePixelRatio());
}

}  // namespace vantrel

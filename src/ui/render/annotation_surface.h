// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointF>
#include <QRectF>
#include <QSizeF>

#include "core/annotation/annotation_geometry.h"
#include "core/pitch/flat_projection.h"
#include "core/pitch/pitch_perspective.h"

namespace vantrel {

// Where a view lays the annotation layer: the rectangle (in the view's own points) that
// the annotation coordinates span, and whether they go through the pitch perspective.
// The annotation geometry works in that rectangle's points; this value converts between
// it and the host view, so a view with another projection plugs in through one factory.
//
// The flat view maps the unit square onto its centred pitch rectangle, or, showing a half
// or the final third, onto the whole pitch's rectangle turned a quarter anticlockwise about
// `origin`; the 3D view maps it through `PitchPerspective` over its whole surface.
struct AnnotationSurface {
    QPointF origin;   // where the surface's top-left (0, 0) lies in view points
    ViewSize size;
    bool is3D = false;
    bool turned = false;   // the surface point (x, y) lies at origin + (y, -x)

    bool operator==(const AnnotationSurface&) const = default;

    static AnnotationSurface flat(QSizeF viewSize, PitchArea area = PitchArea::full) {
        const FlatProjection view{{viewSize.width(), viewSize.height()}, area};
        const ViewRect r = view.rect();
        const Point o = view.origin();
        return {{o.x, o.y}, {r.width, r.height}, false, view.turned()};
    }
    static AnnotationSurface perspective(QSizeF viewSize) {
        return {{0, 0}, {viewSize.width(), viewSize.height()}, true};
    }

    AnnotationCanvasGeometry geometry() const { return {size, is3D}; }
    bool isEmpty() const { return !size.isPositive(); }

    // A view point in surface points, where the annotation geometry measures.
    Point toSurface(QPointF viewPoint) const {
        if (turned) return {origin.y() - viewPoint.y(), viewPoint.x() - origin.x()};
        return {viewPoint.x() - origin.x(), viewPoint.y() - origin.y()};
    }
    QPointF toView(Point surfacePoint) const {
        if (turned) return {origin.x() + surfacePoint.y, origin.y() - surfacePoint.x};
        return {surfacePoint.x + origin.x(), surfacePoint.y + origin.y()};
    }
    // Pitch (model) point under a view point, and back.
    Point toPitch(QPointF viewPoint) const { return geometry().normalise(toSurface(viewPoint)); }
    QPointF fromPitch(Point pitchPoint) const { return toView(geometry().project(pitchPoint)); }
};

}  // namespace vantrel

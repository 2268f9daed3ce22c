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
// The flat view maps the unit square onto its centred pitch rectangle; the 3D view maps
// it through `PitchPerspective` over its whole surface.
struct AnnotationSurface {
    QPointF origin;   // the surface's top-left in view points
    ViewSize size;
    bool is3D = false;

    bool operator==(const AnnotationSurface&) const = default;

    static AnnotationSurface flat(QSizeF viewSize) {
        const ViewRect r = FlatProjection{{viewSize.width(), viewSize.height()}}.rect();
        return {{r.left, r.top}, {r.width, r.height}, false};
    }
    static AnnotationSurface perspective(QSizeF viewSize) {
        return {{0, 0}, {viewSize.width(), viewSize.height()}, true};
    }

    AnnotationCanvasGeometry geometry() const { return {size, is3D}; }
    bool isEmpty() const { return !size.isPositive(); }
    QRectF rect() const { return {origin, QSizeF(size.width, size.height)}; }

    // A view point in surface points, where the annotation geometry measures.
    Point toSurface(QPointF viewPoint) const { return {viewPoint.x() - origin.x(), viewPoint.y() - origin.y()}; }
    QPointF toView(Point surfacePoint) const { return {surfacePoint.x + origin.x(), surfacePoint.y + origin.y()}; }
    // Pitch (model) point under a view point, and back.
    Point toPitch(QPointF viewPoint) const { return geometry().normalise(toSurface(viewPoint)); }
    QPointF fromPitch(Point pitchPoint) const { return toView(geometry().project(pitchPoint)); }
};

}  // namespace vantrel

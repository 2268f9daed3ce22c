// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QPointF>

#include <array>
#include <cstddef>
#include <optional>
#include <map>
#include <memory>
#include <vector>

#include "core/annotation/annotation_render.h"
#include "core/model/annotation.h"
#include "core/model/uuid.h"
#include "ui/render/annotation_surface.h"

class QPainter;
class QColor;
class QPainterPath;

namespace vantrel {

// What the annotation layer shows: the step's list, the annotation being drawn or dragged
// (painted in place of the stored one with its id, or on top when new) and the selection.
struct AnnotationScene {
    std::vector<BoardAnnotation> annotations;
    std::optional<BoardAnnotation> draft;
    std::optional<Uuid> selectedID;
    bool showSelection = false;

    bool operator==(const AnnotationScene&) const = default;
};

// Paints annotations as soft graphite into any painter, after the board.
//
// An annotation is painted once into an image of its own extent, per (annotation, surface,
// pixel ratio), and that image is reused until one of them changes: a pencil stroke holds
// tens of thousands of grains and a large hatch hundreds of thousands, far too many to lay
// again on every frame. A pointer move that changes the draft rebuilds only the draft's
// item, which is painted straight into the painter and not kept; of a pencil stroke being
// drawn, only its last pieces are laid again. A cached item's opacity
// is applied when its image is drawn, so the whole item fades as one piece.
class AnnotationDrawing {
public:
    AnnotationDrawing();
    ~AnnotationDrawing();
    AnnotationDrawing(const AnnotationDrawing&) = delete;
    AnnotationDrawing& operator=(const AnnotationDrawing&) = delete;

    void setScene(AnnotationScene scene) { scene_ = std::move(scene); }
    const AnnotationScene& scene() const { return scene_; }

    // Paints the scene into `painter`, whose coordinates are the host view's points; the
    // surface says where the annotation coordinates lie in it. Device pixels per point come
    // from the painter's device.
    void paint(QPainter& painter, const AnnotationSurface& surface);

    // Where an annotation's image lies on the surface (view points), for partial repaints;
    // empty when it is not cached.
    QRectF paintedRect(const Uuid& id) const;

    // Images painted since the drawing was made, and images held now.
    std::size_t imageBuilds() const { return imageBuilds_; }
    std::size_t cachedImages() const { return entries_.size(); }
    void clearCache() { entries_.clear(); }

    // One item painted straight into `painter` (surface coordinates), without caching,
    // at full opacity: the item's own opacity is for the caller to apply.
    static void paintItem(QPainter& painter, const AnnotationRenderItem& item);
    // A graphite stroke alone, solid, in `ink` at full opacity (surface coordinates).
    static void paintGraphite(QPainter& painter, const GraphiteStroke& stroke, const QColor& ink);
    static void paintSelection(QPainter& painter, const RenderPath& selection, const std::array<Point, 4>& corners);
    // The painter's path of a render path.
    static QPainterPath toPainterPath(const RenderPath& path);

private:
    struct Entry {
        BoardAnnotation annotation;
        QImage image;          // device pixels; null when nothing of it shows
        QPointF imageOrigin;   // its top-left in view points
        std::vector<QRect> tiles;   // the image's pixels that hold ink, in tiles
        RenderPath selection;  // surface coordinates
        std::array<Point, 4> corners{};
        bool used = false;
    };

    Entry& entryFor(const BoardAnnotation& annotation, const AnnotationSurface& surface, qreal dpr);

    class GrowingStroke;
    std::unique_ptr<GrowingStroke> growing_;   // the pencil draft's settled part

    AnnotationScene scene_;
    std::multimap<Uuid, Entry> entries_;
    AnnotationSurface surface_;
    qreal dpr_ = 0;
    std::size_t imageBuilds_ = 0;
};

}  // namespace vantrel

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
//
// An image covers only the item's part of the surface, and the images kept hold at most
// `pixelBudget()` device pixels together: an item that does not fit is laid afresh on every
// frame into one shared scratch image of its size and drawn from there the same way, so it
// looks the same and the memory held stays bounded however many large items there are.
// Items are kept first come first served and keep their image while they stay shown, so
// a frame over budget does not rebuild the ones that fit.
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

    // Where an annotation's image lies on the surface (view points), for partial repaints,
    // cached or not; empty when it was not painted in the last frame or nothing of it shows.
    QRectF paintedRect(const Uuid& id) const;

    // 64 MB of 32-bit pixels.
    static constexpr std::size_t kDefaultPixelBudget = std::size_t(16) << 20;
    // Device pixels the kept images may hold together; a smaller budget drops images
    // from the next frame on.
    std::size_t pixelBudget() const { return pixelBudget_; }
    void setPixelBudget(std::size_t pixels) {
        pixelBudget_ = pixels;
        clearCache();
    }

    // Images painted since the drawing was made (kept or not), images held now and the
    // device pixels they hold.
    std::size_t imageBuilds() const { return imageBuilds_; }
    std::size_t cachedImages() const;
    std::size_t cachedPixels() const { return cachedPixels_; }
    void clearCache() {
        entries_.clear();
        cachedPixels_ = 0;
    }

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
        QRect pixels;          // the item's device pixels of the view; empty when nothing shows
        QImage image;          // `pixels`, kept; null when it did not fit the budget
        std::vector<QRect> tiles;   // the image's pixels that hold ink, in tiles
        RenderPath selection;  // surface coordinates
        std::array<Point, 4> corners{};
        bool used = false;
    };

    // The entry of `annotation`, made (and its image kept, when it fits) if missing; an item
    // built on the way is left in `item`.
    Entry& entryFor(const BoardAnnotation& annotation, const AnnotationSurface& surface, qreal dpr,
                    std::optional<AnnotationRenderItem>& item);
    // Lays `item` into `image` (of `pixels`, transparent) and returns its inked tiles.
    std::vector<QRect> render(QImage& image, QRect pixels, const AnnotationRenderItem& item, const AnnotationSurface& surface);
    // An item not kept that is one solid graphite stroke, drawn as its image of `pixels`
    // would be without making that image: laid as render() lays it, and drawn straight
    // from its grain tiles, cut to `pixels`. A stroke round the pitch inks a few percent of
    // its box; clearing and scanning an image of the whole box cost more than its grains.
    // The stroke's pixels are the image's exactly (drawn onto clear pixels they are
    // copied), so it looks the same. False, with nothing drawn, for any other item.
    bool drawStroke(QPainter& painter, QRect pixels, const AnnotationRenderItem& item, const AnnotationSurface& surface,
                    qreal dpr);
    // An image of `pixels` over the scratch memory, transparent, for an item not kept.
    QImage scratchImage(QRect pixels, qreal dpr);
    std::multimap<Uuid, Entry>::iterator erase(std::multimap<Uuid, Entry>::iterator it);

    class GrowingStroke;
    std::unique_ptr<GrowingStroke> growing_;   // the pencil draft's settled part

    AnnotationScene scene_;
    std::multimap<Uuid, Entry> entries_;
    std::size_t pixelBudget_ = kDefaultPixelBudget;
    std::size_t cachedPixels_ = 0;   // device pixels of the kept images
    QImage scratch_;                 // at least as large as any item not kept; grown as needed
    AnnotationSurface surface_;
    qreal dpr_ = 0;
    std::size_t imageBuilds_ = 0;
};

}  // namespace vantrel

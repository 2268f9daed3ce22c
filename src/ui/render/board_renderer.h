#pragma once

#include <QImage>
#include <QPixmap>
#include <QSize>

#include <vector>

#include "core/pitch/flat_projection.h"
#include "core/pitch/motion_path.h"
#include "core/store/board_store.h"
#include "ui/render/pitch_painting.h"

class QPainter;

namespace vantrel {

class AnnotationDrawing;

// Paints frames of the flat board from the store's display values into any painter: a
// widget, an image, a PDF page, a video frame. It keeps what a frame can reuse (the
// static pitch per size, the pitch under the vision wash, token sprites, pass-preview
// samples), so one renderer per surface keeps repaints cheap.
class BoardRenderer {
public:
    explicit BoardRenderer(const BoardStore& store) : store_(store) {}

    // The projection a surface of `size` view points paints with; pointer input on that
    // surface maps back through the same projection.
    static FlatProjection projection(QSizeF size) { return {{size.width(), size.height()}}; }

    // One complete frame into a surface of `size` view points (the painter's coordinates)
    // whose pixels are `devicePixelRatio` per point.
    void paint(QPainter& painter, QSizeF size, qreal devicePixelRatio = 1.0);

    // The annotation layer painted over every frame, after the board; none when null. The
    // drawing belongs to the caller and must outlive the renderer's use of it.
    void setAnnotationDrawing(AnnotationDrawing* drawing) { annotations_ = drawing; }
    AnnotationDrawing* annotationDrawing() const { return annotations_; }

    // Drops what is drawn in appearance colours. Frames notice an appearance switch
    // themselves; a host that changes colours otherwise calls this.
    void clearCaches();

private:
    const QPixmap& staticPitch(QSize size, qreal dpr);
    static void paintPitchSurface(QPainter& p, QSizeF size, qreal dpr);
    bool visionShown(const std::vector<Player>& players) const;
    void paintVision(QPainter& p, const QRectF& r, const std::vector<Player>& players);
    void paintOffside(QPainter& p, const QRectF& r, const std::vector<Player>& players);
    void paintPassPreview(QPainter& p, const FlatProjection& view, const std::vector<Player>& players);
    void paintSelectedRoute(QPainter& p, const FlatProjection& view, const std::vector<Player>& players);
    void paintPlayersAndBall(QPainter& p, const FlatProjection& view, const std::vector<Player>& players, qreal dpr);
    // Where playback of the move into the step would be cut out, and by whom (red ring).
    void paintInterceptionRisk(QPainter& p, const FlatProjection& view, const std::vector<Player>& players);

    const BoardStore& store_;
    PathPreviewCache passPreviewCache_;
    PitchPainting::TokenSprites tokenSprites_;
    QPixmap staticPitch_;
    QPixmap washedPitch_;
    QSize staticPitchSize_;
    int appearance_ = -1;   // the appearance the sprites were drawn in: 0 light, 1 dark
    AnnotationDrawing* annotations_ = nullptr;
};

// One frame of the flat board as an image of `size` pixels, on a transparent background.
QImage paintBoardImage(const BoardStore& store, QSize size);
// The same frame with the current step's annotations over it, as an export shows them.
QImage paintBoardImageWithAnnotations(const BoardStore& store, QSize size);

}  // namespace vantrel

#pragma once

#include <QPixmap>
#include <QPointF>
#include <QSize>

#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "core/pitch/motion_path.h"
#include "core/pitch/pitch_perspective.h"
#include "core/store/board_store.h"
#include "ui/render/tactical_ball_view.h"

class QPainter;

namespace vantrel {

// A player of the 3D view: a round puck standing on the turf, drawn around its projected
// ground point and scaled by its depth. Sizes are in points at scale 1.
struct TacticalPuck {
    Player player;
    double scale = 1;
    bool selected = false;
    bool hovered = false;

    static constexpr double kWidth = 30;        // the top face and the body
    static constexpr double kHeight = 20;
    static constexpr double kThickness = 6;     // the side between body and top face
    static constexpr double kLift = 9;          // top face centre above the ground point

    // Whether `viewPoint` lies on the puck standing at `centre` (its projected ground point).
    static bool contains(QPointF centre, double scale, QPointF viewPoint);

    // The puck at scale 1 with its ground point at `centre`.
    void paint(QPainter& painter, QPointF centre) const;
};

// Paints frames of the 3D perspective board from the store's display values into any
// painter, as `BoardRenderer` does for the flat board. It keeps the static pitch per size,
// puck sprites and the rolling ball's orientation, so keep one renderer per surface.
class PerspectiveRenderer {
public:
    explicit PerspectiveRenderer(const BoardStore& store) : store_(store) {}

    // The projection a surface of `size` view points paints with; pointer input on that
    // surface maps back through the same projection.
    static PitchPerspective projection(QSizeF size) { return {{size.width(), size.height()}}; }

    void paint(QPainter& painter, QSizeF size, qreal devicePixelRatio = 1.0);

    // The puck under the pointer gets a light veil.
    void setHoveredPlayer(std::optional<std::string> id) { hovered_ = std::move(id); }
    const std::optional<std::string>& hoveredPlayer() const { return hovered_; }

    const TacticalBallView& ball() const { return ball_; }
    void clearCaches();

private:
    void prepareStaticPitch(QSize size, qreal dpr);
    bool visionShown(const std::vector<Player>& players) const;
    void paintVision(QPainter& p, const PitchPerspective& view, const std::vector<Player>& players);
    void paintOffside(QPainter& p, const PitchPerspective& view, const std::vector<Player>& players);
    void paintPassPreview(QPainter& p, const PitchPerspective& view, const std::vector<Player>& players);
    void paintSelectedRoute(QPainter& p, const PitchPerspective& view, const std::vector<Player>& players);
    void paintPucksAndBall(QPainter& p, const PitchPerspective& view, const std::vector<Player>& players, qreal dpr);
    void drawPuck(QPainter& p, const TacticalPuck& puck, QPointF centre, qreal opacity, qreal dpr);

    const BoardStore& store_;
    PathPreviewCache passPreviewCache_;
    TacticalBallView ball_;
    std::optional<std::string> hovered_;
    QPixmap staticPitch_;
    QPixmap washedPitch_;
    QSize staticPitchSize_;
    int appearance_ = -1;
    // Keyed by team, number, selected, hovered, scale in hundredths and pixel ratio.
    std::map<std::tuple<int, int, bool, bool, int, int>, QPixmap> puckSprites_;
};

// One frame of the 3D board as an image of `size` pixels.
QImage paintPerspectiveImage(const BoardStore& store, QSize size);

}  // namespace vantrel

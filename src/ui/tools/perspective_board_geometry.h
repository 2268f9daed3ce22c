#pragma once

#include "core/pitch/pitch_perspective.h"
#include "ui/tools/board_tool.h"

namespace vantrel {

class BoardStore;

// The 3D board as drawn by `PerspectiveRenderer` on a surface of a given size: pointer
// points map back through the perspective (clamped into [0.04, 0.96]²), a dragged ball
// stays under the pointer, and pucks, the ball and the run handle are hit where drawn.
class PerspectiveBoardGeometry : public BoardGeometry {
public:
    PerspectiveBoardGeometry(const BoardStore& store, PitchPerspective perspective)
        : store_(store), perspective_(perspective) {}

    const PitchPerspective& perspective() const { return perspective_; }
    QPointF toView(Point pitchPoint) const;
    QPointF ballCentre() const;
    double ballRadius() const;
    std::optional<QPointF> routeHandleCentre() const;

    Point toPitch(QPointF viewPoint) const override;
    Point ballPosition(QPointF viewPoint) const override;
    std::optional<std::string> playerAt(QPointF viewPoint) const override;
    bool ballAt(QPointF viewPoint) const override;
    bool routeHandleAt(QPointF viewPoint) const override;

private:
    const BoardStore& store_;
    PitchPerspective perspective_;
};

}  // namespace vantrel

#pragma once

#include "core/pitch/flat_projection.h"
#include "ui/tools/board_tool.h"

namespace vantrel {

class BoardStore;

// The flat board as drawn by `BoardRenderer` on a surface of a given size: where its
// tokens, ball and run handle lie, in the surface's points.
class FlatBoardGeometry : public BoardGeometry {
public:
    FlatBoardGeometry(const BoardStore& store, FlatProjection projection) : store_(store), projection_(projection) {}

    const FlatProjection& projection() const { return projection_; }
    QPointF toView(Point pitchPoint) const;
    QPointF ballCentre() const;
    std::optional<QPointF> routeHandleCentre() const;

    Point toPitch(QPointF viewPoint) const override;
    Point ballPosition(QPointF viewPoint) const override { return toPitch(viewPoint); }
    std::optional<std::string> playerAt(QPointF viewPoint) const override;
    bool ballAt(QPointF viewPoint) const override;
    bool routeHandleAt(QPointF viewPoint) const override;

private:
    const BoardStore& store_;
    FlatProjection projection_;
};

}  // namespace vantrel

#pragma once

#include <QWidget>

#include <optional>
#include <string>

#include "core/store/board_store.h"
#include "ui/pitch/pitch_accessibility.h"
#include "ui/render/perspective_renderer.h"
#include "ui/tools/board_tool.h"
#include "ui/tools/perspective_board_geometry.h"

namespace vantrel {

// The board seen from above one touchline: a `PerspectiveRenderer` paints it, a
// `BoardTool` turns the same gestures as the flat view into store commands, mapped back
// through the perspective. It keeps no board state of its own.
class Pitch3DView : public QWidget, public PlayerTokenHost {
    Q_OBJECT
public:
    explicit Pitch3DView(BoardStore& store, QWidget* parent = nullptr);

    BoardStore& store() const { return store_; }
    QWidget* tokenView() override { return this; }
    BoardStore& tokenStore() const override { return store_; }
    QRectF tokenRect(const Player& player) const override;
    std::optional<std::string> tokenAt(QPointF viewPoint) const override { return boardGeometry().playerAt(viewPoint); }

    // Where the board lies in this widget now; valid until the widget is resized. An
    // annotation layer over this view maps its points with the same projection.
    PerspectiveBoardGeometry boardGeometry() const;
    PitchPerspective perspective() const { return PerspectiveRenderer::projection(QSizeF(size())); }
    QPointF toView(Point p) const { return boardGeometry().toView(p); }
    Point toPitch(QPointF viewPoint) const { return boardGeometry().toPitch(viewPoint); }

    void paintBoard(QPainter& painter);
    const PerspectiveRenderer& renderer() const { return renderer_; }
    // The annotation layer painted after the board in every frame (the canvas's drawing).
    void setAnnotationDrawing(AnnotationDrawing* drawing) {
        renderer_.setAnnotationDrawing(drawing);
        update();
    }

    // While the annotation layer draws, the board ignores the pointer.
    void setEditingAnnotations(bool on) { tool_.setSuspended(on); }
    bool editingAnnotations() const { return tool_.suspended(); }

    QSize minimumSizeHint() const override { return {620, 400}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    bool event(QEvent* event) override;

private:
    void updateHover(QPointF at);

    BoardStore& store_;
    Subscription subscription_;
    PerspectiveRenderer renderer_;
    BoardTool tool_;
};

}  // namespace vantrel

#pragma once

#include <QWidget>

#include <map>
#include <optional>
#include <string>


#include "core/store/board_store.h"
#include "ui/pitch/pitch_accessibility.h"
#include "ui/render/board_renderer.h"
#include "ui/tools/board_tool.h"
#include "ui/tools/flat_board_geometry.h"

namespace vantrel {

// The flat, top-down board: a `BoardRenderer` paints it, a `BoardTool` turns its pointer
// gestures into store commands. It keeps no board state of its own.
class PitchView : public QWidget, public PlayerTokenHost {
    Q_OBJECT
public:
    explicit PitchView(BoardStore& store, QWidget* parent = nullptr);

    BoardStore& store() const { return store_; }
    QWidget* tokenView() override { return this; }
    BoardStore& tokenStore() const override { return store_; }
    QRectF tokenRect(const Player& player) const override;
    std::optional<std::string> tokenAt(QPointF viewPoint) const override { return playerAt(viewPoint); }

    // Where the board lies in this widget now; valid until the widget is resized.
    FlatBoardGeometry boardGeometry() const;

    // The rectangle the unit square maps onto: aspect 1.55, centred in the widget.
    QRectF drawingRect() const;
    QPointF toView(Point p) const { return boardGeometry().toView(p); }
    Point toPitch(QPointF viewPoint) const { return boardGeometry().toPitch(viewPoint); }

    // Paints one complete frame into `painter`, in this widget's coordinates.
    void paintBoard(QPainter& painter);

    // The annotation layer painted after the board in every frame (the canvas's drawing).
    void setAnnotationDrawing(AnnotationDrawing* drawing) {
        renderer_.setAnnotationDrawing(drawing);
        update();
    }

    // The annotation layer lies over the pitch; while it edits, the board ignores the pointer.
    void setEditingAnnotations(bool on) { tool_.setSuspended(on); }
    bool editingAnnotations() const { return tool_.suspended(); }

    QSize minimumSizeHint() const override { return {620, 400}; }

    // Hit testing, in widget coordinates: the topmost token, the ball, the route handle.
    std::optional<std::string> playerAt(QPointF viewPoint) const { return boardGeometry().playerAt(viewPoint); }
    bool ballAt(QPointF viewPoint) const { return boardGeometry().ballAt(viewPoint); }
    bool routeHandleAt(QPointF viewPoint) const { return boardGeometry().routeHandleAt(viewPoint); }
    QPointF ballCentre() const { return boardGeometry().ballCentre(); }
    std::optional<QPointF> routeHandleCentre() const { return boardGeometry().routeHandleCentre(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;

private:
    void updateCursor(QPointF at);

    BoardStore& store_;
    Subscription subscription_;
    BoardRenderer renderer_;
    BoardTool tool_;
};

}  // namespace vantrel

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

#include <memory>
#include <optional>
#include <string>

#include "core/store/board_store.h"
#include "ui/pitch/pitch_accessibility.h"
#include "ui/render/board_painter.h"
#include "ui/tools/board_tool.h"

namespace vantrel {

// The board on screen, flat or in perspective: it shows the store's scene through the
// painter of the chosen projection and turns pointer gestures into store commands through
// the same painter's hit-testing. It keeps no board state of its own. Assistive
// technology sees the tokens and the ball of the projection shown, where they are drawn,
// and nothing while the view is hidden.
//
// By keyboard: the view takes the focus; the arrow keys (and Tab / Shift+Tab until the
// last or first) move a focus ring over the players in reading order, then the ball, then
// the pieces of equipment in the step's order; Space selects the focused player or piece;
// Alt+arrows move the selected player or piece, or the focused ball, by 1 m (5 m with
// Shift) as a drag does, one undo level per burst; [ and ] turn the selected piece 15°
// either way (a held key is one undo level), Delete or Backspace removes it; Return passes
// to the focused player (or gives him a loose ball), Ctrl+Return opens his player view;
// Esc clears the selection.
class BoardView : public QWidget, public PlayerTokenHost {
    Q_OBJECT
public:
    explicit BoardView(BoardStore& store, QWidget* parent = nullptr);
    ~BoardView() override;

    BoardStore& store() const { return store_; }
    void setPerspective(bool on);
    bool is3D() const { return painter_->is3D(); }
    BoardPainter& painter() const { return *painter_; }
    // The scene shown now; rebuilt when the store changes what the board shows.
    const BoardScene& scene() const { return scene_; }

    // The drawing layer painted over every frame (the canvas's, with its draft and
    // selection); without one, the view paints the step's drawings itself.
    void setAnnotationDrawing(AnnotationDrawing* drawing);
    // While the drawing layer edits, the board ignores the pointer.
    void setEditingAnnotations(bool on) { tool_.setSuspended(on); }
    bool editingAnnotations() const { return tool_.suspended(); }

    // In widget points, through the projection shown.
    QPointF toView(Point p) const { return painter_->toView(sizeF(), p); }
    Point toPitch(QPointF viewPoint) const { return painter_->toPitch(sizeF(), viewPoint); }
    std::optional<std::string> playerAt(QPointF viewPoint) const { return painter_->playerAt(scene_, sizeF(), viewPoint); }
    bool ballAt(QPointF viewPoint) const { return painter_->ballAt(scene_, sizeF(), viewPoint); }
    bool routeHandleAt(QPointF viewPoint) const { return painter_->routeHandleAt(scene_, sizeF(), viewPoint); }
    QPointF ballCentre() const { return painter_->ballCentre(scene_, sizeF()); }
    QRectF ballRect() const;
    std::optional<QPointF> routeHandleCentre() const { return painter_->routeHandleCentre(scene_, sizeF()); }
    // The flat board's pitch rectangle; the whole view in perspective.

    // Paints one complete frame into `painter`, in this widget's coordinates.
    void paintBoard(QPainter& painter);

    // Token host.
    QWidget* tokenView() override { return this; }
    const BoardScene* tokenScene() const override;
    QRectF tokenRect(const SceneToken& token) const override { return painter_->tokenRect(sizeF(), token); }
    QRectF tokenBallRect() const override { return ballRect(); }
    std::optional<std::string> tokenAt(QPointF viewPoint) const override { return playerAt(viewPoint); }
    void tokenPress(const std::string& playerID, bool inspect) override { store_.selectPlayer(playerID, inspect); }
    QRectF equipmentRect(const SceneEquipment& piece) const override {
        return EquipmentPainting::bounds(piece, painter_->equipmentView(sizeF()));
    }

    QSize minimumSizeHint() const override { return {620, 400}; }

    // The token under the keyboard's focus ring: a player's id, an empty id for the ball,
    // a piece's accessible key (PlayerTokenHost::equipmentKey).
    const std::optional<std::string>& keyFocus() const { return keyFocus_; }

signals:
    void projectionChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    class Geometry;
    QSizeF sizeF() const { return QSizeF(size()); }
    void rebuildScene(bool drawings);
    void updatePointer(QPointF at);
    // The focusable tokens in reading order (far touchline first, left to right), the
    // ball as an empty id, then the pieces of equipment as the accessibility tree has them.
    std::vector<std::string> readingOrder() const;
    const SceneEquipment* focusedPiece() const;
    // Moves the focus ring by `by` places; false past either end (Tab leaves the board).
    bool moveKeyFocus(int by, bool wrap);
    void setKeyFocus(std::optional<std::string> id);
    void nudge(Qt::Key key, bool far);
    void endNudges();
    void turnSelectedPiece(double degrees);
    void endTurning();
    void removeSelectedPiece();

    BoardStore& store_;
    std::unique_ptr<BoardPainter> flat_;
    std::unique_ptr<BoardPainter> perspective_;
    BoardPainter* painter_;
    BoardTool tool_;
    BoardScene scene_;
    AnnotationDrawing* drawing_ = nullptr;
    std::shared_ptr<const std::vector<BoardAnnotation>> drawings_;   // the step's, when painted here
    std::optional<std::string> keyFocus_;
    bool nudging_ = false;   // an Alt+arrow burst: one undo level
    bool turning_ = false;   // a turning key held down: one undo level
    Subscription subscription_;
};

}  // namespace vantrel

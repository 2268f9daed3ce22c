#pragma once

#include <QPixmap>
#include <QPointer>
#include <QWidget>

#include <map>
#include <optional>
#include <string>

class QAccessibleInterface;

#include "core/pitch/motion_path.h"
#include "core/store/board_store.h"
#include "ui/pitch/pitch_painting.h"

namespace vantrel {

// The flat, top-down board. It draws the store's display values and turns pointer
// gestures into store commands; it keeps no board state of its own.
class PitchView : public QWidget {
    Q_OBJECT
public:
    explicit PitchView(BoardStore& store, QWidget* parent = nullptr);
    ~PitchView() override;

    BoardStore& store() const { return store_; }
    // The accessibility interface of a player's token, made on first request.
    QAccessibleInterface* tokenAccessible(const std::string& playerID);

    // The rectangle the unit square maps onto: aspect 1.55, centred in the widget.
    QRectF drawingRect() const;
    QPointF toView(Point p) const;
    Point toPitch(QPointF viewPoint) const;

    // Paints one complete frame into `painter`, in this widget's coordinates.
    void paintBoard(QPainter& painter);

    // The annotation layer lies over the pitch; while it edits, the board ignores the pointer.
    void setEditingAnnotations(bool on) { editingAnnotations_ = on; }
    bool editingAnnotations() const { return editingAnnotations_; }

    QSize minimumSizeHint() const override { return {620, 400}; }

    // Hit testing, in widget coordinates: the topmost token, the ball, the route handle.
    std::optional<std::string> playerAt(QPointF viewPoint) const;
    bool ballAt(QPointF viewPoint) const;
    bool routeHandleAt(QPointF viewPoint) const;
    QPointF ballCentre() const;
    std::optional<QPointF> routeHandleCentre() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;

private:
    enum class DragKind { none, player, ball, routeHandle };

    const QPixmap& staticPitch(QSize size, qreal dpr);
    void paintVision(QPainter& p, const QRectF& r, const std::vector<Player>& players);
    void paintOffside(QPainter& p, const QRectF& r, const std::vector<Player>& players);
    void paintPassPreview(QPainter& p, const QRectF& r, const std::vector<Player>& players);
    void paintSelectedRoute(QPainter& p, const QRectF& r, const std::vector<Player>& players);
    void paintPlayersAndBall(QPainter& p, const QRectF& r, const std::vector<Player>& players);
    bool pointerBlocked() const;

    BoardStore& store_;
    Subscription subscription_;
    PathPreviewCache passPreviewCache_;
    PitchPainting::TokenSprites tokenSprites_;
    bool visionShown(const std::vector<Player>& players) const;
    QPixmap staticPitch_;
    QPixmap washedPitch_;
    QSize staticPitchSize_;
    bool editingAnnotations_ = false;

    DragKind drag_ = DragKind::none;
    std::string dragPlayer_;
    QPointF pressPoint_;
    bool dragStarted_ = false;
    std::map<std::string, unsigned> tokenAccessibleIDs_;
};

}  // namespace vantrel

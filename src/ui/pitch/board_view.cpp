// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/pitch/board_view.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include "ui/render/flat_board_painter.h"
#include "ui/style/studio_style.h"

namespace vantrel {

// The board gestures' view of the frame shown: hit-testing through the painter that drew it.
class BoardView::Geometry : public BoardGeometry {
public:
    explicit Geometry(const BoardView& view) : view_(view) {}
    Point toPitch(QPointF v) const override { return view_.toPitch(v); }
    Point ballPosition(QPointF v) const override { return view_.painter_->ballPosition(view_.sizeF(), v); }
    std::optional<std::string> playerAt(QPointF v) const override { return view_.playerAt(v); }
    bool ballAt(QPointF v) const override { return view_.ballAt(v); }
    bool routeHandleAt(QPointF v) const override { return view_.routeHandleAt(v); }

private:
    const BoardView& view_;
};

BoardView::BoardView(BoardStore& store, QWidget* parent)
    : QWidget(parent),
      store_(store),
      flat_(BoardPainter::make(BoardPainter::Projection::flat)),
      perspective_(BoardPainter::make(BoardPainter::Projection::perspective)),
      painter_(flat_.get()),
      tool_(store) {
    PlayerTokenHost::installAccessibility();
    setMouseTracking(true);   // hover veil and hand cursor
    setAccessibleName(QStringLiteral("球场"));
    rebuildScene(true);
    constexpr StoreChange drawn =
        StoreChange::board | StoreChange::animation | StoreChange::selection | StoreChange::displayOptions;
    subscription_ = store_.subscribe([this](StoreChange change) {
        if (!any(change & drawn)) return;
        rebuildScene(any(change & StoreChange::board));
        update();
    });
    connect(&StudioStyle::appearance(), &StudioAppearance::appearanceChanged, this, [this] { update(); });
}

BoardView::~BoardView() { subscription_.reset(); }

void BoardView::setPerspective(bool on) {
    BoardPainter* next = on ? perspective_.get() : flat_.get();
    if (next == painter_) return;
    painter_->setHoveredPlayer(std::nullopt);
    painter_ = next;
    // The 3D board paints its whole surface; the flat one leaves the margins around the pitch.
    setAttribute(Qt::WA_OpaquePaintEvent, on);
    setAccessibleName(on ? QStringLiteral("3D 球场") : QStringLiteral("球场"));
    update();
    emit projectionChanged();
}

void BoardView::setAnnotationDrawing(AnnotationDrawing* drawing) {
    drawing_ = drawing;
    flat_->setAnnotationDrawing(drawing);
    perspective_->setAnnotationDrawing(drawing);
    rebuildScene(true);
    update();
}

void BoardView::rebuildScene(bool drawings) {
    // The step's drawings are copied only when the step changed, and only when this view
    // paints them itself.
    if (drawings) {
        drawings_.reset();
        if (!drawing_)
            if (const BoardStep* step = store_.currentStep(); step && step->annotations && !step->annotations->empty())
                drawings_ = std::make_shared<const std::vector<BoardAnnotation>>(*step->annotations);
    }
    scene_ = store_.scene();
    scene_.annotations = drawings_;
}

const BoardScene* BoardView::tokenScene() const { return isVisible() ? &scene_ : nullptr; }

QRectF BoardView::ballRect() const {
    const QPointF c = ballCentre();
    const double r = painter_->ballRadius(scene_, sizeF());
    return {c.x() - r, c.y() - r, 2 * r, 2 * r};
}

QRectF BoardView::drawingRect() const {
    return is3D() ? QRectF(rect()) : FlatBoardPainter::drawingRect(sizeF());
}

void BoardView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paintBoard(painter);
}

void BoardView::paintBoard(QPainter& painter) { painter_->paint(painter, scene_, sizeF(), devicePixelRatioF()); }

void BoardView::mousePressEvent(QMouseEvent* event) {
    if (!tool_.press(Geometry(*this), event->position(), event->button(), event->modifiers())) event->ignore();
}

void BoardView::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() == Qt::NoButton) updatePointer(event->position());
    else tool_.move(Geometry(*this), event->position());
}

void BoardView::mouseReleaseEvent(QMouseEvent* event) {
    tool_.release(Geometry(*this), event->position());
    updatePointer(event->position());
}

void BoardView::mouseDoubleClickEvent(QMouseEvent* event) {
    tool_.doubleClick(Geometry(*this), event->position(), event->button());
}

void BoardView::leaveEvent(QEvent*) {
    if (painter_->hoveredPlayer()) {
        painter_->setHoveredPlayer(std::nullopt);
        update();
    }
    unsetCursor();
}

void BoardView::updatePointer(QPointF at) {
    const bool live = scene_.interactive && !tool_.suspended();
    const BoardHit hit = live ? painter_->hitTest(scene_, sizeF(), at) : BoardHit{};
    // Only the pucks of the 3D board brighten under the pointer.
    std::optional<std::string> hovered;
    if (is3D() && live) hovered = playerAt(at);
    if (hovered != painter_->hoveredPlayer()) {
        painter_->setHoveredPlayer(hovered);
        update();
    }
    if (hit.kind != BoardHit::Kind::none) setCursor(Qt::OpenHandCursor);
    else unsetCursor();
}

bool BoardView::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const BoardHit hit = painter_->hitTest(scene_, sizeF(), help->pos());
        QString text;
        if (hit.kind == BoardHit::Kind::routeHandle) {
            text = QStringLiteral("拖动控制点，调整弯曲跑位");
        } else if (hit.kind == BoardHit::Kind::ball) {
            text = QStringLiteral("足球 · 拖动调整位置");
        } else if (hit.kind == BoardHit::Kind::player) {
            if (const SceneToken* token = scene_.token(hit.playerID)) {
                const QString help3D = is3D() ? QStringLiteral(" · 双击传球") : QString();
                text = QStringLiteral("#%1 · %2\nControl + 点击查看球员信息%3")
                           .arg(token->player.number)
                           .arg(QString::fromStdString(teamName(token->player.team)))
                           .arg(help3D);
            }
        }
        if (text.isEmpty()) QToolTip::hideText();
        else QToolTip::showText(help->globalPos(), text, this);
        return true;
    }
    return QWidget::event(event);
}

}  // namespace vantrel

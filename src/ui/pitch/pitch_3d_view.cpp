#include "ui/pitch/pitch_3d_view.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include "ui/style/studio_style.h"

namespace vantrel {

Pitch3DView::Pitch3DView(BoardStore& store, QWidget* parent)
    : QWidget(parent), store_(store), renderer_(store), tool_(store) {
    PlayerTokenHost::installAccessibility();
    setMouseTracking(true);   // hover veil and hand cursor
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAccessibleName(QStringLiteral("3D 球场"));
    constexpr StoreChange drawn =
        StoreChange::board | StoreChange::animation | StoreChange::selection | StoreChange::displayOptions;
    subscription_ = store_.subscribe([this](StoreChange change) {
        if (any(change & drawn)) update();
    });
    connect(&StudioStyle::appearance(), &StudioAppearance::appearanceChanged, this, [this] { update(); });
}

QRectF Pitch3DView::tokenRect(const Player& player) const {
    // The puck's top face and body, lifted above its ground point and grown with nearness.
    const QPointF ground = toView(player.position);
    const double scale = PitchPerspective::tokenScale(player.position.y);
    const double rx = (TacticalPuck::kWidth / 2 + 1) * scale, ry = (TacticalPuck::kHeight / 2 + 1) * scale;
    const double top = ground.y() - TacticalPuck::kLift * scale;
    const double bottom = ground.y() - (TacticalPuck::kLift - TacticalPuck::kThickness) * scale;
    return QRectF(QPointF(ground.x() - rx, top - ry), QPointF(ground.x() + rx, bottom + ry));
}

PerspectiveBoardGeometry Pitch3DView::boardGeometry() const { return {store_, perspective()}; }

void Pitch3DView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paintBoard(painter);
}

void Pitch3DView::paintBoard(QPainter& painter) { renderer_.paint(painter, QSizeF(size()), devicePixelRatioF()); }

void Pitch3DView::mousePressEvent(QMouseEvent* event) {
    if (!tool_.press(boardGeometry(), event->position(), event->button(), event->modifiers())) event->ignore();
}

void Pitch3DView::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() == Qt::NoButton) updateHover(event->position());
    else tool_.move(boardGeometry(), event->position());
}

void Pitch3DView::mouseReleaseEvent(QMouseEvent* event) {
    tool_.release(boardGeometry(), event->position());
    updateHover(event->position());
}

void Pitch3DView::mouseDoubleClickEvent(QMouseEvent* event) {
    tool_.doubleClick(boardGeometry(), event->position(), event->button());
}

void Pitch3DView::leaveEvent(QEvent*) {
    if (renderer_.hoveredPlayer()) {
        renderer_.setHoveredPlayer(std::nullopt);
        update();
    }
    unsetCursor();
}

void Pitch3DView::updateHover(QPointF at) {
    const PerspectiveBoardGeometry board = boardGeometry();
    const bool live = !store_.transitionRunning() && !tool_.suspended();
    const auto player = live ? board.playerAt(at) : std::nullopt;
    if (player != renderer_.hoveredPlayer()) {
        renderer_.setHoveredPlayer(player);
        update();
    }
    const bool draggable = live && (player || board.ballAt(at) || board.routeHandleAt(at));
    if (draggable) setCursor(Qt::OpenHandCursor);
    else unsetCursor();
}

bool Pitch3DView::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const PerspectiveBoardGeometry board = boardGeometry();
        QString text;
        if (board.routeHandleAt(help->pos())) {
            text = QStringLiteral("拖动控制点，调整弯曲跑位");
        } else if (board.ballAt(help->pos())) {
            text = QStringLiteral("足球 · 拖动调整位置");
        } else if (auto id = board.playerAt(help->pos())) {
            for (const auto& pl : store_.displayPlayers())
                if (pl.id == *id)
                    text = QStringLiteral("#%1 · %2\nControl + 点击查看球员信息 · 双击传球")
                               .arg(pl.number)
                               .arg(QString::fromStdString(teamName(pl.team)));
        }
        if (text.isEmpty()) QToolTip::hideText();
        else QToolTip::showText(help->globalPos(), text, this);
        return true;
    }
    return QWidget::event(event);
}

}  // namespace vantrel

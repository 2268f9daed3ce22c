#include "ui/pitch/pitch_view.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include "ui/pitch/pitch_accessibility.h"
#include "ui/render/pitch_painting.h"
#include "ui/style/studio_style.h"

namespace vantrel {

PitchView::PitchView(BoardStore& store, QWidget* parent)
    : QWidget(parent), store_(store), renderer_(store), tool_(store) {
    PlayerTokenHost::installAccessibility();
    setMouseTracking(true);   // the hand cursor over what can be dragged
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    setAccessibleName(QStringLiteral("球场"));
    constexpr StoreChange drawn =
        StoreChange::board | StoreChange::animation | StoreChange::selection | StoreChange::displayOptions;
    subscription_ = store_.subscribe([this](StoreChange change) {
        if (any(change & drawn)) update();
    });
    connect(&StudioStyle::appearance(), &StudioAppearance::appearanceChanged, this, [this] { update(); });
}

QRectF PitchView::tokenRect(const Player& player) const {
    const QPointF centre = toView(player.position);
    const qreal r = PitchPainting::kTokenDiameter / 2;
    return {centre.x() - r, centre.y() - r, 2 * r, 2 * r};
}

FlatBoardGeometry PitchView::boardGeometry() const { return {store_, BoardRenderer::projection(QSizeF(size()))}; }

QRectF PitchView::drawingRect() const {
    const ViewRect r = boardGeometry().projection().rect();
    return {r.left, r.top, r.width, r.height};
}

void PitchView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paintBoard(painter);
}

void PitchView::paintBoard(QPainter& painter) { renderer_.paint(painter, QSizeF(size()), devicePixelRatioF()); }

void PitchView::mousePressEvent(QMouseEvent* event) {
    if (!tool_.press(boardGeometry(), event->position(), event->button(), event->modifiers())) event->ignore();
}

void PitchView::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() == Qt::NoButton) updateCursor(event->position());
    else tool_.move(boardGeometry(), event->position());
}

void PitchView::mouseReleaseEvent(QMouseEvent* event) {
    tool_.release(boardGeometry(), event->position());
    updateCursor(event->position());
}

void PitchView::updateCursor(QPointF at) {
    const FlatBoardGeometry board = boardGeometry();
    const bool live = !store_.transitionRunning() && !tool_.suspended();
    if (live && (board.routeHandleAt(at) || board.ballAt(at) || board.playerAt(at))) setCursor(Qt::OpenHandCursor);
    else unsetCursor();
}

void PitchView::mouseDoubleClickEvent(QMouseEvent* event) {
    tool_.doubleClick(boardGeometry(), event->position(), event->button());
}

bool PitchView::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const FlatBoardGeometry board = boardGeometry();
        QString text;
        if (board.routeHandleAt(help->pos())) {
            text = QStringLiteral("拖动控制点，调整弯曲跑位");
        } else if (auto id = board.playerAt(help->pos())) {
            for (const auto& pl : store_.displayPlayers())
                if (pl.id == *id)
                    text = QStringLiteral("#%1 · %2\nControl + 点击查看球员信息")
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

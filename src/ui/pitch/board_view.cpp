// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/pitch/board_view.h"

#include <QAccessible>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>

#include "ui/render/flat_board_painter.h"
#include "ui/style/studio_style.h"

namespace vantrel {

namespace {

// The step's piece of equipment with `id`, if it has one.
const Equipment* stepPiece(const BoardStep* step, const std::optional<Uuid>& id) {
    if (!step || !step->equipment || !id) return nullptr;
    for (const auto& e : *step->equipment)
        if (e.id == *id) return &e;
    return nullptr;
}

}  // namespace

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
    setFocusPolicy(Qt::StrongFocus);
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

void BoardView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paintBoard(painter);
}

void BoardView::paintBoard(QPainter& painter) {
    painter_->paint(painter, scene_, sizeF(), devicePixelRatioF());
    if (!keyFocus_ || !hasFocus()) return;
    // The focus ring: the desktop's highlight over a dark hairline, apart from the white
    // selection rings and seen on the turf in either palette.
    QRectF ring;
    if (keyFocus_->empty()) ring = ballRect();
    else if (const SceneToken* token = scene_.token(*keyFocus_)) ring = tokenRect(*token);
    else if (const SceneEquipment* piece = focusedPiece()) ring = equipmentRect(*piece);
    if (ring.isEmpty()) return;
    ring.adjust(-7, -7, 7, 7);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(0, 0, 0, 150), 5));
    painter.drawEllipse(ring);
    painter.setPen(QPen(palette().color(QPalette::Highlight), 3));
    painter.drawEllipse(ring);
    painter.restore();
}

std::vector<std::string> BoardView::readingOrder() const {
    std::vector<const SceneToken*> tokens;
    for (const auto& t : scene_.players) tokens.push_back(&t);
    // Rows 6 % of the pitch apart read left to right.
    std::stable_sort(tokens.begin(), tokens.end(), [](const SceneToken* a, const SceneToken* b) {
        const int rowA = int(a->player.position.y / 0.06), rowB = int(b->player.position.y / 0.06);
        return rowA != rowB ? rowA < rowB : a->player.position.x < b->player.position.x;
    });
    std::vector<std::string> order;
    for (const SceneToken* t : tokens) order.push_back(t->player.id);
    order.emplace_back();   // the ball
    for (const auto& e : scene_.equipment) order.push_back(equipmentKey(e.piece.id));
    return order;
}

const SceneEquipment* BoardView::focusedPiece() const {
    if (!keyFocus_) return nullptr;
    for (const auto& e : scene_.equipment)
        if (equipmentKey(e.piece.id) == *keyFocus_) return &e;
    return nullptr;
}

void BoardView::setKeyFocus(std::optional<std::string> id) {
    keyFocus_ = std::move(id);
    update();
    // Assistive technology follows the ring: the token is the object with the focus.
    if (keyFocus_ && hasFocus() && QAccessible::isActive())
        if (QAccessibleInterface* token = tokenAccessible(*keyFocus_)) {
            QAccessibleEvent focus(token, QAccessible::Focus);
            QAccessible::updateAccessibility(&focus);
        }
}

bool BoardView::moveKeyFocus(int by, bool wrap) {
    const std::vector<std::string> order = readingOrder();
    const int count = int(order.size());
    int at = -1;
    if (keyFocus_)
        for (int i = 0; i < count; ++i)
            if (order[std::size_t(i)] == *keyFocus_) at = i;
    int next = at < 0 ? (by > 0 ? 0 : count - 1) : at + by;
    if (next < 0 || next >= count) {
        if (!wrap) return false;
        next = (next + count) % count;
    }
    setKeyFocus(order[std::size_t(next)]);
    return true;
}

bool BoardView::focusNextPrevChild(bool next) {
    // Tab walks the tokens, then leaves the board.
    if (hasFocus() && moveKeyFocus(next ? 1 : -1, false)) return true;
    return QWidget::focusNextPrevChild(next);
}

void BoardView::nudge(Qt::Key key, bool far) {
    const double metres = far ? 5 : 1;
    const double dx = metres / kPitchLengthMetres, dy = metres / kPitchWidthMetres;
    Point by = key == Qt::Key_Left ? Point{-dx, 0} : key == Qt::Key_Right ? Point{dx, 0}
             : key == Qt::Key_Up   ? Point{0, -dy} : Point{0, dy};
    // A half or the final third is shown turned (the goal at the top): the arrows keep
    // to the screen.
    if (!is3D() && scene_.pitchAreas && scene_.pitchAreas->effectiveArea() != PitchArea::full)
        by = {-by.y * kPitchWidthMetres / kPitchLengthMetres, by.x * kPitchLengthMetres / kPitchWidthMetres};
    const BoardStep* step = store_.currentStep();
    if (!step || !scene_.interactive) return;
    if (!nudging_) {
        nudging_ = true;
        store_.setDraggingPlayer(true);   // the burst is one undo level, like a drag
    }
    if (keyFocus_ && keyFocus_->empty()) {
        store_.moveBall({step->ball.x + by.x, step->ball.y + by.y}, false);
    } else if (const auto& id = store_.selectedPlayer()) {
        if (const Player* p = step->player(*id)) store_.movePlayer(*id, {p->position.x + by.x, p->position.y + by.y});
    } else if (const Equipment* e = stepPiece(step, store_.equipment().selected())) {
        store_.equipment().move(e->id, {e->position.x + by.x, e->position.y + by.y});   // clamped as a drag is
    }
}

void BoardView::endNudges() {
    if (!nudging_) return;
    nudging_ = false;
    store_.setDraggingPlayer(false);
}

void BoardView::turnSelectedPiece(double degrees) {
    const Equipment* e = stepPiece(store_.currentStep(), store_.equipment().selected());
    if (!e || !scene_.interactive) return;
    if (!turning_) store_.equipment().endDrag();   // a new press, a new undo level
    turning_ = true;
    store_.equipment().rotate(e->id, e->degrees() + degrees);
}

void BoardView::endTurning() {
    if (!turning_) return;
    turning_ = false;
    store_.equipment().endDrag();
}

void BoardView::removeSelectedPiece() {
    const Uuid id = *store_.equipment().selected();
    // A ring on the piece goes to the one after it, or to the one before the last.
    std::vector<std::string> order = readingOrder();
    const auto ringed = std::find(order.begin(), order.end(), keyFocus_.value_or(std::string()));
    const bool onIt = keyFocus_ && *keyFocus_ == equipmentKey(id);
    const auto at = std::size_t(ringed - order.begin());
    store_.equipment().remove(id);
    if (!onIt) return;
    order = readingOrder();
    setKeyFocus(order[std::min(at, order.size() - 1)]);
}

void BoardView::keyPressEvent(QKeyEvent* event) {
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    const auto key = Qt::Key(event->key());
    const bool arrow = key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up || key == Qt::Key_Down;
    if (arrow && (mods & Qt::AltModifier)) return nudge(key, mods & Qt::ShiftModifier);
    if (arrow && mods == Qt::NoModifier) {
        moveKeyFocus(key == Qt::Key_Left || key == Qt::Key_Up ? -1 : 1, true);
        return;
    }
    const SceneEquipment* piece = focusedPiece();
    const bool onPlayer = keyFocus_ && !keyFocus_->empty() && !isEquipmentKey(*keyFocus_);
    if (key == Qt::Key_Space && mods == Qt::NoModifier && onPlayer) return store_.selectPlayer(*keyFocus_, false);
    if (key == Qt::Key_Space && mods == Qt::NoModifier && piece) return store_.equipment().select(piece->piece.id);
    // A bracket may need Shift or AltGr on some layouts; only Ctrl and Alt are left alone.
    const bool turn = key == Qt::Key_BracketLeft || key == Qt::Key_BracketRight;
    if (turn && !(mods & (Qt::ControlModifier | Qt::AltModifier)) && store_.equipment().selected())
        return turnSelectedPiece(key == Qt::Key_BracketLeft ? -15 : 15);
    if ((key == Qt::Key_Delete || key == Qt::Key_Backspace) && store_.equipment().selected()) return removeSelectedPiece();
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && onPlayer) {
        if (mods & Qt::ControlModifier) return store_.selectPlayer(*keyFocus_, true);
        return store_.passOrGiveBall(*keyFocus_);
    }
    if (key == Qt::Key_Escape && store_.selectedPlayer()) return store_.clearSelectedPlayer();
    if (key == Qt::Key_Escape && store_.equipment().selected()) return store_.equipment().select(std::nullopt);
    QWidget::keyPressEvent(event);
}

void BoardView::keyReleaseEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Alt) endNudges();
    // Letting go of a turning key closes its undo level; a held key's repeats share one.
    if ((event->key() == Qt::Key_BracketLeft || event->key() == Qt::Key_BracketRight) && !event->isAutoRepeat())
        endTurning();
    QWidget::keyReleaseEvent(event);
}

void BoardView::focusInEvent(QFocusEvent* event) {
    // Arriving by Tab rings the first token, by Shift+Tab the last (the ball, or the last
    // piece of equipment).
    if (event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason) {
        const std::vector<std::string> order = readingOrder();
        setKeyFocus(event->reason() == Qt::TabFocusReason ? order.front() : order.back());
    }
    update();
    QWidget::focusInEvent(event);
}

void BoardView::focusOutEvent(QFocusEvent* event) {
    endNudges();
    endTurning();
    update();
    QWidget::focusOutEvent(event);
}

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
                           .arg(QString::fromStdString(scene_.teamNames[token->player.team == 1 ? 1 : 0].value_or(
                               teamName(token->player.team))))
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

// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/tools/equipment_tool.h"

#include <QActionGroup>
#include <QApplication>
#include <QDrag>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QToolButton>

#include <cmath>

#include "core/store/board_store.h"
#include "ui/pitch/board_view.h"
#include "ui/render/equipment_painting.h"
#include "ui/style/studio_style.h"
#include "ui/style/studio_widgets.h"

namespace vantrel {

namespace {

// The colours a cone, pole or mannequin takes from the shelf.
constexpr std::pair<const char*, const char*> kColours[] = {
    {"#FF7A1A", "橙色"}, {"#F2D21B", "黄色"}, {"#2F6FDB", "蓝色"}, {"#E8412C", "红色"}, {"#F4F4F4", "白色"}};

const SceneEquipment* selectedPiece(const BoardScene& scene) {
    for (const auto& e : scene.equipment)
        if (e.selected) return &e;
    return nullptr;
}

// The kind's 2D symbol on a 32-point tile, drawn by the board's own painter.
QIcon kindIcon(EquipmentKind kind) {
    QPixmap tile(64, 64);
    tile.setDevicePixelRatio(2);
    tile.fill(Qt::transparent);
    QPainter p(&tile);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(StudioStyle::pitch());
    p.drawRoundedRect(QRectF(1, 1, 30, 30), 6, 6);
    SceneEquipment e;
    e.piece.kind = kind;
    e.piece.position = {0.5, 0.5};
    e.color = defaultEquipmentColor(kind);
    // Each kind fills the tile: a goal is shown 9 m across, a cone 1.6 m.
    const double span = kind == EquipmentKind::goal ? 9.0 : kind == EquipmentKind::ladder ? 5.0
                        : kind == EquipmentKind::miniGoal ? 3.0 : 1.6;
    if (kind == EquipmentKind::goal || kind == EquipmentKind::miniGoal) e.piece.position = {0.5, 0.35};
    EquipmentPainting::View view{[](Point pt) { return QPointF(1 + 30 * pt.x, 1 + 30 * pt.y); }, false, span, span};
    EquipmentPainting::drawPiece(p, e, view);
    p.end();
    return QIcon(tile);
}

}  // namespace

// --- The gestures ----------------------------------------------------------------------

EquipmentTool::EquipmentTool(BoardStore& store, BoardView& view, QObject* parent)
    : QObject(parent), store_(store), view_(view) {
    view_.setAcceptDrops(true);
    view_.installEventFilter(this);
}

QString EquipmentTool::mimeType() { return QStringLiteral("application/x-vantrel-equipment"); }

void EquipmentTool::arm(std::optional<EquipmentKind> kind) {
    if (armed_ == kind) return;
    armed_ = kind;
    view_.setCursor(kind ? Qt::CrossCursor : Qt::ArrowCursor);
    emit armedChanged();
}

bool EquipmentTool::press(QPointF at) {
    if (store_.transitionRunning() || store_.playing() || view_.editingAnnotations()) return false;
    BoardPainter& painter = view_.painter();
    const QSizeF size(view_.size());
    if (armed_) {
        store_.equipment().add(*armed_, painter.toPitch(size, at));
        return true;
    }
    const BoardScene& scene = view_.scene();
    if (const SceneEquipment* selected = selectedPiece(scene); selected && painter.turnHandleAt(scene, size, at)) {
        drag_ = Drag::turn;
        dragged_ = selected->piece.id;
        return true;
    }
    // A player standing on a piece is taken first: he is drawn over it.
    if (painter.playerAt(scene, size, at) || painter.ballAt(scene, size, at)) {
        if (store_.equipment().selected()) store_.equipment().select(std::nullopt);
        return false;
    }
    if (auto id = painter.equipmentAt(scene, size, at)) {
        store_.equipment().select(*id);
        drag_ = Drag::move;
        dragged_ = *id;
        const Point pointer = painter.toPitch(size, at);
        for (const auto& e : scene.equipment)
            if (e.piece.id == *id) grab_ = {e.piece.position.x - pointer.x, e.piece.position.y - pointer.y};
        return true;
    }
    if (store_.equipment().selected()) store_.equipment().select(std::nullopt);
    return false;
}

void EquipmentTool::move(QPointF at) {
    const Point pointer = view_.painter().toPitch(QSizeF(view_.size()), at);
    if (drag_ == Drag::move) {
        store_.equipment().move(dragged_, {pointer.x + grab_.x, pointer.y + grab_.y});
        return;
    }
    for (const auto& e : view_.scene().equipment)
        if (e.piece.id == dragged_) {
            // The handle points along the piece: its angle is the pointer's bearing in metres.
            const double dx = (pointer.x - e.piece.position.x) * kPitchLengthMetres;
            const double dy = (pointer.y - e.piece.position.y) * kPitchWidthMetres;
            if (std::hypot(dx, dy) > 0.05) store_.equipment().rotate(dragged_, std::atan2(dy, dx) * 180 / M_PI);
        }
}

bool EquipmentTool::eventFilter(QObject* watched, QEvent* event) {
    if (watched != &view_) return false;
    switch (event->type()) {
        case QEvent::MouseButtonPress: {
            auto* e = static_cast<QMouseEvent*>(event);
            if (e->button() == Qt::RightButton && armed_) {
                arm(std::nullopt);
                return true;
            }
            if (e->button() != Qt::LeftButton) return false;
            return press(e->position());
        }
        case QEvent::MouseMove:
            if (drag_ == Drag::none) return false;
            move(static_cast<QMouseEvent*>(event)->position());
            return true;
        case QEvent::MouseButtonRelease:
            if (drag_ == Drag::none) return false;
            drag_ = Drag::none;
            store_.equipment().endDrag();
            return true;
        case QEvent::MouseButtonDblClick:
            return armed_ || drag_ != Drag::none;
        case QEvent::KeyPress: {
            // The board's own keys delete, move and turn the selected piece; Esc here
            // only while a kind is armed.
            auto* e = static_cast<QKeyEvent*>(event);
            if (e->key() == Qt::Key_Escape && armed_) {
                arm(std::nullopt);
                store_.equipment().select(std::nullopt);
                return true;
            }
            return false;
        }
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* e = static_cast<QDropEvent*>(event);
            if (!e->mimeData()->hasFormat(mimeType())) return false;
            e->acceptProposedAction();
            return true;
        }
        case QEvent::Drop: {
            auto* e = static_cast<QDropEvent*>(event);
            if (!e->mimeData()->hasFormat(mimeType())) return false;
            const auto kind = equipmentKindFromRaw(e->mimeData()->data(mimeType()).toStdString());
            if (kind) store_.equipment().add(*kind, view_.painter().toPitch(QSizeF(view_.size()), e->position()));
            e->acceptProposedAction();
            return true;
        }
        default: return false;
    }
}

// --- The shelf ----------------------------------------------------------------------------

EquipmentShelf::EquipmentShelf(BoardStore& store, EquipmentTool& tool, QWidget* parent)
    : QFrame(parent), store_(store), tool_(tool) {
    setObjectName(QStringLiteral("equipmentShelf"));
    StudioWidgets::describe(this, QStringLiteral("器材"), QStringLiteral("点击器材后在球场上点击放置，或直接拖到球场上"));
    auto paintShelf = [this] {
        setStyleSheet(QStringLiteral("QFrame#equipmentShelf { background: %1; border-radius: 10px; }").arg(StudioStyle::surface().name()));
    };
    paintShelf();
    connect(&StudioStyle::appearance(), &StudioAppearance::appearanceChanged, this, paintShelf);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(8, 6, 8, 6);
    row->setSpacing(4);
    for (EquipmentKind kind : allEquipmentKinds()) {
        auto* b = new QToolButton(this);
        const QString name = QString::fromUtf8(equipmentName(kind).data(), static_cast<int>(equipmentName(kind).size()));
        StudioWidgets::describe(b, name, name + QStringLiteral(" · 点击后在球场上放置，或拖到球场上"));
        b->setIcon(kindIcon(kind));
        b->setIconSize(QSize(28, 28));
        b->setCheckable(true);
        b->setAutoRaise(true);
        b->setProperty("kind", static_cast<int>(kind));
        b->installEventFilter(this);
        connect(b, &QToolButton::clicked, this, [this, kind](bool on) { tool_.arm(on ? std::optional(kind) : std::nullopt); });
        row->addWidget(b);
        kinds_.push_back(b);
    }
    row->addSpacing(8);
    for (const auto& [hex, name] : kColours) {
        auto* b = new QToolButton(this);
        StudioWidgets::describe(b, QString::fromUtf8(name), QStringLiteral("所选器材改为") + QString::fromUtf8(name));
        b->setFixedSize(22, 22);
        b->setStyleSheet(QStringLiteral("QToolButton { background: %1; border: 1px solid #00000040; border-radius: 11px; }"
                                        " QToolButton:disabled { background: %1; border: none; }")
                             .arg(QString::fromLatin1(hex)));
        const std::string colour = hex;
        connect(b, &QToolButton::clicked, this, [this, colour] {
            if (auto id = store_.equipment().selected()) store_.equipment().setColor(*id, colour);
        });
        row->addWidget(b);
        colours_.push_back(b);
    }
    row->addSpacing(4);
    remove_ = new QToolButton(this);
    remove_->setText(QStringLiteral("删除器材"));
    StudioWidgets::describe(remove_, QStringLiteral("删除器材"), QStringLiteral("删除所选器材 · Delete"));
    remove_->setAutoRaise(true);
    connect(remove_, &QToolButton::clicked, this, [this] {
        if (auto id = store_.equipment().selected()) store_.equipment().remove(*id);
    });
    row->addWidget(remove_);
    connect(&tool_, &EquipmentTool::armedChanged, this, &EquipmentShelf::refresh);
    auto sub = std::make_shared<Subscription>(store_.subscribe([this](StoreChange change) {
        if (any(change & (StoreChange::selection | StoreChange::tactic))) refresh();
    }));
    subscription_ = sub;
    refresh();
}

EquipmentShelf::~EquipmentShelf() { subscription_.reset(); }

QToolButton* EquipmentShelf::kindButton(EquipmentKind kind) const { return kinds_[static_cast<std::size_t>(kind)]; }

void EquipmentShelf::refresh() {
    for (std::size_t i = 0; i < kinds_.size(); ++i)
        kinds_[i]->setChecked(tool_.armed() && static_cast<std::size_t>(*tool_.armed()) == i);
    std::optional<EquipmentKind> selected;
    if (const BoardStep* step = store_.currentStep(); step && step->equipment && store_.equipment().selected())
        for (const auto& e : *step->equipment)
            if (e.id == *store_.equipment().selected()) selected = e.kind;
    for (QToolButton* b : colours_) b->setEnabled(selected && recolourable(*selected));
    remove_->setEnabled(selected.has_value());
}

// A drag from a kind's button carries it onto the pitch.
bool EquipmentShelf::eventFilter(QObject* watched, QEvent* event) {
    auto* b = qobject_cast<QToolButton*>(watched);
    if (!b || !b->property("kind").isValid()) return false;
    if (event->type() == QEvent::MouseButtonPress) pressAt_ = static_cast<QMouseEvent*>(event)->position().toPoint();
    if (event->type() == QEvent::MouseMove && (static_cast<QMouseEvent*>(event)->buttons() & Qt::LeftButton)) {
        const QPoint at = static_cast<QMouseEvent*>(event)->position().toPoint();
        if ((at - pressAt_).manhattanLength() < QApplication::startDragDistance()) return false;
        const auto kind = static_cast<EquipmentKind>(b->property("kind").toInt());
        auto* mime = new QMimeData;
        mime->setData(EquipmentTool::mimeType(), QByteArray::fromStdString(std::string(rawValue(kind))));
        auto* drag = new QDrag(b);
        drag->setMimeData(mime);
        drag->setPixmap(b->icon().pixmap(28, 28));
        b->setDown(false);
        drag->exec(Qt::CopyAction);
        return true;
    }
    return false;
}

// --- Pitch areas ----------------------------------------------------------------------------

QMenu* pitchAreaMenu(BoardStore& store, QWidget* parent) {
    auto* menu = new QMenu(QStringLiteral("场地区域"), parent);
    auto* show = menu->addAction(QStringLiteral("显示场地区域"));
    show->setCheckable(true);
    QObject::connect(show, &QAction::toggled, menu, [&store](bool on) { if (on != store.equipment().showPitchAreas()) store.equipment().setShowPitchAreas(on); });
    menu->addSeparator();
    auto* areas = new QActionGroup(menu);
    std::vector<std::pair<QAction*, PitchArea>> areaActions;
    for (PitchArea area : {PitchArea::full, PitchArea::half, PitchArea::box}) {
        auto* a = menu->addAction(QString::fromUtf8(pitchAreaName(area).data(), static_cast<int>(pitchAreaName(area).size())));
        a->setCheckable(true);
        areas->addAction(a);
        areaActions.emplace_back(a, area);
        QObject::connect(a, &QAction::triggered, menu, [&store, area] {
            PitchAreas next = store.tactic().pitch.value_or(PitchAreas{});
            next.area = area == PitchArea::full ? std::nullopt : std::optional(area);
            store.equipment().setPitchAreas(next);
        });
    }
    menu->addSeparator();
    auto* grids = new QActionGroup(menu);
    std::vector<std::pair<QAction*, PitchGrid>> gridActions;
    for (PitchGrid grid : {PitchGrid::none, PitchGrid::thirds, PitchGrid::channels, PitchGrid::zones}) {
        auto* a = menu->addAction(QString::fromUtf8(pitchGridName(grid).data(), static_cast<int>(pitchGridName(grid).size())));
        a->setCheckable(true);
        grids->addAction(a);
        gridActions.emplace_back(a, grid);
        QObject::connect(a, &QAction::triggered, menu, [&store, grid] {
            PitchAreas next = store.tactic().pitch.value_or(PitchAreas{});
            next.grid = grid == PitchGrid::none ? std::nullopt : std::optional(grid);
            store.equipment().setPitchAreas(next);
        });
    }
    // The checks follow the tactic shown each time the menu opens.
    QObject::connect(menu, &QMenu::aboutToShow, menu, [&store, show, areaActions, gridActions] {
        show->setChecked(store.equipment().showPitchAreas());
        const PitchAreas now = store.tactic().pitch.value_or(PitchAreas{});
        for (const auto& [a, area] : areaActions) a->setChecked(now.effectiveArea() == area);
        for (const auto& [a, grid] : gridActions) a->setChecked(now.effectiveGrid() == grid);
    });
    return menu;
}

}  // namespace vantrel

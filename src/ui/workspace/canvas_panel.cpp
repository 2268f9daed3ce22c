// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/workspace/canvas_panel.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QHelpEvent>
#include <QLineF>
#include <QToolTip>
#include <QMenu>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

#include "ui/annotation/annotation_canvas_view.h"
#include "ui/annotation/drawing_panels_overlay.h"
#include "ui/annotation/drawing_toolbar_view.h"
#include "ui/pitch/board_view.h"
#include "ui/tools/equipment_tool.h"
#include "ui/style/studio_icons.h"
#include "ui/style/studio_segmented_control.h"
#include "ui/style/studio_style.h"
#include "ui/style/studio_widgets.h"

namespace vantrel {

using namespace StudioWidgets;

namespace {

QToolButton* displayToggle(const QString& name, const QString& help, StudioIcons::Glyph glyph, QWidget* parent) {
    auto* b = button(name, help, glyph, true, parent);
    b->setCheckable(true);
    b->setLabelColor(StudioStyle::textSecondary);
    return b;
}

}  // namespace

CanvasPanel::CanvasPanel(BoardStore& store, DrawingSession& session, WorkspacePreferences& workspace, QWidget* parent)
    : QWidget(parent), store_(store), session_(session), workspace_(workspace) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);

    auto* bar = new QHBoxLayout;
    bar->setSpacing(6);
    viewSwitch_ = new StudioSegmentedControl(QStringLiteral("视角"), {{QStringLiteral("2D"), QStringLiteral("2D")},
                                                                     {QStringLiteral("3D"), QStringLiteral("3D")}}, this);
    viewSwitch_->setDarkValue(QStringLiteral("3D"));
    viewSwitch_->setToolTip(QStringLiteral("视角"));
    viewSwitch_->setFixedWidth(120);
    connect(viewSwitch_, &StudioSegmentedControl::selectionChanged, this, [this](const QVariant& value) {
        if (QString::fromStdString(workspace_.is3D() ? "3D" : "2D") == value.toString()) return;
        workspace_.setPitchViewMode(value.toString().toStdString());
        refreshMode();
        emit modeChanged();
    });
    bar->addWidget(viewSwitch_);
    bar->addSpacing(8);
    vision_ = displayToggle(QStringLiteral("视野"), QStringLiteral("持球队员视野"), StudioIcons::Glyph::visibility, this);
    connect(vision_, &QToolButton::toggled, this, [this](bool on) { if (on != store_.showVision()) store_.setShowVision(on); });
    bar->addWidget(vision_);
    offside_ = displayToggle(QStringLiteral("越位线"), QStringLiteral("越位线"), StudioIcons::Glyph::offside, this);
    connect(offside_, &QToolButton::toggled, this, [this](bool on) { if (on != store_.showOffside()) store_.setShowOffside(on); });
    bar->addWidget(offside_);

    layers_ = button(QStringLiteral("图层与路线"), QStringLiteral("图层与路线"), StudioIcons::Glyph::layers, true, this);
    static_cast<QuietHoverStyle*>(layers_)->setLabelColor(StudioStyle::textSecondary);
    layers_->setPopupMode(QToolButton::InstantPopup);
    auto* menu = new QMenu(QStringLiteral("图层与路线"), layers_);
    routesAction_ = menu->addAction(QStringLiteral("所选球员跑位路线"));
    movesAction_ = menu->addAction(QStringLiteral("显示跑位箭头"));
    annotationsAction_ = menu->addAction(QStringLiteral("显示注释层"));
    lockAction_ = menu->addAction(QStringLiteral("锁定注释层"));
    for (QAction* a : {routesAction_, movesAction_, annotationsAction_, lockAction_}) a->setCheckable(true);
    connect(movesAction_, &QAction::toggled, this, [this](bool on) {
        if (on == store_.showMoves()) return;
        workspace_.setShowMoves(on);
        store_.setShowMoves(on);
    });
    connect(routesAction_, &QAction::toggled, this, [this](bool on) { if (on != store_.showRoutes()) store_.setShowRoutes(on); });
    connect(annotationsAction_, &QAction::toggled, this, [this](bool on) { if (on != session_.visible()) session_.setVisible(on); });
    connect(lockAction_, &QAction::toggled, this, [this](bool on) { if (on != session_.locked()) session_.setLocked(on); });
    menu->addSeparator();
    menu->addMenu(pitchAreaMenu(store_, menu));
    layers_->setMenu(menu);
    bar->addWidget(layers_);
    bar->addStretch();
    auto* shelfToggle = displayToggle(QStringLiteral("器材"), QStringLiteral("器材：标志桶、标志杆、人墙假人、球门等"),
                                      StudioIcons::Glyph::add, this);
    bar->addWidget(shelfToggle);
    drawingToggle_ = new DrawingToggleButton(session_, this);
    bar->addWidget(drawingToggle_);
    layout->addLayout(bar);

    stackHost_ = new QWidget(this);
    pitch_ = new BoardView(store_, stackHost_);
    layout->addWidget(stackHost_, 1);

    // Above the board, kept at the host's size.
    canvas_ = new AnnotationCanvasView(store_, session_, stackHost_);
    pitch_->setAnnotationDrawing(&canvas_->drawing());
    canvas_->addPaintTarget(pitch_);
    drawingToolbar_ = new DrawingToolbarView(store_, session_, stackHost_);
    drawingPanels_ = new DrawingPanelsOverlay(store_, session_, this);
    stackHost_->installEventFilter(this);
    pitch_->installEventFilter(this);
    // The equipment shelf floats at the pitch's top left while "器材" is on.
    auto* equipmentTool = new EquipmentTool(store_, *pitch_, this);
    auto* shelf = new EquipmentShelf(store_, *equipmentTool, stackHost_);
    shelf->hide();
    connect(shelfToggle, &QToolButton::toggled, this, [this, shelf, equipmentTool](bool on) {
        shelf->setVisible(on);
        if (!on) equipmentTool->arm(std::nullopt);
        placeOverlays();
    });

    subscription_ = store_.subscribe([this](StoreChange change) {
        if (any(change & StoreChange::displayOptions)) refresh();
        if (any(change & (StoreChange::board | StoreChange::animation | StoreChange::displayOptions))) {
            // The marker is read out with the pitch.
            const QString text = riskText();
            if (pitch_->accessibleDescription() != text) pitch_->setAccessibleDescription(text);
        }
    });
    drawingSubscription_ = session_.subscribe([this](DrawingChange change) {
        if (any(change & DrawingChange::layer)) refresh();
        if (any(change & (DrawingChange::layer | DrawingChange::editing))) refreshDrawing();
    });
    refresh();
    refreshDrawing();
    refreshMode();
}

CanvasPanel::~CanvasPanel() {
    // The pitch subscribes to the store, which the workspace destroys after this panel.
    subscription_.reset();
    drawingSubscription_.reset();
}

QString CanvasPanel::riskText() const {
    const auto risk = store_.interceptionRisk();
    if (!risk) return {};
    return QStringLiteral("可能被 %1 拦截").arg(QString::fromStdString(playerLabel(store_.tactic(), risk->interceptor)));
}

// The interception marker and the interceptor's ring answer with the risk; everything
// else is the pitch's own tooltip.
bool CanvasPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == stackHost_ && (event->type() == QEvent::Resize || event->type() == QEvent::Show)) placeOverlays();
    if (watched != pitch_ || event->type() != QEvent::ToolTip) return QWidget::eventFilter(watched, event);
    const auto risk = store_.interceptionRisk();
    if (!risk) return false;
    auto* help = static_cast<QHelpEvent*>(event);
    const QPointF at = pitch_->toView(risk->at);
    bool over = QLineF(at, help->pos()).length() <= 12;
    if (auto id = pitch_->playerAt(help->pos()); id && *id == risk->interceptor.id) over = true;
    if (!over) return false;
    QToolTip::showText(help->globalPos(), riskText(), pitch_);
    return true;
}

void CanvasPanel::refreshMode() {
    const bool is3D = workspace_.is3D();
    viewSwitch_->setSelection(is3D ? QStringLiteral("3D") : QStringLiteral("2D"));
    pitch_->setPerspective(is3D);
    canvas_->setPerspective(is3D);
    canvas_->raise();
    drawingToolbar_->raise();
}

void CanvasPanel::refreshDrawing() {
    pitch_->setEditingAnnotations(session_.editing() && !session_.locked());
    drawingToolbar_->setVisible(session_.editing());
    if (!lockBadge_) {
        // A badge, not a control: it takes neither the pointer nor the focus.
        lockBadge_ = new QToolButton(stackHost_);
        lockBadge_->setObjectName(QStringLiteral("lockBadge"));
        lockBadge_->setAttribute(Qt::WA_TransparentForMouseEvents);
        lockBadge_->setFocusPolicy(Qt::NoFocus);
        lockBadge_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        lockBadge_->setIconSize(QSize(14, 14));
        lockBadge_->setText(QStringLiteral("注释层已锁定"));
        lockBadge_->setAccessibleName(QStringLiteral("注释层已锁定"));
        auto paintBadge = [this] {
            lockBadge_->setIcon(StudioIcons::icon(StudioIcons::Glyph::lock));
            lockBadge_->setStyleSheet(QStringLiteral("QToolButton#lockBadge { background: %1; color: %2; border: none;"
                                                     " border-radius: 6px; padding: 3px 8px; font-size: 12px; }")
                                          .arg(StudioStyle::surface().name(), StudioStyle::textSecondary().name()));
        };
        paintBadge();
        connect(&StudioStyle::appearance(), &StudioAppearance::appearanceChanged, lockBadge_, paintBadge);
    }
    lockBadge_->setVisible(session_.locked() && session_.visible());
    placeOverlays();
}

void CanvasPanel::placeOverlays() {
    pitch_->setGeometry(stackHost_->rect());
    canvas_->setGeometry(stackHost_->rect());
    canvas_->raise();
    const QSize bar = drawingToolbar_->sizeHint();
    const int x = std::max(8, (stackHost_->width() - bar.width()) / 2);
    drawingToolbar_->setGeometry(x, 10, std::min(bar.width(), std::max(0, stackHost_->width() - 16)), bar.height());
    drawingToolbar_->raise();
    // The panels open below the toolbar, at its left end.
    const QPoint below = drawingToolbar_->geometry().bottomLeft() + QPoint(0, 8);
    drawingPanels_->setAnchor(stackHost_->mapTo(this, below));
    if (auto* shelf = stackHost_->findChild<EquipmentShelf*>(); shelf && shelf->isVisible()) {
        shelf->adjustSize();
        shelf->move(10, drawingToolbar_->isVisible() ? drawingToolbar_->geometry().bottom() + 8 : 10);
        shelf->raise();
    }
    if (lockBadge_) {
        lockBadge_->adjustSize();
        lockBadge_->move(10, stackHost_->height() - lockBadge_->height() - 10);
        lockBadge_->raise();
    }
}



void CanvasPanel::refresh() {
    vision_->setChecked(store_.showVision());
    offside_->setChecked(store_.showOffside());
    routesAction_->setChecked(store_.showRoutes());
    movesAction_->setChecked(store_.showMoves());
    annotationsAction_->setChecked(session_.visible());
    lockAction_->setChecked(session_.locked());
}

}  // namespace vantrel

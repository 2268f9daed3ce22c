// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/guidance/formation_picker.h"

#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

#include "ui/style/studio_icons.h"
#include "ui/style/studio_segmented_control.h"
#include "ui/style/studio_style.h"
#include "ui/style/studio_widgets.h"

namespace vantrel {

namespace {
constexpr int kPreviewColumns = 3;
}  // namespace

using namespace StudioWidgets;

namespace {

constexpr qreal kPressedScale = 0.96;
// Material icon code points not named by the shared glyph table.
constexpr auto kGridGlyph = static_cast<StudioIcons::Glyph>(0xe9b0);   // grid_view

}  // namespace

QString formationTeamName(int team) { return team == 0 ? QStringLiteral("蓝队") : QStringLiteral("橙队"); }

// --- Mini pitch ----------------------------------------------------------------------

FormationMiniPitch::FormationMiniPitch(FormationPreset preset, int team, QWidget* parent)
    : QWidget(parent), preset_(std::move(preset)), team_(team) {
    setFixedSize(kSize);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void FormationMiniPitch::setTeam(int team) {
    if (team_ == team) return;
    team_ = team;
    update();
}

void FormationMiniPitch::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF field = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    p.setPen(Qt::NoPen);
    p.setBrush(StudioStyle::pitch());
    p.drawRoundedRect(field, 4, 4);
    QPen line(StudioStyle::pitchLine(), 0.8);
    p.setPen(line);
    p.setBrush(Qt::NoBrush);
    const QRectF inner = field.adjusted(3, 3, -3, -3);
    p.drawRect(inner);
    p.drawLine(QPointF(inner.center().x(), inner.top()), QPointF(inner.center().x(), inner.bottom()));
    p.drawEllipse(inner.center(), 5, 5);
    const qreal boxH = inner.height() * 0.44, boxW = inner.width() * 0.1;
    p.drawRect(QRectF(inner.left(), inner.center().y() - boxH / 2, boxW, boxH));
    p.drawRect(QRectF(inner.right() - boxW, inner.center().y() - boxH / 2, boxW, boxH));

    const QColor team = team_ == 0 ? StudioStyle::blueTeam() : StudioStyle::orangeTeam();
    p.setPen(QPen(StudioStyle::onPitch(), 0.8));
    p.setBrush(team);
    for (const Point& pos : preset_.positions(team_)) {
        const QPointF at(inner.left() + pos.x * inner.width(), inner.top() + pos.y * inner.height());
        p.drawEllipse(at, 2.6, 2.6);
    }
}

// --- Preview button ------------------------------------------------------------------

FormationPreviewButton::FormationPreviewButton(FormationPreset preset, QWidget* parent)
    : QAbstractButton(parent), preset_(std::move(preset)) {
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    setMinimumSize(sizeHint());
    pitch_ = new FormationMiniPitch(preset_, team_, this);
    pitch_->hide();   // painted through render() so that it scales with the press
    describeSelf();
    connect(this, &QAbstractButton::pressed, this, qOverload<>(&QWidget::update));
    connect(this, &QAbstractButton::released, this, qOverload<>(&QWidget::update));
}

void FormationPreviewButton::describeSelf() {
    setAccessibleName(QStringLiteral("%1 %2 阵型").arg(formationTeamName(team_), QString::fromStdString(preset_.id)));
    setToolTip(QString::fromStdString(preset_.style));
    setAccessibleDescription(QString::fromStdString(preset_.style + "：" + preset_.attack));
}

void FormationPreviewButton::setTeam(int team) {
    if (team_ == team) return;
    team_ = team;
    pitch_->setTeam(team);
    describeSelf();
    update();
}

void FormationPreviewButton::setSelected(bool on) {
    if (selected_ == on) return;
    selected_ = on;
    setCheckable(true);
    setChecked(on);   // exposes the state to assistive technology
    setCheckable(false);
    update();
}

qreal FormationPreviewButton::drawnScale() const { return isDown() && !reduceMotion_ ? kPressedScale : 1.0; }

void FormationPreviewButton::enterEvent(QEnterEvent* event) {
    hovered_ = true;
    update();
    QAbstractButton::enterEvent(event);
}

void FormationPreviewButton::leaveEvent(QEvent* event) {
    hovered_ = false;
    update();
    QAbstractButton::leaveEvent(event);
}

void FormationPreviewButton::focusInEvent(QFocusEvent* event) {
    QAbstractButton::focusInEvent(event);
    update();
}

void FormationPreviewButton::focusOutEvent(QFocusEvent* event) {
    QAbstractButton::focusOutEvent(event);
    update();
}

void FormationPreviewButton::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && !(event->modifiers() & ~Qt::KeypadModifier)) {
        click();
        return;
    }
    // The arrows belong to the panel, which moves along its grid (a button alone would
    // take every arrow as the next or previous button in the focus chain).
    if (event->key() == Qt::Key_Left || event->key() == Qt::Key_Right || event->key() == Qt::Key_Up ||
        event->key() == Qt::Key_Down) {
        event->ignore();
        return;
    }
    QAbstractButton::keyPressEvent(event);
}

void FormationPreviewButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal scale = drawnScale();
    const QPointF c = QRectF(rect()).center();
    p.translate(c);
    p.scale(scale, scale);
    p.translate(-c);

    const QRectF card = QRectF(rect()).adjusted(1, 1, -1, -1);
    QColor fill = selected_ ? StudioStyle::brandSoft() : StudioStyle::surface();
    if (!selected_ && hovered_) fill = StudioStyle::surfaceSecondary();
    p.setPen(QPen(selected_ ? StudioStyle::brand() : StudioStyle::border(), selected_ ? 1.5 : 1));
    p.setBrush(fill);
    p.drawRoundedRect(card, 9, 9);
    if (hasFocus()) {
        p.setPen(QPen(StudioStyle::brand(), 2));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(card.adjusted(1.5, 1.5, -1.5, -1.5), 8, 8);
    }

    const QPoint pitchAt((width() - FormationMiniPitch::kSize.width()) / 2, 7);
    p.save();
    p.translate(pitchAt);
    pitch_->render(&p, QPoint(), QRegion(), QWidget::RenderFlags());
    p.restore();

    QFont font = this->font();
    font.setPixelSize(12);
    font.setWeight(selected_ ? QFont::DemiBold : QFont::Normal);
    p.setFont(font);
    p.setPen(selected_ ? StudioStyle::brand() : StudioStyle::textPrimary());
    const QRectF nameRect(card.left(), pitchAt.y() + FormationMiniPitch::kSize.height() + 4, card.width(), 18);
    p.drawText(nameRect, Qt::AlignCenter, QString::fromStdString(preset_.id));

    if (selected_) {
        const QRectF badge(card.right() - 17, card.top() + 3, 14, 14);
        p.setPen(Qt::NoPen);
        p.setBrush(StudioStyle::brandFill());
        p.drawEllipse(badge);
        QPen tick(StudioStyle::onBrand(), 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        p.setPen(tick);
        p.setBrush(Qt::NoBrush);
        QPainterPath mark;
        mark.moveTo(badge.left() + 3.6, badge.center().y() + 0.2);
        mark.lineTo(badge.left() + 6.1, badge.bottom() - 4.0);
        mark.lineTo(badge.right() - 3.3, badge.top() + 4.2);
        p.drawPath(mark);
    }
}

// --- Popover -------------------------------------------------------------------------

FormationPickerPopover::FormationPickerPopover(BoardStore& store, QWidget* parent)
    : QFrame(parent, Qt::Popup), store_(store) {
    setObjectName(QStringLiteral("FormationPickerPopover"));
    setAttribute(Qt::WA_NoMouseReplay);   // a click on the trigger only closes it
    setAccessibleName(QStringLiteral("阵容选择"));
    setFixedWidth(kWidth);
    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(14, 12, 14, 14);
    v->setSpacing(10);

    auto* head = new QHBoxLayout;
    head->setSpacing(8);
    head->addWidget(label(QStringLiteral("阵容选择"), 15, StudioStyle::textPrimary, true, this));
    format_ = label(QString(), 12, StudioStyle::textSecondary, false, this);
    format_->setObjectName(QStringLiteral("formationFormat"));
    head->addWidget(format_);
    head->addStretch();
    auto* close = button(QStringLiteral("关闭阵容选择"), QStringLiteral("关闭阵容选择 · Esc"), StudioIcons::Glyph::close,
                         false, this);
    close_ = close;
    connect(close, &QAbstractButton::clicked, this, &QWidget::close);
    head->addWidget(close);
    v->addLayout(head);

    auto* teamRow = new QHBoxLayout;
    teamRow->addWidget(label(QStringLiteral("球队"), 12, StudioStyle::textSecondary, true, this));
    team_ = new StudioSegmentedControl(QStringLiteral("球队"),
                                       {{formationTeamName(0), 0}, {formationTeamName(1), 1}}, this);
    team_->setSelectedFill(StudioStyle::brandFill);
    team_->setSelectedText(StudioStyle::onBrand);
    team_->setFixedWidth(168);
    connect(team_, &StudioSegmentedControl::selectionChanged, this, [this](const QVariant& value) {
        if (!syncing_) store_.setFormationFocusTeam(value.toInt());
    });
    teamRow->addWidget(team_);
    teamRow->addStretch();
    v->addLayout(teamRow);

    v->addWidget(hint(QStringLiteral("只调整当前阶段，点击阵型即可切换。"), this));
    grid_ = new QGridLayout;
    grid_->setHorizontalSpacing(8);
    grid_->setVerticalSpacing(8);
    v->addLayout(grid_);

    subscription_ = store_.subscribe([this](StoreChange change) {
        if (any(change & (StoreChange::board | StoreChange::selection | StoreChange::library | StoreChange::displayOptions)))
            refresh();
    });
    connect(&StudioStyle::appearance(), &StudioAppearance::appearanceChanged, this, qOverload<>(&QWidget::update));
    refresh();
}

void FormationPickerPopover::rebuild() {
    for (auto* preview : previews_) delete preview;
    previews_.clear();
    builtFormat_ = store_.tactic().format;
    int i = 0;
    for (const FormationPreset& preset : FormationPreset::forFormat(builtFormat_)) {
        auto* preview = new FormationPreviewButton(preset, this);
        connect(preview, &QAbstractButton::clicked, this, [this, preview] {
            store_.applyFormation(preview->preset().id, store_.formationFocusTeam());
        });
        grid_->addWidget(preview, i / kPreviewColumns, i % kPreviewColumns);
        previews_.push_back(preview);
        ++i;
    }
    format_->setText(QStringLiteral("%1 人制").arg(builtFormat_));
    adjustSize();
}

void FormationPickerPopover::refresh() {
    if (store_.tactic().format != builtFormat_) rebuild();
    const int team = store_.formationFocusTeam();
    syncing_ = true;
    team_->setSelection(team);
    syncing_ = false;
    const std::string current = store_.formationID(team);
    for (auto* preview : previews_) {
        preview->setTeam(team);
        preview->setReduceMotion(store_.reduceMotion());
        preview->setSelected(preview->preset().id == current);
    }
}

void FormationPickerPopover::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close();
        event->accept();
        return;
    }
    const auto focused = std::find(previews_.begin(), previews_.end(), focusWidget());
    int step = 0;
    switch (event->key()) {
    case Qt::Key_Left: step = -1; break;
    case Qt::Key_Right: step = 1; break;
    case Qt::Key_Up: step = -kPreviewColumns; break;
    case Qt::Key_Down: step = kPreviewColumns; break;
    default: break;
    }
    if (step != 0 && !previews_.empty()) {
        const int count = static_cast<int>(previews_.size());
        const int at = focused == previews_.end() ? 0 : static_cast<int>(focused - previews_.begin()) + step;
        if (at >= 0 && at < count) previews_[static_cast<std::size_t>(at)]->setFocus(Qt::OtherFocusReason);
        event->accept();
        return;
    }
    QFrame::keyPressEvent(event);
}

void FormationPickerPopover::hideEvent(QHideEvent* event) {
    QFrame::hideEvent(event);
    emit dismissed();
}

void FormationPickerPopover::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect(), StudioStyle::surface());
    p.setPen(QPen(StudioStyle::border(), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
}

// --- Trigger -------------------------------------------------------------------------

FormationPickerButton::FormationPickerButton(BoardStore& store, std::optional<int> team, QWidget* parent)
    : QAbstractButton(parent), store_(store), team_(team) {
    setObjectName(QStringLiteral("FormationPickerButton"));
    const QString text = team_ ? formationTeamName(*team_) + QStringLiteral(" 阵容") : QStringLiteral("阵容");
    setText(text);
    describe(this, text, QStringLiteral("阵容选择"));
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    connect(this, &QAbstractButton::pressed, this, qOverload<>(&QWidget::update));
    connect(this, &QAbstractButton::released, this, qOverload<>(&QWidget::update));
    connect(this, &QAbstractButton::clicked, this, [this] {
        if (team_) store_.setFormationFocusTeam(*team_);
        setPresented(!isPresented());
    });
    subscription_ = store_.subscribe([this](StoreChange change) {
        if (any(change & (StoreChange::board | StoreChange::library | StoreChange::animation))) refreshEnabled();
    });
    refreshEnabled();
}

FormationPickerButton::~FormationPickerButton() { delete popover_.data(); }

bool FormationPickerButton::isPresented() const { return popover_ && popover_->isVisible(); }

void FormationPickerButton::setPresented(bool on) {
    if (on == isPresented()) return;
    if (!on) {
        popover_->close();
        return;
    }
    if (!popover_) {
        popover_ = new FormationPickerPopover(store_, this);
        connect(popover_, &FormationPickerPopover::dismissed, this, qOverload<>(&QWidget::update));
    }
    popover_->adjustSize();
    // Below the trigger, right edges aligned (the inspector sits at the window's right),
    // kept on the screen.
    QPoint at = mapToGlobal(QPoint(width() - popover_->width(), height() + 6));
    if (const QScreen* screen = this->screen()) {
        const QRect area = screen->availableGeometry();
        at.setX(std::clamp(at.x(), area.left(), std::max(area.left(), area.right() - popover_->width())));
        if (at.y() + popover_->height() > area.bottom()) at.setY(mapToGlobal(QPoint(0, 0)).y() - popover_->height() - 6);
    }
    popover_->move(at);
    popover_->show();
    popover_->setFocus(Qt::PopupFocusReason);
    update();
}

void FormationPickerButton::refreshEnabled() {
    setEnabled(store_.currentStep() && !FormationPreset::forFormat(store_.tactic().format).empty());
}

QSize FormationPickerButton::sizeHint() const {
    QFont f = font();
    f.setPixelSize(13);
    return {QFontMetrics(f).horizontalAdvance(text()) + 70, 34};
}

void FormationPickerButton::enterEvent(QEnterEvent* event) {
    hovered_ = true;
    update();
    QAbstractButton::enterEvent(event);
}

void FormationPickerButton::leaveEvent(QEvent* event) {
    hovered_ = false;
    update();
    QAbstractButton::leaveEvent(event);
}

void FormationPickerButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    if (!isEnabled()) p.setOpacity(0.45);
    else if (isDown() && !store_.reduceMotion()) p.setOpacity(0.68);
    const QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const bool lit = isEnabled() && (hovered_ || isPresented());
    p.setPen(QPen(lit ? StudioStyle::brand() : StudioStyle::border(), 1));
    p.setBrush(lit ? StudioStyle::brandSoft() : StudioStyle::surface());
    p.drawRoundedRect(r, 8, 8);

    const QColor ink = lit ? StudioStyle::brand() : StudioStyle::textPrimary();
    StudioIcons::icon(kGridGlyph, lit ? StudioStyle::brand : StudioStyle::textSecondary)
        .paint(&p, QRect(10, (height() - 16) / 2, 16, 16));
    QFont f = font();
    f.setPixelSize(13);
    f.setWeight(QFont::Medium);
    p.setFont(f);
    p.setPen(ink);
    p.drawText(QRectF(32, 0, width() - 56, height()), Qt::AlignVCenter | Qt::AlignLeft, text());
    StudioIcons::icon(isPresented() ? StudioIcons::Glyph::expandLess : StudioIcons::Glyph::expandMore,
                      StudioStyle::textSecondary)
        .paint(&p, QRect(width() - 24, (height() - 16) / 2, 16, 16));
}

}  // namespace vantrel

// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/style/studio_segmented_control.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QVariantAnimation>

#include <algorithm>
#include <cmath>
#include <map>

namespace vantrel {

namespace {

constexpr int kTrackHeight = StudioSegmentedControl::kSegmentHeight + 2 * StudioSegmentedControl::kInset;
constexpr int kLabelPadding = 14;          // each side of the widest label, in the size hint
constexpr int kMinimumLabelPadding = 6;

QColor mix(const QColor& from, const QColor& to, qreal t) {
    const auto lerp = [t](float a, float b) { return a + static_cast<float>(t) * (b - a); };
    return QColor::fromRgbF(lerp(from.redF(), to.redF()), lerp(from.greenF(), to.greenF()),
                            lerp(from.blueF(), to.blueF()), lerp(from.alphaF(), to.alphaF()));
}

}  // namespace

// ---- Accessibility ------------------------------------------------------------------

// One segment, as a radio button of the control's group. Segments have no QObject of
// their own, so they are interfaces registered with (and owned through) the
// accessibility cache; the group's interface deletes them when the control goes.
class SegmentAccessible final : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    SegmentAccessible(StudioSegmentedControl* control, int index) : control_(control), index_(index) {}

    bool isValid() const override { return control_ && index_ < control_->items_.size(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return control_ ? control_->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(control_.data()); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }

    QString text(QAccessible::Text t) const override {
        if (t != QAccessible::Name || !isValid()) return {};
        return control_->title_ + u' ' + control_->items_.at(index_).text;
    }
    void setText(QAccessible::Text, const QString&) override {}

    QRect rect() const override {
        if (!isValid()) return {};
        const QRect local = control_->segmentRect(index_).toAlignedRect();
        return QRect(control_->mapToGlobal(local.topLeft()), local.size());
    }

    QAccessible::Role role() const override { return QAccessible::RadioButton; }

    QAccessible::State state() const override {
        QAccessible::State s;
        if (!isValid()) {
            s.invalid = true;
            return s;
        }
        s.checkable = true;
        s.focusable = true;
        const bool selected = control_->selectedIndex() == index_;
        s.checked = selected;
        s.focused = selected && control_->hasFocus();
        s.disabled = !control_->isEnabled();
        s.invisible = !control_->isVisible();
        return s;
    }

    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
    }

    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& name) override {
        if (name == pressAction() && isValid() && control_->isEnabled()) control_->choose(index_);
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QPointer<StudioSegmentedControl> control_;
    int index_;
};

namespace {

class SegmentedControlAccessible final : public QAccessibleWidget {
public:
    explicit SegmentedControlAccessible(StudioSegmentedControl* control)
        : QAccessibleWidget(control, QAccessible::Grouping) {}

    ~SegmentedControlAccessible() override {
        for (const auto& [index, id] : children_) QAccessible::deleteAccessibleInterface(id);
    }

    StudioSegmentedControl* control() const { return static_cast<StudioSegmentedControl*>(widget()); }

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name) {
            const QString name = control()->accessibleName();
            return name.isEmpty() ? control()->title() : name;
        }
        return QAccessibleWidget::text(t);
    }

    int childCount() const override { return static_cast<int>(control()->items().size()); }

    QAccessibleInterface* child(int index) const override {
        if (index < 0 || index >= childCount()) return nullptr;
        auto found = children_.find(index);
        if (found != children_.end()) return QAccessible::accessibleInterface(found->second);
        auto* segment = new SegmentAccessible(control(), index);
        children_.emplace(index, QAccessible::registerAccessibleInterface(segment));
        return segment;
    }

    int indexOfChild(const QAccessibleInterface* child) const override {
        for (const auto& [index, id] : children_)
            if (QAccessible::accessibleInterface(id) == child) return index < childCount() ? index : -1;
        return -1;
    }

    QAccessibleInterface* childAt(int x, int y) const override {
        const int index = control()->segmentAt(control()->mapFromGlobal(QPoint(x, y)));
        return index >= 0 ? child(index) : nullptr;
    }

private:
    mutable std::map<int, QAccessible::Id> children_;
};

QAccessibleInterface* accessibleFactory(const QString&, QObject* object) {
    if (auto* control = qobject_cast<StudioSegmentedControl*>(object)) return new SegmentedControlAccessible(control);
    return nullptr;
}

}  // namespace

// ---- The control --------------------------------------------------------------------

StudioSegmentedControl::StudioSegmentedControl(QWidget* parent) : QWidget(parent) {
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(accessibleFactory);
        return true;
    }();
    Q_UNUSED(factoryInstalled);

    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);

    const auto motion = StudioStyle::Motion::state();
    fillAnimation_ = new QVariantAnimation(this);
    fillAnimation_->setObjectName(QStringLiteral("selectionAnimation"));
    fillAnimation_->setDuration(motion.durationMilliseconds);
    fillAnimation_->setEasingCurve(motion.curve);
    connect(fillAnimation_, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        fillPosition_ = value.toReal();
        update();
    });

    connect(&StudioStyle::appearance(), &StudioAppearance::appearanceChanged, this, [this] { update(); });
}

StudioSegmentedControl::StudioSegmentedControl(const QString& title, QList<Item> items, QWidget* parent)
    : StudioSegmentedControl(parent) {
    setTitle(title);
    setItems(std::move(items));
}

StudioSegmentedControl::~StudioSegmentedControl() = default;

void StudioSegmentedControl::setTitle(const QString& title) {
    title_ = title;
    setAccessibleName(title);
}

void StudioSegmentedControl::setItems(QList<Item> items) {
    items_ = std::move(items);
    fillAnimation_->stop();
    fillPosition_ = std::max(selectedIndex(), 0);
    pressedIndex_ = -1;
    updateGeometry();
    update();
}

int StudioSegmentedControl::indexOf(const QVariant& value) const {
    for (qsizetype i = 0; i < items_.size(); ++i)
        if (items_.at(i).value == value) return static_cast<int>(i);
    return -1;
}

void StudioSegmentedControl::setSelection(const QVariant& value) {
    if (value == selection_) return;
    const int oldIndex = selectedIndex();
    selection_ = value;
    const int newIndex = selectedIndex();
    moveFill(oldIndex, newIndex);
    update();
    notifyAccessibility(oldIndex, newIndex);
    emit selectionChanged(selection_);
}

void StudioSegmentedControl::choose(int index) {
    if (index < 0 || index >= items_.size()) return;
    setSelection(items_.at(index).value);
}

void StudioSegmentedControl::moveFill(int fromIndex, int toIndex) {
    if (toIndex < 0) {
        fillAnimation_->stop();
        return;
    }
    // The fill slides only between two segments the user can see; appearing from no
    // selection, or while hidden, it is simply there.
    const bool animate = fromIndex >= 0 && isVisible();
    const qreal start = fillAnimation_->state() == QAbstractAnimation::Running ? fillPosition_ : fromIndex;
    fillAnimation_->stop();
    if (!animate) {
        fillPosition_ = toIndex;
        return;
    }
    fillAnimation_->setStartValue(start);
    fillAnimation_->setEndValue(static_cast<qreal>(toIndex));
    fillAnimation_->start();
}

void StudioSegmentedControl::notifyAccessibility(int oldIndex, int newIndex) {
    if (!QAccessible::isActive()) return;
    QAccessibleInterface* group = QAccessible::queryAccessibleInterface(this);
    if (!group) return;
    QAccessible::State checked;
    checked.checked = true;
    for (int index : {oldIndex, newIndex}) {
        if (QAccessibleInterface* segment = index >= 0 ? group->child(index) : nullptr) {
            QAccessibleStateChangeEvent event(segment, checked);
            QAccessible::updateAccessibility(&event);
        }
    }
    if (hasFocus() && newIndex >= 0) {
        if (QAccessibleInterface* segment = group->child(newIndex)) {
            QAccessibleEvent focus(segment, QAccessible::Focus);
            QAccessible::updateAccessibility(&focus);
        }
    }
}

void StudioSegmentedControl::setDarkValue(const QVariant& value) {
    darkValue_ = value;
    update();
}

void StudioSegmentedControl::setSelectedFill(StudioStyle::ColorToken token) {
    selectedFill_ = token;
    update();
}

void StudioSegmentedControl::setSelectedFill(const QColor& color) {
    selectedFill_ = [color] { return color; };
    update();
}

void StudioSegmentedControl::setSelectedText(StudioStyle::ColorToken token) {
    selectedText_ = token;
    update();
}

void StudioSegmentedControl::setSelectedText(const QColor& color) {
    selectedText_ = [color] { return color; };
    update();
}

QRectF StudioSegmentedControl::trackRect() const {
    return QRectF(0, (height() - kTrackHeight) / 2.0, width(), kTrackHeight);
}

QRectF StudioSegmentedControl::segmentRect(int index) const {
    const auto count = static_cast<int>(items_.size());
    if (index < 0 || index >= count) return {};
    const QRectF inner = trackRect().adjusted(kInset, kInset, -kInset, -kInset);
    const qreal width = (inner.width() - kSpacing * (count - 1)) / count;
    return QRectF(inner.left() + index * (width + kSpacing), inner.top(), width, kSegmentHeight);
}

int StudioSegmentedControl::segmentAt(QPointF position) const {
    for (int i = 0; i < items_.size(); ++i)
        if (segmentRect(i).contains(position)) return i;
    return -1;
}

QFont StudioSegmentedControl::segmentFont(bool selected) const {
    QFont f = font();
    f.setPixelSize(kFontPixelSize);
    f.setWeight(selected ? QFont::DemiBold : QFont::Normal);
    return f;
}

int StudioSegmentedControl::segmentWidthHint(int padding) const {
    const QFontMetrics metrics(segmentFont(true));   // the wider of the two weights
    int widest = 0;
    for (const Item& item : items_) widest = std::max(widest, metrics.horizontalAdvance(item.text));
    return widest + 2 * padding;
}

QSize StudioSegmentedControl::sizeHint() const {
    const auto count = static_cast<int>(items_.size());
    const int segments = count * segmentWidthHint(kLabelPadding) + kSpacing * std::max(count - 1, 0);
    return QSize(2 * kInset + segments, kTrackHeight);
}

QSize StudioSegmentedControl::minimumSizeHint() const {
    const auto count = static_cast<int>(items_.size());
    const int segments = count * segmentWidthHint(kMinimumLabelPadding) + kSpacing * std::max(count - 1, 0);
    return QSize(2 * kInset + segments, kTrackHeight);
}

void StudioSegmentedControl::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (!isEnabled()) painter.setOpacity(0.5);

    const QRectF track = trackRect();
    painter.setPen(Qt::NoPen);
    painter.setBrush(StudioStyle::surfaceSecondary());
    painter.drawRoundedRect(track, kTrackRadius, kTrackRadius);

    const int selected = selectedIndex();
    const bool dark = darkValue_.isValid() && selection_ == darkValue_;
    const QColor fill = dark ? StudioStyle::pitchShade() : selectedFill_();
    const QColor selectedInk = dark ? StudioStyle::onPitch() : selectedText_();
    const QColor ink = StudioStyle::textSecondary();

    if (selected >= 0) {
        // The fill between two segments while it slides: the rect at the fractional position.
        const int base = std::clamp(static_cast<int>(std::floor(fillPosition_)), 0, static_cast<int>(items_.size()) - 1);
        QRectF pill = segmentRect(base);
        pill.moveLeft(pill.left() + (fillPosition_ - base) * (pill.width() + kSpacing));
        painter.setBrush(fill);
        painter.drawRoundedRect(pill, kSegmentRadius, kSegmentRadius);
    }

    for (int i = 0; i < items_.size(); ++i) {
        const QRectF segment = segmentRect(i);
        // A label takes the selected colour as the fill arrives under it.
        const qreal nearness = selected >= 0 ? std::max<qreal>(0, 1 - std::abs(fillPosition_ - i)) : 0;
        painter.setPen(mix(ink, selectedInk, nearness));
        painter.setFont(segmentFont(i == selected));
        const QString text = QFontMetrics(painter.font()).elidedText(items_.at(i).text, Qt::ElideRight,
                                                                   static_cast<int>(segment.width()) - 4);
        painter.drawText(segment, Qt::AlignCenter, text);
    }

    if (hasFocus() && keyboardFocus_) {
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(StudioStyle::brand(), 1.5));
        painter.drawRoundedRect(track.adjusted(0.75, 0.75, -0.75, -0.75), kTrackRadius - 0.75, kTrackRadius - 0.75);
    }
}

void StudioSegmentedControl::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    pressedIndex_ = segmentAt(event->position());
    keyboardFocus_ = false;
    event->accept();
}

void StudioSegmentedControl::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    // Like a button: the segment pressed must also be the one released on.
    const int index = segmentAt(event->position());
    if (index >= 0 && index == pressedIndex_) choose(index);
    pressedIndex_ = -1;
    event->accept();
}

void StudioSegmentedControl::keyPressEvent(QKeyEvent* event) {
    const int count = static_cast<int>(items_.size());
    const int current = selectedIndex();
    int target = -1;
    switch (event->key()) {
    case Qt::Key_Left:
        target = current < 0 ? count - 1 : std::max(current - 1, 0);
        break;
    case Qt::Key_Right:
        target = current < 0 ? 0 : std::min(current + 1, count - 1);
        break;
    case Qt::Key_Home:
        target = 0;
        break;
    case Qt::Key_End:
        target = count - 1;
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    choose(target);
    event->accept();
}

void StudioSegmentedControl::focusInEvent(QFocusEvent* event) {
    const auto reason = event->reason();
    keyboardFocus_ = reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason || reason == Qt::ShortcutFocusReason;
    QWidget::focusInEvent(event);
    update();
}

void StudioSegmentedControl::focusOutEvent(QFocusEvent* event) {
    keyboardFocus_ = false;
    QWidget::focusOutEvent(event);
    update();
}

}  // namespace vantrel

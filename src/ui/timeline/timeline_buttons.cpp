// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/timeline/timeline_buttons.h"

#include <QEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QVariantAnimation>

#include "ui/style/studio_style.h"

namespace vantrel {

namespace {

QColor mix(QColor a, QColor b, qreal t) {
    return QColor::fromRgbF(a.redF() + (b.redF() - a.redF()) * t, a.greenF() + (b.greenF() - a.greenF()) * t,
                            a.blueF() + (b.blueF() - a.blueF()) * t, a.alphaF() + (b.alphaF() - a.alphaF()) * t);
}

}  // namespace

// --- StudioHoverButton ------------------------------------------------------------------

StudioHoverButton::StudioHoverButton(QWidget* parent) : QAbstractButton(parent) {
    setFocusPolicy(Qt::TabFocus);
    setCursor(Qt::PointingHandCursor);
    hoverAnimation_ = new QVariantAnimation(this);
    hoverAnimation_->setDuration(StudioStyle::Motion::hover().durationMilliseconds);
    hoverAnimation_->setEasingCurve(StudioStyle::Motion::hover().curve);
    connect(hoverAnimation_, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        hoverProgress_ = value.toReal();
        update();
    });
    connect(&StudioStyle::appearance(), &StudioAppearance::appearanceChanged, this, [this] { update(); });
}

void StudioHoverButton::setReduceMotion(bool on) {
    reduceMotion_ = on;
    if (on && hoverAnimation_->state() == QAbstractAnimation::Running) {
        hoverAnimation_->stop();
        hoverProgress_ = hovered_ ? 1 : 0;
        update();
    }
}

bool StudioHoverButton::event(QEvent* event) {
    const bool handled = QAbstractButton::event(event);
    switch (event->type()) {
    case QEvent::Enter:
        syncHover(true);
        break;
    case QEvent::Leave:
        syncHover(false);
        break;
    case QEvent::Hide:
    case QEvent::EnabledChange:
        syncHover(underMouse());
        break;
    case QEvent::FocusIn:
    case QEvent::FocusOut:
        update();
        break;
    default:
        break;
    }
    return handled;
}

void StudioHoverButton::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && !(event->modifiers() & ~Qt::KeypadModifier)) {
        click();
        return;
    }
    QAbstractButton::keyPressEvent(event);
}

void StudioHoverButton::paintFocusRing(QPainter& painter, const QRectF& area, qreal radius, bool onBrandFill) const {
    if (!hasFocus()) return;
    painter.save();
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(onBrandFill ? StudioStyle::onBrand() : StudioStyle::brand(), 2));
    const QRectF ring = area.adjusted(1, 1, -1, -1);
    if (radius < 0) painter.drawEllipse(ring);
    else painter.drawRoundedRect(ring, radius, radius);
    painter.restore();
}

void StudioHoverButton::syncHover(bool pointerInside) {
    const bool hovered = pointerInside && isEnabled() && isVisible();
    if (hovered == hovered_) return;
    hovered_ = hovered;
    const qreal target = hovered ? 1 : 0;
    hoverAnimation_->stop();
    if (reduceMotion_ || !isVisible()) {
        hoverProgress_ = target;
        update();
    } else {
        hoverAnimation_->setStartValue(hoverProgress_);
        hoverAnimation_->setEndValue(target);
        hoverAnimation_->start();
    }
    emit hoveredChanged(hovered);
}

// --- TimelineNodeStyle ------------------------------------------------------------------

TimelineNodeStyle::TimelineNodeStyle(int index, QWidget* parent) : StudioHoverButton(parent), index_(index) {
    setText(QString::number(index + 1));
    setFixedSize(sizeHint());
}

void TimelineNodeStyle::setCurrent(bool on) {
    if (current_ == on) return;
    current_ = on;
    update();
}

void TimelineNodeStyle::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF circle = QRectF(rect()).adjusted(2.5, 2.5, -2.5, -2.5);
    QColor fill, outline, label;
    if (current_) {
        fill = isEnabled() ? StudioStyle::brandFill() : StudioStyle::textTertiary();
        outline = fill;
        label = StudioStyle::onBrand();
    } else {
        fill = mix(StudioStyle::surface(), StudioStyle::brandSoft(), hoverProgress());
        outline = mix(StudioStyle::border(), StudioStyle::brand(), hoverProgress());
        label = isEnabled() ? mix(StudioStyle::textSecondary(), StudioStyle::brand(), hoverProgress())
                            : StudioStyle::textTertiary();
    }
    painter.setPen(QPen(outline, 1.5));
    painter.setBrush(fill);
    painter.drawEllipse(circle);
    QFont font = painter.font();
    font.setPixelSize(11);
    font.setWeight(current_ ? QFont::DemiBold : QFont::Medium);
    painter.setFont(font);
    painter.setPen(label);
    painter.drawText(circle, Qt::AlignCenter, text());
    paintFocusRing(painter, QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), -1, current_);
}

// --- TimelineControlStyle ---------------------------------------------------------------

TimelineControlStyle::TimelineControlStyle(bool prominent, QWidget* parent)
    : StudioHoverButton(parent), prominent_(prominent) {
    setFixedSize(sizeHint());
    setIconSize(QSize(20, 20));
}

void TimelineControlStyle::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF area = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    painter.setPen(Qt::NoPen);
    if (prominent_) {
        painter.setBrush(isEnabled() ? mix(StudioStyle::brandFill(), StudioStyle::brandFillHover(), hoverProgress())
                                     : StudioStyle::surfaceSecondary());
        painter.drawRoundedRect(area, 9, 9);
    } else if (hoverProgress() > 0) {
        painter.setBrush(StudioStyle::withOpacity(StudioStyle::selection(), hoverProgress()));
        painter.drawRoundedRect(area, 8, 8);
    }
    const QSize size = iconSize();
    const QRect iconRect(QPoint(width() / 2 - size.width() / 2, height() / 2 - size.height() / 2), size);
    icon().paint(&painter, iconRect, Qt::AlignCenter, isEnabled() ? QIcon::Normal : QIcon::Disabled);
    paintFocusRing(painter, area.adjusted(1.5, 1.5, -1.5, -1.5), 7, prominent_);
}

// --- ConfirmationButtonStyle ------------------------------------------------------------

ConfirmationButtonStyle::ConfirmationButtonStyle(const QString& text, bool prominent, bool destructive, QWidget* parent)
    : StudioHoverButton(parent), prominent_(prominent), destructive_(destructive) {
    setText(text);
    QFont f = font();
    f.setPixelSize(13);
    f.setWeight(prominent ? QFont::DemiBold : QFont::Medium);
    setFont(f);
}

QSize ConfirmationButtonStyle::sizeHint() const {
    return {std::max(76, fontMetrics().horizontalAdvance(text()) + 32), 32};
}

void ConfirmationButtonStyle::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF area = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QColor fill, label;
    if (prominent_) {
        fill = mix(StudioStyle::brandFill(), StudioStyle::brandFillHover(), hoverProgress());
        label = StudioStyle::onBrand();
    } else {
        fill = mix(StudioStyle::surfaceSecondary(), StudioStyle::selection(), hoverProgress());
        label = destructive_ ? StudioStyle::destructive() : StudioStyle::textPrimary();
    }
    if (isDown()) fill = fill.darker(108);
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    painter.drawRoundedRect(area, 8, 8);
    painter.setPen(label);
    painter.setFont(font());
    painter.drawText(rect(), Qt::AlignCenter, text());
    paintFocusRing(painter, area.adjusted(1.5, 1.5, -1.5, -1.5), 7, prominent_);
}

}  // namespace vantrel

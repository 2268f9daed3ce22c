// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/style/quiet_hover_style.h"

#include <QEvent>
#include <QPainter>
#include <QStyleOptionToolButton>
#include <QVariantAnimation>

namespace vantrel {

QuietHoverStyle::QuietHoverStyle(QWidget* parent) : QuietHoverStyle(8, parent) {}

QuietHoverStyle::QuietHoverStyle(qreal cornerRadius, QWidget* parent) : QToolButton(parent), cornerRadius_(cornerRadius) {
    setAutoRaise(true);
    setFocusPolicy(Qt::TabFocus);

    hoverAnimation_ = new QVariantAnimation(this);
    hoverAnimation_->setObjectName(QStringLiteral("hoverAnimation"));
    hoverAnimation_->setDuration(StudioStyle::Motion::hover().durationMilliseconds);
    hoverAnimation_->setEasingCurve(StudioStyle::Motion::hover().curve);
    connect(hoverAnimation_, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        hoverProgress_ = value.toReal();
        update();
    });

    pressAnimation_ = new QVariantAnimation(this);
    pressAnimation_->setObjectName(QStringLiteral("pressAnimation"));
    pressAnimation_->setDuration(kPressMilliseconds);
    pressAnimation_->setEasingCurve(StudioStyle::Motion::easeOut());
    connect(pressAnimation_, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        opacity_ = value.toReal();
        update();
    });

    connect(&StudioStyle::appearance(), &StudioAppearance::appearanceChanged, this, [this] { update(); });
}

QuietHoverStyle::~QuietHoverStyle() = default;

void QuietHoverStyle::setCornerRadius(qreal radius) {
    cornerRadius_ = radius;
    update();
}

void QuietHoverStyle::setLabelColor(StudioStyle::ColorToken token) {
    labelColor_ = token;
    update();
}

bool QuietHoverStyle::event(QEvent* event) {
    const bool handled = QToolButton::event(event);
    // Hover and press are read back from the button after every event rather than
    // tracked per event: the button goes up when dragged off, down again when dragged
    // back, and up when disabled or hidden mid-press, and all of these arrive here.
    switch (event->type()) {
    case QEvent::Enter:
    case QEvent::Leave:
    case QEvent::Hide:
    case QEvent::EnabledChange:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseMove:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::FocusOut:
    case QEvent::Timer:   // animateClick
    case QEvent::Paint:   // setDown() from code repaints
        syncStates();
        break;
    default:
        break;
    }
    return handled;
}

void QuietHoverStyle::syncStates() {
    const bool hovered = isEnabled() && isVisible() && underMouse();
    if (hovered != hovered_) {
        hovered_ = hovered;
        animateTo(hoverAnimation_, hoverProgress_, hovered ? 1.0 : 0.0);
    }
    const bool pressed = isDown();
    if (pressed != pressed_) {
        pressed_ = pressed;
        animateTo(pressAnimation_, opacity_, pressed ? kPressedOpacity : 1.0);
    }
}

void QuietHoverStyle::animateTo(QVariantAnimation* animation, qreal current, qreal target) {
    animation->stop();
    if (!isVisible()) {
        // Nothing to watch: land at once, so a button shown later is drawn at rest.
        (animation == hoverAnimation_ ? hoverProgress_ : opacity_) = target;
        return;
    }
    animation->setStartValue(current);
    animation->setEndValue(target);
    animation->start();
}

void QuietHoverStyle::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setOpacity(opacity_);

    const QRectF area = rect();
    painter.setPen(Qt::NoPen);
    if (isChecked()) {
        painter.setBrush(StudioStyle::brandSoft());
        painter.drawRoundedRect(area, cornerRadius_, cornerRadius_);
    }
    if (hoverProgress_ > 0) {
        painter.setBrush(StudioStyle::withOpacity(StudioStyle::brand(), kHoverFillOpacity * hoverProgress_));
        painter.drawRoundedRect(area, cornerRadius_, cornerRadius_);
    }

    QStyleOptionToolButton option;
    initStyleOption(&option);
    // The style shifts a sunken or checked label by a pixel; this style dims instead.
    option.state &= ~(QStyle::State_Sunken | QStyle::State_On);
    const QColor label = isChecked() ? StudioStyle::brand() : labelColor_();
    option.palette.setColor(QPalette::Active, QPalette::ButtonText, label);
    option.palette.setColor(QPalette::Inactive, QPalette::ButtonText, label);
    option.palette.setColor(QPalette::Disabled, QPalette::ButtonText, StudioStyle::textTertiary());
    if (leadingAligned_ && toolButtonStyle() == Qt::ToolButtonTextOnly) {
        painter.setPen(isEnabled() ? label : StudioStyle::textTertiary());
        painter.setFont(font());
        painter.drawText(area.adjusted(10, 0, -6, 0), Qt::AlignLeft | Qt::AlignVCenter,
                         fontMetrics().elidedText(text(), Qt::ElideRight, int(area.width()) - 16));
    } else {
        style()->drawControl(QStyle::CE_ToolButtonLabel, &option, &painter, this);
    }

    if ((option.state & QStyle::State_HasFocus) && (option.state & QStyle::State_KeyboardFocusChange)) {
        painter.setOpacity(1.0);
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(StudioStyle::brand(), 1.5));
        painter.drawRoundedRect(area.adjusted(0.75, 0.75, -0.75, -0.75), cornerRadius_, cornerRadius_);
    }
}

}  // namespace vantrel

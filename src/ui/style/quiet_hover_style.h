// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QToolButton>

#include <functional>

#include "ui/style/studio_style.h"

class QVariantAnimation;

namespace vantrel {

// A tool button in the quiet hover style, for list rows and icon buttons: no bevel and
// no frame, only the label (icon and/or text, per toolButtonStyle) on a rounded rect of
// `cornerRadius` that fills with brand at opacity 0.035 while the pointer is over it.
// While pressed the whole button is drawn at opacity 0.68. Both changes are animated
// ease-out: the press over 120 ms, the hover with Motion::hover.
//
// A button of its own rather than a QProxyStyle: the two animations are per-button
// state, which a shared style would have to keep in a table keyed by widget, and a
// proxy style would also have to undo its base style's own hover and press bevels.
class QuietHoverStyle : public QToolButton {
    Q_OBJECT
public:
    static constexpr qreal kHoverFillOpacity = 0.035;
    static constexpr qreal kPressedOpacity = 0.68;
    static constexpr int kPressMilliseconds = 120;

    explicit QuietHoverStyle(QWidget* parent = nullptr);
    explicit QuietHoverStyle(qreal cornerRadius, QWidget* parent = nullptr);
    ~QuietHoverStyle() override;

    qreal cornerRadius() const { return cornerRadius_; }
    void setCornerRadius(qreal radius);

    // The pointer is over the (enabled) button.
    bool isHovered() const { return hovered_; }
    // Where the animations stand: 0 … 1 of the hover fill, and the opacity the button
    // is drawn at (1 at rest, 0.68 pressed).
    qreal hoverProgress() const { return hoverProgress_; }
    qreal drawnOpacity() const { return opacity_; }

    // The label's colour; textPrimary unless set. A checked button shows brandSoft
    // behind a brand label.
    void setLabelColor(StudioStyle::ColorToken token);
    // List rows read from the left: a text-only label starts 10 px in instead of centred.
    void setLeadingAligned(bool on) { leadingAligned_ = on; update(); }

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void syncStates();
    void animateTo(QVariantAnimation* animation, qreal current, qreal target);

    qreal cornerRadius_ = 8;
    bool leadingAligned_ = false;
    std::function<QColor()> labelColor_ = StudioStyle::textPrimary;
    bool hovered_ = false;
    bool pressed_ = false;
    qreal hoverProgress_ = 0;
    qreal opacity_ = 1;
    QVariantAnimation* hoverAnimation_ = nullptr;
    QVariantAnimation* pressAnimation_ = nullptr;
};

}  // namespace vantrel

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractButton>

class QVariantAnimation;

namespace vantrel {

// A custom-painted button whose hover state fades in and out with Motion::hover, or
// switches at once while reduce motion is on. Subclasses paint with hoverProgress().
// Tab reaches it (a click does not take the focus from the board); Space or Return
// presses it, and subclasses draw paintFocusRing while it has the focus.
class StudioHoverButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit StudioHoverButton(QWidget* parent = nullptr);

    bool reduceMotion() const { return reduceMotion_; }
    void setReduceMotion(bool on);
    // The pointer is over the enabled button; 0 … 1 of the drawn hover state.
    bool isHovered() const { return hovered_; }
    qreal hoverProgress() const { return hoverProgress_; }

signals:
    void hoveredChanged(bool hovered);

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // A ring just inside `area` (rounded by `radius`, or round when negative), drawn only
    // while the button has the keyboard focus: brand, or the text colour on a brand fill.
    void paintFocusRing(QPainter& painter, const QRectF& area, qreal radius, bool onBrandFill = false) const;

private:
    void syncHover(bool pointerInside);

    bool reduceMotion_ = false;
    bool hovered_ = false;
    qreal hoverProgress_ = 0;
    QVariantAnimation* hoverAnimation_ = nullptr;
};

// A step node of the timeline: a round marker with the step number. The current step's
// node is filled with brand; the others are outlined and take a brandSoft fill on hover.
class TimelineNodeStyle : public StudioHoverButton {
    Q_OBJECT
public:
    static constexpr int kDiameter = 26;

    TimelineNodeStyle(int index, QWidget* parent = nullptr);
    int index() const { return index_; }
    bool isCurrent() const { return current_; }
    void setCurrent(bool on);

    QSize sizeHint() const override { return {kDiameter + 4, kDiameter + 4}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int index_;
    bool current_ = false;
};

// A transport button of the timeline: one icon on a rounded square. The prominent one
// (play) is filled with brandFill; the others are quiet until hovered.
class TimelineControlStyle : public StudioHoverButton {
    Q_OBJECT
public:
    TimelineControlStyle(bool prominent, QWidget* parent = nullptr);
    bool prominent() const { return prominent_; }

    QSize sizeHint() const override { return prominent_ ? QSize(40, 32) : QSize(32, 32); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool prominent_;
};

// A button of the confirmation dialog: text on a rounded rectangle. Prominent is the
// filled default button, destructive draws its label in the destructive colour; a plain
// one sits on surfaceSecondary.
class ConfirmationButtonStyle : public StudioHoverButton {
    Q_OBJECT
public:
    ConfirmationButtonStyle(const QString& text, bool prominent, bool destructive, QWidget* parent = nullptr);
    bool prominent() const { return prominent_; }
    bool destructive() const { return destructive_; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool prominent_;
    bool destructive_;
};

}  // namespace vantrel

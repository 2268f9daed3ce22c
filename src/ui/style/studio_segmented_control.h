// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <QVariant>
#include <QWidget>

#include <functional>

#include "ui/style/studio_style.h"

class QVariantAnimation;

namespace vantrel {

// The segmented picker of the workspace: a row of 28 px segments with 2 px between
// them, inset 3 px in a surfaceSecondary track with a 9 px corner radius. The selected
// segment carries a rounded fill and a semibold label; moving the selection slides the
// fill across with Motion::state.
//
// Items are (text, value) pairs; values compare with QVariant equality, so they must
// be of one type. Clicking a segment, Left/Right/Home/End, or an assistive technology's
// press action selects; selecting the segment that is already selected changes nothing.
//
// Accessibility: the control is a grouping named by its title; each segment is a radio
// button named "title item", checked when selected, with a press action.
class StudioSegmentedControl : public QWidget {
    Q_OBJECT
public:
    struct Item {
        QString text;
        QVariant value;
    };

    static constexpr int kSegmentHeight = 28;
    static constexpr int kInset = 3;
    static constexpr int kSpacing = 2;
    static constexpr qreal kTrackRadius = 9;
    static constexpr qreal kSegmentRadius = kTrackRadius - kInset;   // concentric with the track
    static constexpr int kFontPixelSize = 12;

    explicit StudioSegmentedControl(QWidget* parent = nullptr);
    StudioSegmentedControl(const QString& title, QList<Item> items, QWidget* parent = nullptr);
    ~StudioSegmentedControl() override;

    // Names the control for assistive technologies; not painted.
    QString title() const { return title_; }
    void setTitle(const QString& title);

    QList<Item> items() const { return items_; }
    // Keeps the selected value; the fill jumps to wherever that value now is.
    void setItems(QList<Item> items);

    QVariant selection() const { return selection_; }
    // Emits selectionChanged when `value` differs from the selection. A value that
    // matches no item is kept but shows no selected segment.
    void setSelection(const QVariant& value);
    int selectedIndex() const { return indexOf(selection_); }

    // While this value is selected the selected segment is drawn dark (pitchShade with
    // onPitch text) in either appearance, previewing a dark mode such as the 3D view.
    // An invalid QVariant (the default) means none.
    QVariant darkValue() const { return darkValue_; }
    void setDarkValue(const QVariant& value);

    // The selected segment's fill and label colours; viewSelectionFill and
    // viewSelectionText unless set. A token stays adaptive; a QColor is fixed.
    void setSelectedFill(StudioStyle::ColorToken token);
    void setSelectedFill(const QColor& color);
    void setSelectedText(StudioStyle::ColorToken token);
    void setSelectedText(const QColor& color);
    QColor selectedFill() const { return selectedFill_(); }
    QColor selectedText() const { return selectedText_(); }

    // Geometry in widget coordinates, for hit tests and assistive technologies.
    QRectF trackRect() const;
    QRectF segmentRect(int index) const;
    int segmentAt(QPointF position) const;   // -1 outside every segment

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    // The selection changed, by the user or by setSelection.
    void selectionChanged(const QVariant& value);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    friend class SegmentAccessible;

    int indexOf(const QVariant& value) const;
    void choose(int index);   // the user's selection of segment `index`
    void moveFill(int fromIndex, int toIndex);
    void notifyAccessibility(int oldIndex, int newIndex);
    QFont segmentFont(bool selected) const;
    int segmentWidthHint(int padding) const;

    QString title_;
    QList<Item> items_;
    QVariant selection_;
    QVariant darkValue_;
    std::function<QColor()> selectedFill_ = StudioStyle::viewSelectionFill;
    std::function<QColor()> selectedText_ = StudioStyle::viewSelectionText;

    qreal fillPosition_ = 0;   // in segments: the fill's left edge sits on segment floor(p) + fraction
    QVariantAnimation* fillAnimation_ = nullptr;
    int pressedIndex_ = -1;
    bool keyboardFocus_ = false;   // focus arrived by keyboard: show the focus ring
};

}  // namespace vantrel

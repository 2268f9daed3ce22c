// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/style/studio_widgets.h"

#include <QAccessible>
#include <QPainter>
#include <QPainterPath>
#include <QStyleOptionToolButton>

namespace vantrel::StudioWidgets {

namespace {

// A text button painted from tokens: brand fill for the default action, a quiet
// outline otherwise, destructive text for the one that throws work away.
class StudioActionButton final : public QToolButton {
public:
    StudioActionButton(bool prominent, bool destructive, QWidget* parent)
        : QToolButton(parent), prominent_(prominent), destructive_(destructive) {
        setCursor(Qt::PointingHandCursor);
        setToolButtonStyle(Qt::ToolButtonTextOnly);
        setMinimumHeight(30);
        setFocusPolicy(Qt::StrongFocus);
        QFont f = font();
        f.setPixelSize(13);
        f.setWeight(prominent ? QFont::DemiBold : QFont::Normal);
        setFont(f);
    }

    QSize sizeHint() const override {
        const QSize text = fontMetrics().size(Qt::TextSingleLine, this->text());
        return {text.width() + 28, 30};
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
        const bool hover = underMouse() && isEnabled();
        QColor fill = prominent_ ? (hover ? StudioStyle::brandFillHover() : StudioStyle::brandFill())
                                 : (hover ? StudioStyle::selection() : StudioStyle::surface());
        if (isDown()) fill = fill.darker(108);
        p.setPen(prominent_ ? Qt::NoPen : QPen(StudioStyle::border(), 1));
        p.setBrush(fill);
        p.drawRoundedRect(r, 8, 8);
        if (hasFocus()) {
            p.setPen(QPen(StudioStyle::withOpacity(StudioStyle::brand(), 0.55), 2));
            p.setBrush(Qt::NoBrush);
            p.drawRoundedRect(r.adjusted(1, 1, -1, -1), 7, 7);
        }
        QColor ink = prominent_ ? StudioStyle::onBrand()
                                : (destructive_ ? StudioStyle::destructive() : StudioStyle::textPrimary());
        if (!isEnabled()) ink = StudioStyle::textTertiary();
        p.setPen(ink);
        p.drawText(rect(), Qt::AlignCenter, text());
    }
    void enterEvent(QEnterEvent* e) override { update(); QToolButton::enterEvent(e); }
    void leaveEvent(QEvent* e) override { update(); QToolButton::leaveEvent(e); }

private:
    bool prominent_;
    bool destructive_;
};

}  // namespace

void keepColor(QWidget* widget, StudioStyle::ColorToken token, QPalette::ColorRole role) {
    auto apply = [widget, token, role] {
        QPalette palette = widget->palette();
        palette.setColor(role, token());
        widget->setPalette(palette);
    };
    apply();
    QObject::connect(&StudioStyle::appearance(), &StudioAppearance::appearanceChanged, widget, apply);
}

QLabel* label(const QString& text, int pixelSize, StudioStyle::ColorToken token, bool strong, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    QFont f = l->font();
    f.setPixelSize(pixelSize);
    if (strong) f.setWeight(QFont::DemiBold);
    l->setFont(f);
    keepColor(l, token);
    return l;
}

QLabel* hint(const QString& text, QWidget* parent) {
    QLabel* l = label(text, 12, StudioStyle::textSecondary, false, parent);
    l->setWordWrap(true);
    return l;
}

QLabel* sectionTitle(const QString& text, QWidget* parent) {
    return label(text, 12, StudioStyle::textSecondary, true, parent);
}

void describe(QWidget* widget, const QString& name, const QString& help) {
    widget->setAccessibleName(name);
    if (!help.isEmpty()) {
        widget->setToolTip(help);
        widget->setAccessibleDescription(help);
    }
}

QuietHoverStyle* button(const QString& name, const QString& help, StudioIcons::Glyph glyph, bool showText,
                        QWidget* parent) {
    auto* b = new QuietHoverStyle(8, parent);
    b->setIcon(StudioIcons::icon(glyph));
    b->setIconSize(QSize(18, 18));
    b->setText(name);
    b->setToolButtonStyle(showText ? Qt::ToolButtonTextBesideIcon : Qt::ToolButtonIconOnly);
    b->setCursor(Qt::PointingHandCursor);
    b->setFocusPolicy(Qt::StrongFocus);
    QFont f = b->font();
    f.setPixelSize(13);
    b->setFont(f);
    describe(b, name, help);
    return b;
}

QToolButton* actionButton(const QString& name, bool prominent, bool destructive, QWidget* parent) {
    auto* b = new StudioActionButton(prominent, destructive, parent);
    b->setText(name);
    b->setAccessibleName(name);
    return b;
}

void announceText(QLabel* label, const QString& text) {
    if (label->text() == text) return;
    label->setText(text);
    label->setAccessibleName(text);
    QAccessibleEvent event(label, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&event);
}

}  // namespace vantrel::StudioWidgets

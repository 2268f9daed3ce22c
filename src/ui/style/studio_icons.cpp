// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/style/studio_icons.h"

#include <QFontDatabase>
#include <QIconEngine>
#include <QPainter>
#include <QPixmap>

namespace vantrel::StudioIcons {

namespace {

constexpr auto kFontPath = "/usr/share/fonts/truetype/material-design-icons-iconfont/MaterialIcons-Regular.ttf";

const QString& fontFamily() {
    static const QString family = [] {
        const int id = QFontDatabase::addApplicationFont(QString::fromLatin1(kFontPath));
        const QStringList families = id < 0 ? QStringList() : QFontDatabase::applicationFontFamilies(id);
        return families.isEmpty() ? QString() : families.first();
    }();
    return family;
}

// Paints the glyph at whatever size is asked, so icons stay sharp at any scale.
class GlyphEngine final : public QIconEngine {
public:
    GlyphEngine(Glyph glyph, StudioStyle::ColorToken token) : glyph_(glyph), token_(token) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
        QFont font(fontFamily());
        font.setPixelSize(qMax(1, qMin(rect.width(), rect.height())));
        font.setHintingPreference(QFont::PreferNoHinting);
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setRenderHint(QPainter::TextAntialiasing);
        painter->setFont(font);
        QColor color = mode == QIcon::Disabled ? StudioStyle::textTertiary() : token_();
        if (mode == QIcon::Selected || mode == QIcon::Active) color = token_();
        painter->setPen(color);
        painter->drawText(rect, Qt::AlignCenter, QString(QChar(static_cast<char16_t>(glyph_))));
        painter->restore();
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        // Styles ask for an empty size (a button squeezed to nothing): no pixels to paint.
        if (size.isEmpty()) return {};
        QPixmap pixmap(size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        paint(&painter, QRect(QPoint(), size), mode, state);
        return pixmap;
    }

    QIconEngine* clone() const override { return new GlyphEngine(glyph_, token_); }

private:
    Glyph glyph_;
    StudioStyle::ColorToken token_;
};

}  // namespace

bool available() { return !fontFamily().isEmpty(); }

QIcon icon(Glyph glyph, StudioStyle::ColorToken token) {
    if (!available()) return {};
    return QIcon(new GlyphEngine(glyph, token));
}

}  // namespace vantrel::StudioIcons

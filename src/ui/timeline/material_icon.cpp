#include "ui/timeline/material_icon.h"

#include <QFontDatabase>
#include <QIconEngine>
#include <QPainter>
#include <QPixmap>

namespace vantrel {

namespace {

constexpr const char* kFontPath = "/usr/share/fonts/truetype/material-design-icons-iconfont/MaterialIcons-Regular.ttf";

// The family name of the loaded font; empty when it is missing. Loaded once: an
// application font stays registered for the process.
const QString& family() {
    static const QString name = [] {
        const QStringList installed = QFontDatabase::families();
        if (installed.contains(QStringLiteral("Material Icons"))) return QStringLiteral("Material Icons");
        const int id = QFontDatabase::addApplicationFont(QString::fromLatin1(kFontPath));
        const QStringList loaded = id < 0 ? QStringList() : QFontDatabase::applicationFontFamilies(id);
        return loaded.isEmpty() ? QString() : loaded.front();
    }();
    return name;
}

class MaterialIconEngine final : public QIconEngine {
public:
    MaterialIconEngine(char16_t glyph, StudioStyle::ColorToken color) : glyph_(glyph), color_(color) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
        if (family().isEmpty()) return;
        QFont font(family());
        // The glyphs are designed on a square em.
        font.setPixelSize(std::min(rect.width(), rect.height()));
        font.setHintingPreference(QFont::PreferNoHinting);
        painter->save();
        painter->setRenderHint(QPainter::TextAntialiasing);
        painter->setFont(font);
        painter->setPen(mode == QIcon::Disabled ? StudioStyle::textTertiary() : color_());
        painter->drawText(rect, Qt::AlignCenter, QString(QChar(glyph_)));
        painter->restore();
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        QPixmap pixmap(size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        paint(&painter, QRect(QPoint(), size), mode, state);
        return pixmap;
    }

    QIconEngine* clone() const override { return new MaterialIconEngine(glyph_, color_); }
    QString key() const override { return QStringLiteral("vantrel-material"); }

private:
    char16_t glyph_;
    StudioStyle::ColorToken color_;
};

}  // namespace

QIcon materialIcon(char16_t glyph, StudioStyle::ColorToken color) {
    return QIcon(new MaterialIconEngine(glyph, color));
}

bool materialIconsAvailable() { return !family().isEmpty(); }

}  // namespace vantrel

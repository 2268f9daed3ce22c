// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/style/studio_application_style.h"

#include <QApplication>
#include <QPalette>
#include <QToolTip>

#include "ui/style/studio_style.h"

namespace vantrel::StudioStyle {

QStringList interfaceFontFamilies() {
    return {QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Noto Sans"), QStringLiteral("DejaVu Sans"),
            QStringLiteral("sans-serif")};
}

void applyApplicationFont() {
    QFont font = QGuiApplication::font();
    font.setFamilies(interfaceFontFamilies());
    QGuiApplication::setFont(font);
    QToolTip::setFont(font);
}

void applyToolTipStyle() {
    QPalette palette = QToolTip::palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::ToolTipBase, surface());
        palette.setColor(group, QPalette::ToolTipText, textPrimary());
        palette.setColor(group, QPalette::Window, surface());
        palette.setColor(group, QPalette::WindowText, textPrimary());
        palette.setColor(group, QPalette::Dark, border());
        palette.setColor(group, QPalette::Mid, border());
        palette.setColor(group, QPalette::Shadow, border());
    }
    QToolTip::setPalette(palette);
}

void applyApplicationStyle() {
    applyApplicationFont();
    applyToolTipStyle();
    // Once per application object (tests make several in turn): a property marks it.
    QObject* app = QCoreApplication::instance();
    if (!app || app->property("vantrelStudioStyle").toBool()) return;
    app->setProperty("vantrelStudioStyle", true);
    QObject::connect(&appearance(), &StudioAppearance::appearanceChanged, app, [] { applyToolTipStyle(); });
}

}  // namespace vantrel::StudioStyle

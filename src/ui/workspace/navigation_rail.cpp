// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/workspace/navigation_rail.h"

#include <QToolButton>
#include <QVBoxLayout>

#include "ui/style/studio_widgets.h"

namespace vantrel {

using namespace StudioWidgets;

NavigationRail::NavigationRail(QWidget* parent) : QWidget(parent) {
    setFixedWidth(56);
    setAccessibleName(QStringLiteral("导航"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 14, 8, 14);
    layout->setSpacing(6);
    auto make = [this, layout](const QString& name, const QString& help, StudioIcons::Glyph glyph) {
        QToolButton* b = button(name, help, glyph, false, this);
        b->setIconSize(QSize(22, 22));
        b->setFixedSize(40, 40);
        layout->addWidget(b, 0, Qt::AlignHCenter);
        return b;
    };
    library_ = make(QStringLiteral("展开战术库"), QStringLiteral("展开战术库 · Ctrl+Alt+L"), StudioIcons::Glyph::library);
    favorites_ = make(QStringLiteral("收藏的战术"), QStringLiteral("收藏的战术"), StudioIcons::Glyph::star);
    newTactic_ = make(QStringLiteral("新建战术"), QStringLiteral("新建战术 · Ctrl+N"), StudioIcons::Glyph::add);
    scope_ = make(QStringLiteral("切换战术范围"), QStringLiteral("切换战术范围"), StudioIcons::Glyph::filter);
    layout->addStretch();
    connect(library_, &QToolButton::clicked, this, &NavigationRail::libraryRequested);
    connect(favorites_, &QToolButton::clicked, this, &NavigationRail::favoritesRequested);
    connect(newTactic_, &QToolButton::clicked, this, &NavigationRail::newTacticRequested);
    connect(scope_, &QToolButton::clicked, this, &NavigationRail::scopeRequested);
}

}  // namespace vantrel

// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/workspace/library_search_field.h"

#include <QAction>
#include <QKeyEvent>

#include "ui/style/studio_icons.h"
#include "ui/style/studio_style.h"
#include "ui/style/studio_widgets.h"

namespace vantrel {

LibrarySearchField::LibrarySearchField(QWidget* parent) : QLineEdit(parent) {
    setObjectName(QStringLiteral("librarySearchField"));
    setPlaceholderText(QStringLiteral("搜索战术"));
    setAccessibleName(QStringLiteral("搜索战术"));
    setAccessibleDescription(QStringLiteral("按名称、阶段标题、讲解备注和标签查找 · Ctrl+F"));
    setToolTip(QStringLiteral("按名称、阶段标题、讲解备注和标签查找 · Ctrl+F"));
    setClearButtonEnabled(true);
    StudioWidgets::keepColor(this, StudioStyle::textSecondary, QPalette::PlaceholderText);
    addAction(StudioIcons::icon(StudioIcons::Glyph::search, StudioStyle::textSecondary), QLineEdit::LeadingPosition)
        ->setText(QStringLiteral("搜索战术"));
    // Qt's clear button is named for a screen reader too.
    if (auto* clearAction = findChild<QAction*>(QStringLiteral("_q_qlineeditclearaction")))
        clearAction->setText(QStringLiteral("清除搜索"));
}

void LibrarySearchField::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && !text().isEmpty()) {
        clear();
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Escape) {
        clearFocus();
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

}  // namespace vantrel

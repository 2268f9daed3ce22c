// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>
#include <QString>
#include <QToolButton>

#include "ui/style/studio_icons.h"
#include "ui/style/quiet_hover_style.h"

class QWidget;

namespace vantrel::StudioWidgets {

// Small building blocks shared by the workspace columns, the dialogs and the guidance
// sheets, all coloured by StudioStyle tokens and repainted when the appearance switches.

// A label in `token`'s colour at `pixelSize`, semibold when `strong`.
QLabel* label(const QString& text, int pixelSize, StudioStyle::ColorToken token, bool strong = false,
              QWidget* parent = nullptr);
// A wrapped secondary hint.
QLabel* hint(const QString& text, QWidget* parent = nullptr);
// A section title in the inspector and the sidebar.
QLabel* sectionTitle(const QString& text, QWidget* parent = nullptr);
// A quiet button with an icon and/or text; `help` becomes the tooltip and the
// accessible description; the accessible name is `name`.
QuietHoverStyle* button(const QString& name, const QString& help, StudioIcons::Glyph glyph, bool showText,
                        QWidget* parent = nullptr);
// A filled brand button (the default action of a sheet) or a destructive text button.
QToolButton* actionButton(const QString& name, bool prominent, bool destructive, QWidget* parent = nullptr);
// Gives `widget` a name and help for assistive technology and a tooltip.
void describe(QWidget* widget, const QString& name, const QString& help = {});
// Keeps a label's foreground on `token` across appearance switches.
void keepColor(QWidget* widget, StudioStyle::ColorToken token, QPalette::ColorRole role = QPalette::WindowText);
// Tells assistive technology that a label's text (its accessible name) changed.
void announceText(QLabel* label, const QString& text);

}  // namespace vantrel::StudioWidgets

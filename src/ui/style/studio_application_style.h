// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

namespace vantrel::StudioStyle {

// The interface's font families, Simplified Chinese first: Noto Sans CJK SC, so shared
// Han characters take their Chinese forms (not the Japanese ones of the JP face).
QStringList interfaceFontFamilies();

// Sets the application font (and the tooltips' font) to the interface families. Requires
// a QGuiApplication; the interactive start and the tests call it alike.
void applyApplicationFont();

// Tooltips in the studio palette (surface fill, primary text, border frame) instead of the
// platform's default, following the light or dark appearance from now on.
void applyToolTipStyle();

// Both of the above, once per application.
void applyApplicationStyle();

}  // namespace vantrel::StudioStyle

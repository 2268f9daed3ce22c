// SPDX-License-Identifier: GPL-3.0-or-later
// Searched before Qt's own headers by the targets that link Qt GUI only (see
// src/ui/CMakeLists.txt). Every Qt Widgets header includes <QtWidgets/qtwidgetsglobal.h>
// first, so this stops a widget include even when it is spelled with its module
// (<QtWidgets/QWidget>), which Qt's shared include root would otherwise find.
#error "This target paints without widgets and links Qt GUI only: move widget code to vantrel_ui"

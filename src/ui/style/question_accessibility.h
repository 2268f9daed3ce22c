// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QWidget;

namespace vantrel {

// Every question the window asks — a card over the workspace or a window of its own — is
// a modal dialog to assistive technology, named by the question's title and described by
// its message (the widget's accessible name and description), so a screen reader
// announces the question when it takes the keyboard focus.
//
// Call it once the widget is built. Qt keeps the first interface made for a widget; one
// made while the widget was being built (a screen reader listening to its first events)
// is replaced.
void exposeAsQuestion(QWidget* question);

// For a question shown as a window of its own: it takes the keyboard when shown and hands
// it back to the widget that had it when it hides. A window manager usually does both for
// a dialog with a parent; this holds without one too.
void holdFocusWhileAsking(QWidget* questionWindow);

}  // namespace vantrel

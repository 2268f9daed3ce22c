// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Mouse events sent straight to a widget, as the window system delivers them.
#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

namespace vantrel::testing {

inline void mouse(QWidget* target, QEvent::Type type, QPointF at, Qt::MouseButton button, Qt::MouseButtons buttons,
                  Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QMouseEvent event(type, at, target->mapToGlobal(at), button, buttons, modifiers);
    QApplication::sendEvent(target, &event);
}

// A left-button press, `moves` steps along the straight line, and the release.
inline void drag(QWidget* target, QPointF from, QPointF to, int moves = 6) {
    mouse(target, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    for (int i = 1; i <= moves; ++i)
        mouse(target, QEvent::MouseMove, from + (to - from) * (double(i) / moves), Qt::NoButton, Qt::LeftButton);
    mouse(target, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
}

inline void click(QWidget* target, QPointF at, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    mouse(target, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton, modifiers);
    mouse(target, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton, modifiers);
}

inline void doubleClick(QWidget* target, QPointF at) {
    click(target, at);
    mouse(target, QEvent::MouseButtonDblClick, at, Qt::LeftButton, Qt::LeftButton);
    mouse(target, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
}

}  // namespace vantrel::testing

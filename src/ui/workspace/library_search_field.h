// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLineEdit>

namespace vantrel {

// "搜索战术": the library's search field. Esc empties it; a second Esc, with nothing
// typed, leaves it. The window's Ctrl+F brings the focus here.
class LibrarySearchField final : public QLineEdit {
    Q_OBJECT
public:
    explicit LibrarySearchField(QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace vantrel

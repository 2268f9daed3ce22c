// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class QToolButton;

namespace vantrel {

// The narrow rail at the window's left edge: the library, the favourites, a new tactic
// and the library scope, one icon button each.
class NavigationRail : public QWidget {
    Q_OBJECT
public:
    explicit NavigationRail(QWidget* parent = nullptr);

    QToolButton* libraryButton() const { return library_; }
    QToolButton* favoritesButton() const { return favorites_; }
    QToolButton* newTacticButton() const { return newTactic_; }
    QToolButton* scopeButton() const { return scope_; }

    QSize sizeHint() const override { return {56, 400}; }

signals:
    void libraryRequested();
    void favoritesRequested();
    void newTacticRequested();
    void scopeRequested();

private:
    QToolButton* library_ = nullptr;
    QToolButton* favorites_ = nullptr;
    QToolButton* newTactic_ = nullptr;
    QToolButton* scope_ = nullptr;
};

}  // namespace vantrel

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMainWindow>

#include "core/store/change_notifier.h"

class QToolBar;

namespace vantrel {

class CloseGuard;
class ContentView;
class PreferenceStore;
class Platform;

// The one window: the workspace as its content, at least 1080 × 720, with the toolbar
// and the menu bar over the workspace's commands. Its title names the open tactic and
// carries the modified marker while the stage has unsaved changes. Closing it writes a
// pending autosave first, so an edit made just before closing is never lost.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    MainWindow(PreferenceStore& defaults, Platform& platform, QWidget* parent = nullptr);
    ~MainWindow() override;
    ContentView& content() { return *content_; }
    QToolBar* toolbar() const { return toolbar_; }

    // Opening size: 1500 × 900 where the screen allows, never below the minimum.
    void placeOnScreen();

public slots:
    // Leaving the active state (inactive, hidden, suspended) writes a pending autosave.
    void applicationStateChanged(Qt::ApplicationState state);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildToolbar();
    void buildMenus();
    void refreshTitle();

    ContentView* content_ = nullptr;
    CloseGuard* closeGuard_ = nullptr;   // asks before a close would lose edits
    QToolBar* toolbar_ = nullptr;
    Subscription subscription_;
};

}  // namespace vantrel

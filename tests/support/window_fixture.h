// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The real main window on Qt's offscreen platform, on virtual time and in-memory
// preferences, with the helpers the window tests share.
#include <gtest/gtest.h>

#include <QApplication>
#include <QInputMethodEvent>
#include <QListWidget>
#include <QMenu>
#include <QTest>
#include <QToolButton>

#include <memory>

#include "core/platform/memory_preference_store.h"
#include "support/manual_platform.h"
#include "ui/workspace/content_view.h"
#include "ui/workspace/library_sidebar.h"
#include "ui/workspace/main_window.h"

namespace vantrel::testing {

class WindowTest : public ::testing::Test {
protected:
    // A coach who has taken the tour; a first-run fixture overrides this and calls open().
    void SetUp() override {
        prefs.setBoolean("Vantrel.onboardingCompleted", true);
        open();
    }
    // Opens the window anew on the same preferences, as a restart does.
    void open() {
        window.reset();
        window = std::make_unique<MainWindow>(prefs, platform);
        window->resize(1500, 900);
        window->show();
        QApplication::setActiveWindow(window.get());
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        QApplication::processEvents();
    }

    ContentView& content() { return window->content(); }
    BoardStore& store() { return content().store(); }
    LibrarySidebar& sidebar() { return content().librarySidebar(); }

    // A key to whichever widget has the focus, as on a desktop.
    void key(int k, Qt::KeyboardModifiers mods = {}) {
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : window.get();
        QTest::keyClick(target, Qt::Key(k), mods);
    }
    // Chinese text arrives from the input method as a commit.
    static void typeText(QWidget* field, const QString& text) {
        QInputMethodEvent event;
        event.setCommitString(text);
        QApplication::sendEvent(field, &event);
    }
    static QStringList rows(QListWidget* list) {
        QStringList texts;
        for (int i = 0; i < list->count(); ++i) texts << list->item(i)->text();
        return texts;
    }
    template <class T>
    static T* findByName(QWidget* root, const QString& name) {
        for (T* w : root->findChildren<T*>())
            if (w->accessibleName() == name && w->isVisible()) return w;
        return nullptr;
    }
    static void clickButton(QWidget* root, const QString& text) {
        for (auto* b : root->findChildren<QToolButton*>())
            if (b->text() == text && b->isVisible()) return QTest::mouseClick(b, Qt::LeftButton);
        ADD_FAILURE() << "no button " << text.toStdString();
    }
    // Opens a library row's context menu and triggers one of its entries.
    void contextCommand(const std::string& key, const QString& text) {
        sidebar().execEntryMenuAt(key, QPoint(10, 10));
        QMenu* menu = nullptr;
        for (QMenu* m : sidebar().findChildren<QMenu*>())
            if (m->isVisible()) menu = m;
        ASSERT_TRUE(menu);
        QAction* found = nullptr;
        for (QAction* a : menu->actions())
            if (a->text() == text) found = a;
        ASSERT_TRUE(found) << text.toStdString();
        found->trigger();
        menu->close();
    }

    MemoryPreferenceStore prefs;
    ManualPlatform platform;
    std::unique_ptr<MainWindow> window;
};

}  // namespace vantrel::testing

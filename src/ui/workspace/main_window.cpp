// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/workspace/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QScreen>
#include <QToolBar>
#include <QToolButton>

#include "ui/style/studio_icons.h"
#include "ui/timeline/close_guard.h"
#include "core/platform/file_library_storage.h"
#include "ui/workspace/content_view.h"
#include "ui/workspace/library_search_field.h"
#include "ui/workspace/library_sidebar.h"

namespace vantrel {

MainWindow::MainWindow(PreferenceStore& defaults, Platform& platform, QWidget* parent) : QMainWindow(parent) {
    content_ = new ContentView(defaults, platform, this);
    // The library's pictures live beside the own-tactics file; without one, in memory.
    if (auto* files = dynamic_cast<FileLibraryStorage*>(platform.libraryStorage()))
        content_->librarySidebar().setThumbnailFolder(
            QString::fromStdString((files->file().parent_path() / "thumbnails").string()));
    setCentralWidget(content_);
    // Made with the window, so it knows the built-in tactic as it was opened.
    closeGuard_ = new CloseGuard(content_->store(), platform, *content_, this);
    setMinimumSize(1080, 720);
    resize(1500, 900);
    setUnifiedTitleAndToolBarOnMac(true);
    buildToolbar();
    buildMenus();
    // Ctrl+F finds a tactic even while the library is hidden: it shows the library first.
    auto* find = new QAction(this);
    find->setShortcut(QKeySequence::Find);
    connect(find, &QAction::triggered, this, [this] {
        LibrarySidebar& sidebar = content_->librarySidebar();
        if (!sidebar.isVisible()) content_->toggleLibrary();
        sidebar.searchField()->setFocus(Qt::ShortcutFocusReason);
        sidebar.searchField()->selectAll();
    });
    addAction(find);
    subscription_ = content_->store().subscribe([this](StoreChange change) {
        if (any(change & (StoreChange::tactic | StoreChange::library | StoreChange::confirmation))) refreshTitle();
    });
    refreshTitle();
    connect(qApp, &QGuiApplication::applicationStateChanged, this, &MainWindow::applicationStateChanged);
}

MainWindow::~MainWindow() { subscription_.reset(); }

void MainWindow::buildToolbar() {
    const WorkspaceActions& a = content_->actions();
    toolbar_ = addToolBar(QStringLiteral("工具栏"));
    toolbar_->setObjectName(QStringLiteral("windowToolbar"));
    toolbar_->setMovable(false);
    toolbar_->setFloatable(false);
    toolbar_->setIconSize(QSize(18, 18));
    toolbar_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    toolbar_->addAction(a.toggleLibrary);
    toolbar_->addSeparator();
    toolbar_->addAction(a.newTactic);
    toolbar_->addAction(a.save);
    auto* spacer = new QWidget(toolbar_);
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    toolbar_->addWidget(spacer);
    toolbar_->addAction(a.presenter);
    toolbar_->addAction(a.tutorial);
    auto* more = new QToolButton(toolbar_);
    more->setText(QStringLiteral("更多操作"));
    more->setToolTip(QStringLiteral("更多操作"));
    more->setAccessibleName(QStringLiteral("更多操作"));
    more->setIcon(StudioIcons::icon(StudioIcons::Glyph::more));
    more->setPopupMode(QToolButton::InstantPopup);
    more->setStyleSheet(QStringLiteral("QToolButton::menu-indicator{image:none;width:0px;}"));
    more->setToolButtonStyle(Qt::ToolButtonIconOnly);
    auto* moreMenu = new QMenu(QStringLiteral("更多操作"), more);
    moreMenu->addAction(a.importJson);
    moreMenu->addAction(a.exportJson);
    moreMenu->addSeparator();
    moreMenu->addAction(a.exportImage);
    moreMenu->addAction(a.exportHandout);
    moreMenu->addAction(a.exportHandouts);
    moreMenu->addAction(a.exportVideo);
    moreMenu->addAction(a.exportJobSheets);
    moreMenu->addSeparator();
    moreMenu->addAction(a.squad);
    // Libraries that could not be read at start-up are kept aside; the coach takes them
    // out here, newest first. The entry shows only while a copy is kept.
    auto* unreadable = new QMenu(QStringLiteral("导出无法读取的战术数据"), moreMenu);
    QAction* unreadableEntry = moreMenu->addMenu(unreadable);
    auto refreshUnreadable = [this, unreadable, unreadableEntry] {
        const int count = content_->store().ownTactics().unreadableCount();
        unreadableEntry->setVisible(count > 0);
        unreadable->clear();
        for (int i = 0; i < count; ++i) {
            const QString text = i == 0 ? QStringLiteral("第 1 份（最新）…") : QStringLiteral("第 %1 份…").arg(i + 1);
            connect(unreadable->addAction(text), &QAction::triggered, this,
                    [this, i] { content_->store().ownTactics().exportUnreadable(i); });
        }
    };
    connect(moreMenu, &QMenu::aboutToShow, this, refreshUnreadable);
    refreshUnreadable();
    more->setMenu(moreMenu);
    toolbar_->addWidget(more);
    toolbar_->addAction(a.toggleInspector);
    // Every toolbar button answers to its command's text, and Tab reaches it (a toolbar
    // leaves its buttons out of the focus chain).
    for (QAction* action : toolbar_->actions())
        if (QWidget* w = toolbar_->widgetForAction(action); w && !action->text().isEmpty()) {
            w->setAccessibleName(action->text());
            w->setAccessibleDescription(action->toolTip());
            w->setFocusPolicy(Qt::TabFocus);
        }
    // Its text says what a press does now ("显示…" / "隐藏…"); the description follows it.
    connect(a.toggleInspector, &QAction::changed, this, [this, a] {
        if (QWidget* w = toolbar_->widgetForAction(a.toggleInspector)) {
            w->setAccessibleName(a.toggleInspector->text());
            w->setAccessibleDescription(a.toggleInspector->toolTip());
        }
    });
}

void MainWindow::buildMenus() {
    const WorkspaceActions& a = content_->actions();
    QMenu* file = menuBar()->addMenu(QStringLiteral("文件(&F)"));
    file->addAction(a.newTactic);
    file->addAction(a.save);
    file->addSeparator();
    file->addAction(a.importJson);
    file->addAction(a.exportJson);
    file->addAction(a.exportImage);
    file->addAction(a.exportHandout);
    file->addAction(a.exportHandouts);
    file->addAction(a.exportVideo);
    file->addAction(a.exportJobSheets);
    file->addSeparator();
    QAction* quit = file->addAction(QStringLiteral("退出"));
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    quit->setMenuRole(QAction::QuitRole);
    connect(quit, &QAction::triggered, this, &QWidget::close);

    QMenu* edit = menuBar()->addMenu(QStringLiteral("编辑(&E)"));
    edit->addAction(a.undo);
    edit->addAction(a.redo);
    edit->addSeparator();
    edit->addAction(a.squad);
    edit->addAction(a.focusPlayer);

    QMenu* view = menuBar()->addMenu(QStringLiteral("视图(&V)"));
    view->addAction(a.toggleLibrary);
    view->addAction(a.toggleInspector);
    view->addSeparator();
    view->addAction(a.view2D);
    view->addAction(a.view3D);
    view->addSeparator();
    view->addAction(a.showVision);
    view->addAction(a.showOffside);
    view->addAction(a.showRoutes);
    view->addAction(a.showMoves);
    view->addAction(a.showAnnotations);
    view->addAction(a.lockAnnotations);
    view->addAction(a.showInterceptionRisk);
    view->addSeparator();
    view->addAction(a.presenter);

    QMenu* help = menuBar()->addMenu(QStringLiteral("帮助(&H)"));
    help->addAction(a.tutorial);
}

// "名称[*] — Vantrel": Qt shows the marker while the window is modified.
void MainWindow::refreshTitle() {
    const auto& store = content_->store();
    setWindowTitle(QString::fromStdString(store.tactic().name) + QStringLiteral("[*] — Vantrel"));
    setWindowModified(store.hasStageChanges());
}

void MainWindow::applicationStateChanged(Qt::ApplicationState state) {
    if (state != Qt::ApplicationActive) content_->store().flushAutosave();
}

void MainWindow::placeOnScreen() {
    QSize wanted(1500, 900);
    if (QScreen* s = screen()) {
        const QSize room = s->availableGeometry().size();
        wanted = wanted.boundedTo(room).expandedTo(minimumSize());
    }
    resize(wanted);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // Edits the coach has not confirmed are asked about first; the guard closes the
    // window again once the answer allows it.
    if (closeGuard_->shouldAskBeforeClose()) {
        event->ignore();
        closeGuard_->requestClose([window = QPointer<MainWindow>(this)] {
            if (window) window->close();
        });
        return;
    }
    // Closed after the questions: nothing unconfirmed is left to recover at the next start.
    content_->store().recovery().endSession();
    // The last try to write the own tactics; if it fails too, the coach decides.
    if (!content_->store().finishWrites() && !closeGuard_->closeAllowed()) {
        event->ignore();
        closeGuard_->askAboutFailedSave([window = QPointer<MainWindow>(this)] {
            if (window) window->close();
        });
        return;
    }
    QMainWindow::closeEvent(event);
}

}  // namespace vantrel

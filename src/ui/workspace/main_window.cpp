#include "ui/workspace/main_window.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>

#include "ui/timeline/close_guard.h"
#include "ui/workspace/content_view.h"

namespace vantrel {

MainWindow::MainWindow(PreferenceStore& defaults, Platform& platform, QWidget* parent) : QMainWindow(parent) {
    setWindowTitle(QStringLiteral("Vantrel"));
    content_ = new ContentView(defaults, platform, this);
    setCentralWidget(content_);
    closeGuard_ = new CloseGuard(content_->store(), *content_, this);
    setMinimumSize(1080, 720);
    resize(1500, 900);
    connect(qApp, &QGuiApplication::applicationStateChanged, this, &MainWindow::applicationStateChanged);
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
    // Edits the user has not confirmed are asked about first; the guard closes the
    // window again once the answer allows it.
    if (closeGuard_->shouldAskBeforeClose()) {
        event->ignore();
        closeGuard_->requestClose([window = QPointer<MainWindow>(this)] {
            if (window) window->close();
        });
        return;
    }
    content_->store().flushAutosave();
    QMainWindow::closeEvent(event);
}

}  // namespace vantrel

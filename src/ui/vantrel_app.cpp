// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/vantrel_app.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QTimer>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

#include <iostream>

#include "core/library/command_line.h"
#include "core/platform/file_library_storage.h"
#include "ui/platform/qt_platform.h"
#include "ui/platform/settings_preference_store.h"
#include "ui/platform/single_instance.h"
#include "ui/style/app_icon.h"
#include "ui/style/studio_application_style.h"
#include "ui/workspace/content_view.h"
#include "ui/workspace/main_window.h"

namespace vantrel {

namespace {

// The desktop's animation switch, read through the settings portal that GNOME, KDE and
// others serve. Without a portal, animations stay on.
class ReduceMotionWatcher : public QObject {
    Q_OBJECT
public:
    ReduceMotionWatcher(BoardStore& store, QObject* parent) : QObject(parent), store_(store) {
        auto bus = QDBusConnection::sessionBus();
        if (!bus.isConnected()) return;
        bus.connect(QStringLiteral("org.freedesktop.portal.Desktop"), QStringLiteral("/org/freedesktop/portal/desktop"),
                    QStringLiteral("org.freedesktop.portal.Settings"), QStringLiteral("SettingChanged"), this,
                    SLOT(settingChanged(QString, QString, QDBusVariant)));
        QDBusInterface portal(QStringLiteral("org.freedesktop.portal.Desktop"),
                              QStringLiteral("/org/freedesktop/portal/desktop"),
                              QStringLiteral("org.freedesktop.portal.Settings"), bus);
        if (!portal.isValid()) return;
        auto call = portal.asyncCall(QStringLiteral("Read"), QStringLiteral("org.gnome.desktop.interface"),
                                     QStringLiteral("enable-animations"));
        auto* watcher = new QDBusPendingCallWatcher(call, this);
        connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
            QDBusPendingReply<QDBusVariant> reply = *w;
            if (!reply.isError()) apply(reply.value().variant());
            w->deleteLater();
        });
    }

    void apply(QVariant value) {
        // The portal wraps the value in a variant once more.
        while (value.canConvert<QDBusVariant>() && value.userType() == qMetaTypeId<QDBusVariant>())
            value = value.value<QDBusVariant>().variant();
        if (value.typeId() == QMetaType::Bool) store_.setReduceMotion(!value.toBool());
    }

public slots:
    void settingChanged(const QString& group, const QString& key, const QDBusVariant& value) {
        if (group == QStringLiteral("org.gnome.desktop.interface") && key == QStringLiteral("enable-animations"))
            apply(value.variant());
    }

private:
    BoardStore& store_;
};

// SIGTERM and SIGINT end the program as quitting does: the handler only writes a byte to
// a pipe (all it may do), and the interface thread, woken by the pipe, quits the event
// loop, whose way out writes the pending autosave and lets the library's writer finish.
class QuitOnSignals : public QObject {
public:
    explicit QuitOnSignals(QObject* parent) : QObject(parent) {
        if (::pipe2(fds_, O_CLOEXEC | O_NONBLOCK) != 0) return;
        auto* notifier = new QSocketNotifier(fds_[0], QSocketNotifier::Read, this);
        connect(notifier, &QSocketNotifier::activated, this, [] {
            char drained[16];
            while (::read(fds_[0], drained, sizeof drained) > 0) {
            }
            // exit, not quit: a signal (a logout, a service manager) asks no question of the
            // windows, which quit would do and a close guard would refuse.
            QCoreApplication::exit(0);
        });
        struct sigaction action {};
        action.sa_handler = [](int) {
            const char byte = 1;
            [[maybe_unused]] const auto written = ::write(fds_[1], &byte, 1);
        };
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        ::sigaction(SIGTERM, &action, nullptr);
        ::sigaction(SIGINT, &action, nullptr);
    }

private:
    static inline int fds_[2] = {-1, -1};
};

// Set while the window starts and cleared once it has been up for a moment: found at the
// next start, it says the last start died on the way (a tactic that cannot be shown), so
// the tactic remembered as the last one is not opened again.
constexpr std::string_view kStartingKey = "Vantrel.starting";
constexpr int kStartedAfterMilliseconds = 3000;

}  // namespace

void openFilesInWindow(MainWindow& window, const std::vector<std::filesystem::path>& files) {
    window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
    window.show();
    window.raise();
    window.activateWindow();
    for (const auto& file : files) window.content().store().importFile(file);
}

int runInteractive(const char* program, const std::vector<std::filesystem::path>& files) {
    // The arguments were read already: the toolkit gets none of them, so a file named
    // like one of its options stays a file.
    int toolkitArgc = 1;
    char* toolkitArgv[] = {const_cast<char*>(program), nullptr};
    QApplication app(toolkitArgc, toolkitArgv);
    QApplication::setOrganizationName(QStringLiteral("Vantrel"));
    QApplication::setApplicationName(QStringLiteral("Vantrel"));
    QApplication::setApplicationDisplayName(QStringLiteral("Vantrel"));
    QApplication::setApplicationVersion(QString::fromUtf8(vantrelVersion().data(), qsizetype(vantrelVersion().size())));
    QApplication::setDesktopFileName(QStringLiteral("io.github.vantrel.Vantrel"));

    // Before the window reads the preferences and the library: a later start only hands
    // its files over.
    SingleInstance instance;
    switch (instance.claim(files)) {
        case SingleInstance::Claim::handedOver:
            return 0;
        case SingleInstance::Claim::noAnswer:
            std::cerr << "vantrel: Vantrel is already running but does not answer\n";
            return 1;
        case SingleInstance::Claim::primary:
            break;
    }

    QApplication::setWindowIcon(vantrelIcon());
    StudioStyle::applyApplicationStyle();

    SettingsPreferenceStore defaults;
    const bool lastStartFailed = defaults.boolean(kStartingKey).value_or(false);
    if (lastStartFailed) defaults.remove(kLastSelectedTacticKey);
    defaults.setBoolean(kStartingKey, true);
    // The own tactics live in a file of their own, written off the interface thread; the
    // storage outlives the window and finishes its writes before the process ends.
    FileLibraryStorage library(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation).toStdString(),
                               defaults, [&app](std::function<void()> outcome) {
                                   QMetaObject::invokeMethod(&app, std::move(outcome), Qt::QueuedConnection);
                               });
    QtPlatform platform;
    platform.setLibraryStorage(&library);
    MainWindow window(defaults, platform);
    platform.setDialogParent(&window);
    platform.setRefreshWidget(&window);
    BoardStore& store = window.content().store();

    new ReduceMotionWatcher(store, &window);
    new QuitOnSignals(&window);
    if (lastStartFailed) store.reportStatus("上次启动未能完成，本次未打开上次的战术");

    // The window writes a pending autosave when the application leaves the active state
    // and when it closes; quitting by other means does too. A start while this one quits
    // begins a program of its own instead of waiting for an answer.
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &window, [&store, &instance] {
        instance.stop();
        store.finishWrites();
    });
    instance.setOpenHandler([&window](const std::vector<std::filesystem::path>& handed) {
        openFilesInWindow(window, handed);
    });

    window.placeOnScreen();
    window.show();
    for (const auto& file : files) store.importFile(file);
    QTimer::singleShot(kStartedAfterMilliseconds, &window, [&defaults] { defaults.remove(kStartingKey); });
    const int code = app.exec();
    defaults.remove(kStartingKey);   // a start that ends this quickly did not crash either
    return code;
}

}  // namespace vantrel

#include "vantrel_app.moc"

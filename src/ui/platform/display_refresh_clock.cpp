// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/platform/display_refresh_clock.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <cmath>
#include <utility>

namespace vantrel {

FrameRateRange frameRateRange(double maximumFramesPerSecond) {
    const double m = maximumFramesPerSecond;
    if (!(m > 0.0) || !std::isfinite(m)) return {};   // unknown: the 60 Hz of the fallback
    if (m >= 120.0) return {60.0, 120.0, 120.0};
    if (m >= 30.0) return {std::min(m, 60.0), m, m};
    return {30.0, 30.0, 30.0};
}

DisplayRefreshClock::DisplayRefreshClock() = default;

DisplayRefreshClock::DisplayRefreshClock(QWidget* screenSource) : widget_(screenSource) {}

DisplayRefreshClock::DisplayRefreshClock(QWindow* screenSource) : window_(screenSource) {}

DisplayRefreshClock::~DisplayRefreshClock() {
    invalidate();
    if (!timer_) return;
    timer_->disconnect();
    // Deleting the timer while it is still emitting the timeout that brought us here
    // would pull it from under Qt; the event loop deletes it once the emission is over.
    if (tickDepth_ > 0)
        timer_->deleteLater();
    else
        delete timer_;
}

void DisplayRefreshClock::start(std::function<void(double elapsed)> callback) {
    invalidate();   // a restarted clock never has two tick sources
    if (!callback) return;

    if (!timer_) {
        timer_ = new QTimer;
        timer_->setSingleShot(true);
        timer_->setTimerType(Qt::PreciseTimer);
        QObject::connect(timer_, &QTimer::timeout, timer_, [this] { tick(); });
    }

    ++generation_;
    callback_ = std::make_shared<const Callback>(std::move(callback));
    if (QScreen* screen = chooseScreen()) {
        rates_ = frameRateRange(screen->refreshRate());
        source_ = Source::display;
    } else {
        rates_ = {kFallbackFramesPerSecond, kFallbackFramesPerSecond, kFallbackFramesPerSecond};
        source_ = Source::fallback;
    }
    framePeriodNanoseconds_ = 1e9 / rates_.preferred;
    started_.start();
    scheduleNextTick();
}

void DisplayRefreshClock::invalidate() {
    if (!callback_) return;
    ++generation_;
    if (timer_) timer_->stop();
    callback_.reset();
    source_ = Source::none;
}

bool DisplayRefreshClock::isRunning() const { return callback_ != nullptr; }

QScreen* DisplayRefreshClock::chooseScreen() const {
    if (widget_)
        if (QScreen* screen = widget_->screen()) return screen;
    if (window_)
        if (QScreen* screen = window_->screen()) return screen;
    // Screens exist only in a GUI application.
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return nullptr;
    if (QWindow* focused = QGuiApplication::focusWindow())
        if (QScreen* screen = focused->screen()) return screen;
    return QGuiApplication::primaryScreen();
}

double DisplayRefreshClock::elapsedSeconds() const {
    return std::max(0.0, static_cast<double>(started_.nsecsElapsed()) / 1e9);
}

void DisplayRefreshClock::scheduleNextTick() {
    // The next frame boundary strictly after now, k · period after start. The wait is
    // rounded up to whole milliseconds, so a tick never comes before its boundary and
    // the clock never ticks faster than its rate.
    const double now = static_cast<double>(started_.nsecsElapsed());
    const double frame = std::floor(now / framePeriodNanoseconds_) + 1.0;
    const double waitNanoseconds = frame * framePeriodNanoseconds_ - now;
    const int waitMilliseconds = std::max(1, static_cast<int>(std::ceil(waitNanoseconds / 1e6)));
    timer_->start(waitMilliseconds);
}

void DisplayRefreshClock::tick() {
    if (!callback_) return;
    const std::weak_ptr<bool> alive = alive_;
    const std::uint64_t generation = generation_;
    const std::shared_ptr<const Callback> callback = callback_;

    ++tickDepth_;
    (*callback)(elapsedSeconds());
    if (alive.expired()) return;   // the callback destroyed this clock: touch nothing
    --tickDepth_;

    // A callback that stopped or restarted the clock has already settled its timer.
    if (generation == generation_) scheduleNextTick();
}

}  // namespace vantrel

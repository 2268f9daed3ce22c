// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/platform/qt_one_shot_timer.h"

#include <QTimer>

#include <cmath>
#include <limits>
#include <utility>

namespace vantrel {

namespace {

// QTimer takes whole milliseconds in an int.
int toMilliseconds(double seconds) {
    const double milliseconds = std::round(seconds * 1000.0);
    if (!(milliseconds > 0.0)) return 0;
    if (milliseconds >= static_cast<double>(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    return static_cast<int>(milliseconds);
}

}  // namespace

QtOneShotTimer::QtOneShotTimer() : timer_(new QTimer) {
    timer_->setSingleShot(true);
    timer_->setTimerType(Qt::PreciseTimer);
    QObject::connect(timer_, &QTimer::timeout, timer_, [this] { timeout(); });
}

QtOneShotTimer::~QtOneShotTimer() {
    timer_->stop();
    timer_->disconnect();
    // Not while it is still emitting the timeout that called `fire`.
    if (firingDepth_ > 0)
        timer_->deleteLater();
    else
        delete timer_;
}

void QtOneShotTimer::start(double seconds, std::function<void()> fire) {
    cancel();
    if (!fire) return;
    fire_ = std::move(fire);
    timer_->start(toMilliseconds(seconds));
}

void QtOneShotTimer::cancel() {
    timer_->stop();
    fire_ = nullptr;
}

bool QtOneShotTimer::isRunning() const { return static_cast<bool>(fire_); }

void QtOneShotTimer::timeout() {
    // The shot is spent before `fire` runs, so a restart from inside it stands, and the
    // closure lives on this frame while it runs whatever `fire` does to the timer.
    std::function<void()> fire = std::exchange(fire_, nullptr);
    if (!fire) return;
    const std::weak_ptr<bool> alive = alive_;
    ++firingDepth_;
    fire();
    if (alive.expired()) return;   // destroyed from inside `fire`
    --firingDepth_;
}

}  // namespace vantrel

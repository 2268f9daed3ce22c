// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <memory>

#include "core/platform/platform.h"

class QTimer;

namespace vantrel {

// A one-shot timer on the main thread's event loop, precise to the millisecond.
// `fire` may restart, cancel or destroy the timer that called it; the timer no longer
// counts as running while `fire` runs.
class QtOneShotTimer final : public OneShotTimer {
public:
    QtOneShotTimer();
    ~QtOneShotTimer() override;

    QtOneShotTimer(const QtOneShotTimer&) = delete;
    QtOneShotTimer& operator=(const QtOneShotTimer&) = delete;

    // Replaces a pending shot. A delay that is negative or not a number fires on the next
    // pass of the event loop; one longer than about 24 days waits about 24 days. An empty
    // `fire` only cancels.
    void start(double seconds, std::function<void()> fire) override;
    void cancel() override;
    bool isRunning() const override;

private:
    void timeout();

    QTimer* timer_;                // owned; deleted late if destroyed from inside `fire`
    std::function<void()> fire_;   // set while a shot is pending
    int firingDepth_ = 0;          // > 0 while `fire` runs
    // Expires with the timer, so a shot can tell that `fire` destroyed it.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace vantrel

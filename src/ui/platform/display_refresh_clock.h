// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QElapsedTimer>
#include <QPointer>

#include <cstdint>
#include <functional>
#include <memory>

#include "core/platform/platform.h"

class QScreen;
class QTimer;
class QWidget;
class QWindow;

namespace vantrel {

// The frame rates, in frames per second, a clock asks for on a screen.
struct FrameRateRange {
    double minimum = 60.0;
    double maximum = 60.0;
    double preferred = 60.0;

    bool operator==(const FrameRateRange&) const = default;
};

// For a screen whose fastest refresh is `maximumFramesPerSecond`: 120 Hz and faster
// screens run at 120 (never below 60); 30 … 120 Hz screens at their own rate; slower
// ones at 30. A rate that is not a positive number is unknown and runs at 60, like no screen.
FrameRateRange frameRateRange(double maximumFramesPerSecond);

// The tick source of every animation: calls its callback on the main thread once per
// display refresh with the seconds since `start` (monotonic, never negative, absolute
// rather than a per-frame delta, so a late frame never accumulates error).
//
// Ticks come from one precise single-shot timer re-armed after each callback for the
// next frame boundary of the chosen rate (k / rate seconds after start). Frames that a
// slow callback missed are skipped, not delivered in a burst, and a callback that opens
// a nested event loop is never re-entered by its own clock. The rate follows the screen
// of the widget or window given at construction, else the focused window's screen, else
// the primary screen; with no screen at all the clock ticks at 60 Hz.
//
// The callback may invalidate, restart or destroy the clock. Destroying the clock stops it.
class DisplayRefreshClock final : public FrameClock {
public:
    static constexpr double kFallbackFramesPerSecond = 60.0;

    enum class Source { none, display, fallback };

    DisplayRefreshClock();
    explicit DisplayRefreshClock(QWidget* screenSource);
    explicit DisplayRefreshClock(QWindow* screenSource);
    ~DisplayRefreshClock() override;

    DisplayRefreshClock(const DisplayRefreshClock&) = delete;
    DisplayRefreshClock& operator=(const DisplayRefreshClock&) = delete;

    // Starts, or restarts from elapsed 0 with the one tick source. An empty callback
    // leaves the clock stopped.
    void start(std::function<void(double elapsed)> callback) override;
    // Stops the clock and releases the callback; nothing on a stopped clock.
    void invalidate() override;
    bool isRunning() const override;

    // What drives the current run: the display's rate, the 60 Hz fallback, or nothing.
    Source source() const { return source_; }
    // The rates of the current run (the fallback's 60 Hz when it has no screen).
    FrameRateRange frameRates() const { return rates_; }

private:
    using Callback = std::function<void(double)>;

    QScreen* chooseScreen() const;
    void tick();
    void scheduleNextTick();
    double elapsedSeconds() const;

    QPointer<QWidget> widget_;
    QPointer<QWindow> window_;
    QTimer* timer_ = nullptr;   // owned; deleted late if destroyed during its own tick
    std::shared_ptr<const Callback> callback_;   // shared: a running tick keeps its closure alive
    QElapsedTimer started_;
    Source source_ = Source::none;
    FrameRateRange rates_;
    double framePeriodNanoseconds_ = 1e9 / kFallbackFramesPerSecond;
    std::uint64_t generation_ = 0;   // changes on every start and stop
    int tickDepth_ = 0;              // > 0 while a callback runs
    // Expires with the clock, so a tick can tell that its callback destroyed it.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace vantrel

// SPDX-License-Identifier: GPL-3.0-or-later
// The Qt clocks on virtual time. This binary supplies the process's CLOCK_MONOTONIC
// (Qt's timers, QElapsedTimer and the GLib loop all read it through clock_gettime), so a
// test can freeze it and move it on by hand: timers fire when the loop runs after the
// clock passes their deadline, and no test sleeps. It is its own executable so the other
// widget tests keep the real clock.
#include "ui/platform/display_refresh_clock.h"
#include "ui/platform/qt_one_shot_timer.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <time.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <vector>

namespace {

// Nanoseconds added to the real monotonic clock; while frozen, the clock reads `frozenAt`.
std::int64_t offsetNs = 0;
std::int64_t frozenAt = 0;
bool frozen = false;

int realClock(clockid_t clock, timespec* ts) {
    static const auto real = reinterpret_cast<int (*)(clockid_t, timespec*)>(dlsym(RTLD_NEXT, "clock_gettime"));
    return real(clock, ts);
}

std::int64_t realMonotonicNs() {
    timespec ts{};
    realClock(CLOCK_MONOTONIC, &ts);
    return std::int64_t{ts.tv_sec} * 1'000'000'000 + ts.tv_nsec;
}

}  // namespace

extern "C" int clock_gettime(clockid_t clock, timespec* ts) noexcept {
    if (clock != CLOCK_MONOTONIC) return realClock(clock, ts);
    const std::int64_t ns = frozen ? frozenAt : realMonotonicNs() + offsetNs;
    ts->tv_sec = ns / 1'000'000'000;
    ts->tv_nsec = ns % 1'000'000'000;
    return 0;
}

namespace vantrel {
namespace {

// Freezes the monotonic clock for one test; on leaving, time runs on from where the test
// left it, never backwards.
class VirtualTime : public ::testing::Test {
protected:
    void SetUp() override {
        frozenAt = realMonotonicNs() + offsetNs;
        frozen = true;
    }
    void TearDown() override {
        offsetNs = frozenAt - realMonotonicNs();
        frozen = false;
    }
    // Moves the clock on millisecond by millisecond, running the loop at each, as a busy
    // event loop would see the time pass.
    static void advance(double seconds) {
        for (int ms = static_cast<int>(std::lround(seconds * 1000)); ms > 0; --ms) {
            frozenAt += 1'000'000;
            QCoreApplication::processEvents();
        }
    }
    // A callback that takes `seconds` of the clock's time.
    static void spend(double seconds) { frozenAt += static_cast<std::int64_t>(seconds * 1e9); }
};

using DisplayRefreshClockTest = VirtualTime;
using QtOneShotTimerTest = VirtualTime;

TEST(FrameRateRange, FollowsTheScreensFastestRefresh) {
    // At most 120 Hz, at least 30; a screen that does not know its rate runs like no screen.
    const std::pair<double, FrameRateRange> cases[] = {
        {144, {60, 120, 120}}, {120, {60, 120, 120}}, {90, {60, 90, 90}}, {59.94, {59.94, 59.94, 59.94}},
        {30, {30, 30, 30}}, {24, {30, 30, 30}}, {0, {60, 60, 60}}, {std::numeric_limits<double>::quiet_NaN(), {60, 60, 60}}};
    for (const auto& [rate, range] : cases) EXPECT_EQ(frameRateRange(rate), range) << rate;
}

TEST_F(DisplayRefreshClockTest, TakesItsRateFromTheScreenItIsGiven) {
    ASSERT_NE(QGuiApplication::primaryScreen(), nullptr);
    QWidget widget;
    DisplayRefreshClock clock(&widget);
    clock.start([](double) {});
    EXPECT_EQ(clock.source(), DisplayRefreshClock::Source::display);
    EXPECT_EQ(clock.frameRates(), frameRateRange(widget.screen()->refreshRate()));

    clock.invalidate();
    clock.invalidate();   // nothing on a stopped clock
    EXPECT_FALSE(clock.isRunning());
    clock.start(nullptr);
    EXPECT_FALSE(clock.isRunning());
}

TEST_F(DisplayRefreshClockTest, TicksOnFrameBoundariesWithOneSource) {
    DisplayRefreshClock restarted, single;
    std::vector<double> restartedTicks, singleTicks;
    restarted.start([&](double) { ADD_FAILURE() << "the first callback ticked after the restart"; });
    restarted.start([&](double elapsed) { restartedTicks.push_back(elapsed); });
    single.start([&](double elapsed) { singleTicks.push_back(elapsed); });
    advance(0.26);
    const double period = 1 / single.frameRates().preferred;

    // Tick k comes at the k-th frame boundary, never before it and at most the 1 ms of
    // the timer's rounding after it.
    EXPECT_EQ(static_cast<int>(singleTicks.size()), static_cast<int>(std::floor(0.26 / period)));
    EXPECT_EQ(restartedTicks, singleTicks);
    for (std::size_t i = 0; i < singleTicks.size(); ++i) {
        EXPECT_GE(singleTicks[i], (i + 1) * period - 1e-9) << i;
        EXPECT_LE(singleTicks[i], (i + 1) * period + 0.0011) << i;
    }
}

TEST_F(DisplayRefreshClockTest, FramesASlowCallbackMissedAreSkippedNotBurst) {
    DisplayRefreshClock clock;
    std::vector<double> ticks;
    clock.start([&](double elapsed) {
        ticks.push_back(elapsed);
        if (ticks.size() == 1) spend(0.05);   // three frames' work
    });
    advance(0.1);
    const double period = 1 / clock.frameRates().preferred;
    ASSERT_GE(ticks.size(), 2u);
    // The second tick waits for the first boundary after the slow frame ended.
    EXPECT_GE(ticks[1], std::ceil((ticks[0] + 0.05) / period) * period - 1e-9);
    EXPECT_LE(ticks[1], std::ceil((ticks[0] + 0.05) / period) * period + 0.0011);
}

TEST_F(DisplayRefreshClockTest, CanBeStoppedRestartedOrDestroyedFromInsideItsCallback) {
    {
        DisplayRefreshClock clock;
        int ticks = 0;
        clock.start([&](double) {
            if (++ticks == 3) clock.invalidate();
        });
        advance(0.2);
        EXPECT_EQ(ticks, 3);
        EXPECT_FALSE(clock.isRunning());
    }
    {
        auto clock = std::make_unique<DisplayRefreshClock>();
        int ticks = 0;
        clock->start([&](double) {
            if (++ticks == 2) clock.reset();
        });
        advance(0.2);
        EXPECT_EQ(ticks, 2);   // a destroyed clock ticks no more
    }
    {
        DisplayRefreshClock clock;
        int oldTicks = 0;
        std::vector<double> newTicks;
        clock.start([&](double) {
            if (++oldTicks == 2) clock.start([&](double elapsed) { newTicks.push_back(elapsed); });
        });
        advance(0.1);
        const double period = 1 / clock.frameRates().preferred;
        EXPECT_EQ(oldTicks, 2);
        ASSERT_GE(newTicks.size(), 3u);
        EXPECT_GE(newTicks[0], period - 1e-9);   // counted from the restart, not the first start
        EXPECT_LE(newTicks[0], period + 0.0011);
        EXPECT_TRUE(clock.isRunning());
    }
}

TEST_F(QtOneShotTimerTest, FiresOnceOnTimeAndCanBeReplacedOrCancelled) {
    QtOneShotTimer timer;
    int first = 0, second = 0;
    timer.start(0.03, [&] { ++first; });
    timer.start(0.05, [&] { ++second; });
    EXPECT_TRUE(timer.isRunning());
    advance(0.049);
    EXPECT_EQ(second, 0);
    advance(0.001);
    EXPECT_EQ(second, 1);
    advance(0.1);
    EXPECT_EQ(first, 0);
    EXPECT_EQ(second, 1);
    EXPECT_FALSE(timer.isRunning());

    timer.start(0.02, [&] { ++first; });
    timer.cancel();
    EXPECT_FALSE(timer.isRunning());
    // An odd delay fires on the next pass of the loop rather than never.
    timer.start(std::numeric_limits<double>::quiet_NaN(), [&] { ++second; });
    QCoreApplication::processEvents();
    EXPECT_EQ(second, 2);
    advance(0.05);
    EXPECT_EQ(first, 0);
}

TEST_F(QtOneShotTimerTest, CanBeRestartedCancelledOrDestroyedFromInsideFire) {
    QtOneShotTimer timer;
    int shots = 0;
    bool runningInsideFire = true;
    std::function<void()> again = [&] {
        runningInsideFire = timer.isRunning();
        if (++shots < 3) timer.start(0.005, again);
    };
    timer.start(0.005, again);
    advance(0.05);
    EXPECT_EQ(shots, 3);
    EXPECT_FALSE(runningInsideFire);

    int cancelled = 0;
    timer.start(0.005, [&] {
        ++cancelled;
        timer.start(0.01, [&] { ++cancelled; });
        timer.cancel();
    });
    auto owned = std::make_unique<QtOneShotTimer>();
    int destroyed = 0;
    owned->start(0.005, [&] {
        ++destroyed;
        owned.reset();
    });
    advance(0.06);
    EXPECT_EQ(cancelled, 1);
    EXPECT_EQ(destroyed, 1);
    EXPECT_FALSE(timer.isRunning());
}

}  // namespace
}  // namespace vantrel

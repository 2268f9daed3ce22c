#include "ui/platform/display_refresh_clock.h"
#include "ui/platform/qt_one_shot_timer.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <vector>

namespace vantrel {
namespace {

double secondsSince(const QElapsedTimer& timer) { return static_cast<double>(timer.nsecsElapsed()) / 1e9; }

// The most ticks a clock of `rate` may deliver in `seconds`: one per frame boundary.
int tickLimit(double rate, double seconds) { return static_cast<int>(std::floor(seconds * rate)) + 1; }

TEST(FrameRateRange, FollowsTheScreensFastestRefresh) {
    EXPECT_EQ(frameRateRange(144), (FrameRateRange{60, 120, 120}));
    EXPECT_EQ(frameRateRange(120), (FrameRateRange{60, 120, 120}));
    EXPECT_EQ(frameRateRange(90), (FrameRateRange{60, 90, 90}));
    EXPECT_EQ(frameRateRange(59.94), (FrameRateRange{59.94, 59.94, 59.94}));
    EXPECT_EQ(frameRateRange(30), (FrameRateRange{30, 30, 30}));
    EXPECT_EQ(frameRateRange(24), (FrameRateRange{30, 30, 30}));
    // A screen that does not know its rate runs like no screen.
    EXPECT_EQ(frameRateRange(0), (FrameRateRange{60, 60, 60}));
    EXPECT_EQ(frameRateRange(std::numeric_limits<double>::quiet_NaN()), (FrameRateRange{60, 60, 60}));
}

TEST(DisplayRefreshClock, TakesItsRateFromTheScreenItIsGiven) {
    ASSERT_NE(QGuiApplication::primaryScreen(), nullptr);
    QWidget widget;
    DisplayRefreshClock clock(&widget);
    EXPECT_FALSE(clock.isRunning());
    EXPECT_EQ(clock.source(), DisplayRefreshClock::Source::none);

    clock.start([](double) {});
    EXPECT_TRUE(clock.isRunning());
    EXPECT_EQ(clock.source(), DisplayRefreshClock::Source::display);
    EXPECT_EQ(clock.frameRates(), frameRateRange(widget.screen()->refreshRate()));

    clock.invalidate();
    clock.invalidate();   // nothing on a stopped clock
    EXPECT_FALSE(clock.isRunning());
    EXPECT_EQ(clock.source(), DisplayRefreshClock::Source::none);
    clock.start(nullptr);
    EXPECT_FALSE(clock.isRunning());

    DisplayRefreshClock unattached;
    unattached.start([](double) {});
    EXPECT_EQ(unattached.frameRates(), frameRateRange(QGuiApplication::primaryScreen()->refreshRate()));
}

TEST(DisplayRefreshClock, ARestartedClockHasOneTickSourceAndCountsFromZero) {
    DisplayRefreshClock restarted, single;
    std::vector<double> restartedTicks, singleTicks;
    QElapsedTimer sinceStart;
    sinceStart.start();
    restarted.start([&](double) { ADD_FAILURE() << "the first callback ticked after the restart"; });
    restarted.start([&](double elapsed) { restartedTicks.push_back(elapsed); });
    single.start([&](double elapsed) { singleTicks.push_back(elapsed); });
    QTest::qWait(250);
    const double window = secondsSince(sinceStart);
    const double rate = single.frameRates().preferred;

    ASSERT_GE(singleTicks.size(), 3u);
    EXPECT_LE(static_cast<int>(restartedTicks.size()), tickLimit(rate, window));
    EXPECT_LE(static_cast<int>(singleTicks.size()), tickLimit(rate, window));
    EXPECT_LE(restartedTicks.size(), singleTicks.size() + 2);
    for (std::size_t i = 0; i < restartedTicks.size(); ++i) {
        EXPECT_GE(restartedTicks[i], 0.0);
        EXPECT_LE(restartedTicks[i], window);
        if (i > 0) {
            EXPECT_GE(restartedTicks[i], restartedTicks[i - 1]);
        }
    }

    // Restarted later, the clock counts from the restart, not from its first start.
    double firstAfterRestart = -1, sinceRestartAtThatTick = -1;
    QElapsedTimer sinceRestart;
    sinceRestart.start();
    restarted.start([&](double elapsed) {
        if (firstAfterRestart < 0) {
            firstAfterRestart = elapsed;
            sinceRestartAtThatTick = secondsSince(sinceRestart);
        }
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return firstAfterRestart >= 0; }, 2000));
    EXPECT_GE(firstAfterRestart, 0.0);
    // Counted from the first start it would be at least the 250 ms waited above.
    EXPECT_LE(firstAfterRestart, sinceRestartAtThatTick);
}

TEST(DisplayRefreshClock, CanBeStoppedRestartedOrDestroyedFromInsideItsCallback) {
    {
        DisplayRefreshClock clock;
        int ticks = 0;
        clock.start([&](double) {
            if (++ticks == 3) clock.invalidate();
        });
        ASSERT_TRUE(QTest::qWaitFor([&] { return ticks == 3; }, 2000));
        QTest::qWait(60);
        EXPECT_EQ(ticks, 3);
        EXPECT_FALSE(clock.isRunning());
    }
    {
        auto clock = std::make_unique<DisplayRefreshClock>();
        int ticks = 0;
        clock->start([&](double) {
            if (++ticks == 2) clock.reset();
        });
        ASSERT_TRUE(QTest::qWaitFor([&] { return ticks == 2; }, 2000));
        QTest::qWait(60);
        EXPECT_EQ(ticks, 2);
        EXPECT_EQ(clock, nullptr);
    }
    {
        DisplayRefreshClock clock;
        int oldTicks = 0, newTicks = 0;
        QElapsedTimer sinceRestart;
        clock.start([&](double) {
            if (++oldTicks == 2) {
                sinceRestart.start();
                clock.start([&](double elapsed) {
                    ++newTicks;
                    EXPECT_LE(elapsed, secondsSince(sinceRestart));
                });
            }
        });
        ASSERT_TRUE(QTest::qWaitFor([&] { return newTicks >= 3; }, 2000));
        EXPECT_EQ(oldTicks, 2);
        EXPECT_LE(newTicks, tickLimit(clock.frameRates().preferred, secondsSince(sinceRestart)));
        EXPECT_TRUE(clock.isRunning());
    }
}

TEST(DisplayRefreshClock, ADroppedClockStopsTicking) {
    int ticks = 0;
    {
        DisplayRefreshClock clock;
        clock.start([&](double) { ++ticks; });
        ASSERT_TRUE(QTest::qWaitFor([&] { return ticks >= 1; }, 2000));
    }
    const int atDrop = ticks;
    QTest::qWait(60);
    EXPECT_EQ(ticks, atDrop);
}

TEST(QtOneShotTimer, FiresOnceAndCanBeReplacedOrCancelled) {
    QtOneShotTimer timer;
    int first = 0, second = 0;
    QElapsedTimer sinceStart;
    sinceStart.start();
    timer.start(0.03, [&] { ++first; });
    timer.start(0.05, [&] { ++second; });
    EXPECT_TRUE(timer.isRunning());
    ASSERT_TRUE(QTest::qWaitFor([&] { return second == 1; }, 2000));
    EXPECT_GE(secondsSince(sinceStart), 0.05);
    QTest::qWait(40);
    EXPECT_EQ(first, 0);
    EXPECT_EQ(second, 1);
    EXPECT_FALSE(timer.isRunning());

    timer.start(0.02, [&] { ++first; });
    timer.cancel();
    EXPECT_FALSE(timer.isRunning());
    // An odd delay fires at once rather than never.
    timer.start(std::numeric_limits<double>::quiet_NaN(), [&] { ++second; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return second == 2; }, 2000));
    QTest::qWait(40);
    EXPECT_EQ(first, 0);
}

TEST(QtOneShotTimer, CanBeRestartedCancelledOrDestroyedFromInsideFire) {
    QtOneShotTimer timer;
    int shots = 0;
    bool runningInsideFire = true;
    std::function<void()> again = [&] {
        runningInsideFire = timer.isRunning();
        if (++shots < 3) timer.start(0.005, again);
    };
    timer.start(0.005, again);
    ASSERT_TRUE(QTest::qWaitFor([&] { return shots == 3; }, 2000));
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
    QTest::qWait(60);
    EXPECT_EQ(cancelled, 1);
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(owned, nullptr);
    EXPECT_FALSE(timer.isRunning());
}

}  // namespace
}  // namespace vantrel

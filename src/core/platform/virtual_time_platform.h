// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/platform/platform.h"

namespace vantrel {

// A platform on virtual time, for everything that runs the store without a display: the
// tests, the benchmarks and the fuzz harnesses. `advance` moves the clock in display
// frames of 1/60 s, firing due timers and ticking every running clock at each frame;
// clocks and timers may be stopped, restarted or destroyed from inside their own
// callbacks. Never advanced, time stands still. The dialogs answer "cancelled".
class VirtualTimePlatform : public Platform {
public:
    static constexpr double kFrame = 1.0 / 60.0;

    VirtualTimePlatform();
    ~VirtualTimePlatform() override;

    std::unique_ptr<FrameClock> makeFrameClock() override;
    std::unique_ptr<OneShotTimer> makeOneShotTimer() override;
    std::optional<std::filesystem::path> chooseJsonFileToOpen() override;
    std::optional<std::filesystem::path> chooseJsonFileToSave(std::string_view proposedName) override;
    LibraryStorage* libraryStorage() override { return storage; }

    void advance(double seconds);
    // Advances frame by frame until `done` holds or `limit` seconds have passed.
    template <typename Pred>
    bool advanceUntil(Pred done, double limit = 30.0) {
        for (double t = 0; t < limit; t += kFrame) {
            if (done()) return true;
            advance(kFrame);
        }
        return done();
    }
    double now() const;
    // The calendar follows the virtual clock from 2026-01-01 00:00 UTC, shifted by
    // `calendarOffset` seconds (a test's days passing without frames).
    std::int64_t wallClockSeconds() const override;
    std::int64_t calendarOffset = 0;
    int runningClocks() const;
    int runningTimers() const;

    // The own tactics' storage; absent keeps them in the preference store.
    LibraryStorage* storage = nullptr;

    struct State;

private:
    std::shared_ptr<State> state_;
};

}  // namespace vantrel

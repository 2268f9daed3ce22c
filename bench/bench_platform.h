// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A platform for benchmarks: clocks and timers keep their callbacks and never fire on
// their own, so a benchmark can drive one frame at a time.
#include <functional>
#include <memory>
#include <vector>

#include "core/platform/platform.h"

namespace vantrel::bench {

class HeldClock : public FrameClock {
public:
    void start(std::function<void(double)> callback) override { callback_ = std::move(callback); }
    void invalidate() override { callback_ = nullptr; }
    bool isRunning() const override { return static_cast<bool>(callback_); }
    void tick(double elapsed) {
        if (callback_) callback_(elapsed);
    }

private:
    std::function<void(double)> callback_;
};

class HeldTimer : public OneShotTimer {
public:
    void start(double, std::function<void()>) override {}
    void cancel() override {}
    bool isRunning() const override { return false; }
};

class BenchPlatform : public Platform {
public:
    std::unique_ptr<FrameClock> makeFrameClock() override {
        auto clock = std::make_unique<HeldClock>();
        clocks.push_back(clock.get());
        return clock;
    }
    std::unique_ptr<OneShotTimer> makeOneShotTimer() override { return std::make_unique<HeldTimer>(); }
    std::optional<std::filesystem::path> chooseJsonFileToOpen() override { return std::nullopt; }
    std::optional<std::filesystem::path> chooseJsonFileToSave(std::string_view) override { return std::nullopt; }

    std::vector<HeldClock*> clocks;   // owned by the store
};

}  // namespace vantrel::bench

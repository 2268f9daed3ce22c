// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>

#include "core/platform/platform.h"

namespace vantrel::fuzz {

// A platform on which time never passes: clocks and timers accept callbacks and never
// call them, and the open dialog answers with `openAnswer`. Enough for everything a
// store does synchronously (start-up, import); nothing here may depend on an animation.
class StillPlatform : public Platform {
public:
    std::optional<std::filesystem::path> openAnswer;

    std::unique_ptr<FrameClock> makeFrameClock() override { return std::make_unique<StillClock>(); }
    std::unique_ptr<OneShotTimer> makeOneShotTimer() override { return std::make_unique<StillTimer>(); }
    std::optional<std::filesystem::path> chooseJsonFileToOpen() override { return openAnswer; }
    std::optional<std::filesystem::path> chooseJsonFileToSave(std::string_view) override { return std::nullopt; }

private:
    struct StillClock : FrameClock {
        bool running = false;
        void start(std::function<void(double)>) override { running = true; }
        void invalidate() override { running = false; }
        bool isRunning() const override { return running; }
    };
    struct StillTimer : OneShotTimer {
        bool running = false;
        void start(double, std::function<void()>) override { running = true; }
        void cancel() override { running = false; }
        bool isRunning() const override { return running; }
    };
};

inline std::string_view bytes(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

}  // namespace vantrel::fuzz

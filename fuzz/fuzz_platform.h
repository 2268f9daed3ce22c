// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>

#include "core/platform/virtual_time_platform.h"

namespace vantrel::fuzz {

// The virtual-time platform, never advanced, so time never passes: clocks and timers
// accept callbacks and never call them; the open dialog answers with `openAnswer`. Enough
// for everything a store does synchronously (start-up, import).
class StillPlatform : public VirtualTimePlatform {
public:
    std::optional<std::filesystem::path> openAnswer;
    std::optional<std::filesystem::path> chooseJsonFileToOpen() override { return openAnswer; }
};

inline std::string_view bytes(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

}  // namespace vantrel::fuzz

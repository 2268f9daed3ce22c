// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstring>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vantrel {

// A 128-bit identifier. New ones are random (version 4); the text form is the canonical
// 36-character form with upper-case hexadecimal digits, as written to JSON.
class Uuid {
public:
    Uuid() = default;   // the nil UUID
    explicit Uuid(const std::array<std::uint8_t, 16>& bytes) : bytes_(bytes) {}

    static Uuid random();
    // Accepts the 36-character form with hyphens in either letter case; nothing else.
    static std::optional<Uuid> parse(std::string_view text);

    std::string string() const;
    const std::array<std::uint8_t, 16>& bytes() const { return bytes_; }
    bool isNil() const;

    bool operator==(const Uuid&) const = default;
    auto operator<=>(const Uuid&) const = default;

private:
    std::array<std::uint8_t, 16> bytes_{};
};

// A hash for unordered containers keyed by UUID: the bytes are random, so folding the two
// halves is enough.
struct UuidHash {
    std::size_t operator()(const Uuid& id) const noexcept {
        std::uint64_t low = 0, high = 0;
        std::memcpy(&low, id.bytes().data(), 8);
        std::memcpy(&high, id.bytes().data() + 8, 8);
        return static_cast<std::size_t>(low ^ (high * 0x9E3779B97F4A7C15ULL));
    }
};

// Draws from a process-wide generator seeded from the system's entropy source.
std::uint64_t randomUInt64();

}  // namespace vantrel

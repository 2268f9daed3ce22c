// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace vantrel {

// The hand-drawn look's randomness: a stateless mix of a 64-bit counter (the SplitMix64
// finaliser), so the same seed and counter give the same value on every run and machine,
// with no state and no allocation.
namespace SeededRandom {

// Golden-ratio step between successive draws of one stream.
inline constexpr std::uint64_t kStep = 0x9e3779b97f4a7c15ULL;
// Offset between independent streams drawn at the same counter.
inline constexpr std::uint64_t kStream = 0xd1b54a32d192ed03ULL;

// The mixed counter's low 16 bits.
constexpr std::uint32_t bits16(std::uint64_t z) {
    z ^= z >> 30;
    z *= 0xbf58476d1ce4e5b9ULL;
    z ^= z >> 27;
    z *= 0x94d049bb133111ebULL;
    return static_cast<std::uint32_t>((z ^ (z >> 31)) & 0xFFFF);
}

// A value in 0…1 with 16-bit resolution. All arithmetic wraps.
constexpr double unit(std::uint64_t z) { return static_cast<double>(bits16(z)) / 65535.0; }

}  // namespace SeededRandom

}  // namespace vantrel

// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/annotation/annotation_text.h"

#include <cstddef>
#include <cstdint>

namespace vantrel::AnnotationText {

namespace {

constexpr char32_t kInvalid = 0xFFFD;

struct Decoded {
    char32_t scalar;
    std::size_t length;   // bytes consumed, at least 1
};

// One scalar from well-formed UTF-8; anything else consumes one byte as U+FFFD.
Decoded decode(std::string_view s, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<std::uint8_t>(s[k]); };
    const std::uint8_t b0 = byte(i);
    if (b0 < 0x80) return {b0, 1};
    std::size_t length = 0;
    char32_t scalar = 0;
    char32_t minimum = 0;
    if ((b0 & 0xE0) == 0xC0) { length = 2; scalar = b0 & 0x1F; minimum = 0x80; }
    else if ((b0 & 0xF0) == 0xE0) { length = 3; scalar = b0 & 0x0F; minimum = 0x800; }
    else if ((b0 & 0xF8) == 0xF0) { length = 4; scalar = b0 & 0x07; minimum = 0x10000; }
    else return {kInvalid, 1};
    if (i + length > s.size()) return {kInvalid, 1};
    for (std::size_t k = 1; k < length; ++k) {
        const std::uint8_t b = byte(i + k);
        if ((b & 0xC0) != 0x80) return {kInvalid, 1};
        scalar = (scalar << 6) | (b & 0x3F);
    }
    if (scalar < minimum || scalar > 0x10FFFF || (scalar >= 0xD800 && scalar <= 0xDFFF)) return {kInvalid, 1};
    return {scalar, length};
}

// Scalars that never start a character of their own.
bool extendsPrevious(char32_t c) {
    return (c >= 0x0300 && c <= 0x036F)       // combining diacritical marks
           || (c >= 0x1AB0 && c <= 0x1AFF) || (c >= 0x1DC0 && c <= 0x1DFF) || (c >= 0x20D0 && c <= 0x20FF)
           || (c >= 0xFE20 && c <= 0xFE2F)    // combining half marks
           || (c >= 0xFE00 && c <= 0xFE0F)    // variation selectors
           || (c >= 0xE0100 && c <= 0xE01EF)  // variation selectors supplement
           || (c >= 0x1F3FB && c <= 0x1F3FF)  // emoji skin-tone modifiers
           || (c >= 0xE0020 && c <= 0xE007F)  // emoji tag sequences
           || c == 0x200D                     // zero width joiner
           || (c >= 0x3099 && c <= 0x309A);   // kana voicing marks
}

bool isRegionalIndicator(char32_t c) { return c >= 0x1F1E6 && c <= 0x1F1FF; }

bool isWhiteSpaceOrNewline(char32_t c) {
    return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x85 || c == 0xA0 || c == 0x1680 ||
           (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F ||
           c == 0x3000;
}

}  // namespace

double emWidth(std::string_view line) {
    double sum = 0;
    std::size_t i = 0;
    char32_t previous = 0;
    std::size_t scalarsInCharacter = 0;
    bool characterIsAscii = false;
    bool regionalPairOpen = false;
    const auto finishCharacter = [&] {
        if (scalarsInCharacter > 0) sum += characterIsAscii ? kAsciiEm : kWideEm;
        scalarsInCharacter = 0;
    };
    while (i < line.size()) {
        const Decoded d = decode(line, i);
        i += d.length;
        const char32_t c = d.scalar;
        const bool joinsPrevious =
            scalarsInCharacter > 0 &&
            (extendsPrevious(c) || previous == 0x200D || (previous == '\r' && c == '\n' && scalarsInCharacter == 1) ||
             (regionalPairOpen && isRegionalIndicator(c)));
        if (joinsPrevious) {
            // CR LF stays one narrow character; every other cluster is wide.
            characterIsAscii = previous == '\r' && c == '\n';
            regionalPairOpen = false;
            ++scalarsInCharacter;
        } else {
            finishCharacter();
            scalarsInCharacter = 1;
            characterIsAscii = c < 0x80 && d.length == 1;
            regionalPairOpen = isRegionalIndicator(c);
        }
        previous = c;
    }
    finishCharacter();
    return sum;
}

std::vector<std::string_view> lines(std::string_view text) {
    std::vector<std::string_view> result;
    std::size_t start = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        const Decoded d = decode(text, i);
        std::size_t breakLength = 0;
        if (d.scalar == '\n' || d.scalar == 0x85 || d.scalar == 0x2028 || d.scalar == 0x2029) {
            breakLength = d.length;
        } else if (d.scalar == '\r') {
            breakLength = (i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
        }
        if (breakLength > 0) {
            result.push_back(text.substr(start, i - start));
            i += breakLength;
            start = i;
        } else {
            i += d.length;
        }
    }
    result.push_back(text.substr(start));
    return result;
}

std::string trimmed(std::string_view text) {
    std::size_t begin = 0;
    while (begin < text.size()) {
        const Decoded d = decode(text, begin);
        if (!isWhiteSpaceOrNewline(d.scalar)) break;
        begin += d.length;
    }
    // Walk forwards to find the end of the last non-blank scalar, so that a multi-byte
    // scalar is never cut.
    std::size_t end = begin;
    for (std::size_t i = begin; i < text.size();) {
        const Decoded d = decode(text, i);
        i += d.length;
        if (!isWhiteSpaceOrNewline(d.scalar)) end = i;
    }
    return std::string(text.substr(begin, end - begin));
}

}  // namespace vantrel::AnnotationText

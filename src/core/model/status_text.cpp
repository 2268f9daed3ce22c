// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/model/status_text.h"

#include <cstdint>
#include <vector>

namespace vantrel {

namespace {

constexpr char32_t kReplacement = 0xFFFD;
constexpr char32_t kEllipsis = 0x2026;
// Of the characters kept around "…", this many come from the beginning: the message and
// most of the value; the rest from the end, with its closing bracket.
constexpr std::size_t kKeptFromStart = kMaxStatusCharacters * 2 / 3;

// One code point decoded from the front of `bytes`, with the bytes it used. An ill-formed
// sequence yields U+FFFD for its maximal well-formed prefix (at least one byte), as the
// Unicode standard recommends, so a cut multi-byte character becomes a single U+FFFD.
struct Decoded {
    char32_t value;
    std::size_t length;
};

Decoded decodeOne(std::string_view bytes) {
    const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(bytes[i]); };
    const std::uint8_t lead = byte(0);
    if (lead < 0x80) return {lead, 1};
    std::size_t length = 0;
    char32_t value = 0;
    std::uint8_t low = 0x80, high = 0xBF;   // the allowed range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        value = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        value = lead & 0x0F;
        if (lead == 0xE0) low = 0xA0;        // no overlong forms
        if (lead == 0xED) high = 0x9F;       // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        value = lead & 0x07;
        if (lead == 0xF0) low = 0x90;        // no overlong forms
        if (lead == 0xF4) high = 0x8F;       // nothing above U+10FFFF
    } else {
        return {kReplacement, 1};
    }
    for (std::size_t i = 1; i < length; ++i) {
        if (i >= bytes.size()) return {kReplacement, i};
        const std::uint8_t next = byte(i);
        const bool allowed = i == 1 ? (next >= low && next <= high) : (next >= 0x80 && next <= 0xBF);
        if (!allowed) return {kReplacement, i};
        value = (value << 6) | (next & 0x3F);
    }
    return {value, length};
}

// Characters that would break the line or disturb how it reads: C0 and C1 controls, DEL,
// the Unicode line and paragraph separators, and the bidirectional embeddings, overrides
// and isolates (which could make a quoted value read backwards).
bool breaksTheLine(char32_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x2028 || c == 0x2029 || (c >= 0x202A && c <= 0x202E) ||
           (c >= 0x2066 && c <= 0x2069);
}

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

}  // namespace

std::string readableStatusLine(std::string_view text) {
    std::vector<char32_t> line;
    line.reserve(text.size());
    while (!text.empty()) {
        const Decoded d = decodeOne(text);
        text.remove_prefix(d.length);
        if (breaksTheLine(d.value)) {
            // A run of them is one space, merged with a space before it.
            if (line.empty() || line.back() != U' ') line.push_back(U' ');
            continue;
        }
        line.push_back(d.value);
    }
    std::size_t begin = 0;
    std::size_t end = line.size();
    while (begin < end && line[begin] == U' ') ++begin;
    while (end > begin && line[end - 1] == U' ') --end;

    std::string out;
    out.reserve((end - begin) * 3);
    if (end - begin <= kMaxStatusCharacters) {
        for (std::size_t i = begin; i < end; ++i) appendUtf8(out, line[i]);
        return out;
    }
    const std::size_t fromEnd = kMaxStatusCharacters - 1 - kKeptFromStart;
    for (std::size_t i = begin; i < begin + kKeptFromStart; ++i) appendUtf8(out, line[i]);
    appendUtf8(out, kEllipsis);
    for (std::size_t i = end - fromEnd; i < end; ++i) appendUtf8(out, line[i]);
    return out;
}

}  // namespace vantrel

// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/library/tactic_search.h"

#include <algorithm>

namespace vantrel::TacticSearch {

namespace {

char32_t foldCodePoint(char32_t c) {
    if (c == 0x3000) return U' ';
    if (c >= 0xFF01 && c <= 0xFF5E) c -= 0xFEE0;   // full-width ASCII forms
    if (c >= U'A' && c <= U'Z') c += 32;
    return c;
}

bool isSpace(char32_t c) { return c == U' ' || c == U'\t' || c == U'\n' || c == U'\r'; }

}  // namespace

std::u32string fold(std::string_view utf8) {
    std::u32string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        std::size_t length = b < 0x80 ? 1 : (b >> 5) == 0x6 ? 2 : (b >> 4) == 0xE ? 3 : (b >> 3) == 0x1E ? 4 : 0;
        char32_t c = length == 1 ? b : length == 2 ? b & 0x1F : length == 3 ? b & 0x0F : b & 0x07;
        bool valid = length > 0 && i + length <= utf8.size();
        for (std::size_t k = 1; valid && k < length; ++k) {
            const auto next = static_cast<unsigned char>(utf8[i + k]);
            valid = (next & 0xC0) == 0x80;
            c = (c << 6) | (next & 0x3F);
        }
        if (!valid) {
            out.push_back(0xFFFD);
            ++i;
            continue;
        }
        out.push_back(foldCodePoint(c));
        i += length;
    }
    return out;
}

Query parse(std::string_view typed) {
    Query query;
    const std::u32string folded = fold(typed);
    std::u32string word;
    for (char32_t c : folded) {
        if (!isSpace(c)) {
            word.push_back(c);
            continue;
        }
        if (!word.empty()) query.words.push_back(std::move(word));
        word.clear();
    }
    if (!word.empty()) query.words.push_back(std::move(word));
    return query;
}

std::u32string searchableText(const Tactic& tactic) {
    // A newline between the parts: no word is found across two of them.
    std::string text = tactic.name;
    for (const auto& step : tactic.steps) {
        text += '\n';
        text += step.title;
        text += '\n';
        text += step.note;
    }
    for (const auto& tag : tactic.tags) {
        text += '\n';
        text += tag;
    }
    return fold(text);
}

bool matches(const Query& query, std::u32string_view folded) {
    return std::all_of(query.words.begin(), query.words.end(),
                       [&](const std::u32string& word) { return folded.find(word) != std::u32string_view::npos; });
}

std::vector<Range> highlights(const Query& query, std::string_view text) {
    const std::u32string folded = fold(text);
    std::vector<Range> found;
    for (const auto& word : query.words)
        for (std::size_t at = folded.find(word); at != std::u32string::npos; at = folded.find(word, at + 1))
            found.push_back({at, at + word.size()});
    std::sort(found.begin(), found.end(), [](const Range& a, const Range& b) { return a.begin < b.begin; });
    std::vector<Range> merged;
    for (const Range& r : found) {
        if (!merged.empty() && r.begin <= merged.back().end)
            merged.back().end = std::max(merged.back().end, r.end);
        else
            merged.push_back(r);
    }
    return merged;
}

}  // namespace vantrel::TacticSearch

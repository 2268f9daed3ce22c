// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/model/board.h"

namespace vantrel {

// Finding tactics by what a coach remembers of them: words of the name, a stage title, a
// note or a tag.
//
// Text is compared folded: full-width forms (U+FF01 … U+FF5E) become their ASCII twins,
// the ideographic space a space, and Latin letters lower case. Folding maps one code
// point to one, so an offset into folded text is an offset into the original.
namespace TacticSearch {

// UTF-8 to folded code points; a malformed byte becomes one U+FFFD.
std::u32string fold(std::string_view utf8);

// The words of what the coach typed, folded; white space (either width) separates them.
struct Query {
    std::vector<std::u32string> words;
    bool empty() const { return words.empty(); }
};
Query parse(std::string_view typed);

// The folded text a tactic is found by: its name, stage titles, notes and tags.
std::u32string searchableText(const Tactic& tactic);

// True when every word of the query occurs in `folded` (an empty query matches all).
bool matches(const Query& query, std::u32string_view folded);

// Where the query's words occur in `text`, as code point ranges [begin, end), sorted and
// merged, for highlighting.
struct Range {
    std::size_t begin = 0;
    std::size_t end = 0;
    bool operator==(const Range&) const = default;
};
std::vector<Range> highlights(const Query& query, std::string_view text);

}  // namespace TacticSearch

}  // namespace vantrel

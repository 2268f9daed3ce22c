// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vantrel {

// Text measurement for note boxes. The core has no font engine, and a note's box is
// stored in the tactic, so it is measured by a fixed rule that gives the same box on
// every machine: a character is 0.58 em wide when it is a single ASCII scalar (or a
// carriage return + line feed pair), 1 em otherwise (CJK, accented, emoji). A
// "character" is a user-perceived one: combining marks, variation selectors, emoji
// modifiers, zero-width-joiner sequences and flag pairs belong to the character before.
namespace AnnotationText {

inline constexpr double kAsciiEm = 0.58;
inline constexpr double kWideEm = 1.0;

// Sum of the em widths of the characters of one line. Malformed UTF-8 bytes count as
// one wide character each.
double emWidth(std::string_view line);

// The lines of a text, split at line breaks (LF, CR LF, CR, U+0085, U+2028, U+2029).
// Empty lines are kept, so "" is one empty line and "a\n" is "a" and "".
std::vector<std::string_view> lines(std::string_view text);

// The text without leading and trailing white space and line breaks, Unicode's included
// (the ideographic space U+3000 that Chinese input methods type among them).
std::string trimmed(std::string_view text);

}  // namespace AnnotationText

}  // namespace vantrel

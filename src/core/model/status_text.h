// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vantrel {

// The longest status line, in characters (Unicode code points), "…" included.
inline constexpr std::size_t kMaxStatusCharacters = 160;

// `text` made fit for the one-line status: bytes that are not UTF-8 become U+FFFD; line
// breaks, tabs, control characters and bidirectional overrides become one space per run;
// spaces at either end are dropped; and a line longer than kMaxStatusCharacters keeps its
// beginning and its end around "…", so a long quoted value is cut in its middle while the
// message before it and the closing bracket after it stay. Always valid UTF-8.
std::string readableStatusLine(std::string_view text);

}  // namespace vantrel

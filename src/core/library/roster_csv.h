// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/model/result.h"

namespace vantrel {

// One line of a squad list as a spreadsheet gives it.
struct RosterRow {
    int shirt = 0;                      // 1 … 99
    std::optional<std::string> name;    // trimmed, cut to 24 characters; absent when blank
    std::optional<std::string> role;    // trimmed, cut to 16 characters; absent when blank

    bool operator==(const RosterRow&) const = default;
};

// A squad list pasted or read from a CSV file: UTF-8 with or without a byte-order mark;
// fields separated by commas, semicolons or tabs (whichever the first line uses most),
// quoted with '"' where a field holds one; columns 号码/number, 姓名/name and 位置/role
// in any order under an optional header row (without one: the column of numbers, then
// name, then role). Blank lines are skipped. Refused when it is not well-formed UTF-8;
// refused, naming the line, when a number is
// not 1 … 99 or appears twice; refused when there are more than 200 rows, more than
// 256 KB of text or no row at all.
Result<std::vector<RosterRow>> parseRoster(std::string_view text);

}  // namespace vantrel

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "core/store/library_entries.h"

namespace vantrel {

// How the coach's own tactics are listed. Creation is the library's own order (the order
// they were made or imported in); last change puts the newest first, and tactics from
// before the library kept the time after them, in creation order.
enum class LibraryOrder { creation, name, lastChange };

LibraryOrder parseLibraryOrder(std::string_view stored);   // unknown text: creation
std::string_view libraryOrderKey(LibraryOrder order);      // "creation", "name", "lastChange"

// Sorts own entries in place. Names compare code point by code point, a run of digits by
// its number ("角球 2" before "角球 10").
void orderOwnEntries(std::vector<const LibraryEntry*>& entries, LibraryOrder order);

// The tags offered when a coach labels a tactic.
inline constexpr std::array<std::string_view, 5> kSuggestedTags = {"进攻", "防守", "定位球", "转换", "训练"};

// The suggested tags, then every other tag the entries carry, each once, in first-seen order.
std::vector<std::string> tagsInUse(const std::vector<LibraryEntry>& entries);

}  // namespace vantrel

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "core/model/board.h"

namespace vantrel {

class BoardStore;

// One row of the library list. The key selects the tactic and names it in the
// favourites: "builtin-<format>-<index>" or "imported-<UUID>".
//
// The tactic and the saved entry point into the built-in lists and the store's library:
// a list of a thousand tactics is not copied at every autosave. They hold until the
// store's library next changes (StoreChange::library), when the list is made again; a
// command that may change the library gets a copy of the saved entry, not the pointer.
struct LibraryEntry {
    std::string id;
    const Tactic* tactic = nullptr;
    std::optional<int> builtinIndex;     // absent for the coach's own tactics
    const SavedTactic* saved = nullptr;  // null for built-in tactics
    bool operator==(const LibraryEntry&) const = default;
};

// The library scopes.
inline constexpr std::string_view kLibraryScopeAll = "all";
inline constexpr std::string_view kLibraryScopeFavorites = "favorites";
inline constexpr std::string_view kLibraryScopeMine = "mine";

// The built-in tactics of the store's format, then the coach's own tactics of that
// format in the store's order, kept by the scope: "favorites" keeps the favourite keys,
// "mine" the coach's own, anything else all.
std::vector<LibraryEntry> libraryEntries(const BoardStore& store, const std::set<std::string>& favorites,
                                         std::string_view scope);

}  // namespace vantrel

// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/store/library_entries.h"

#include "core/library/builtin_tactics.h"
#include "core/store/board_store.h"

namespace vantrel {

std::vector<LibraryEntry> libraryEntries(const BoardStore& store, const std::set<std::string>& favorites,
                                         std::string_view scope) {
    const int format = store.tactic().format == 7 ? 7 : 11;
    std::vector<LibraryEntry> entries;
    const auto& builtIns = BuiltInTactics::library(format);
    for (std::size_t i = 0; i < builtIns.size(); ++i) {
        const int index = static_cast<int>(i);
        entries.push_back({"builtin-" + std::to_string(format) + "-" + std::to_string(index), &builtIns[i], index, nullptr});
    }
    for (const SavedTactic& saved : store.importedTactics()) {
        if (saved.tactic.format != store.tactic().format) continue;
        entries.push_back({saved.key(), &saved.tactic, std::nullopt, &saved});
    }
    std::erase_if(entries, [&](const LibraryEntry& entry) {
        if (scope == kLibraryScopeFavorites) return !favorites.contains(entry.id);
        if (scope == kLibraryScopeMine) return entry.builtinIndex.has_value();
        return false;
    });
    return entries;
}

}  // namespace vantrel

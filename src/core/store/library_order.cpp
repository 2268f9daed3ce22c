// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/store/library_order.h"

#include <algorithm>

namespace vantrel {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Negative, zero or positive as `a` sorts before, with or after `b`. UTF-8 byte order is
// code point order; a digit run compares by its value, then by its length ("02" after "2").
int compareNames(std::string_view a, std::string_view b) {
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (isDigit(a[i]) && isDigit(b[j])) {
            std::size_t ei = i, ej = j;
            while (ei < a.size() && isDigit(a[ei])) ++ei;
            while (ej < b.size() && isDigit(b[ej])) ++ej;
            std::size_t si = i, sj = j;   // leading zeros do not count towards the value
            while (si + 1 < ei && a[si] == '0') ++si;
            while (sj + 1 < ej && b[sj] == '0') ++sj;
            if (ei - si != ej - sj) return ei - si < ej - sj ? -1 : 1;
            if (int c = a.substr(si, ei - si).compare(b.substr(sj, ej - sj)); c != 0) return c;
            if (ei - i != ej - j) return ei - i < ej - j ? -1 : 1;
            i = ei;
            j = ej;
            continue;
        }
        if (a[i] != b[j]) return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[j]) ? -1 : 1;
        ++i;
        ++j;
    }
    return (a.size() - i) == (b.size() - j) ? 0 : (a.size() - i) < (b.size() - j) ? -1 : 1;
}

}  // namespace

LibraryOrder parseLibraryOrder(std::string_view stored) {
    if (stored == "name") return LibraryOrder::name;
    if (stored == "lastChange") return LibraryOrder::lastChange;
    return LibraryOrder::creation;
}

std::string_view libraryOrderKey(LibraryOrder order) {
    switch (order) {
    case LibraryOrder::name: return "name";
    case LibraryOrder::lastChange: return "lastChange";
    case LibraryOrder::creation: break;
    }
    return "creation";
}

void orderOwnEntries(std::vector<const LibraryEntry*>& entries, LibraryOrder order) {
    if (order == LibraryOrder::name) {
        std::stable_sort(entries.begin(), entries.end(), [](const LibraryEntry* a, const LibraryEntry* b) {
            return compareNames(a->tactic->name, b->tactic->name) < 0;
        });
    } else if (order == LibraryOrder::lastChange) {
        std::stable_sort(entries.begin(), entries.end(), [](const LibraryEntry* a, const LibraryEntry* b) {
            const auto changed = [](const LibraryEntry* e) {
                return e->saved ? e->saved->changedAt : std::optional<std::int64_t>();
            };
            const auto ca = changed(a), cb = changed(b);
            if (ca.has_value() != cb.has_value()) return ca.has_value();
            return ca && *ca > *cb;
        });
    }
}

std::vector<std::string> tagsInUse(const std::vector<LibraryEntry>& entries) {
    std::vector<std::string> tags(kSuggestedTags.begin(), kSuggestedTags.end());
    for (const auto& e : entries)
        for (const auto& tag : e.tactic->tags)
            if (std::find(tags.begin(), tags.end(), tag) == tags.end()) tags.push_back(tag);
    return tags;
}

}  // namespace vantrel

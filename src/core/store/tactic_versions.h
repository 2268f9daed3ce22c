// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/model/board.h"
#include "core/platform/library_storage.h"
#include "core/platform/platform.h"

namespace vantrel {

// The earlier versions of the coach's own tactics ("历史版本…"): each save that replaces
// an own tactic keeps what it replaced, at most 20 versions and 30 days per tactic, the
// oldest dropped first. Saves of one tactic less than five minutes after the version
// kept last are one edit session: the version from before it stays, and the rest is what
// the library holds, so a burst of step edits does not push last week's versions out.
//
// A tactic's versions are read from the storage the first time they are listed, never at
// start-up. A save hands the storage an update that reads, extends, trims and rewrites
// them on its writer, so keeping a version costs the interface a copy of the tactic.
class TacticVersions {
public:
    static constexpr std::size_t kMaxVersions = 20;
    static constexpr std::int64_t kMaxAgeSeconds = 30 * 24 * 60 * 60;
    static constexpr std::int64_t kSessionSeconds = 5 * 60;

    TacticVersions(LibraryStorage& storage, const Platform& platform) : storage_(storage), platform_(platform) {}

    // Newest first, none older than 30 days. Versions that cannot be read count as none
    // (the library itself is untouched by them) and a later save starts them afresh.
    const std::vector<TacticVersion>& of(const Uuid& tacticID);
    // `replaced` was the stored tactic until now. A restore keeps it always; a save only
    // when the version kept last (as listed, or this run) is at least five minutes old.
    void keep(const Uuid& tacticID, Tactic replaced, bool always = false);
    // The tactic was deleted: its versions go with it.
    void forget(const Uuid& tacticID);

    // The stored text as a list, newest first: unreadable or refused versions dropped,
    // then those kept before `oldest` (seconds since 1970) and those beyond the limit.
    static std::vector<TacticVersion> decode(const std::optional<std::string>& stored, std::int64_t oldest);

private:
    std::vector<TacticVersion>& load(const std::string& id);

    LibraryStorage& storage_;
    const Platform& platform_;
    std::unordered_map<std::string, std::vector<TacticVersion>> loaded_;
    std::unordered_map<std::string, std::int64_t> lastKept_;   // seconds since 1970, this run
};

}  // namespace vantrel

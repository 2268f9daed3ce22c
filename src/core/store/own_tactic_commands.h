// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/model/board.h"
#include "core/store/tactic_versions.h"

namespace vantrel {

class BoardStore;

// The library's commands on the coach's own tactics, by library key (unknown keys do
// nothing): a part of the store, reached as `store.ownTactics()`.
class OwnTacticCommands {
public:
    explicit OwnTacticCommands(BoardStore& store) : store_(store) {}

    // A rename is trimmed and an empty name keeps the old one; a copy is named after the
    // original with " 副本" and its key returned; a deletion writes the library and the
    // favourites at once, and deleting the open tactic opens the first built-in tactic of
    // its format.
    void rename(const std::string& key, std::string name);
    std::optional<std::string> duplicate(const std::string& key);
    void remove(const std::string& key);
    // Labels an own tactic: each tag trimmed and cut to 16 characters, empty and repeated
    // ones dropped, the first 12 kept; written at once.
    void setTags(const std::string& key, const std::vector<std::string>& tags);
    // The earlier versions of an own tactic ("历史版本…"), newest first; none for other keys.
    const std::vector<TacticVersion>& versions(const std::string& key);
    // Makes `version` the stored version of an own tactic, keeping the one it replaces
    // among the versions; the open tactic reopens at its first step, after the save
    // question when its stage has changes.
    void restoreVersion(const std::string& key, const Tactic& version);
    // Unreadable libraries kept aside at start-up, newest first; the export offers one
    // through the save dialog.
    int unreadableCount();
    void exportUnreadable(int index = 0);

private:
    BoardStore& store_;
};

}  // namespace vantrel

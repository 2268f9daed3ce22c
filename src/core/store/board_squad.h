// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/library/roster_csv.h"

namespace vantrel {

class BoardStore;

// The squad of the open tactic (the names, roles, shirts and kits the coach gives his
// teams) and the player in focus: a part of the store, reached as `store.squad()`. Its
// edits are undone and autosaved like the store's own.
class BoardSquad {
public:
    explicit BoardSquad(BoardStore& store) : store_(store) {}

    // A player's name, role and shirt: texts trimmed and cut to 24 and 16 characters,
    // empty ones cleared, a shirt outside 1 … 99 cleared. A shirt a teammate wears is
    // refused ("号码 7 已被蓝队 7 号使用"). One undo level.
    void setPlayer(const std::string& id, const std::string& name, const std::string& role, std::optional<int> shirt);
    // A team's name (trimmed, cut to 24 characters, empty: "蓝队" / "橙队") and kit colour
    // ("#RRGGBB", absent: the team's own). One undo level.
    void setTeamIdentity(int team, const std::string& name, std::optional<std::string> color);
    // Names and roles from a squad list, matched to the team's players by the number each
    // shows; lines whose number no player shows are left out and named in the status. One
    // undo level.
    void applyRoster(int team, const std::vector<RosterRow>& roster);
    // "聚焦球员": the others dim and his path through every step is drawn, also while the
    // tactic plays; another tactic, or the same id again, ends it.
    const std::optional<std::string>& focused() const { return focused_; }
    void setFocused(std::optional<std::string> id);

private:
    BoardStore& store_;
    std::optional<std::string> focused_;
};

}  // namespace vantrel

// SPDX-License-Identifier: GPL-3.0-or-later
// The squad of the open tactic: the names, roles and shirts the coach gives his players.
#include <algorithm>

#include "core/model/step_title.h"
#include "core/model/tactic_limits.h"
#include "core/store/board_store.h"

namespace vantrel {

namespace {

std::optional<std::string> squadText(const std::string& typed, std::size_t limit) {
    std::string text = trimmedText(typed);
    TacticLimits::cutText(text, limit);
    if (text.empty()) return std::nullopt;
    return text;
}

}  // namespace

void BoardStore::setSquadPlayer(const std::string& id, const std::string& name, const std::string& role,
                                std::optional<int> shirt) {
    Batch batch(notifier_);
    const BoardStep* step = currentStep();
    const Player* player = step ? step->player(id) : nullptr;
    if (!player || player->team < 0 || player->team > 1) return;
    const auto team = static_cast<std::size_t>(player->team);
    if (shirt && (*shirt < 1 || *shirt > TacticLimits::kMaxShirt)) shirt.reset();
    if (shirt && tactic_.teams.size() > team)
        for (const SquadPlayer& other : tactic_.teams[team].players)
            if (other.id != id && other.shirt == shirt) {
                const Player* wearer = step->player(other.id);
                setStatus("号码 " + std::to_string(*shirt) + " 已被" +
                          (wearer ? playerLabel(tactic_, *wearer) : other.id) + "使用");
                return;
            }

    auto scope = editScope("修改球员信息");
    const std::vector<TeamSquad> before = tactic_.teams;
    if (tactic_.teams.size() <= team) tactic_.teams.resize(team + 1);
    auto& players = tactic_.teams[team].players;
    auto entry = std::find_if(players.begin(), players.end(), [&](const SquadPlayer& p) { return p.id == id; });
    if (entry == players.end()) entry = players.insert(players.end(), SquadPlayer{id, std::nullopt, std::nullopt, std::nullopt});
    entry->name = squadText(name, TacticLimits::kMaxSquadNameCharacters);
    entry->role = squadText(role, TacticLimits::kMaxRoleCharacters);
    entry->shirt = shirt;
    // Nothing named keeps no entry, and a tactic that names nobody no squad: its document
    // stays as it was.
    if (!entry->name && !entry->role && !entry->shirt) players.erase(entry);
    while (!tactic_.teams.empty() && tactic_.teams.back() == TeamSquad{}) tactic_.teams.pop_back();
    if (tactic_.teams != before) recordEdit();
}

}  // namespace vantrel

// SPDX-License-Identifier: GPL-3.0-or-later
// The squad of the open tactic: the names, roles and shirts the coach gives his players.
#include <algorithm>

#include "core/model/step_title.h"
#include "core/model/tactic_limits.h"
#include "core/store/board_squad.h"

#include "core/store/board_store.h"

namespace vantrel {

namespace {

std::optional<std::string> squadText(const std::string& typed, std::size_t limit) {
    std::string text = trimmedText(typed);
    TacticLimits::cutText(text, limit);
    if (text.empty()) return std::nullopt;
    return text;
}

// Drops what names nobody, so a tactic without a squad keeps the document it had.
void pruneSquad(std::vector<TeamSquad>& teams) {
    for (TeamSquad& team : teams)
        std::erase_if(team.players, [](const SquadPlayer& p) { return !p.name && !p.role && !p.shirt; });
    while (!teams.empty() && teams.back() == TeamSquad{}) teams.pop_back();
}

SquadPlayer& entryOf(std::vector<TeamSquad>& teams, std::size_t team, const std::string& id) {
    if (teams.size() <= team) teams.resize(team + 1);
    auto& players = teams[team].players;
    auto entry = std::find_if(players.begin(), players.end(), [&](const SquadPlayer& p) { return p.id == id; });
    if (entry == players.end()) entry = players.insert(players.end(), SquadPlayer{id, std::nullopt, std::nullopt, std::nullopt});
    return *entry;
}

}  // namespace

void BoardSquad::setTeamIdentity(int team, const std::string& name, std::optional<std::string> color) {
    BoardStore::Batch batch(store_.notifier_);
    if (team < 0 || team > 1) return;
    if (color && !TacticLimits::isKitColour(*color)) color.reset();
    auto scope = store_.editScope("修改球队信息");
    const std::vector<TeamSquad> before = store_.tactic_.teams;
    const auto index = static_cast<std::size_t>(team);
    if (store_.tactic_.teams.size() <= index) store_.tactic_.teams.resize(index + 1);
    store_.tactic_.teams[index].name = squadText(name, TacticLimits::kMaxSquadNameCharacters);
    store_.tactic_.teams[index].color = std::move(color);
    pruneSquad(store_.tactic_.teams);
    if (store_.tactic_.teams != before) store_.recordEdit();
}

void BoardSquad::applyRoster(int team, const std::vector<RosterRow>& roster) {
    BoardStore::Batch batch(store_.notifier_);
    const BoardStep* step = store_.currentStep();
    if (team < 0 || team > 1 || !step) return;
    auto scope = store_.editScope("导入名单");
    const std::vector<TeamSquad> before = store_.tactic_.teams;
    int matched = 0;
    std::vector<int> unmatched;
    for (const RosterRow& row : roster) {
        const auto wearer = std::find_if(step->players.begin(), step->players.end(), [&](const Player& p) {
            return p.team == team && shirtNumber(store_.tactic_, p) == row.shirt;
        });
        if (wearer == step->players.end()) {
            unmatched.push_back(row.shirt);
            continue;
        }
        SquadPlayer& entry = entryOf(store_.tactic_.teams, static_cast<std::size_t>(team), wearer->id);
        entry.name = row.name;
        entry.role = row.role;
        ++matched;
    }
    pruneSquad(store_.tactic_.teams);
    if (store_.tactic_.teams != before) store_.recordEdit();
    std::string status = "已导入名单：" + teamName(store_.tactic_, team) + " " + std::to_string(matched) + " 名球员";
    if (!unmatched.empty()) {
        status += " · 未找到号码";
        for (std::size_t i = 0; i < unmatched.size(); ++i) status += (i ? "、" : " ") + std::to_string(unmatched[i]);
    }
    store_.setStatus(std::move(status));
}

void BoardSquad::setFocused(std::optional<std::string> id) {
    BoardStore::Batch batch(store_.notifier_);
    if (id && (id == focused_ || !store_.currentStep() || !store_.currentStep()->player(*id))) id.reset();
    if (id == focused_) return;
    focused_ = std::move(id);
    store_.notifier_.mark(StoreChange::frame | StoreChange::displayOptions);
}

void BoardSquad::setPlayer(const std::string& id, const std::string& name, const std::string& role,
                                std::optional<int> shirt) {
    BoardStore::Batch batch(store_.notifier_);
    const BoardStep* step = store_.currentStep();
    const Player* player = step ? step->player(id) : nullptr;
    if (!player || player->team < 0 || player->team > 1) return;
    const auto team = static_cast<std::size_t>(player->team);
    if (shirt && (*shirt < 1 || *shirt > TacticLimits::kMaxShirt)) shirt.reset();
    if (shirt && store_.tactic_.teams.size() > team)
        for (const SquadPlayer& other : store_.tactic_.teams[team].players)
            if (other.id != id && other.shirt == shirt) {
                const Player* wearer = step->player(other.id);
                store_.setStatus("号码 " + std::to_string(*shirt) + " 已被" +
                          (wearer ? playerLabel(store_.tactic_, *wearer) : other.id) + "使用");
                return;
            }

    auto scope = store_.editScope("修改球员信息");
    const std::vector<TeamSquad> before = store_.tactic_.teams;
    SquadPlayer& entry = entryOf(store_.tactic_.teams, team, id);
    entry.name = squadText(name, TacticLimits::kMaxSquadNameCharacters);
    entry.role = squadText(role, TacticLimits::kMaxRoleCharacters);
    entry.shirt = shirt;
    pruneSquad(store_.tactic_.teams);
    if (store_.tactic_.teams != before) store_.recordEdit();
}

}  // namespace vantrel

// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/model/board.h"

#include <array>

namespace vantrel {

namespace {
constexpr std::array kPassStyles{PassStyle::ground, PassStyle::loft};
}

std::span<const PassStyle> allPassStyles() { return kPassStyles; }

std::string_view rawValue(PassStyle style) { return style == PassStyle::loft ? "高空球" : "地面球"; }

std::optional<PassStyle> passStyleFromRaw(std::string_view raw) {
    if (raw == "地面球") return PassStyle::ground;
    if (raw == "高空球") return PassStyle::loft;
    return std::nullopt;
}

const Player* BoardStep::player(std::string_view playerID) const {
    for (const auto& p : players)
        if (p.id == playerID) return &p;
    return nullptr;
}

Player* BoardStep::player(std::string_view playerID) {
    for (auto& p : players)
        if (p.id == playerID) return &p;
    return nullptr;
}

std::optional<Point> BoardStep::pathControl(std::string_view playerID) const {
    if (!pathControls) return std::nullopt;
    auto it = pathControls->find(std::string(playerID));
    if (it == pathControls->end()) return std::nullopt;
    return it->second;
}

std::string teamName(int team) { return team == 0 ? "蓝队" : "橙队"; }

std::string playerLabel(const Player& player) {
    return teamName(player.team) + " " + std::to_string(player.number) + " 号";
}

const SquadPlayer* squadPlayer(const Tactic& tactic, const Player& player) {
    if (player.team < 0 || player.team >= static_cast<int>(tactic.teams.size())) return nullptr;
    for (const auto& named : tactic.teams[static_cast<std::size_t>(player.team)].players)
        if (named.id == player.id) return &named;
    return nullptr;
}

std::string teamName(const Tactic& tactic, int team) {
    if (team >= 0 && team < static_cast<int>(tactic.teams.size()) && tactic.teams[static_cast<std::size_t>(team)].name)
        return *tactic.teams[static_cast<std::size_t>(team)].name;
    return teamName(team);
}

int shirtNumber(const Tactic& tactic, const Player& player) {
    const SquadPlayer* named = squadPlayer(tactic, player);
    return named && named->shirt ? *named->shirt : player.number;
}

std::string playerLabel(const Tactic& tactic, const Player& player) {
    std::string label = teamName(tactic, player.team) + " " + std::to_string(shirtNumber(tactic, player)) + " 号";
    if (const SquadPlayer* named = squadPlayer(tactic, player); named && named->name) label += " " + *named->name;
    return label;
}

std::string playerID(int team, int number) { return (team == 0 ? "home-" : "away-") + std::to_string(number); }

}  // namespace vantrel

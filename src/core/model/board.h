// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/model/annotation.h"
#include "core/model/equipment.h"
#include "core/model/point.h"
#include "core/model/uuid.h"

namespace vantrel {

struct Player {
    std::string id;    // "home-N" or "away-N"; stable across the steps of a tactic
    int number = 0;    // shirt number; 1 is the goalkeeper in built-in line-ups
    int team = 0;      // 0 home (blue); any other value is the away team (orange)
    Point position;

    bool operator==(const Player&) const = default;
};

enum class PassStyle { ground, loft };

std::span<const PassStyle> allPassStyles();
std::string_view rawValue(PassStyle style);   // "地面球", "高空球"
std::optional<PassStyle> passStyleFromRaw(std::string_view raw);

struct BallRoute {
    Point start;
    Point end;
    bool operator==(const BallRoute&) const = default;
};

struct BoardStep {
    Uuid id;
    std::string title;
    std::string note;
    std::vector<Player> players;   // home by number, then away by number
    Point ball;
    std::optional<std::string> ballOwner;
    std::optional<std::string> blueFormation;
    std::optional<std::string> orangeFormation;
    std::optional<std::map<std::string, Point>> pathControls;   // absent and empty mean the same
    std::optional<PassStyle> passStyle;                         // absent means ground
    std::optional<std::vector<BoardAnnotation>> annotations;    // absent and empty mean the same
    std::optional<std::vector<Equipment>> equipment;            // absent and empty mean the same (equipment.h)

    bool operator==(const BoardStep&) const = default;

    const Player* player(std::string_view playerID) const;
    Player* player(std::string_view playerID);
    const Player* owner() const { return ballOwner ? player(*ballOwner) : nullptr; }
    PassStyle effectivePassStyle() const { return passStyle.value_or(PassStyle::ground); }
    bool hasPathControls() const { return pathControls && !pathControls->empty(); }
    std::optional<Point> pathControl(std::string_view playerID) const;
};

// A player of the squad as the coach names him; every field optional. He keeps it in
// every step of the tactic.
struct SquadPlayer {
    std::string id;                     // a player id of the tactic ("home-5")
    std::optional<std::string> name;    // 1 … 24 characters
    std::optional<std::string> role;    // 1 … 16 characters
    std::optional<int> shirt;           // 1 … 99, shown instead of the id's number

    bool operator==(const SquadPlayer&) const = default;
};

// One team's squad: its name, kit colour and named players.
struct TeamSquad {
    std::optional<std::string> name;    // 1 … 24 characters, replaces "蓝队" / "橙队"
    std::optional<std::string> color;   // "#RRGGBB", the kit
    std::vector<SquadPlayer> players;

    bool operator==(const TeamSquad&) const = default;
};

struct Tactic {
    std::string name;
    int format = 7;   // 7 or 11
    std::vector<BoardStep> steps;
    // At most two, index = team; empty when the tactic names nobody.
    std::vector<TeamSquad> teams{};
    // The coach's labels ("进攻", "定位球", …): at most 12, each 1 … 16 characters, in the
    // order given; empty when the tactic has none.
    std::vector<std::string> tags{};
    // The pitch's area and grid (equipment.h); absent: the full pitch, no grid.
    std::optional<PitchAreas> pitch{};

    bool operator==(const Tactic&) const = default;
};

struct SavedTactic {
    Uuid id;
    Tactic tactic;
    std::optional<bool> highPressAdapted;
    // When the library last replaced, renamed or added it, in seconds since 1970; absent
    // in libraries written before the library kept it.
    std::optional<std::int64_t> changedAt{};

    bool operator==(const SavedTactic&) const = default;

    // The library key that selects and remembers this tactic.
    std::string key() const { return "imported-" + id.string(); }
    // The id a library key names, read once so a search through the list compares ids
    // rather than building each entry's key; none for a key that is not an own tactic's.
    static std::optional<Uuid> idOfKey(std::string_view key) {
        constexpr std::string_view prefix = "imported-";
        if (!key.starts_with(prefix)) return std::nullopt;
        return Uuid::parse(key.substr(prefix.size()));
    }
};

// The open tactic while it holds edits the coach has not confirmed, as the recovery
// journal keeps it: the tactic, the library key it was opened under, the step shown, the
// baseline of that step (what the save question would go back to) and when it was taken,
// in seconds since 1970.
struct RecoveryRecord {
    Tactic tactic;
    std::string key;
    int stepIndex = 0;
    std::optional<BoardStep> baseline;
    std::int64_t savedAt = 0;
};

// An earlier version of an own tactic: the tactic as it stood until `savedAt` (seconds
// since 1970), when a save replaced it.
struct TacticVersion {
    std::int64_t savedAt = 0;
    Tactic tactic;

    bool operator==(const TacticVersion&) const = default;
};

std::string teamName(int team);                      // "蓝队" / "橙队"
// The squad entry of a player, or null.
const SquadPlayer* squadPlayer(const Tactic& tactic, const Player& player);
// The team's name as the tactic sets it, else "蓝队" / "橙队".
std::string teamName(const Tactic& tactic, int team);
// The number a token shows: the shirt when set, else the id's number.
int shirtNumber(const Tactic& tactic, const Player& player);
// "蓝队 7 号", with the squad's team name, shirt and the player's name when set.
std::string playerLabel(const Tactic& tactic, const Player& player);
std::string playerLabel(const Player& player);       // "蓝队 7 号"
std::string playerID(int team, int number);          // "home-7" / "away-7"

}  // namespace vantrel

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/model/point.h"
#include "core/model/uuid.h"

namespace vantrel {

// Training equipment a coach sets out on the pitch for a step: cones, poles, a wall of
// mannequins, goals, a ladder, hurdles, spare balls. Each piece keeps its id from step to
// step (a new step copies the pieces), so playback glides it between two steps.
enum class EquipmentKind { cone, pole, mannequin, miniGoal, goal, ladder, hurdle, ball };

std::span<const EquipmentKind> allEquipmentKinds();
std::string_view rawValue(EquipmentKind kind);   // "cone", "miniGoal", … (the document's value)
std::optional<EquipmentKind> equipmentKindFromRaw(std::string_view raw);
std::string_view equipmentName(EquipmentKind kind);   // "标志桶", "标志杆", "人墙假人", …
// The colour a piece has unless the coach sets one, 0xRRGGBB.
unsigned defaultEquipmentColor(EquipmentKind kind);
// Its footprint on the pitch in metres, along its own axis (length) and across (width),
// before rotation: a full-size goal is 7.32 m wide, a ladder 4 m long.
struct EquipmentSize {
    double length = 0;
    double width = 0;
    double height = 0;
};
EquipmentSize equipmentSize(EquipmentKind kind);

struct Equipment {
    Uuid id;
    EquipmentKind kind = EquipmentKind::cone;
    Point position;                      // pitch coordinates, clamped as a player's
    std::optional<double> angle;         // degrees, [0, 360); absent means 0
    std::optional<std::string> color;    // "#RRGGBB"; absent: the kind's own colour

    bool operator==(const Equipment&) const = default;
    double degrees() const { return angle.value_or(0.0); }
};

// "标志桶 3": the kind's name and the piece's number among the pieces of its kind in the
// step, in the step's order (1-based). The same piece has the same name on the screen,
// to a screen reader and in the presenter.
std::string equipmentLabel(const std::vector<Equipment>& pieces, std::size_t index);

// The pitch's areas: which part of the pitch a session uses and the grid drawn over it.
// Stored with the tactic; positions stay in whole-pitch coordinates, so switching the
// area never moves anything.
enum class PitchArea { full, half, box };   // box: the final third
enum class PitchGrid { none, thirds, channels, zones };   // zones: 6 × 3, eighteen zones

std::string_view rawValue(PitchArea area);   // "full", "half", "box"
std::optional<PitchArea> pitchAreaFromRaw(std::string_view raw);
std::string_view pitchAreaName(PitchArea area);   // "全场", "半场", "禁区前沿"
std::string_view rawValue(PitchGrid grid);   // "none", "thirds", "channels", "zones"
std::optional<PitchGrid> pitchGridFromRaw(std::string_view raw);
std::string_view pitchGridName(PitchGrid grid);   // "无网格", "三区", "五条通道", "十八区"

struct PitchAreas {
    std::optional<PitchArea> area;   // absent: the full pitch
    std::optional<PitchGrid> grid;   // absent: no grid

    bool operator==(const PitchAreas&) const = default;
    PitchArea effectiveArea() const { return area.value_or(PitchArea::full); }
    PitchGrid effectiveGrid() const { return grid.value_or(PitchGrid::none); }
};

// The part of the pitch an area covers, in pitch coordinates (x0 ≤ x1, y0 ≤ y1): the
// attacking half x 0.5 … 1, the final third x 2/3 … 1.
struct PitchRect {
    double x0 = 0, y0 = 0, x1 = 1, y1 = 1;
    bool operator==(const PitchRect&) const = default;
};
PitchRect pitchAreaRect(PitchArea area);
// The grid's lines over the whole pitch: lines across it at x (xs) and along it at y
// (ys). Thirds cut the length in three, channels the width in five lanes, zones both
// (six along, three across).
struct PitchGridLines {
    std::vector<double> xs;
    std::vector<double> ys;
};
PitchGridLines pitchGridLines(PitchGrid grid);

namespace EquipmentLimits {
inline constexpr std::size_t kMaxPerStep = 200;
}  // namespace EquipmentLimits

// Pulls a piece onto the pitch as a player (clampToPitch) and its angle into [0, 360);
// false when the angle is not finite.
bool normaliseEquipment(Equipment& piece);
bool isEquipmentColour(std::string_view text);   // "#RRGGBB"
// Cones, poles and mannequins take the coach's colour; goals, ladders, hurdles and balls
// keep their own.
bool recolourable(EquipmentKind kind);

}  // namespace vantrel

// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/model/equipment.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>

namespace vantrel {

namespace {

struct KindInfo {
    EquipmentKind kind;
    std::string_view raw;
    std::string_view name;
    unsigned color;
    EquipmentSize size;
};

constexpr std::array<KindInfo, 8> kKinds{{
    {EquipmentKind::cone, "cone", "标志桶", 0xFF7A1A, {0.3, 0.3, 0.3}},
    {EquipmentKind::pole, "pole", "标志杆", 0xF2D21B, {0.12, 0.12, 1.7}},
    {EquipmentKind::mannequin, "mannequin", "人墙假人", 0x2F6FDB, {0.5, 0.35, 1.85}},
    {EquipmentKind::miniGoal, "miniGoal", "小球门", 0xF4F4F4, {1.5, 0.8, 1.0}},
    {EquipmentKind::goal, "goal", "球门", 0xFFFFFF, {7.32, 2.0, 2.44}},
    {EquipmentKind::ladder, "ladder", "敏捷梯", 0xF2D21B, {4.0, 0.5, 0.03}},
    {EquipmentKind::hurdle, "hurdle", "小栏架", 0xE8412C, {0.6, 0.1, 0.3}},
    {EquipmentKind::ball, "ball", "球", 0xFFFFFF, {0.22, 0.22, 0.22}},
}};

const KindInfo& info(EquipmentKind kind) { return kKinds[static_cast<std::size_t>(kind)]; }

constexpr std::array kAllKinds{EquipmentKind::cone,   EquipmentKind::pole,   EquipmentKind::mannequin,
                               EquipmentKind::miniGoal, EquipmentKind::goal, EquipmentKind::ladder,
                               EquipmentKind::hurdle, EquipmentKind::ball};

}  // namespace

std::span<const EquipmentKind> allEquipmentKinds() { return kAllKinds; }
std::string_view rawValue(EquipmentKind kind) { return info(kind).raw; }
std::string_view equipmentName(EquipmentKind kind) { return info(kind).name; }
unsigned defaultEquipmentColor(EquipmentKind kind) { return info(kind).color; }
EquipmentSize equipmentSize(EquipmentKind kind) { return info(kind).size; }

std::optional<EquipmentKind> equipmentKindFromRaw(std::string_view raw) {
    for (const auto& k : kKinds)
        if (k.raw == raw) return k.kind;
    return std::nullopt;
}

std::string equipmentLabel(const std::vector<Equipment>& pieces, std::size_t index) {
    if (index >= pieces.size()) return {};
    const EquipmentKind kind = pieces[index].kind;
    std::size_t number = 0;
    for (std::size_t i = 0; i <= index; ++i)
        if (pieces[i].kind == kind) ++number;
    return std::string(equipmentName(kind)) + " " + std::to_string(number);
}

std::string_view rawValue(PitchArea area) {
    switch (area) {
    case PitchArea::full: return "full";
    case PitchArea::half: return "half";
    case PitchArea::box: return "box";
    }
    return "full";
}

std::optional<PitchArea> pitchAreaFromRaw(std::string_view raw) {
    for (PitchArea a : {PitchArea::full, PitchArea::half, PitchArea::box})
        if (rawValue(a) == raw) return a;
    return std::nullopt;
}

std::string_view pitchAreaName(PitchArea area) {
    switch (area) {
    case PitchArea::full: return "全场";
    case PitchArea::half: return "半场";
    case PitchArea::box: return "禁区前沿";
    }
    return "全场";
}

std::string_view rawValue(PitchGrid grid) {
    switch (grid) {
    case PitchGrid::none: return "none";
    case PitchGrid::thirds: return "thirds";
    case PitchGrid::channels: return "channels";
    case PitchGrid::zones: return "zones";
    }
    return "none";
}

std::optional<PitchGrid> pitchGridFromRaw(std::string_view raw) {
    for (PitchGrid g : {PitchGrid::none, PitchGrid::thirds, PitchGrid::channels, PitchGrid::zones})
        if (rawValue(g) == raw) return g;
    return std::nullopt;
}

std::string_view pitchGridName(PitchGrid grid) {
    switch (grid) {
    case PitchGrid::none: return "无网格";
    case PitchGrid::thirds: return "三区";
    case PitchGrid::channels: return "五条通道";
    case PitchGrid::zones: return "十八区";
    }
    return "无网格";
}

PitchRect pitchAreaRect(PitchArea area) {
    switch (area) {
    case PitchArea::full: return {0, 0, 1, 1};
    case PitchArea::half: return {0.5, 0, 1, 1};
    case PitchArea::box: return {2.0 / 3.0, 0, 1, 1};
    }
    return {};
}

PitchGridLines pitchGridLines(PitchGrid grid) {
    PitchGridLines lines;
    auto split = [](std::vector<double>& out, int parts) {
        for (int i = 1; i < parts; ++i) out.push_back(static_cast<double>(i) / parts);
    };
    switch (grid) {
    case PitchGrid::none: break;
    case PitchGrid::thirds: split(lines.xs, 3); break;
    case PitchGrid::channels: split(lines.ys, 5); break;
    case PitchGrid::zones:
        split(lines.xs, 6);
        split(lines.ys, 3);
        break;
    }
    return lines;
}

bool normaliseEquipment(Equipment& piece) {
    piece.position = clampToPitch(piece.position);
    if (piece.angle) {
        if (!std::isfinite(*piece.angle)) return false;
        double a = std::fmod(*piece.angle, 360.0);
        if (a < 0) a += 360.0;
        if (a >= 360.0) a = 0;
        piece.angle = a;
    }
    return true;
}

bool recolourable(EquipmentKind kind) {
    return kind == EquipmentKind::cone || kind == EquipmentKind::pole || kind == EquipmentKind::mannequin;
}

bool isEquipmentColour(std::string_view text) {
    if (text.size() != 7 || text[0] != '#') return false;
    return std::all_of(text.begin() + 1, text.end(), [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); });
}

}  // namespace vantrel

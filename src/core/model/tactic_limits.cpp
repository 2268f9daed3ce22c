// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/model/tactic_limits.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <vector>

#include "core/model/step_title.h"

namespace vantrel {

namespace {

using namespace TacticLimits;

// Code points of UTF-8 text: every byte that does not continue a sequence starts one.
std::size_t characters(const std::string& text) {
    std::size_t count = 0;
    for (unsigned char c : text)
        if ((c & 0xC0) != 0x80) ++count;
    return count;
}

std::string over(const std::string& what, std::size_t count, std::size_t limit) {
    return what + "：" + std::to_string(count) + " 个，至多 " + std::to_string(limit) + " 个";
}

std::string stepLabel(std::size_t index) { return "阶段 " + std::to_string(index + 1); }

// Pulls a point onto the pitch; true when it moved.
bool clampPosition(Point& p) {
    const Point clamped = clampToPitch(p);
    if (clamped == p) return false;
    p = clamped;
    return true;
}

std::optional<std::string> checkText(std::string& text, std::size_t limit, const std::string& what, LongText longText) {
    if (text.size() <= limit) return std::nullopt;   // bytes ≥ characters: the quick case
    const std::size_t n = characters(text);
    if (n <= limit) return std::nullopt;
    if (longText == LongText::cut) {
        cutText(text, limit);
        return std::nullopt;
    }
    return what + "过长：" + std::to_string(n) + " 个字符，至多 " + std::to_string(limit) + " 个";
}

std::optional<std::string> checkIdentifier(const std::string& id, const std::string& where) {
    if (id.size() > kMaxIdentifierBytes) return where + "：标识过长";
    return std::nullopt;
}

std::optional<std::string> admitAnnotation(BoardAnnotation& a, const std::string& where, LongText longText) {
    if (a.points.size() > kMaxPointsPerStroke) return where + "：" + over("笔画点数过多", a.points.size(), kMaxPointsPerStroke);
    if (auto problem = checkText(a.text, kMaxTextCharacters, where + " 的文字", longText)) return problem;
    const AnnotationStyle& s = a.style;
    bool finite = std::isfinite(s.lineWidth) && std::isfinite(s.opacity) && std::isfinite(s.fontSize);
    if (s.customInk)
        finite = finite && std::isfinite(s.customInk->red) && std::isfinite(s.customInk->green) &&
                 std::isfinite(s.customInk->blue);
    for (const Point& p : a.points) finite = finite && isFinite(p);
    if (!finite) return where + "：数值不是有限数";
    for (Point& p : a.points) {
        p.x = std::clamp(p.x, kAnnotationMin, kAnnotationMax);
        p.y = std::clamp(p.y, kAnnotationMin, kAnnotationMax);
    }
    return std::nullopt;
}

std::optional<std::string> admitStep(BoardStep& step, std::size_t index, std::size_t players, LongText longText) {
    const std::string where = stepLabel(index);
    if (step.players.size() != players) return std::string("需为 7 人制或 11 人制，且每步包含双方完整球员");
    if (auto problem = checkText(step.title, kMaxTitleCharacters, where + " 的标题", longText)) return problem;
    if (auto problem = checkText(step.note, kMaxNoteCharacters, where + " 的说明", longText)) return problem;
    for (const std::optional<std::string>* id : {&step.ballOwner, &step.blueFormation, &step.orangeFormation})
        if (*id)
            if (auto problem = checkIdentifier(**id, where)) return problem;

    bool finite = isFinite(step.ball);
    for (const auto& p : step.players) {
        finite = finite && isFinite(p.position);
        if (auto problem = checkIdentifier(p.id, where)) return problem;
    }
    if (step.pathControls) {
        // Curved runs are keyed by player: more keys than players is not a tactic.
        if (step.pathControls->size() > players) return where + "：" + over("跑动曲线过多", step.pathControls->size(), players);
        for (const auto& [id, control] : *step.pathControls) {
            finite = finite && isFinite(control);
            if (auto problem = checkIdentifier(id, where)) return problem;
        }
    }
    if (!finite) return where + "：坐标不是有限数";

    if (step.annotations) {
        if (step.annotations->size() > kMaxAnnotationsPerStep)
            return where + "：" + over("标注过多", step.annotations->size(), kMaxAnnotationsPerStep);
        for (auto& a : *step.annotations)
            if (auto problem = admitAnnotation(a, where + " 的标注", longText)) return problem;
    }

    if (step.equipment) {
        if (step.equipment->size() > EquipmentLimits::kMaxPerStep)
            return where + "：" + over("器材过多", step.equipment->size(), EquipmentLimits::kMaxPerStep);
        for (std::size_t i = 0; i < step.equipment->size(); ++i) {
            Equipment& piece = (*step.equipment)[i];
            if (!isFinite(piece.position) || !normaliseEquipment(piece)) return where + " 的器材：数值不是有限数";
            if (piece.color && !isEquipmentColour(*piece.color)) return where + " 的器材：颜色需为 #RRGGBB";
            for (std::size_t k = 0; k < i; ++k)
                if ((*step.equipment)[k].id == piece.id) return where + " 的器材：标识重复";
        }
    }

    // As the editing commands place them; the ball of an owner stays at his feet.
    for (auto& p : step.players) clampPosition(p.position);
    if (const Player* owner = step.owner(); owner && !(clampToPitch(step.ball) == step.ball))
        step.ball = owner->position;
    clampPosition(step.ball);
    if (step.pathControls)
        for (auto& [id, control] : *step.pathControls) clampPosition(control);
    return std::nullopt;
}

}  // namespace

bool TacticLimits::isKitColour(const std::string& text) {
    if (text.size() != 7 || text[0] != '#') return false;
    return std::all_of(text.begin() + 1, text.end(), [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); });
}

bool TacticLimits::cutText(std::string& text, std::size_t limit) {
    if (text.size() <= limit) return false;   // bytes ≥ characters
    std::size_t count = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;
        if (count++ == limit) {
            text.resize(i);
            return true;
        }
    }
    return false;
}

// A squad text: trimmed, then 1 … `limit` characters (cut in the library).
std::optional<std::string> checkSquadText(std::optional<std::string>& text, std::size_t limit, const std::string& what,
                                          LongText longText) {
    if (!text) return std::nullopt;
    *text = trimmedText(*text);
    if (text->empty()) return "阵容名单无效：" + what + "为空";
    if (auto problem = checkText(*text, limit, what, longText)) return "阵容名单无效：" + *problem;
    return std::nullopt;
}

std::optional<std::string> admitSquad(Tactic& tactic, LongText longText) {
    if (tactic.teams.size() > 2) return std::string("阵容名单无效：至多两支球队");
    for (std::size_t t = 0; t < tactic.teams.size(); ++t) {
        TeamSquad& team = tactic.teams[t];
        const std::string side = teamName(static_cast<int>(t));
        if (auto problem = checkSquadText(team.name, kMaxSquadNameCharacters, side + "的队名", longText)) return problem;
        if (team.color && !isKitColour(*team.color)) return "阵容名单无效：" + side + "的队服颜色需为 #RRGGBB";
        std::vector<std::string> ids;
        std::vector<int> shirts;
        for (SquadPlayer& p : team.players) {
            const Player* player = tactic.steps.front().player(p.id);
            if (!player || player->team != static_cast<int>(t) || std::find(ids.begin(), ids.end(), p.id) != ids.end())
                return "阵容名单无效：" + side + "没有球员 " + p.id.substr(0, kMaxIdentifierBytes);
            ids.push_back(p.id);
            if (auto problem = checkSquadText(p.name, kMaxSquadNameCharacters, p.id + " 的名字", longText)) return problem;
            if (auto problem = checkSquadText(p.role, kMaxRoleCharacters, p.id + " 的位置", longText)) return problem;
            if (!p.shirt) continue;
            if (*p.shirt < 1 || *p.shirt > kMaxShirt) return "阵容名单无效：号码需为 1–99";
            if (std::find(shirts.begin(), shirts.end(), *p.shirt) != shirts.end())
                return "阵容名单无效：" + side + "的号码 " + std::to_string(*p.shirt) + " 重复";
            shirts.push_back(*p.shirt);
        }
    }
    return std::nullopt;
}

std::optional<std::string> admitTags(Tactic& tactic, LongText longText) {
    if (tactic.tags.size() > kMaxTags) {
        if (longText == LongText::refuse) return over("标签过多", tactic.tags.size(), kMaxTags);
        tactic.tags.resize(kMaxTags);
    }
    for (std::string& tag : tactic.tags) {
        tag = trimmedText(tag);
        if (tag.empty()) return std::string("标签无效：标签为空");
        if (auto problem = checkText(tag, kMaxTagCharacters, "标签", longText)) return "标签无效：" + *problem;
    }
    return std::nullopt;
}

std::optional<std::string> admitTactic(Tactic& tactic, LongText longText, std::size_t listedSteps) {
    const std::string shape = "需为 7 人制或 11 人制，且每步包含双方完整球员";
    if (tactic.format != 7 && tactic.format != 11) return shape;
    if (tactic.steps.empty()) return shape;
    const std::size_t steps = std::max(tactic.steps.size(), listedSteps);
    if (steps > kMaxSteps) return over("阶段过多", steps, kMaxSteps);
    if (auto problem = checkText(tactic.name, kMaxNameCharacters, "战术名称", longText)) return problem;
    const std::size_t players = static_cast<std::size_t>(2 * tactic.format);
    for (std::size_t i = 0; i < tactic.steps.size(); ++i)
        if (auto problem = admitStep(tactic.steps[i], i, players, longText)) return problem;
    if (auto problem = admitTags(tactic, longText)) return problem;
    return admitSquad(tactic, longText);
}

}  // namespace vantrel

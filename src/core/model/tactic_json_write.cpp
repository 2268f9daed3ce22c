// SPDX-License-Identifier: GPL-3.0-or-later
// Encoding of the JSON form (tactic_json.h); decoding is tactic_json_read.cpp.
#include "core/model/tactic_json.h"

#include "core/model/equipment_json.h"

#include <cmath>
#include <limits>

namespace vantrel {

namespace {

using nlohmann::json;
using nlohmann::ordered_json;

// ---------------------------------------------------------------------------
// Encoding. Templated on the object type: ordered_json keeps field order (compact
// documents), json sorts keys (exported files).

struct NotEncodable {
    std::string description;
};

double finite(double value, const char* what) {
    if (!std::isfinite(value)) throw NotEncodable{std::string("无法编码非有限数值（") + what + "）"};
    return value;
}

template <typename J>
J pointJson(Point p) {
    J j = J::object();
    j["x"] = finite(p.x, "x");
    j["y"] = finite(p.y, "y");
    return j;
}

template <typename J>
J styleJson(const AnnotationStyle& s) {
    J j = J::object();
    j["color"] = std::string(rawValue(s.color));
    j["lineWidth"] = finite(s.lineWidth, "lineWidth");
    j["opacity"] = finite(s.opacity, "opacity");
    j["fill"] = std::string(rawValue(s.fill));
    j["fontSize"] = finite(s.fontSize, "fontSize");
    if (s.pattern) j["pattern"] = std::string(rawValue(*s.pattern));
    if (s.customInk) {
        J ink = J::object();
        ink["red"] = finite(s.customInk->red, "red");
        ink["green"] = finite(s.customInk->green, "green");
        ink["blue"] = finite(s.customInk->blue, "blue");
        j["customInk"] = std::move(ink);
    }
    if (s.bold) j["bold"] = *s.bold;
    return j;
}

template <typename J>
J annotationJson(const BoardAnnotation& a) {
    J j = J::object();
    j["id"] = a.id.string();
    j["kind"] = std::string(rawValue(a.kind));
    J points = J::array();
    for (const auto& p : a.points) points.push_back(pointJson<J>(p));
    j["points"] = std::move(points);
    j["text"] = a.text;
    j["style"] = styleJson<J>(a.style);
    j["seed"] = a.seed;
    return j;
}

template <typename J>
J stepJson(const BoardStep& s) {
    J j = J::object();
    j["id"] = s.id.string();
    j["title"] = s.title;
    j["note"] = s.note;
    J players = J::array();
    for (const auto& p : s.players) {
        J pj = J::object();
        pj["id"] = p.id;
        pj["number"] = p.number;
        pj["team"] = p.team;
        pj["position"] = pointJson<J>(p.position);
        players.push_back(std::move(pj));
    }
    j["players"] = std::move(players);
    j["ball"] = pointJson<J>(s.ball);
    if (s.ballOwner) j["ballOwner"] = *s.ballOwner;
    if (s.blueFormation) j["blueFormation"] = *s.blueFormation;
    if (s.orangeFormation) j["orangeFormation"] = *s.orangeFormation;
    if (s.pathControls) {
        J controls = J::object();
        for (const auto& [id, point] : *s.pathControls) controls[id] = pointJson<J>(point);
        j["pathControls"] = std::move(controls);
    }
    if (s.passStyle) j["passStyle"] = std::string(rawValue(*s.passStyle));
    if (s.annotations) {
        J annotations = J::array();
        for (const auto& a : *s.annotations) annotations.push_back(annotationJson<J>(a));
        j["annotations"] = std::move(annotations);
    }
    if (s.equipment) j["equipment"] = EquipmentJson::encode<J>(*s.equipment);
    return j;
}

template <typename J>
J tacticJson(const Tactic& t) {
    J j = J::object();
    j["name"] = t.name;
    j["format"] = t.format;
    J steps = J::array();
    for (const auto& s : t.steps) steps.push_back(stepJson<J>(s));
    j["steps"] = std::move(steps);
    // Only a tactic that names its squad carries the field: others encode as they always did.
    if (!t.teams.empty()) {
        J teams = J::array();
        for (const auto& team : t.teams) {
            J tj = J::object();
            if (team.name) tj["name"] = *team.name;
            if (team.color) tj["color"] = *team.color;
            if (!team.players.empty()) {
                J players = J::array();
                for (const auto& p : team.players) {
                    J pj = J::object();
                    pj["id"] = p.id;
                    if (p.name) pj["name"] = *p.name;
                    if (p.role) pj["role"] = *p.role;
                    if (p.shirt) pj["shirt"] = *p.shirt;
                    players.push_back(std::move(pj));
                }
                tj["players"] = std::move(players);
            }
            teams.push_back(std::move(tj));
        }
        j["teams"] = std::move(teams);
    }
    if (!t.tags.empty()) j["tags"] = t.tags;
    if (t.pitch) j["pitch"] = EquipmentJson::encode<J>(*t.pitch);
    return j;
}

template <typename F>
auto encoding(F&& make) -> Result<decltype(make())> {
    try {
        return make();
    } catch (const NotEncodable& e) {
        return Result<decltype(make())>::failure(e.description);
    } catch (const std::exception& e) {
        // Text that is not valid UTF-8 cannot be written as JSON.
        return Result<decltype(make())>::failure(std::string("无法编码：") + e.what());
    }
}

}  // namespace

namespace TacticJson {

Result<ordered_json> toJson(const Tactic& tactic) {
    return encoding([&] { return tacticJson<ordered_json>(tactic); });
}

Result<ordered_json> toJson(const BoardAnnotation& annotation) {
    return encoding([&] { return annotationJson<ordered_json>(annotation); });
}

ordered_json toJson(Point point) {
    ordered_json j = ordered_json::object();
    j["x"] = point.x;
    j["y"] = point.y;
    return j;
}

Result<std::string> encodeCompact(const Tactic& tactic) {
    return encoding([&] { return tacticJson<ordered_json>(tactic).dump(); });
}

Result<std::string> encodePretty(const Tactic& tactic) {
    return encoding([&] { return tacticJson<json>(tactic).dump(2); });
}

Result<std::string> encodeLibrary(const std::vector<SavedTactic>& library) {
    return encoding([&] {
        ordered_json list = ordered_json::array();
        for (const auto& saved : library) {
            ordered_json j = ordered_json::object();
            j["id"] = saved.id.string();
            j["tactic"] = tacticJson<ordered_json>(saved.tactic);
            if (saved.highPressAdapted) j["highPressAdapted"] = *saved.highPressAdapted;
            if (saved.changedAt) j["changedAt"] = *saved.changedAt;
            list.push_back(std::move(j));
        }
        return list.dump();
    });
}

Result<std::string> encodeRecovery(const RecoveryRecord& record) {
    return encoding([&] {
        ordered_json j = tacticJson<ordered_json>(record.tactic);
        ordered_json recovery = ordered_json::object();
        recovery["key"] = record.key;
        recovery["stepIndex"] = record.stepIndex;
        recovery["savedAt"] = record.savedAt;
        if (record.baseline) recovery["baseline"] = stepJson<ordered_json>(*record.baseline);
        j["recovery"] = std::move(recovery);
        return j.dump();
    });
}

Result<std::string> encodeVersions(const std::vector<TacticVersion>& versions) {
    return encoding([&] {
        ordered_json list = ordered_json::array();
        for (const auto& version : versions) {
            ordered_json j = ordered_json::object();
            j["savedAt"] = version.savedAt;
            j["tactic"] = tacticJson<ordered_json>(version.tactic);
            list.push_back(std::move(j));
        }
        return list.dump();
    });
}

}  // namespace TacticJson

}  // namespace vantrel

// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/model/equipment_json.h"

#include <cmath>

namespace vantrel::EquipmentJson {

namespace {

using nlohmann::json;

struct Problem {
    std::string description;
};

[[noreturn]] void fail(const std::string& path, const std::string& message) { throw Problem{path + "：" + message}; }

const json& member(const json& object, const char* key, const std::string& path) {
    auto it = object.find(key);
    if (it == object.end() || it->is_null()) fail(path, std::string("缺少必需的键 “") + key + "”");
    return *it;
}

bool has(const json& object, const char* key) {
    auto it = object.find(key);
    return it != object.end() && !it->is_null();
}

std::string text(const json& node, const std::string& path) {
    if (!node.is_string()) fail(path, "应为字符串");
    return node.get<std::string>();
}

double number(const json& node, const std::string& path) {
    if (!node.is_number()) fail(path, "应为数字");
    return node.get<double>();
}

void finite(double v, const char* what) {
    if (!std::isfinite(v)) throw std::domain_error(std::string("无法编码非有限数值（") + what + "）");
}

template <typename J>
J piecesJson(const std::vector<Equipment>& pieces) {
    J list = J::array();
    for (const auto& e : pieces) {
        J j = J::object();
        j["id"] = e.id.string();
        j["kind"] = std::string(rawValue(e.kind));
        J position = J::object();
        finite(e.position.x, "x");
        finite(e.position.y, "y");
        position["x"] = e.position.x;
        position["y"] = e.position.y;
        j["position"] = std::move(position);
        if (e.angle) {
            finite(*e.angle, "angle");
            j["angle"] = *e.angle;
        }
        if (e.color) j["color"] = *e.color;
        list.push_back(std::move(j));
    }
    return list;
}

template <typename J>
J pitchJson(const PitchAreas& pitch) {
    J j = J::object();
    if (pitch.area) j["area"] = std::string(rawValue(*pitch.area));
    if (pitch.grid) j["grid"] = std::string(rawValue(*pitch.grid));
    return j;
}

}  // namespace

json toJson(const std::vector<Equipment>& pieces) { return piecesJson<json>(pieces); }
nlohmann::ordered_json toOrderedJson(const std::vector<Equipment>& pieces) { return piecesJson<nlohmann::ordered_json>(pieces); }
json toJson(const PitchAreas& pitch) { return pitchJson<json>(pitch); }
nlohmann::ordered_json toOrderedJson(const PitchAreas& pitch) { return pitchJson<nlohmann::ordered_json>(pitch); }

std::optional<std::string> read(const json& node, const std::string& path, std::vector<Equipment>& out) {
    try {
        if (!node.is_array()) fail(path, "应为数组");
        out.clear();
        out.reserve(node.size());
        for (std::size_t i = 0; i < node.size(); ++i) {
            const std::string at = path + "[" + std::to_string(i) + "]";
            const json& e = node[i];
            if (!e.is_object()) fail(at, "应为对象");
            Equipment piece;
            auto id = Uuid::parse(text(member(e, "id", at), at + ".id"));
            if (!id) fail(at + ".id", "不是有效的 UUID");
            piece.id = *id;
            const std::string raw = text(member(e, "kind", at), at + ".kind");
            auto kind = equipmentKindFromRaw(raw);
            if (!kind) fail(at + ".kind", "未知的取值 “" + raw + "”");
            piece.kind = *kind;
            const json& position = member(e, "position", at);
            if (!position.is_object()) fail(at + ".position", "应为对象");
            piece.position = {number(member(position, "x", at + ".position"), at + ".position.x"),
                              number(member(position, "y", at + ".position"), at + ".position.y")};
            if (has(e, "angle")) piece.angle = number(e["angle"], at + ".angle");
            if (has(e, "color")) piece.color = text(e["color"], at + ".color");
            out.push_back(std::move(piece));
        }
    } catch (const Problem& p) {
        return p.description;
    }
    return std::nullopt;
}

std::optional<std::string> read(const json& node, const std::string& path, PitchAreas& out) {
    try {
        if (!node.is_object()) fail(path, "应为对象");
        out = {};
        if (has(node, "area")) {
            const std::string raw = text(node["area"], path + ".area");
            out.area = pitchAreaFromRaw(raw);
            if (!out.area) fail(path + ".area", "未知的取值 “" + raw + "”");
        }
        if (has(node, "grid")) {
            const std::string raw = text(node["grid"], path + ".grid");
            out.grid = pitchGridFromRaw(raw);
            if (!out.grid) fail(path + ".grid", "未知的取值 “" + raw + "”");
        }
    } catch (const Problem& p) {
        return p.description;
    }
    return std::nullopt;
}

}  // namespace vantrel::EquipmentJson

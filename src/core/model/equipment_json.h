// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "core/model/equipment.h"

namespace vantrel::EquipmentJson {

// A step's "equipment": [{"id", "kind", "position": {"x", "y"}, "angle"?, "color"?}],
// and a tactic's "pitch": {"area"?, "grid"?}. Written only when present, so a document
// without them encodes as it always did.
nlohmann::json toJson(const std::vector<Equipment>& pieces);
nlohmann::ordered_json toOrderedJson(const std::vector<Equipment>& pieces);
nlohmann::json toJson(const PitchAreas& pitch);
nlohmann::ordered_json toOrderedJson(const PitchAreas& pitch);

template <typename J>
J encode(const std::vector<Equipment>& pieces) {
    if constexpr (std::is_same_v<J, nlohmann::ordered_json>) return toOrderedJson(pieces);
    else return toJson(pieces);
}
template <typename J>
J encode(const PitchAreas& pitch) {
    if constexpr (std::is_same_v<J, nlohmann::ordered_json>) return toOrderedJson(pitch);
    else return toJson(pitch);
}

// Reads the value of "equipment" / "pitch" at `path` (for the message). Returns the
// problem in the decoder's words ("steps[0].equipment[2].kind：未知的取值 “x”"), or
// nothing. Throws nothing.
std::optional<std::string> read(const nlohmann::json& node, const std::string& path, std::vector<Equipment>& out);
std::optional<std::string> read(const nlohmann::json& node, const std::string& path, PitchAreas& out);

}  // namespace vantrel::EquipmentJson

// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/library/catalog_exporter.h"

#include "core/library/builtin_tactics.h"
#include "core/library/formation_preset.h"
#include "core/model/file_io.h"
#include "core/model/tactic_json.h"

namespace vantrel::CatalogExporter {

namespace {

using nlohmann::ordered_json;

Result<ordered_json> tactics(const std::vector<Tactic>& list) {
    ordered_json out = ordered_json::array();
    for (const auto& tactic : list) {
        auto encoded = TacticJson::toJson(tactic);
        if (!encoded) return Result<ordered_json>::failure(encoded.error());
        out.push_back(std::move(encoded).value());
    }
    return out;
}

ordered_json formations(const std::vector<FormationPreset>& presets) {
    ordered_json out = ordered_json::array();
    for (const auto& preset : presets) {
        ordered_json entry = ordered_json::object();
        entry["id"] = preset.id;
        ordered_json blue = ordered_json::array();
        for (auto p : preset.positions(0)) blue.push_back(TacticJson::toJson(p));
        ordered_json orange = ordered_json::array();
        for (auto p : preset.positions(1)) orange.push_back(TacticJson::toJson(p));
        entry["blue"] = std::move(blue);
        entry["orange"] = std::move(orange);
        out.push_back(std::move(entry));
    }
    return out;
}

}  // namespace

Result<std::string> encode() {
    auto seven = tactics(BuiltInTactics::sevenLibrary());
    if (!seven) return Result<std::string>::failure(seven.error());
    auto eleven = tactics(BuiltInTactics::elevenLibrary());
    if (!eleven) return Result<std::string>::failure(eleven.error());

    ordered_json catalog = ordered_json::object();
    catalog["seven"] = std::move(seven).value();
    catalog["eleven"] = std::move(eleven).value();
    catalog["formations7"] = formations(FormationPreset::seven());
    catalog["formations11"] = formations(FormationPreset::eleven());
    try {
        return catalog.dump();
    } catch (const std::exception& e) {
        return Result<std::string>::failure(e.what());
    }
}

Status write(const std::filesystem::path& path) {
    auto bytes = encode();
    if (!bytes) return Status::failure(bytes.error());
    return writeFileAtomically(path, bytes.value());
}

}  // namespace vantrel::CatalogExporter

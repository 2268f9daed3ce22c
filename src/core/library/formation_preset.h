// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/model/point.h"

namespace vantrel {

// A named line-up for one team: outfield players per line from the back line outwards
// (the goalkeeper is not counted), with a short coaching text.
struct FormationPreset {
    std::string id;          // "4-3-3"; its digits equal `rows`
    std::vector<int> rows;
    std::string style;
    std::string attack;
    std::string defend;
    std::string caution;
    std::optional<std::string> sourceName;
    std::optional<std::string> sourceURL;   // present exactly when sourceName is

    bool operator==(const FormationPreset&) const = default;

    // Goalkeeper first, then each line from the back, left to right; team 0 as built,
    // any other team mirrored through the pitch centre.
    std::vector<Point> positions(int team) const;

    static const std::vector<FormationPreset>& seven();
    static const std::vector<FormationPreset>& eleven();
    // The list of a tactic's format: 7 or 11; any other format has none.
    static std::span<const FormationPreset> forFormat(int format);
    // First preset of the format's list whose id equals `id` exactly.
    static const FormationPreset* find(std::string_view id, int format);
};

}  // namespace vantrel

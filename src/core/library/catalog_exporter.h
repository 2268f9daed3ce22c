// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <string>

#include "core/model/result.h"

namespace vantrel {

// Writes the built-in catalog: both built-in tactic lists and every formation preset's
// computed positions, as one compact JSON object with the keys "seven", "eleven",
// "formations7" and "formations11", in that order.
namespace CatalogExporter {

Result<std::string> encode();
Status write(const std::filesystem::path& path);

}  // namespace CatalogExporter

}  // namespace vantrel

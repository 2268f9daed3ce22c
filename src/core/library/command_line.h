#pragma once

#include <optional>
#include <ostream>
#include <span>
#include <string_view>

namespace vantrel {

// The one command-line branch: exactly "PROGRAM --export-catalog PATH" writes the catalog
// and yields the process's exit status (0, or 1 after "Catalog export failed: …" on
// `err`). Any other argument list yields nothing: the interactive run starts.
std::optional<int> runCommandLine(std::span<const std::string_view> arguments, std::ostream& err);

}  // namespace vantrel

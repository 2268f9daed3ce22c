// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <optional>
#include <ostream>
#include <span>
#include <string_view>
#include <vector>

namespace vantrel {

// The project's version, as CMake's project() declares it.
std::string_view vantrelVersion();

// What the command line asks of the program.
struct CommandLineOutcome {
    // Set: the run ends here with this status and no window opens.
    std::optional<int> exitStatus;
    // Otherwise the window opens and imports these tactic files, in order.
    std::vector<std::filesystem::path> files;
};

// Reads the whole argument list (entry 0 is the program path).
// - Exactly "PROGRAM --export-catalog PATH" writes the catalog: status 0, or 1 after
//   "Catalog export failed: …" on `err`.
// - "--help" or "-h" prints the usage on `out`, "--version" the version: status 0.
// - Any other argument starting with "-" (before a "--") prints the usage on `err`:
//   status 2.
// - Every other argument is a tactic file for the window. "--export-catalog" anywhere
//   else is accepted and ignored with its path, which is never taken for a tactic file.
CommandLineOutcome runCommandLine(std::span<const std::string_view> arguments, std::ostream& out, std::ostream& err);

}  // namespace vantrel

// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/library/command_line.h"

#include <string>

#include "core/library/catalog_exporter.h"

#ifndef VANTREL_VERSION
#error "VANTREL_VERSION comes from the project's version (src/core/CMakeLists.txt)"
#endif

namespace vantrel {

namespace {

constexpr std::string_view kUsage =
    "Usage: vantrel [FILE.json]...\n"
    "       vantrel --export-catalog PATH\n";

constexpr std::string_view kHelp =
    "\n"
    "Vantrel, a tactics board for football coaches. Opens the window and imports each\n"
    "FILE.json as the window's import command does. While Vantrel already runs for\n"
    "this user, the files are handed to its window, which comes to the front.\n"
    "\n"
    "Options:\n"
    "  --export-catalog PATH  write the built-in tactics and formations as JSON to PATH\n"
    "                         and exit, without a window (alone on the command line)\n"
    "  -h, --help             print this help and exit\n"
    "      --version          print the version and exit\n"
    "  --                     every later argument is a file, even one starting with -\n";

}  // namespace

std::string_view vantrelVersion() { return VANTREL_VERSION; }

CommandLineOutcome runCommandLine(std::span<const std::string_view> arguments, std::ostream& out, std::ostream& err) {
    if (arguments.size() == 3 && arguments[1] == "--export-catalog") {
        auto written = CatalogExporter::write(std::filesystem::path(std::string(arguments[2])));
        if (!written) {
            err << "Catalog export failed: " << written.error() << '\n';
            err.flush();
            return {1, {}};
        }
        return {0, {}};
    }

    CommandLineOutcome outcome;
    bool options = true;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string_view argument = arguments[i];
        if (!options || argument.empty() || argument.front() != '-') {
            outcome.files.emplace_back(std::string(argument));
        } else if (argument == "--") {
            options = false;
        } else if (argument == "--help" || argument == "-h") {
            out << kUsage << kHelp;
            out.flush();
            return {0, {}};
        } else if (argument == "--version") {
            out << "vantrel " << vantrelVersion() << '\n';
            out.flush();
            return {0, {}};
        } else if (argument == "--export-catalog") {
            ++i;   // its path is an output, not a tactic to import
        } else {
            err << "vantrel: unknown option '" << argument << "'\n"
                << kUsage << "Try 'vantrel --help' for more information.\n";
            err.flush();
            return {2, {}};
        }
    }
    return outcome;
}

}  // namespace vantrel

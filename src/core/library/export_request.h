// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "core/model/board.h"
#include "core/model/result.h"

namespace vantrel {

// vantrel-export's arguments and input, read without a toolkit so that every path a
// hostile argument list or file can take is checked (and fuzzed) apart from painting:
//
//   vantrel-export png|svg|pdf|mp4|gif|jobs TACTIC.json… OUT [--step N] [--view 2d|3d]
//                  [--arrows on|off] [--scale 1|2|4]
// (several tactics only into one PDF handout)
//   vantrel-export --help | --version
struct ExportRequest {
    // A handout may hold this many tactics, so that an argument list cannot make it
    // read without end.
    static constexpr std::size_t kMaxHandoutTactics = 100;

    std::string kind;   // "png", "svg", "pdf", "mp4", "gif" or "jobs" (OUT a folder)
    std::vector<std::filesystem::path> inputs;   // one, or several for "pdf"
    std::filesystem::path output;
    int step = 1;   // counted from 1
    bool perspective = false;
    bool arrows = true;   // the runs, dribbles and passes into each step
    int scale = 1;        // a PNG's size: 1920 × 1080 times this (2: 4K screens and print)
};

// The arguments that end the run before any export (entry 0 is the program): the help
// or the version on `out` (status 0), or an option it does not know, with the usage on
// `err` (status 2). The values of --step, --view, --arrows and --scale are not options.
std::optional<int> answerExportOptions(const std::vector<std::string_view>& args, std::ostream& out, std::ostream& err);

// The request the arguments make, or why they make none (in the words printed after
// "Export failed: ").
Result<ExportRequest> parseExportRequest(const std::vector<std::string_view>& args);

// The tactics to export, in the order given: refused when the output is an input (a link
// to it counts: it would be destroyed), when a file cannot be read or decoded, when it
// fails the import's checks, or when the request's step is beyond its steps; a failure
// of one of several names its file.
Result<std::vector<Tactic>> readExportTactics(const ExportRequest& request);

}  // namespace vantrel

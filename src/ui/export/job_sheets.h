// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <vector>

#include "core/model/board.h"
#include "core/model/result.h"
#include "ui/export/export_frame.h"

namespace vantrel {

// "每名球员的任务单": one A4 page for each player of the coach's team (blue), as
// "10 号 陈晨.pdf" in `folder` (made when missing): his name, role and number, his path
// through every stage over the board of the first with his team-mates and opponents
// dimmed, and each stage's title and note. The files, in shirt order; on a failure none
// of them is left.
Result<std::vector<std::filesystem::path>> writeJobSheets(const Tactic& tactic, ExportDisplay display,
                                                          const std::filesystem::path& folder);

}  // namespace vantrel

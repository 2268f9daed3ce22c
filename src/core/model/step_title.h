// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

namespace vantrel {

// A step's title without its leading step number: "3 · 前锋回接" reads "前锋回接".
// The title is split at its first "·" and both parts are trimmed; when the first part is
// a non-empty run of ASCII digits the second part is the clean title, otherwise the
// whole title trimmed. Trimming removes ASCII white space and the ideographic space.
std::string cleanStepTitle(std::string_view title);

// `text` without ASCII white space and the ideographic space (U+3000, typed by Chinese
// input methods) at either end: how names and titles are trimmed everywhere.
std::string trimmedText(std::string_view text);

// The notes a new tactic's step and an added step start with: hints to the coach, not
// coaching notes.
inline constexpr std::string_view kNewTacticNote = "拖动球员安排站位，点击左侧加号继续添加动作。";
inline constexpr std::string_view kAddedStepNote = "描述本步骤的跑位与传球";

// What the coach wrote as a step's note, trimmed: empty when the note is blank or still
// one of the hints above (a handout prints nothing then).
std::string writtenNote(std::string_view note);

}  // namespace vantrel

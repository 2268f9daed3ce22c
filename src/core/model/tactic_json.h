// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "core/model/board.h"
#include "core/model/result.h"

namespace vantrel {

// The JSON form of the board. Keys are the field names; optional fields are left out
// when absent, and `null` reads as absent; unknown keys are ignored; UUIDs are written
// upper-case; annotation seeds are exact unsigned 64-bit integers.
namespace TacticJson {

// Documents larger or deeper than this are refused before parsing, so a hostile file
// cannot exhaust memory or the stack.
inline constexpr std::size_t kMaxDocumentBytes = 64u * 1024u * 1024u;
inline constexpr int kMaxNestingDepth = 64;

// Field-ordered values, for composing larger documents (the catalog).
Result<nlohmann::ordered_json> toJson(const Tactic& tactic);
Result<nlohmann::ordered_json> toJson(const BoardAnnotation& annotation);
nlohmann::ordered_json toJson(Point point);

// Compact text (preferences, catalog) and pretty text with sorted keys (exported files).
// Fails on a number that JSON cannot carry (NaN or infinity).
Result<std::string> encodeCompact(const Tactic& tactic);
Result<std::string> encodePretty(const Tactic& tactic);
Result<std::string> encodeLibrary(const std::vector<SavedTactic>& library);
// The recovery journal: the tactic's own document with a "recovery" object beside its
// fields (key, stepIndex, savedAt, baseline), so that a journal kept aside imports as a
// tactic.
Result<std::string> encodeRecovery(const RecoveryRecord& record);
// The earlier versions of one tactic, newest first: [{"savedAt": seconds, "tactic": {…}}].
Result<std::string> encodeVersions(const std::vector<TacticVersion>& versions);

// A tactic is decoded with at most TacticLimits::kMaxSteps + 1 of its steps, so that a
// list longer than a tactic may hold costs no more than one step past the limit, and is
// still refused by admitTactic; the steps after are parsed, counted and dropped.
// `listedSteps`, when given, receives the number of steps the document lists (for a
// library, one count per entry), for admitTactic to say.
Result<Tactic> decodeTactic(std::string_view text, std::size_t* listedSteps = nullptr);
Result<std::vector<SavedTactic>> decodeLibrary(std::string_view text, std::vector<std::size_t>* listedSteps = nullptr);
Result<BoardAnnotation> decodeAnnotation(std::string_view text);
Result<RecoveryRecord> decodeRecovery(std::string_view text);
Result<std::vector<TacticVersion>> decodeVersions(std::string_view text);

}  // namespace TacticJson

}  // namespace vantrel

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "core/model/board.h"

namespace vantrel {

// What a tactic may hold. Every place where a tactic enters the program (an import, the
// own-tactics library at start-up, vantrel-export, the fuzz harnesses) admits it through
// `admitTactic`, so nothing is stored that a later start would refuse, and every walk over
// the pitch is bounded by the pitch rather than by the numbers in a file.
namespace TacticLimits {

inline constexpr std::size_t kMaxSteps = 200;
inline constexpr std::size_t kMaxAnnotationsPerStep = 2000;
inline constexpr std::size_t kMaxPointsPerStroke = 100000;
// Characters are Unicode code points; malformed bytes count one each.
inline constexpr std::size_t kMaxNameCharacters = 200;    // the tactic's name
inline constexpr std::size_t kMaxTitleCharacters = 200;   // a step's title
inline constexpr std::size_t kMaxNoteCharacters = 5000;   // a step's note
inline constexpr std::size_t kMaxTextCharacters = 5000;   // a text annotation
// The squad: names of teams and players, roles, and the shirt numbers a token may show.
inline constexpr std::size_t kMaxSquadNameCharacters = 24;
inline constexpr std::size_t kMaxRoleCharacters = 16;
inline constexpr int kMaxShirt = 99;
// The coach's tags: how many a tactic carries, and the characters of one.
inline constexpr std::size_t kMaxTags = 12;
inline constexpr std::size_t kMaxTagCharacters = 16;
// Player ids, formation ids and curved-run keys ("home-7", "4-3-3").
inline constexpr std::size_t kMaxIdentifierBytes = 64;
// Annotation points may lie a little off the pitch (drawn on the 3D view's surround);
// further out they are pulled in, so a stroke's length stays a few pitch widths.
inline constexpr double kAnnotationMin = -1.0;
inline constexpr double kAnnotationMax = 2.0;

// Cuts UTF-8 text after `limit` code points, never inside one; true when it cut. The
// editing commands cut what the coach types, so a tactic they make is always one an
// import accepts.
bool cutText(std::string& text, std::size_t limit);
// "#RRGGBB", the only kit colour a squad may carry.
bool isKitColour(const std::string& text);

}  // namespace TacticLimits

// Checks `tactic` against the import rules (format 7 or 11, 1 … 200 steps, 2 × format
// players in every step), its squad (at most two teams; names trimmed, 1 … 24 characters,
// roles 1 … 16; kit colours "#RRGGBB"; each named player a player of his team, once,
// with a shirt of 1 … 99 that no teammate wears), its tags (at most 12, trimmed, 1 … 16
// characters) and the limits above, and clamps what an editing command would
// clamp: player positions, the ball and curved-run controls to the pitch
// ([0.04, 0.96]², as `clampToPitch`), annotation points to the surround. Returns why the
// tactic is refused, in the words of the status line ("阶段过多：…"), or nothing.
//
// Texts too long are refused at an import; the library, which holds what the coach typed
// (the text fields have no limit of their own), cuts them at the limit instead, so that a
// long name never costs the coach the tactic at the next start.
//
// `listedSteps` is the number of steps the tactic's document lists, when the decoder
// built fewer of them (TacticJson::decodeTactic stops one past the limit); the refusal
// says that number.
enum class LongText { refuse, cut };
std::optional<std::string> admitTactic(Tactic& tactic, LongText longText = LongText::refuse, std::size_t listedSteps = 0);

}  // namespace vantrel

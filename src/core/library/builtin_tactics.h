// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <map>
#include <string>
#include <vector>

#include "core/model/board.h"

namespace vantrel {

// One scripted step of a built-in tactic. Keys of `moves` and `owner`: k >= 1 is the
// blue player "home-k", k <= 0 the orange player "away-(-k)".
struct PlayFrame {
    std::string title;
    std::string note;
    std::map<int, Point> moves;
    int owner = 0;
};

namespace BuiltInTactics {

// The starting tactic of a format (7; anything else is 11): three steps, fresh ids.
Tactic sample(int format);

// Turns scripted frames into a tactic's steps (see the reaction rule in the source).
Tactic makePlay(const std::string& name, int format, const std::string& formation,
                const std::vector<PlayFrame>& frames);

// Moves from `from` towards `to` by at most `limit` (aspect-weighted), clamped to [0.04, 0.96].
Point limitedMove(Point from, Point to, double limit);

// Builds a built-in list from its scripts on every call, with fresh step ids; the cached
// accessors below use these once.
std::vector<Tactic> buildSevenLibrary();
std::vector<Tactic> buildElevenLibrary();

// The built-in lists, built once on first use and shared read-only afterwards.
const std::vector<Tactic>& sevenLibrary();
const std::vector<Tactic>& elevenLibrary();
// 7 selects the 7-a-side list; anything else the 11-a-side list.
const std::vector<Tactic>& library(int format);

}  // namespace BuiltInTactics

}  // namespace vantrel

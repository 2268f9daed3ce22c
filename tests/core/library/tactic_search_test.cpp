// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "core/library/tactic_search.h"

using namespace vantrel;
using namespace vantrel::TacticSearch;

namespace {

Tactic tactic(std::string name, std::string title, std::string note, std::vector<std::string> tags) {
    Tactic t{std::move(name), 7, {BoardStep{}}};
    t.steps[0].title = std::move(title);
    t.steps[0].note = std::move(note);
    t.tags = std::move(tags);
    return t;
}

bool finds(const std::string& typed, const Tactic& t) { return matches(parse(typed), searchableText(t)); }

}  // namespace

TEST(TacticSearchTest, EveryWordMustMatchSomewhereIgnoringCaseAndWidth) {
    const Tactic corner = tactic("角球 近门柱 A1", "第一落点", "后点包抄 Press", {"定位球"});
    EXPECT_TRUE(finds("角球 近门柱", corner));
    EXPECT_TRUE(finds("近门柱　角球", corner));       // the ideographic space separates too
    EXPECT_TRUE(finds("ａ１", corner));               // full-width letters and digits
    EXPECT_TRUE(finds("PRESS 落点 定位", corner));    // note, stage title and tag
    EXPECT_TRUE(finds("  ", corner));                 // nothing typed: everything
    EXPECT_FALSE(finds("角球 远门柱", corner));       // one word missing is no match
    // The name and a stage title are separate texts: no word spans them.
    EXPECT_FALSE(finds("柱第", tactic("近门柱", "第一", "", {})));
}

TEST(TacticSearchTest, HighlightsAreCodePointRangesMerged) {
    const auto ranges = highlights(parse("门 近门 ｂ"), "近门柱 B区 门");
    EXPECT_EQ(ranges, (std::vector<Range>{{0, 2}, {4, 5}, {7, 8}}));
    // A malformed byte is one code point and never stops the search.
    EXPECT_EQ(highlights(parse("x"), "\xff x"), (std::vector<Range>{{2, 3}}));
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/library/formation_preset.h"

#include <gtest/gtest.h>

#include <numeric>

namespace vantrel {
namespace {

void expectPoints(const std::vector<Point>& actual, const std::vector<Point>& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < actual.size(); ++i) {
        EXPECT_DOUBLE_EQ(actual[i].x, expected[i].x) << "point " << i;
        EXPECT_DOUBLE_EQ(actual[i].y, expected[i].y) << "point " << i;
    }
}

FormationPreset handMade(std::vector<int> rows) {
    FormationPreset p;
    p.id = "test";
    p.rows = std::move(rows);
    return p;
}

TEST(FormationPreset, EveryPresetFieldsItsTeamInItsOwnHalf) {
    EXPECT_TRUE(FormationPreset::forFormat(9).empty());
    EXPECT_EQ(FormationPreset::find("", 7), nullptr);
    for (int format : {7, 11}) {
        const auto& presets = FormationPreset::forFormat(format);
        ASSERT_EQ(presets.size(), 6u);
        for (const auto& preset : presets) {
            SCOPED_TRACE(preset.id);
            // The id spells the rows, which hold the outfield players.
            std::string spelled;
            // Appended piece by piece: `"-" + std::to_string(r)` draws a false -Wrestrict
            // warning from g++ 12 at -O3 (GCC bug 105651).
            for (int r : preset.rows) {
                if (!spelled.empty()) spelled += '-';
                spelled += std::to_string(r);
            }
            EXPECT_EQ(preset.id, spelled);
            EXPECT_EQ(std::accumulate(preset.rows.begin(), preset.rows.end(), 0), format - 1);
            EXPECT_FALSE(preset.style.empty() || preset.attack.empty() || preset.defend.empty() ||
                         preset.caution.empty());
            EXPECT_EQ(preset.sourceName.has_value(), preset.sourceURL.has_value());
            // Found by its id in its own format only.
            EXPECT_EQ(FormationPreset::find(preset.id, format), &preset);
            EXPECT_EQ(FormationPreset::find(preset.id, 18 - format), nullptr);

            const auto blue = preset.positions(0);
            const auto orange = preset.positions(1);
            const auto otherTeam = preset.positions(7);
            ASSERT_EQ(blue.size(), static_cast<std::size_t>(format));
            EXPECT_EQ(orange, otherTeam);
            for (std::size_t i = 0; i < blue.size(); ++i) {
                EXPECT_EQ(orange[i], (Point{1.0 - blue[i].x, 1.0 - blue[i].y}));
                EXPECT_LE(blue[i].x, 0.46);
                EXPECT_GE(orange[i].x, 0.54);
            }
        }
    }
}

TEST(FormationPreset, SingleLinesAndEmptyLines) {
    // One line stands at 0.35; one player of a line on the long axis.
    expectPoints(handMade({1}).positions(0), {{0.09, 0.5}, {0.35, 0.5}});
    expectPoints(handMade({3}).positions(0), {{0.09, 0.5}, {0.35, 0.18}, {0.35, 0.5}, {0.35, 0.82}});
    // An empty line adds nobody but still takes its place in the spacing.
    expectPoints(handMade({2, 0, 1}).positions(0), {{0.09, 0.5}, {0.23, 0.18}, {0.23, 0.82}, {0.46, 0.5}});
    expectPoints(handMade({-3, 1}).positions(0), {{0.09, 0.5}, {0.46, 0.5}});
    // No lines at all: the goalkeeper alone.
    expectPoints(handMade({}).positions(1), {{0.91, 0.5}});
}

}  // namespace
}  // namespace vantrel

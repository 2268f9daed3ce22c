// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "core/library/roster_csv.h"

using namespace vantrel;

TEST(RosterCsv, ReadsWhatSpreadsheetsWrite) {
    // A header in any order, a byte-order mark, semicolons, quotes and a blank line.
    auto rows = parseRoster("\xEF\xBB\xBF姓名;位置;号码\r\n\"陈 \"\"小\"\" 晨\";中场;10\r\n\r\n李明;;7\r\n");
    ASSERT_TRUE(rows) << rows.error();
    EXPECT_EQ(*rows, (std::vector<RosterRow>{{10, "陈 \"小\" 晨", "中场"}, {7, "李明", std::nullopt}}));

    // English headers and tabs.
    rows = parseRoster("Number\tName\tRole\n9\tZhang San\tST\n");
    ASSERT_TRUE(rows);
    EXPECT_EQ(rows->front(), (RosterRow{9, "Zhang San", "ST"}));

    // No header: the column of numbers wherever it stands, then name and role; long
    // names are cut to 24 characters.
    rows = parseRoster("王五,5,后卫\n" + std::string(30, 'x') + ",6,\n");
    ASSERT_TRUE(rows);
    EXPECT_EQ(rows->front(), (RosterRow{5, "王五", "后卫"}));
    EXPECT_EQ(rows->back().name->size(), 24u);
}

TEST(RosterCsv, RefusesWhatCannotBeMatched) {
    EXPECT_EQ(parseRoster("号码,姓名\n7,甲\n0,乙\n").error(), "第 3 行：号码需为 1 到 99 的整数");
    EXPECT_EQ(parseRoster("号码,姓名\n7,甲\n\n7,乙\n").error(), "第 4 行：号码 7 重复");
    EXPECT_EQ(parseRoster("姓名,位置\n甲,中场\n").error(), "名单缺少“号码”列");
    EXPECT_EQ(parseRoster("\n \n").error(), "名单中没有球员");
    std::string many;
    for (int i = 0; i < 201; ++i) many += "1,甲\n";
    EXPECT_EQ(parseRoster(many).error(), "名单过长（最多 200 行）");
    EXPECT_FALSE(parseRoster(std::string(300 * 1024, ',')));
    // A spreadsheet's GBK export would put text in the tactic that stops the library saving.
    EXPECT_EQ(parseRoster("号码,姓名\n7,\xB3\xC2\xB3\xBF\n").error(), "名单不是 UTF-8 文本（请另存为 UTF-8 编码的 CSV）");
    EXPECT_FALSE(parseRoster("7,\xED\xA0\x80\n"));   // a surrogate
}

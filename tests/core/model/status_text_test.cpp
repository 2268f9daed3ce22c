// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/model/status_text.h"

#include <string>

#include <gtest/gtest.h>

namespace vantrel {
namespace {

// Code points of valid UTF-8, counting lead bytes; -1 when the bytes are not UTF-8.
long characters(const std::string& s) {
    long count = 0;
    for (std::size_t i = 0, n = 0; i < s.size(); i += n, ++count) {
        const auto b = static_cast<unsigned char>(s[i]);
        n = b < 0x80 ? 1 : b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC2 ? 2 : 0;
        if (n == 0 || i + n > s.size()) return -1;
        for (std::size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return -1;
    }
    return count;
}

TEST(ReadableStatusLine, KeepsOrdinaryMessagesAndFoldsBreaksIntoSpaces) {
    EXPECT_EQ(readableStatusLine("已导入：442 反击 · 已补充对手高位逼抢"), "已导入：442 反击 · 已补充对手高位逼抢");
    EXPECT_EQ(readableStatusLine(""), "");
    EXPECT_EQ(readableStatusLine("导入失败：第一行\r\n第二行\t第三\x1b[31m行\n"), "导入失败：第一行 第二行 第三 [31m行");
    EXPECT_EQ(readableStatusLine("a \n b"), "a  b");
    EXPECT_EQ(readableStatusLine(std::string("a\0b", 3)), "a b");
    // C1 controls, the line separator and a right-to-left override read as spaces too.
    EXPECT_EQ(readableStatusLine("x\u0085y\u2028z\u202Eevil.json"), "x y z evil.json");
}

TEST(ReadableStatusLine, ReplacesWhatIsNotUtf8) {
    EXPECT_EQ(readableStatusLine("已导出：\xff\xfe.json"), "已导出：\uFFFD\uFFFD.json");
    // A character cut short is one replacement; overlong forms, surrogates and values past
    // U+10FFFF are refused byte by byte where no prefix of them is valid.
    EXPECT_EQ(readableStatusLine("a\xe4\xb8"), "a\uFFFD");
    EXPECT_EQ(readableStatusLine("\xe4\xb8" "b"), "\uFFFD" "b");
    EXPECT_EQ(readableStatusLine("\xc0\xaf"), "\uFFFD\uFFFD");
    EXPECT_EQ(readableStatusLine("\xed\xa0\x80"), "\uFFFD\uFFFD\uFFFD");
    EXPECT_EQ(readableStatusLine("\xf4\x90\x80\x80"), "\uFFFD\uFFFD\uFFFD\uFFFD");
    EXPECT_EQ(readableStatusLine("\xf0\x9f\x98\x80"), "\U0001F600");
}

TEST(ReadableStatusLine, CutsLongValuesInTheMiddleAtCharacterBoundaries) {
    const std::string prefix = "导入失败：JSON 格式不正确（";
    const std::string quote(300, 'q');
    const std::string line = readableStatusLine(prefix + "last read: '" + quote + "尾" + "'）");
    EXPECT_EQ(characters(line), static_cast<long>(kMaxStatusCharacters));
    EXPECT_EQ(line.rfind(prefix, 0), 0u);
    EXPECT_NE(line.find("q…q"), std::string::npos);
    EXPECT_TRUE(line.ends_with("q尾'）"));

    // Multi-byte characters on both sides of the cut stay whole.
    for (std::size_t n : {kMaxStatusCharacters, kMaxStatusCharacters + 1, std::size_t{5000}}) {
        std::string chinese;
        for (std::size_t i = 0; i < n; ++i) chinese += "球";
        const std::string cut = readableStatusLine(chinese);
        EXPECT_EQ(characters(cut), static_cast<long>(kMaxStatusCharacters)) << n;
        EXPECT_EQ(cut.find("…") != std::string::npos, n > kMaxStatusCharacters) << n;
    }
    // Garbage of any length ends as one valid line of at most the cap.
    std::string noise;
    for (int i = 0; i < 100000; ++i) noise.push_back(static_cast<char>(i * 7919 % 256));
    const std::string cleaned = readableStatusLine(noise);
    EXPECT_GT(characters(cleaned), 0);
    EXPECT_LE(characters(cleaned), static_cast<long>(kMaxStatusCharacters));
    EXPECT_EQ(cleaned.find('\n'), std::string::npos);
}

}  // namespace
}  // namespace vantrel

// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "core/model/step_title.h"

using vantrel::cleanStepTitle;

TEST(StepTitle, DropsOnlyALeadingStepNumber) {
    EXPECT_EQ(cleanStepTitle("3 · 前锋回接"), "前锋回接");
    EXPECT_EQ(cleanStepTitle("  12·边路推进 "), "边路推进");
    EXPECT_EQ(cleanStepTitle("\xE3\x80\x80" "1 · 初始站位\xE3\x80\x80"), "初始站位");
    // Only the first dot splits; a later one belongs to the title.
    EXPECT_EQ(cleanStepTitle("2 · 回传 · 转移"), "回传 · 转移");
    // Not a step number: the whole title, trimmed.
    EXPECT_EQ(cleanStepTitle("A3 · 压迫"), "A3 · 压迫");
    EXPECT_EQ(cleanStepTitle(" · 压迫"), "· 压迫");
    EXPECT_EQ(cleanStepTitle(" 第 4 步 "), "第 4 步");
    EXPECT_EQ(cleanStepTitle(""), "");
}

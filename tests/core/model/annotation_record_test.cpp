// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "core/model/tactic_json.h"

using namespace vantrel;

TEST(AnnotationRecord, DashesScaleWithTheStrokeAndCustomInkOverridesTheNamedColour) {
    EXPECT_TRUE(dashArray(AnnotationLinePattern::solid, 3).empty());
    EXPECT_EQ(dashArray(AnnotationLinePattern::dashed, 4), (std::vector<double>{12, 8}));
    EXPECT_EQ(dashArray(AnnotationLinePattern::dotted, 1), (std::vector<double>{0.1, 4}));
    AnnotationStyle style;
    style.customInk = AnnotationInk{0.2, 0.4, 0.6};
    EXPECT_EQ(style.ink(), (Rgb{0.2, 0.4, 0.6}));
}

TEST(AnnotationRecord, RawValuesAndNamesCoverEveryCase) {
    for (auto tool : allAnnotationTools()) EXPECT_EQ(annotationToolFromRaw(rawValue(tool)), tool);
    for (auto color : allAnnotationColors()) EXPECT_EQ(annotationColorFromRaw(rawValue(color)), color);
    for (auto fill : allAnnotationFills()) EXPECT_EQ(annotationFillFromRaw(rawValue(fill)), fill);
    for (auto pattern : allAnnotationLinePatterns())
        EXPECT_EQ(annotationLinePatternFromRaw(rawValue(pattern)), pattern);
    EXPECT_EQ(displayName(AnnotationTool::ellipse), "圆圈");
    EXPECT_FALSE(annotationToolFromRaw("Pencil"));
}

TEST(AnnotationRecord, ToolOnlyKindsStillDecode) {
    // "select" and "eraser" are valid raw values; a file may carry them.
    const char* text = R"({"id":"E621E1F8-C36C-495A-93FC-0C247A3E6E5F","kind":"eraser","points":[],"text":"",
        "style":{"color":"white","lineWidth":2.4,"opacity":1,"fill":"none","fontSize":18},"seed":9007199254740993})";
    auto a = TacticJson::decodeAnnotation(text);
    ASSERT_TRUE(a) << a.error();
    EXPECT_EQ(a->kind, AnnotationTool::eraser);
    auto encoded = TacticJson::toJson(*a).value();
    EXPECT_FALSE(encoded["style"].contains("pattern"));
    std::vector<std::string> keys;
    for (auto& [k, v] : encoded.items()) keys.push_back(k);
    EXPECT_EQ(keys, (std::vector<std::string>{"id", "kind", "points", "text", "style", "seed"}));
}

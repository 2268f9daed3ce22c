// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <functional>

#include <nlohmann/json.hpp>

#include "core/model/equipment.h"
#include "core/model/tactic_json.h"
#include "core/model/tactic_limits.h"
#include "support/lineup.h"

using namespace vantrel;
using nlohmann::json;

namespace {

Tactic plainTactic() { return Tactic{"器材测试", 7, {vantrel::testing::lineup(), vantrel::testing::lineup()}}; }

Equipment piece(EquipmentKind kind, Point at, std::optional<double> angle = std::nullopt,
                std::optional<std::string> color = std::nullopt) {
    return Equipment{Uuid::random(), kind, at, angle, std::move(color)};
}

Tactic equipped() {
    Tactic t = plainTactic();
    t.steps[0].equipment = std::vector<Equipment>{piece(EquipmentKind::cone, {0.2, 0.3}),
                                                  piece(EquipmentKind::goal, {0.1, 0.5}, 90.0),
                                                  piece(EquipmentKind::cone, {0.25, 0.35}, std::nullopt, "#12AB34"),
                                                  piece(EquipmentKind::ladder, {0.5, 0.5}, 45.5)};
    t.pitch = PitchAreas{PitchArea::half, PitchGrid::zones};
    return t;
}

}  // namespace

// The raw values are what saved files hold: a renamed one would orphan those files.
TEST(Equipment, KindsAndPitchAreasKeepTheRawValuesSavedFilesUse) {
    const std::vector<std::string> expected = {"cone", "pole", "mannequin", "miniGoal", "goal", "ladder", "hurdle", "ball"};
    ASSERT_EQ(allEquipmentKinds().size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(rawValue(allEquipmentKinds()[i]), expected[i]);
        EXPECT_EQ(equipmentKindFromRaw(expected[i]), allEquipmentKinds()[i]);
    }
    EXPECT_FALSE(equipmentKindFromRaw("Cone"));
    EXPECT_EQ(pitchAreaFromRaw("box"), PitchArea::box);
    EXPECT_EQ(pitchGridFromRaw("channels"), PitchGrid::channels);
}

TEST(Equipment, LabelsNumberEachKindInStepOrder) {
    const Tactic t = equipped();
    std::vector<std::string> labels;
    for (std::size_t i = 0; i <= t.steps[0].equipment->size(); ++i) labels.push_back(equipmentLabel(*t.steps[0].equipment, i));
    EXPECT_EQ(labels, (std::vector<std::string>{"标志桶 1", "球门 1", "标志桶 2", "敏捷梯 1", ""}));   // past the end: none
}

TEST(Equipment, RoundTripsInBothFormsAndAbsentFieldsChangeNoByte) {
    const Tactic plain = plainTactic();
    for (const auto& text : {TacticJson::encodeCompact(plain).value(), TacticJson::encodePretty(plain).value()}) {
        EXPECT_EQ(text.find("equipment"), std::string::npos);
        EXPECT_EQ(text.find("pitch"), std::string::npos);
        EXPECT_EQ(TacticJson::decodeTactic(text).value(), plain);
    }

    Tactic t = equipped();
    ASSERT_FALSE(admitTactic(t));
    for (const auto& text : {TacticJson::encodeCompact(t).value(), TacticJson::encodePretty(t).value()})
        EXPECT_EQ(TacticJson::decodeTactic(text).value(), t);
    const json doc = json::parse(TacticJson::encodeCompact(t).value());
    EXPECT_EQ(doc["pitch"], json::parse(R"({"area":"half","grid":"zones"})"));
    const json& cone = doc["steps"][0]["equipment"][0];
    EXPECT_EQ(cone["kind"], "cone");
    EXPECT_FALSE(cone.contains("angle"));
    EXPECT_FALSE(cone.contains("color"));
    EXPECT_EQ(doc["steps"][0]["equipment"][2]["color"], "#12AB34");
    EXPECT_FALSE(doc["steps"][1].contains("equipment"));

    // The library and recovery journal carry them too.
    const SavedTactic saved{Uuid::random(), t, std::nullopt};
    EXPECT_EQ(TacticJson::decodeLibrary(TacticJson::encodeLibrary({saved}).value()).value().front().tactic, t);
}

TEST(Equipment, DecodingSaysWhatIsWrong) {
    json doc = json::parse(TacticJson::encodeCompact(equipped()).value());
    auto error = [&](void (*spoil)(json&)) {
        json bad = doc;
        spoil(bad);
        return TacticJson::decodeTactic(bad.dump()).error();
    };
    EXPECT_EQ(error([](json& d) { d["steps"][0]["equipment"][1]["kind"] = "trampoline"; }), "steps[0].equipment[1].kind：未知的取值 “trampoline”");
    EXPECT_EQ(error([](json& d) { d["steps"][0]["equipment"][0].erase("position"); }), "steps[0].equipment[0]：缺少必需的键 “position”");
    EXPECT_EQ(error([](json& d) { d["steps"][0]["equipment"] = json::object(); }), "steps[0].equipment：应为数组");
    EXPECT_EQ(error([](json& d) { d["pitch"]["grid"] = "hex"; }), "pitch.grid：未知的取值 “hex”");
    json bad = doc;
    bad["steps"][0]["equipment"] = nullptr;   // null reads as absent
    bad["pitch"] = nullptr;
    const Tactic back = TacticJson::decodeTactic(bad.dump()).value();
    EXPECT_FALSE(back.steps[0].equipment);
    EXPECT_FALSE(back.pitch);
}

TEST(Equipment, ImportChecksRefuseFaultsAndPullPiecesIn) {
    Tactic t = equipped();
    (*t.steps[0].equipment)[0].position = {-3.0, 9.0};
    (*t.steps[0].equipment)[1].angle = -90.0;
    ASSERT_FALSE(admitTactic(t));
    EXPECT_EQ((*t.steps[0].equipment)[0].position, (Point{0.04, 0.96}));   // as a player is
    EXPECT_EQ((*t.steps[0].equipment)[1].angle, 270.0);

    const std::vector<std::pair<std::function<void(Tactic&)>, std::string>> faults = {
        {[](Tactic& x) { (*x.steps[0].equipment)[2].color = "orange"; }, "阶段 1 的器材：颜色需为 #RRGGBB"},
        {[](Tactic& x) { (*x.steps[0].equipment)[2].id = (*x.steps[0].equipment)[0].id; }, "阶段 1 的器材：标识重复"},
        {[](Tactic& x) { (*x.steps[0].equipment)[0].position.x = std::nan(""); }, "阶段 1 的器材：数值不是有限数"},
        {[](Tactic& x) { (*x.steps[0].equipment)[0].angle = INFINITY; }, "阶段 1 的器材：数值不是有限数"},
        {[](Tactic& x) {
             x.steps[1].equipment.emplace();
             for (std::size_t i = 0; i <= EquipmentLimits::kMaxPerStep; ++i)
                 x.steps[1].equipment->push_back(piece(EquipmentKind::cone, {0.5, 0.5}));
         },
         "阶段 2：器材过多：201 个，至多 200 个"},
    };
    for (const auto& [spoil, reason] : faults) {
        Tactic bad = equipped();
        spoil(bad);
        EXPECT_EQ(admitTactic(bad), std::optional<std::string>(reason));
    }
    // The same id may stand in two steps: that is how a piece glides between them.
    Tactic shared = equipped();
    shared.steps[1].equipment = shared.steps[0].equipment;
    EXPECT_FALSE(admitTactic(shared));
}

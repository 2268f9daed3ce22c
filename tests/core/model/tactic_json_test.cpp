// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <functional>

#include <nlohmann/json.hpp>

#include "core/model/tactic_json.h"
#include "core/model/tactic_limits.h"
#include "support/board_items.h"

using namespace vantrel;
using nlohmann::json;

namespace {

BoardStep makeStep(int format, bool withOptionals) {
    std::vector<Player> players;
    for (int team = 0; team < 2; ++team)
        for (int n = 1; n <= format; ++n) players.push_back({playerID(team, n), n, team, {0.1 * n / format + team * 0.5, 0.1 + 0.05 * n}});
    BoardStep step = vantrel::testing::stepOf(std::move(players), std::nullopt, "1 · 初始站位");
    step.note = "蓝队控球。";
    step.ball = {0.44, 0.5};
    if (withOptionals) {
        step.ballOwner = "home-6";
        step.blueFormation = "2-3-1";
        step.orangeFormation = "3-2-1";
        step.pathControls = std::map<std::string, Point>{{"home-6", {0.3, 0.25}}};
        step.passStyle = PassStyle::loft;
        BoardAnnotation a;
        a.id = Uuid::random();
        a.kind = AnnotationTool::arrow;
        a.points = {{0.1, 0.2}, {0.3, 0.4}};
        a.style.pattern = AnnotationLinePattern::dashed;
        a.style.customInk = AnnotationInk{0.1, 0.2, 0.3};
        a.style.bold = true;
        a.seed = 18446744073709551557ull;   // far above 2^53
        step.annotations = std::vector<BoardAnnotation>{a};
    }
    return step;
}

Tactic makeTactic(int format = 7) {
    return Tactic{"测试战术", format, {makeStep(format, true), makeStep(format, false)}};
}

json validDocument() { return json::parse(TacticJson::encodeCompact(makeTactic()).value()); }

std::string decodeError(const json& doc) {
    auto r = TacticJson::decodeTactic(doc.dump());
    EXPECT_FALSE(r.ok());
    return r.error();
}

}  // namespace

TEST(TacticJson, RoundTripsEveryFieldExactlyInBothForms) {
    Tactic tactic = makeTactic();
    auto compact = TacticJson::encodeCompact(tactic);
    auto pretty = TacticJson::encodePretty(tactic);
    ASSERT_TRUE(compact && pretty);
    EXPECT_EQ(compact->find('\n'), std::string::npos);
    EXPECT_NE(pretty->find('\n'), std::string::npos);
    EXPECT_EQ(TacticJson::decodeTactic(*compact).value(), tactic);
    EXPECT_EQ(TacticJson::decodeTactic(*pretty).value(), tactic);
    // The seed is written as an exact integer, not a rounded double.
    EXPECT_NE(compact->find("18446744073709551557"), std::string::npos);
}

TEST(TacticJson, AbsentOptionalsStayAbsentAndNullReadsAsAbsent) {
    json doc = validDocument();
    json& plain = doc["steps"][1];
    for (const char* key : {"ballOwner", "blueFormation", "orangeFormation", "pathControls", "passStyle",
                            "annotations"})
        EXPECT_FALSE(plain.contains(key)) << key;

    doc["steps"][0]["ballOwner"] = nullptr;
    doc["steps"][0]["passStyle"] = nullptr;
    doc["steps"][0]["annotations"][0]["style"].erase("pattern");
    doc["steps"][0]["annotations"][0]["style"].erase("customInk");
    doc["steps"][0]["annotations"][0]["style"]["bold"] = nullptr;
    doc["steps"][0]["unknownKey"] = {1, 2, 3};
    auto tactic = TacticJson::decodeTactic(doc.dump());
    ASSERT_TRUE(tactic) << tactic.error();
    const auto& step = tactic->steps[0];
    EXPECT_FALSE(step.ballOwner || step.passStyle);
    const auto& s = (*step.annotations)[0].style;
    EXPECT_FALSE(s.pattern || s.customInk || s.bold);
    auto again = json::parse(TacticJson::encodePretty(*tactic).value());
    EXPECT_FALSE(again["steps"][0].contains("ballOwner"));
    EXPECT_FALSE(again["steps"][0]["annotations"][0]["style"].contains("bold"));
}

TEST(TacticJson, PrettyOutputSortsKeysAndWritesUpperCaseIds) {
    Tactic tactic = makeTactic();
    auto text = TacticJson::encodePretty(tactic).value();
    // Sorted: "format" < "name" < "steps"; within a step "ball" < "ballOwner" < … < "title".
    EXPECT_LT(text.find("\"format\""), text.find("\"name\""));
    EXPECT_LT(text.find("\"name\""), text.find("\"steps\""));
    EXPECT_LT(text.find("\"annotations\""), text.find("\"ball\""));
    EXPECT_NE(text.find(tactic.steps[0].id.string()), std::string::npos);
    // Compact output keeps field order instead: the name comes first.
    EXPECT_EQ(TacticJson::encodeCompact(tactic).value().rfind("{\"name\":", 0), 0u);
}

TEST(TacticJson, PassStyleUsesItsChineseRawValues) {
    json doc = validDocument();
    EXPECT_EQ(doc["steps"][0]["passStyle"], "高空球");
    doc["steps"][0]["passStyle"] = "地面球";
    EXPECT_EQ(TacticJson::decodeTactic(doc.dump())->steps[0].passStyle, PassStyle::ground);
    doc["steps"][0]["passStyle"] = "loft";
    EXPECT_NE(decodeError(doc).find("loft"), std::string::npos);
}

TEST(TacticJson, MalformedDocumentsFailWithADescriptionThatNamesThePlace) {
    struct Case { const char* what; void (*mutate)(json&); const char* expectInError; };
    const Case cases[] = {
        {"missing step id", [](json& d) { d["steps"][0].erase("id"); }, "steps[0]"},
        {"bad uuid", [](json& d) { d["steps"][1]["id"] = "not-a-uuid"; }, "UUID"},
        {"uuid as number", [](json& d) { d["steps"][1]["id"] = 42; }, "steps[1].id"},
        {"missing name", [](json& d) { d.erase("name"); }, "name"},
        {"format as string", [](json& d) { d["format"] = "7"; }, "format"},
        {"format fractional", [](json& d) { d["format"] = 7.5; }, "format"},
        {"format huge", [](json& d) { d["format"] = 1e30; }, "format"},
        {"steps as object", [](json& d) { d["steps"] = json::object(); }, "steps"},
        {"player position missing y", [](json& d) { d["steps"][0]["players"][3]["position"].erase("y"); },
         "steps[0].players[3].position"},
        {"null required", [](json& d) { d["steps"][0]["ball"] = nullptr; }, "ball"},
        {"path control not a point", [](json& d) { d["steps"][0]["pathControls"]["home-6"] = 1; },
         "pathControls.home-6"},
        {"unknown annotation kind", [](json& d) { d["steps"][0]["annotations"][0]["kind"] = "circle"; }, "circle"},
        {"unknown colour", [](json& d) { d["steps"][0]["annotations"][0]["style"]["color"] = "green"; }, "green"},
        {"unknown fill", [](json& d) { d["steps"][0]["annotations"][0]["style"]["fill"] = "dots"; }, "dots"},
        {"unknown pattern", [](json& d) { d["steps"][0]["annotations"][0]["style"]["pattern"] = "wavy"; }, "wavy"},
        {"negative seed", [](json& d) { d["steps"][0]["annotations"][0]["seed"] = -1; }, "seed"},
        {"fractional seed", [](json& d) { d["steps"][0]["annotations"][0]["seed"] = 1.5; }, "seed"},
        {"annotation without text", [](json& d) { d["steps"][0]["annotations"][0].erase("text"); }, "text"},
        {"ink without blue", [](json& d) { d["steps"][0]["annotations"][0]["style"]["customInk"].erase("blue"); },
         "blue"},
        {"root is an array", [](json& d) { d = json::array({d}); }, "对象"},
    };
    for (const auto& c : cases) {
        json doc = validDocument();
        c.mutate(doc);
        std::string error = decodeError(doc);
        EXPECT_NE(error.find(c.expectInError), std::string::npos) << c.what << ": " << error;
    }
}

TEST(TacticJson, HostileTextIsRefusedNotCrashedOn) {
    std::string valid = validDocument().dump();
    for (std::size_t cut : {std::size_t{0}, std::size_t{1}, valid.size() / 2, valid.size() - 1})
        EXPECT_FALSE(TacticJson::decodeTactic(valid.substr(0, cut))) << cut;
    EXPECT_FALSE(TacticJson::decodeTactic(std::string(100000, '[') + std::string(100000, ']')));
    EXPECT_FALSE(TacticJson::decodeTactic("{\"name\":\"\xff\xfe\",\"format\":7,\"steps\":[]}"));
    EXPECT_FALSE(TacticJson::decodeTactic("null"));
    EXPECT_FALSE(TacticJson::decodeTactic("{\"name\":\"a\",\"format\":7,\"steps\":[1]} trailing"));
    // A long but flat array is just data: it decodes or fails cleanly, fast.
    std::string many = "{\"name\":\"a\",\"format\":7,\"steps\":[" ;
    for (int i = 0; i < 200000; ++i) many += (i ? ",{}" : "{}");
    many += "]}";
    auto r = TacticJson::decodeTactic(many);
    EXPECT_FALSE(r);
    EXPECT_NE(r.error().find("steps[0]"), std::string::npos);
}

TEST(TacticJson, NonFiniteNumbersCannotBeEncoded) {
    Tactic tactic = makeTactic();
    tactic.steps[1].players[2].position.x = std::nan("");
    EXPECT_FALSE(TacticJson::encodePretty(tactic));
    EXPECT_FALSE(TacticJson::encodeCompact(tactic));
    EXPECT_FALSE(TacticJson::encodeLibrary({SavedTactic{Uuid::random(), tactic, true}}));
}

TEST(TacticJson, LibraryRoundTripsAndOneBadEntrySpoilsAll) {
    std::vector<SavedTactic> library{{Uuid::random(), makeTactic(7), true}, {Uuid::random(), makeTactic(11), {}}};
    auto text = TacticJson::encodeLibrary(library).value();
    EXPECT_EQ(text.front(), '[');
    auto back = TacticJson::decodeLibrary(text);
    ASSERT_TRUE(back) << back.error();
    EXPECT_EQ(*back, library);
    EXPECT_EQ(json::parse(text)[1].contains("highPressAdapted"), false);

    json doc = json::parse(text);
    doc[1]["tactic"]["steps"][0]["id"] = "x";
    EXPECT_FALSE(TacticJson::decodeLibrary(doc.dump()));
    EXPECT_FALSE(TacticJson::decodeLibrary("{}"));
    EXPECT_TRUE(TacticJson::decodeLibrary("[]"));

    // A library of megabytes is read entry by entry on two threads: the same tactics, and
    // the same refusals as the document read in one piece.
    while (library.size() < 400) library.push_back({Uuid::random(), makeTactic(library.size() % 2 ? 11 : 7), true});
    text = TacticJson::encodeLibrary(library).value();
    ASSERT_GT(text.size(), 1u << 20);
    std::vector<std::size_t> listed;
    back = TacticJson::decodeLibrary(" " + text + "\n", &listed);
    ASSERT_TRUE(back) << back.error();
    EXPECT_EQ(*back, library);
    EXPECT_EQ(listed.size(), library.size());
    for (const std::string& broken : {text.substr(0, text.size() - 1) + ",]", text + "[]", "[" + text.substr(1, 200) + "," + text.substr(1),
                                      text.substr(0, text.size() - 1) + ",{}]"})
        EXPECT_FALSE(TacticJson::decodeLibrary(broken)) << broken.substr(broken.size() - 20);
}

TEST(Squad, NamesRoundTripAreCheckedAndAbsentTeamsChangeNoByte) {
    Tactic plain = makeTactic();
    const std::string before = TacticJson::encodeCompact(plain).value();
    EXPECT_EQ(before.find("teams"), std::string::npos);

    Tactic named = plain;
    named.teams = {TeamSquad{"  红星队 ", "#C8102E", {{"home-5", "李明", "中场", 10}, {"home-6", std::nullopt, std::nullopt, 6}}},
                   TeamSquad{std::nullopt, std::nullopt, {}}};
    Tactic admitted = named;
    ASSERT_FALSE(admitTactic(admitted));
    EXPECT_EQ(admitted.teams[0].name, "红星队");   // trimmed
    const Player& five = *admitted.steps[0].player("home-5");
    EXPECT_EQ(playerLabel(admitted, five), "红星队 10 号 李明");
    EXPECT_EQ(playerLabel(admitted, *admitted.steps[0].player("away-5")), "橙队 5 号");
    for (const auto& text : {TacticJson::encodeCompact(admitted).value(), TacticJson::encodePretty(admitted).value()})
        EXPECT_EQ(TacticJson::decodeTactic(text).value(), admitted);

    // Each fault is refused with the reason, as an import says it.
    const std::vector<std::pair<std::function<void(Tactic&)>, std::string>> faults = {
        {[](Tactic& t) { t.teams[0].players[0].id = "away-5"; }, "阵容名单无效：蓝队没有球员 away-5"},
        {[](Tactic& t) { t.teams[0].players[1].id = "home-5"; }, "阵容名单无效：蓝队没有球员 home-5"},
        {[](Tactic& t) { t.teams[0].players[1].shirt = 10; }, "阵容名单无效：蓝队的号码 10 重复"},
        {[](Tactic& t) { t.teams[0].players[0].shirt = 100; }, "阵容名单无效：号码需为 1–99"},
        {[](Tactic& t) { t.teams[0].color = "red"; }, "阵容名单无效：蓝队的队服颜色需为 #RRGGBB"},
        {[](Tactic& t) { t.teams[0].name = " \u3000"; }, "阵容名单无效：蓝队的队名为空"},
        {[](Tactic& t) { t.teams[0].players[0].name = std::string(25, 'x'); }, "阵容名单无效：home-5 的名字过长：25 个字符，至多 24 个"},
        {[](Tactic& t) { t.teams.push_back({}); }, "阵容名单无效：至多两支球队"},
    };
    for (const auto& [spoil, reason] : faults) {
        Tactic bad = named;
        spoil(bad);
        EXPECT_EQ(admitTactic(bad), std::optional<std::string>(reason));
    }
}

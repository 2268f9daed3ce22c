// SPDX-License-Identifier: GPL-3.0-or-later
// The squad's names, shirts and kits, and the player in focus.
#include "store_fixture.h"

using namespace vantrel;
using vantrel::testing::StoreTest;

TEST_F(StoreTest, TheSquadIsEditedOnePlayerAtATimeWithOneUndoEach) {
    start().newTactic("阵容");
    BoardStore& s = *store;
    const Tactic unnamed = s.tactic();
    s.squad().setPlayer("home-5", "  陈晨 ", "中场", 10);
    ASSERT_EQ(s.tactic().teams.size(), 1u);
    EXPECT_EQ(s.tactic().teams[0].players, (std::vector<SquadPlayer>{{"home-5", "陈晨", "中场", 10}}));
    EXPECT_EQ(s.scene().token("home-5")->player.number, 10);
    EXPECT_EQ(s.scene().token("home-5")->name, "陈晨");
    EXPECT_FALSE(s.hasStageChanges());   // the squad is the tactic's, not the stage's
    EXPECT_EQ(s.boardEdits().undoLabel(), "修改球员信息");

    // A teammate's shirt is refused and said; the other team may wear it.
    s.squad().setPlayer("home-6", "", "", 10);
    EXPECT_EQ(s.status(), "号码 10 已被蓝队 10 号 陈晨使用");
    EXPECT_EQ(s.tactic().teams[0].players.size(), 1u);
    s.squad().setPlayer("away-2", "", "", 10);
    EXPECT_EQ(s.tactic().teams.size(), 2u);

    // The library keeps it; clearing everything leaves the document as it was.
    s.flushAutosave();
    EXPECT_EQ(storedLibrary().front().tactic.teams, s.tactic().teams);
    s.squad().setPlayer("away-2", "", "", std::nullopt);
    s.squad().setPlayer("home-5", "", "", std::nullopt);
    EXPECT_EQ(s.tactic(), unnamed);
    s.boardEdits().undo();
    EXPECT_EQ(s.tactic().teams[0].players.front().name, "陈晨");

    // A roster names players by the number they show; a number nobody shows is said.
    s.squad().applyRoster(0, {{10, "王五", "前锋"}, {3, "赵六", std::nullopt}, {42, "无人", std::nullopt}});
    EXPECT_EQ(s.status(), "已导入名单：蓝队 2 名球员 · 未找到号码 42");
    EXPECT_EQ(s.scene().token("home-5")->name, "王五");
    EXPECT_EQ(s.scene().token("home-3")->name, "赵六");
    EXPECT_EQ(s.boardEdits().undoLabel(), "导入名单");
    s.squad().setTeamIdentity(1, "  红星队 ", "#C0102A");
    s.squad().setTeamIdentity(0, "", "red");   // not a kit colour: none
    EXPECT_EQ(s.scene().teamNames[1], "红星队");
    EXPECT_EQ(s.scene().kits[1], 0xC0102Au);
    EXPECT_FALSE(s.scene().kits[0]);
    s.boardEdits().undo();
    s.boardEdits().undo();
    EXPECT_FALSE(s.scene().teamNames[1]);
}

TEST_F(StoreTest, AFocusedPlayerIsFollowedThroughEveryStepUntilAnotherTacticOpens) {
    start().selectBuiltIn(0, 7);
    BoardStore& s = *store;
    ASSERT_GE(s.tactic().steps.size(), 3u);
    const std::string id = s.tactic().steps[0].players[3].id;
    s.squad().setFocused(id);
    BoardScene scene = s.scene();
    ASSERT_TRUE(scene.focus);
    EXPECT_EQ(scene.focus->stops.front().label.substr(0, 1), "1");
    EXPECT_EQ(scene.focus->stops.back().at, s.tactic().steps.back().player(id)->position);
    for (const SceneToken& t : scene.players) EXPECT_EQ(t.opacity < 1, t.player.id != id) << t.player.id;
    s.play();
    EXPECT_TRUE(s.scene().focus);   // kept while the tactic plays
    s.squad().setFocused("nobody");
    EXPECT_FALSE(s.squad().focused());
    s.squad().setFocused(id);
    s.selectBuiltIn(1, 7);
    EXPECT_FALSE(s.scene().focus);
}

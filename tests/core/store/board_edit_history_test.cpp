// SPDX-License-Identifier: GPL-3.0-or-later
// Undo and redo of board edits.
#include "core/library/formation_preset.h"
#include "store_fixture.h"

using namespace vantrel;
using vantrel::testing::lineup;
using vantrel::testing::StoreTest;

TEST_F(StoreTest, ADragAPassAndAFormationAreUndoneAndRedoneInOrder) {
    BoardStore& s = open({lineup({{"home-2", {0.2, 0.5}}, {"home-3", {0.6, 0.5}}}, "home-2")});
    const BoardStep start = *s.currentStep();
    EXPECT_FALSE(s.boardEdits().canUndo());

    s.setDraggingPlayer(true);   // one drag of many moves is one level
    for (double x : {0.3, 0.35, 0.4}) s.movePlayer("home-5", {x, 0.3});
    s.setDraggingPlayer(false);
    const BoardStep dragged = *s.currentStep();
    s.pass("home-3");   // the kick and the landing are one level
    platform.advance(3);
    ASSERT_EQ(s.currentStep()->ballOwner, "home-3");
    const BoardStep passed = *s.currentStep();
    s.applyFormation(FormationPreset::forFormat(7).front().id, 1);
    platform.advance(3);
    const BoardStep formed = *s.currentStep();
    ASSERT_NE(formed, passed);

    EXPECT_EQ(s.boardEdits().undoLabel(), "应用阵型");
    s.boardEdits().undo();
    EXPECT_EQ(*s.currentStep(), passed);
    EXPECT_EQ(s.boardEdits().undoLabel(), "传球");
    EXPECT_EQ(s.boardEdits().redoLabel(), "应用阵型");
    s.boardEdits().undo();
    EXPECT_EQ(*s.currentStep(), dragged);
    EXPECT_TRUE(s.hasStageChanges());
    EXPECT_EQ(s.boardEdits().undoLabel(), "移动球员");
    s.boardEdits().undo();
    EXPECT_EQ(*s.currentStep(), start);
    EXPECT_FALSE(s.hasStageChanges());   // back at the baseline: nothing unsaved
    EXPECT_FALSE(s.boardEdits().canUndo());
    EXPECT_EQ(s.status(), "已撤销：移动球员");

    s.boardEdits().redo();
    s.boardEdits().redo();
    EXPECT_EQ(*s.currentStep(), passed);
    s.boardEdits().redo();
    EXPECT_EQ(*s.currentStep(), formed);
    EXPECT_FALSE(s.boardEdits().canRedo());

    // A new edit forgets what was undone.
    s.boardEdits().undo();
    s.movePlayer("home-6", {0.5, 0.2});
    EXPECT_FALSE(s.boardEdits().canRedo());
}

TEST_F(StoreTest, UndoFollowsTheSavedStateStepsNamesAndDrawingsAndEndsWithTheTactic) {
    BoardStore& s = open({lineup({}, "home-2")});
    s.movePlayer("home-5", {0.5, 0.3});
    s.saveCurrentTactic();   // the moved line-up is now the saved state
    s.movePlayer("home-5", {0.6, 0.3});
    ASSERT_TRUE(s.hasStageChanges());
    s.boardEdits().undo();
    EXPECT_FALSE(s.hasStageChanges());
    s.boardEdits().undo();
    EXPECT_TRUE(s.hasStageChanges());   // before the save: differs from what was saved
    s.boardEdits().redo();

    // Typing a title is one level.
    s.setStepTitle("1");
    s.setStepTitle("1 · 开");
    s.setTacticName("新名字");
    s.boardEdits().undo();
    EXPECT_EQ(s.tactic().name, "测试");
    EXPECT_EQ(s.boardEdits().undoLabel(), "修改步骤标题");
    s.boardEdits().undo();
    EXPECT_EQ(s.currentStep()->title, "步骤");

    // Adding a step is undone back onto the step it was added from; drawings stay.
    const Uuid firstID = s.currentStep()->id;
    s.addStep();
    ASSERT_EQ(s.stepIndex(), 1);
    BoardAnnotation note;
    note.id = Uuid::random();
    note.points = {{0.2, 0.2}, {0.4, 0.4}};
    s.selectStep(0);
    s.movePlayer("away-2", {0.3, 0.7});
    s.replaceAnnotations({note});
    s.boardEdits().undo();   // the move: the drawing made after it stays
    EXPECT_EQ(s.currentStep()->annotations, std::vector<BoardAnnotation>{note});
    s.boardEdits().undo();   // the added step
    EXPECT_EQ(s.tactic().steps.size(), 1u);
    EXPECT_EQ(s.currentStep()->id, firstID);

    // At most a hundred levels, and none after opening another tactic.
    for (int i = 0; i < 105; ++i) s.movePlayer("home-6", {0.1 + 0.005 * i, 0.3});
    int levels = 0;
    while (s.boardEdits().canUndo() && levels < 200) s.boardEdits().undo(), ++levels;
    EXPECT_EQ(levels, 100);
    s.boardEdits().redo();
    s.selectBuiltIn(1);
    if (s.showingStageSaveConfirmation()) s.resolveStageChanges(StageSaveDecision::discard);
    EXPECT_FALSE(s.boardEdits().canUndo());
    EXPECT_FALSE(s.boardEdits().canRedo());
}

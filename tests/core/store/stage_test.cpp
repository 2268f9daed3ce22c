// SPDX-License-Identifier: GPL-3.0-or-later
#include "store_fixture.h"

using namespace vantrel;
using vantrel::testing::StoreTest;

TEST_F(StoreTest, DraggingBackToTheSameSpotClearsTheChange) {
    BoardStore& s = start();
    std::string id = someNonOwner();
    Point original = s.currentStep()->player(id)->position;
    s.movePlayer(id, {0.5, 0.5});
    EXPECT_TRUE(s.hasStageChanges());
    s.movePlayer(id, original);
    // The formation label was cleared by the drag, so the step still differs.
    BoardStep step = *s.currentStep();
    EXPECT_EQ(s.hasStageChanges(), !(step == *s.stageBaseline()));

    s.selectBuiltIn(0, 11);   // no formation labels on 11-a-side steps
    ASSERT_TRUE(s.showingStageSaveConfirmation());
    s.resolveStageChanges(StageSaveDecision::discard);
    ASSERT_EQ(s.selectedTacticKey(), "builtin-11-0");
    id = someNonOwner();
    original = s.currentStep()->player(id)->position;
    s.movePlayer(id, {0.5, 0.5});
    EXPECT_TRUE(s.hasStageChanges());
    s.movePlayer(id, original);
    EXPECT_FALSE(s.hasStageChanges());
}

TEST_F(StoreTest, PassStyleOrAnnotationAloneCountsAsAChange) {
    BoardStore& s = start();
    s.setPassStyle(PassStyle::loft);
    EXPECT_TRUE(s.hasStageChanges());
    s.resolveStageChanges(StageSaveDecision::discard);
    EXPECT_FALSE(s.hasStageChanges());

    BoardAnnotation a;
    a.id = Uuid::random();
    a.points = {{0.1, 0.1}};
    s.replaceAnnotations({a});
    EXPECT_TRUE(s.hasStageChanges());
    s.replaceAnnotations({});
    EXPECT_FALSE(s.currentStep()->annotations);   // empty is stored as absent
    EXPECT_FALSE(s.hasStageChanges());
}

TEST_F(StoreTest, LeavingAChangedStepAsksOnceHoldsTheDepartureAndDiscardRestoresTheStep) {
    BoardStore& s = start();
    editStep();
    s.next();
    EXPECT_TRUE(s.showingStageSaveConfirmation());
    EXPECT_EQ(s.stepIndex(), 0);
    s.selectStep(3);   // a second departure while asking is dropped
    EXPECT_EQ(s.pendingStageDeparture(), StageDeparture{.kind = StageDeparture::Kind::nextStep});

    s.resolveStageChanges(StageSaveDecision::cancel);
    EXPECT_FALSE(s.showingStageSaveConfirmation());
    EXPECT_FALSE(s.pendingStageDeparture().has_value());
    EXPECT_TRUE(s.hasStageChanges());
    EXPECT_EQ(s.stepIndex(), 0);

    // Discarding restores the step, then departs.
    const BoardStep original = *s.stageBaseline();
    s.next();
    s.resolveStageChanges(StageSaveDecision::discard);
    EXPECT_EQ(s.tactic().steps[0], original);
    EXPECT_EQ(s.discardedStageID(), original.id);
    EXPECT_EQ(s.stageDiscardRevision(), 1);
    platform.advanceUntil([&] { return !s.playing() && s.stepIndex() == 1; }, 10);
    EXPECT_EQ(s.stepIndex(), 1);
    EXPECT_FALSE(s.hasStageChanges());
    // Answering a question that is not showing runs nothing twice.
    s.resolveStageChanges(StageSaveDecision::discard);
    EXPECT_EQ(s.stepIndex(), 1);
}

TEST_F(StoreTest, SavingWritesTheStepThenDeparts) {
    BoardStore& s = start();
    s.newTactic("保存测试");
    s.addStep();
    s.selectStep(0);
    editStep();
    const BoardStep edited = *s.currentStep();
    s.selectStep(1);
    EXPECT_TRUE(s.showingStageSaveConfirmation());
    s.resolveStageChanges(StageSaveDecision::save);
    EXPECT_EQ(s.stepIndex(), 1);
    EXPECT_EQ(storedLibrary().back().tactic.steps[0], edited);
    EXPECT_EQ(s.stageDiscardRevision(), 0);

    // Saving an edited built-in creates the own copy, then departs in it.
    s.selectBuiltIn(0, 7);
    editStep();
    const BoardStep builtInEdit = *s.currentStep();
    s.selectStep(2);
    s.resolveStageChanges(StageSaveDecision::save);
    ASSERT_EQ(s.importedTactics().size(), 2u);
    EXPECT_EQ(s.selectedTacticKey(), s.importedTactics()[1].key());
    EXPECT_EQ(s.stepIndex(), 2);
    EXPECT_EQ(s.tactic().steps[0], builtInEdit);
    EXPECT_EQ(storedLibrary()[1].tactic.steps[0], builtInEdit);
}

TEST_F(StoreTest, EveryDepartureAsksFirst) {
    BoardStore& s = start();
    const std::vector<std::function<void()>> departures = {
        [&] { s.selectStep(2); },       [&] { s.next(); },          [&] { s.addStep(); },
        [&] { s.selectBuiltIn(1, 7); }, [&] { s.newTactic("x"); },  [&] { s.importFile(); },
        [&] { s.selectImported(SavedTactic{Uuid::random(), BuiltInTactics::sample(7), true}); },
        [&] { s.play(); },
    };
    for (std::size_t i = 0; i < departures.size(); ++i) {
        s.selectBuiltIn(0, 7);
        s.selectStep(1);
        editStep();
        const Tactic before = s.tactic();
        departures[i]();
        EXPECT_TRUE(s.showingStageSaveConfirmation()) << i;
        EXPECT_EQ(s.tactic(), before) << i;
        s.resolveStageChanges(StageSaveDecision::discard);
        EXPECT_FALSE(s.showingStageSaveConfirmation()) << i;
    }
    EXPECT_TRUE(s.playing());   // the held departure runs once the edit is discarded
}

TEST_F(StoreTest, AddAndRemoveSteps) {
    BoardStore& s = start();
    s.selectBuiltIn(0, 11);
    s.newTactic("步骤", 7);
    s.addStep();
    s.addStep();
    ASSERT_EQ(s.tactic().steps.size(), 3u);
    s.selectStep(0);
    s.setPassStyle(PassStyle::loft);
    s.saveCurrentTactic();
    const BoardStep first = s.tactic().steps[0];
    s.addStep();
    ASSERT_EQ(s.tactic().steps.size(), 4u);
    EXPECT_EQ(s.stepIndex(), 1);
    const BoardStep& added = s.tactic().steps[1];
    EXPECT_EQ(added.passStyle, PassStyle::ground);   // the copied step's loft is not carried over
    EXPECT_NE(added.id, first.id);
    EXPECT_EQ(added.players, first.players);
    EXPECT_EQ(added.ballOwner, first.ballOwner);
    EXPECT_EQ(*s.stageBaseline(), added);

    s.selectStep(3);
    s.removeStep();
    EXPECT_EQ(s.tactic().steps.size(), 3u);
    EXPECT_EQ(s.stepIndex(), 2);
    s.removeStep();
    s.removeStep();
    EXPECT_EQ(s.tactic().steps.size(), 1u);
    EXPECT_EQ(s.stepIndex(), 0);
    s.removeStep();
    EXPECT_EQ(s.tactic().steps.size(), 1u);
    EXPECT_EQ(s.status(), "至少保留一个步骤");
    // Selecting past either end, or stepping beyond it, stays on the steps there are.
    s.selectStep(1);
    s.selectStep(-1);
    s.previous();
    EXPECT_EQ(s.stepIndex(), 0);
    s.next();
    EXPECT_EQ(s.stepIndex(), 0);

    // Removing a changed step takes its edits along without asking.
    s.addStep();
    editStep();
    s.removeStep();
    EXPECT_FALSE(s.showingStageSaveConfirmation());
    EXPECT_EQ(s.tactic().steps.size(), 1u);
    EXPECT_FALSE(s.hasStageChanges());
}

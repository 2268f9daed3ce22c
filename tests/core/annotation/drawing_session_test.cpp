// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/annotation/drawing_session.h"

#include <ostream>
#include <vector>

#include "core/store/store_fixture.h"
#include "support/board_items.h"

namespace vantrel {

// Readable ids in failure messages; internal so no other test file can collide.
[[maybe_unused]] static void PrintTo(const Uuid& id, std::ostream* os) { *os << id.string(); }

namespace {

using testing::lineup;

BoardAnnotation stroke(double x) { return testing::drawing(AnnotationTool::line, {{x, 0.2}, {x, 0.4}}); }

std::vector<Uuid> ids(const std::vector<BoardAnnotation>& list) {
    std::vector<Uuid> out;
    for (const auto& a : list) out.push_back(a.id);
    return out;
}

class DrawingSessionTest : public testing::StoreTest {
protected:
    // Three steps of an own tactic, on the first; the session follows this store.
    void begin() {
        open({lineup(), lineup(), lineup()});
        session = std::make_unique<DrawingSession>(*store);
    }

    // Moves to another step, keeping the edits of the one left.
    void goTo(int index) {
        store->selectStep(index);
        if (store->showingStageSaveConfirmation()) store->resolveStageChanges(StageSaveDecision::save);
        ASSERT_EQ(store->stepIndex(), index);
    }

    std::vector<Uuid> stepIDs(int index) const {
        const auto& step = store->tactic().steps[static_cast<std::size_t>(index)];
        return step.annotations ? ids(*step.annotations) : std::vector<Uuid>{};
    }

    std::size_t undoLevels() const {
        auto it = session->undoHistory().find(store->currentStep()->id);
        return it == session->undoHistory().end() ? 0 : it->second.size();
    }

    // Declared after the store's fixture, so it goes first.
    std::unique_ptr<DrawingSession> session;
};

TEST_F(DrawingSessionTest, TheOldestOfAHundredAndOneEditsFallsOff) {
    begin();
    std::vector<BoardAnnotation> drawn;
    for (int i = 0; i < 101; ++i) {
        drawn.push_back(stroke(0.005 * i));
        session->commit(drawn.back());
    }
    EXPECT_EQ(undoLevels(), DrawingSession::kHistoryLimit);

    for (int i = 0; i < 100; ++i) {
        ASSERT_TRUE(session->canUndo()) << i;
        session->undo();
    }
    EXPECT_FALSE(session->canUndo());
    EXPECT_EQ(stepIDs(0), std::vector<Uuid>{drawn[0].id});   // the first edit stays
    session->undo();
    EXPECT_EQ(stepIDs(0), std::vector<Uuid>{drawn[0].id});

    for (int i = 0; i < 100; ++i) session->redo();
    EXPECT_FALSE(session->canRedo());
    EXPECT_EQ(stepIDs(0), ids(drawn));
}

// A step never holds more than a later start admits: the 2001st drawing and a stroke of
// over 100,000 points are refused with the reason, and nothing is stored or remembered.
TEST_F(DrawingSessionTest, DrawingsBeyondTheLimitsAreRefusedAndSaid) {
    begin();
    std::vector<BoardAnnotation> full;
    for (int i = 0; i < 2000; ++i) full.push_back(stroke(0.0004 * i));
    session->replace(full);
    ASSERT_EQ(stepIDs(0).size(), 2000u);
    const std::size_t levels = undoLevels();
    session->commit(stroke(0.9));
    EXPECT_EQ(stepIDs(0).size(), 2000u);
    EXPECT_EQ(undoLevels(), levels);
    EXPECT_EQ(store->status(), "注释过多：每个阶段至多 2000 个");
    session->deleteAnnotation(full.front().id);   // fewer is always allowed
    EXPECT_EQ(stepIDs(0).size(), 1999u);

    BoardAnnotation endless = stroke(0.5);
    endless.points.assign(100001, Point{0.5, 0.5});
    session->commit(endless);
    EXPECT_EQ(stepIDs(0).size(), 1999u);
    EXPECT_EQ(store->status(), "笔画过长：每笔至多 100000 个点");
}

TEST_F(DrawingSessionTest, EachStepKeepsItsHistoryAndANewEditForgetsRedo) {
    begin();
    const BoardAnnotation a1 = stroke(0.1), a2 = stroke(0.2), b1 = stroke(0.3), a3 = stroke(0.4);
    session->commit(a1);
    session->commit(a2);
    session->undo();
    ASSERT_TRUE(session->canRedo());

    goTo(1);
    EXPECT_FALSE(session->canUndo());
    EXPECT_FALSE(session->canRedo());
    session->commit(b1);
    EXPECT_EQ(stepIDs(1), std::vector<Uuid>{b1.id});
    EXPECT_EQ(stepIDs(0), std::vector<Uuid>{a1.id});   // the edit landed on the step shown

    goTo(0);
    ASSERT_TRUE(session->canRedo());
    session->redo();
    EXPECT_EQ(stepIDs(0), (std::vector<Uuid>{a1.id, a2.id}));
    session->undo();
    session->commit(a3);
    EXPECT_FALSE(session->canRedo());
    EXPECT_EQ(stepIDs(0), (std::vector<Uuid>{a1.id, a3.id}));
    EXPECT_EQ(stepIDs(1), std::vector<Uuid>{b1.id});   // undoing on the first step left the second alone
}

TEST_F(DrawingSessionTest, ClearingErasingAndReorderingUndoStepByStep) {
    begin();
    std::vector<BoardAnnotation> five;
    for (int i = 0; i < 5; ++i) {
        five.push_back(stroke(0.1 * (i + 1)));
        session->commit(five.back());
    }
    const std::vector<Uuid> order = ids(five);

    // Clearing is one level and stores an absent field; one undo brings back the order.
    session->replace({});
    EXPECT_FALSE(store->currentStep()->annotations.has_value());
    session->undo();
    EXPECT_EQ(stepIDs(0), order);

    // The eraser deletes one by one: three erasures are three levels.
    session->setSelectedID(five[3].id);
    const std::size_t levels = undoLevels();
    for (int i : {1, 3, 4}) session->deleteAnnotation(five[static_cast<std::size_t>(i)].id);
    EXPECT_EQ(stepIDs(0), (std::vector<Uuid>{five[0].id, five[2].id}));
    EXPECT_FALSE(session->selectedID());
    session->deleteAnnotation(Uuid::random());   // unknown id: nothing to undo
    session->commit(five[0]);                    // unchanged: a click without movement
    EXPECT_EQ(undoLevels(), levels + 3);
    session->undo();
    session->undo();
    EXPECT_EQ(stepIDs(0), (std::vector<Uuid>{five[0].id, five[2].id, five[3].id, five[4].id}));
    session->undo();
    EXPECT_EQ(stepIDs(0), order);

    // Front and back move the selection only; an in-place commit keeps the order.
    const Uuid a = five[0].id, b = five[1].id, c = five[2].id, d = five[3].id, e = five[4].id;
    session->setSelectedID(b);
    session->bringToFront();
    EXPECT_EQ(stepIDs(0), (std::vector<Uuid>{a, c, d, e, b}));
    session->sendToBack();
    EXPECT_EQ(stepIDs(0), (std::vector<Uuid>{b, a, c, d, e}));
    const std::size_t afterReorder = undoLevels();
    session->sendToBack();   // already at the back
    EXPECT_EQ(undoLevels(), afterReorder);
    BoardAnnotation moved = five[3];
    moved.points = {{0.9, 0.9}, {0.95, 0.95}};
    session->commit(moved);
    EXPECT_EQ(stepIDs(0), (std::vector<Uuid>{b, a, c, d, e}));
    session->undo();
    session->undo();
    EXPECT_EQ(stepIDs(0), (std::vector<Uuid>{a, c, d, e, b}));
    session->undo();
    EXPECT_EQ(stepIDs(0), order);

    // A selection from another step selects nothing here and moves nothing.
    goTo(1);
    session->commit(stroke(0.5));
    session->commit(stroke(0.6));
    const std::vector<Uuid> second = stepIDs(1);
    session->bringToFront();
    session->sendToBack();
    EXPECT_FALSE(session->selection());
    EXPECT_EQ(stepIDs(1), second);
}

TEST_F(DrawingSessionTest, DiscardingAStepDropsExactlyItsHistory) {
    begin();
    const BoardAnnotation kept = stroke(0.1);
    session->commit(kept);
    goTo(1);   // saved: the first step keeps its drawing and its history

    const BoardAnnotation thrown = stroke(0.2);
    session->commit(thrown);
    session->setSelectedID(thrown.id);
    ASSERT_TRUE(session->canUndo());
    store->selectStep(0);
    ASSERT_TRUE(store->showingStageSaveConfirmation());
    store->resolveStageChanges(StageSaveDecision::discard);

    EXPECT_TRUE(stepIDs(1).empty());
    EXPECT_FALSE(session->selectedID());
    EXPECT_TRUE(session->canUndo());   // the first step's history is not touched
    EXPECT_EQ(session->undoHistory().count(store->tactic().steps[1].id), 0u);

    // Discarding the step on screen: undo has nothing left to put back.
    session->commit(stroke(0.3));
    ASSERT_TRUE(store->hasStageChanges());
    EXPECT_FALSE(store->canLeaveStage({.kind = StageDeparture::Kind::nextStep}));
    store->resolveStageChanges(StageSaveDecision::discard);
    EXPECT_EQ(stepIDs(0), std::vector<Uuid>{kept.id});
    EXPECT_FALSE(session->canUndo());
    session->undo();
    EXPECT_EQ(stepIDs(0), std::vector<Uuid>{kept.id});
    EXPECT_FALSE(store->hasStageChanges());
}

TEST_F(DrawingSessionTest, AnEditMarksTheStageSchedulesTheAutosaveAndTellsObserversOnce) {
    start();
    store->newTactic("批注");
    session = std::make_unique<DrawingSession>(*store);
    std::vector<StoreChange> storeChanges;
    std::vector<DrawingChange> sessionChanges;
    Subscription s1 = store->subscribe([&](StoreChange c) { storeChanges.push_back(c); });
    Subscription s2 = session->subscribe([&](DrawingChange c) { sessionChanges.push_back(c); });

    const BoardAnnotation a = stroke(0.3);
    session->commit(a);
    EXPECT_TRUE(store->hasStageChanges());
    EXPECT_TRUE(store->autosavePending());
    ASSERT_FALSE(storeChanges.empty());
    EXPECT_TRUE(any(storeChanges.back() & StoreChange::board));
    EXPECT_EQ(sessionChanges, std::vector<DrawingChange>{DrawingChange::history});

    // Undoing back to the arrival state is no change at all.
    session->undo();
    EXPECT_FALSE(store->hasStageChanges());
    session->redo();
    EXPECT_TRUE(store->hasStageChanges());


    session->setSelectedID(a.id);
    sessionChanges.clear();
    session->deleteAnnotation(a.id);
    EXPECT_EQ(sessionChanges, std::vector<DrawingChange>{DrawingChange::history | DrawingChange::selection});
}

TEST_F(DrawingSessionTest, TheInkPanelPreviewsTheSelectionWithoutStoringIt) {
    begin();
    const BoardAnnotation a = stroke(0.1), b = stroke(0.2);
    session->commit(a);
    session->commit(b);
    AnnotationStyle red;
    red.color = AnnotationColor::red;
    session->setStyle(red);
    session->setSelectedID(a.id);
    session->setPanel(DrawingPanel::ink);
    EXPECT_EQ(session->displayAnnotations(), session->annotations());   // not in drawing mode

    session->setEditing(true);
    const auto shown = session->displayAnnotations();
    EXPECT_EQ(shown[0].style, red);
    EXPECT_EQ(shown[1], b);
    EXPECT_EQ(session->selection(), a);
    session->setPanel(DrawingPanel::shapes);
    EXPECT_EQ(session->displayAnnotations(), session->annotations());
}

TEST_F(DrawingSessionTest, OddStoreStatesChangeNothing) {
    begin();
    const Uuid shared = store->currentStep()->id;
    const BoardAnnotation a = stroke(0.1);
    session->commit(a);
    session->commit(stroke(0.2));
    session->undo();
    store->saveCurrentTactic();   // no save question: nothing is discarded on the way

    // A tactic put in place without resetting the session, reusing the step id with
    // other drawings: the old history must not overwrite them.
    BoardStep step = lineup();
    step.id = shared;
    const BoardAnnotation other = stroke(0.7);
    step.annotations = std::vector<BoardAnnotation>{other};
    open({step});
    EXPECT_FALSE(session->canUndo());
    EXPECT_FALSE(session->canRedo());
    session->undo();
    session->redo();
    EXPECT_EQ(stepIDs(0), std::vector<Uuid>{other.id});

    // No step at all.
    open({});
    ASSERT_EQ(store->currentStep(), nullptr);
    session->setSelectedID(a.id);
    session->commit(a);
    session->deleteAnnotation(a.id);
    session->bringToFront();
    session->replace({a});
    session->undo();
    session->redo();
    EXPECT_FALSE(session->canUndo());
    EXPECT_TRUE(session->annotations().empty());
    EXPECT_FALSE(session->selection());
}

}  // namespace
}  // namespace vantrel

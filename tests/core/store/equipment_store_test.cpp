// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/scene/equipment_scene.h"
#include "core/scene/tactic_playback.h"
#include "store_fixture.h"

using namespace vantrel;
using vantrel::testing::lineup;
using vantrel::testing::StoreTest;

TEST_F(StoreTest, EquipmentIsPlacedMovedTurnedRecolouredAndRemovedWithOneUndoEach) {
    start().newTactic("器材");
    BoardStore& s = *store;
    const auto cone = s.equipment().add(EquipmentKind::cone, {0.3, 0.4});
    ASSERT_TRUE(cone);
    EXPECT_EQ(s.equipment().selected(), cone);
    EXPECT_EQ(s.status(), "已放置标志桶 1");
    EXPECT_EQ(s.boardEdits().undoLabel(), "放置器材");
    const auto goal = s.equipment().add(EquipmentKind::goal, {-3, 0.5});   // pulled in
    ASSERT_EQ(s.currentStep()->equipment->size(), 2u);
    EXPECT_EQ(s.currentStep()->equipment->back().position, (Point{0.04, 0.5}));

    // A drag is one level: moves and turns merge until it ends.
    s.equipment().move(*cone, {0.35, 0.4});
    s.equipment().move(*cone, {0.4, 0.45});
    s.equipment().rotate(*cone, 370);
    s.equipment().endDrag();
    EXPECT_EQ(s.currentStep()->equipment->front().position, (Point{0.4, 0.45}));
    EXPECT_EQ(s.currentStep()->equipment->front().angle, 10.0);
    s.boardEdits().undo();
    EXPECT_EQ(s.currentStep()->equipment->front().position, (Point{0.3, 0.4}));
    s.boardEdits().redo();

    s.equipment().setColor(*cone, "#00ff00");
    EXPECT_EQ(s.currentStep()->equipment->front().color, "#00FF00");
    s.equipment().setColor(*cone, "green");   // ignored, as is a goal's colour
    s.equipment().setColor(*goal, "#00FF00");
    EXPECT_EQ(s.currentStep()->equipment->front().color, "#00FF00");
    EXPECT_FALSE(s.currentStep()->equipment->back().color);

    // The scene shows them in depth order with the players, named for a screen reader.
    const BoardScene scene = s.scene();
    ASSERT_EQ(scene.equipment.size(), 2u);
    EXPECT_EQ(scene.equipment[0].label, "标志桶 1");
    EXPECT_EQ(scene.equipment[1].label, "球门 1");
    EXPECT_EQ(scene.equipment[0].color, 0x00FF00u);
    EXPECT_TRUE(scene.equipment[1].selected);   // the newest placed
    EXPECT_TRUE(std::is_sorted(scene.order.begin(), scene.order.end(),
                               [](const auto& a, const auto& b) { return a.depth < b.depth; }));
    EXPECT_EQ(std::count_if(scene.order.begin(), scene.order.end(),
                            [](const auto& i) { return i.layer == BoardScene::Layer::equipment; }),
              2);

    // A new step copies the pieces; the library keeps them.
    s.addStep();
    if (s.showingStageSaveConfirmation()) s.resolveStageChanges(StageSaveDecision::save);
    ASSERT_EQ(s.tactic().steps.size(), 2u);
    EXPECT_EQ(s.stepIndex(), 1);
    EXPECT_EQ(s.currentStep()->equipment, s.tactic().steps[0].equipment);
    s.flushAutosave();
    bool stored = false;
    for (const auto& saved : storedLibrary())
        if (saved.tactic.name == "器材") stored = saved.tactic.steps[0].equipment == s.tactic().steps[0].equipment;
    EXPECT_TRUE(stored);

    s.equipment().remove(*cone);
    s.equipment().remove(*goal);
    EXPECT_FALSE(s.currentStep()->equipment);   // none left: the document as it was
    EXPECT_EQ(s.status(), "已删除球门 1");

    s.equipment().setPitchAreas(PitchAreas{PitchArea::half, PitchGrid::thirds});
    EXPECT_EQ(s.scene().pitchAreas, (PitchAreas{PitchArea::half, PitchGrid::thirds}));
    s.equipment().setShowPitchAreas(false);
    EXPECT_FALSE(s.scene().pitchAreas);
    s.boardEdits().undo();
    EXPECT_FALSE(s.tactic().pitch);
}

TEST_F(StoreTest, EquipmentGlidesBetweenStepsInPlayback) {
    BoardStep a = lineup({}, std::nullopt, "1");
    const Uuid id = Uuid::random();
    a.equipment = std::vector<Equipment>{{id, EquipmentKind::mannequin, {0.2, 0.5}, std::nullopt, std::nullopt}};
    BoardStep b = lineup({}, std::nullopt, "2");
    b.equipment = std::vector<Equipment>{{id, EquipmentKind::mannequin, {0.6, 0.5}, 90.0, std::nullopt}};
    BoardStore& s = open({a, b});
    s.next();
    ASSERT_TRUE(s.transitionRunning());
    platform.advance(0.3);
    const BoardScene mid = s.scene();
    ASSERT_EQ(mid.equipment.size(), 1u);
    EXPECT_GT(mid.equipment[0].piece.position.x, 0.2);
    EXPECT_LT(mid.equipment[0].piece.position.x, 0.6);
    platform.advance(5);
    EXPECT_EQ(s.scene().equipment[0].piece.position, (Point{0.6, 0.5}));

    // A video plays them the same way.
    TacticPlayback playback(s.tactic(), SceneDisplay{});
    bool between = false;
    while (auto frame = playback.next())
        if (!frame->equipment.empty() && frame->equipment[0].piece.position.x > 0.25 &&
            frame->equipment[0].piece.position.x < 0.55)
            between = true;
    EXPECT_TRUE(between);
}

TEST(EquipmentGlide, TurnsTheShortWayAndFadesPiecesInAndOut) {
    const Uuid kept = Uuid::random(), gone = Uuid::random(), fresh = Uuid::random();
    const std::vector<Equipment> from{{kept, EquipmentKind::hurdle, {0, 0}, 350.0, std::nullopt},
                                      {gone, EquipmentKind::cone, {0.5, 0.5}, std::nullopt, std::nullopt}};
    const std::vector<Equipment> to{{kept, EquipmentKind::hurdle, {1, 1}, 10.0, std::nullopt},
                                    {fresh, EquipmentKind::pole, {0.2, 0.2}, std::nullopt, std::nullopt}};
    std::vector<double> opacity;
    const auto half = glideEquipment(from, to, 0.5, opacity);
    ASSERT_EQ(half.size(), 3u);
    EXPECT_EQ(half[0].position, (Point{0.5, 0.5}));
    EXPECT_NEAR(*half[0].angle, 0.0, 1e-9);
    EXPECT_EQ(opacity, (std::vector<double>{1.0, 0.5, 0.5}));
    EXPECT_EQ(half[1].id, fresh);
    EXPECT_EQ(half[2].id, gone);
}

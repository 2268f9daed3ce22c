// SPDX-License-Identifier: GPL-3.0-or-later
// Training equipment on the board: placed, dragged, turned and removed by pointer and
// key, read out by kind and number, painted in 2D and 3D with the pitch's goals and areas.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QKeyEvent>
#include <QTest>

#include "support/board_view_fixture.h"
#include "support/lineup.h"
#include "ui/render/perspective_board_painter.h"
#include "ui/tools/equipment_tool.h"

using namespace vantrel;
using vantrel::testing::colourDistance;
using vantrel::testing::lineup;

namespace {
class EquipmentViewTest : public vantrel::testing::BoardViewTest {};
}  // namespace

TEST_F(EquipmentViewTest, EquipmentIsPlacedDraggedTurnedReadOutAndDeletedOnTheBoard) {
    open({lineup({}, std::nullopt)});
    EquipmentTool tool(*store, *view);
    tool.arm(EquipmentKind::cone);
    vantrel::testing::click(view.get(), view->toView({0.3, 0.3}));
    vantrel::testing::click(view.get(), view->toView({0.32, 0.6}));
    tool.arm(std::nullopt);
    ASSERT_TRUE(store->currentStep()->equipment);
    ASSERT_EQ(store->currentStep()->equipment->size(), 2u);
    const Equipment first = store->currentStep()->equipment->front();
    EXPECT_NEAR(first.position.x, 0.3, 0.01);

    // A drag moves the piece it starts on: one undo level; a drag on its handle turns it.
    drag(view->toView({0.3, 0.3}), view->toView({0.4, 0.35}));
    EXPECT_NEAR(store->currentStep()->equipment->front().position.x, 0.4, 0.01);
    EXPECT_EQ(store->equipment().selected(), first.id);
    const QPointF handle = EquipmentPainting::turnHandle(view->scene().equipment.front(), view->painter().equipmentView(view->size()));
    drag(handle, view->toView({0.4, 0.45}));   // straight across the pitch: 90°
    EXPECT_NEAR(store->currentStep()->equipment->front().degrees(), 90, 3);
    store->boardEdits().undo();
    store->boardEdits().undo();
    EXPECT_NEAR(store->currentStep()->equipment->front().position.x, 0.3, 0.01);

    // Read out by kind and number after the players and the ball.
    QAccessibleInterface* pitch = QAccessible::queryAccessibleInterface(view.get());
    ASSERT_EQ(pitch->childCount(), 17);
    EXPECT_EQ(pitch->child(15)->text(QAccessible::Name), QStringLiteral("标志桶 1"));
    EXPECT_EQ(pitch->child(16)->text(QAccessible::Name), QStringLiteral("标志桶 2"));

    // The cone is painted in its colour where it stands.
    const QImage frame = vantrel::testing::paintBoard(*store, QSize(1500, 900));
    const QPointF at = FlatBoardPainter().toView(QSizeF(1500, 900), store->currentStep()->equipment->back().position);
    EXPECT_LE(colourDistance(frame.pixelColor((at + QPointF(0, 4.5)).toPoint()), QColor(0xFF7A1A)), 40);
}

// Without a mouse: the ring walks on from the ball to the pieces, Space selects one,
// Alt+arrows move it, [ and ] turn it, Delete removes it. The arrows' metres and a burst's
// one undo level are shared with the players, and the board view's keyboard test has them.
TEST_F(EquipmentViewTest, TheKeyboardReachesSelectsMovesTurnsAndDeletesAPiece) {
    open({lineup({}, std::nullopt)});
    EquipmentTool tool(*store, *view);   // the shelf's gestures stay on the board as in the studio
    const Uuid cone = *store->equipment().add(EquipmentKind::cone, {0.5, 0.5});
    const Uuid pole = *store->equipment().add(EquipmentKind::pole, {0.2, 0.2});
    store->equipment().select(std::nullopt);
    QApplication::setActiveWindow(view.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(view.get()));
    view->setFocus(Qt::TabFocusReason);
    key(Qt::Key_Left);   // round from the first player to the last piece, then back one
    key(Qt::Key_Left);
    EXPECT_EQ(view->keyFocus(), PlayerTokenHost::equipmentKey(cone));
    const QImage shown = view->grab().toImage();
    const QPointF c = view->toView({0.5, 0.5});
    EXPECT_LE(colourDistance(shown.pixelColor((c + QPointF(16, 0)).toPoint()), view->palette().color(QPalette::Highlight)), 60);

    key(Qt::Key_Space);
    EXPECT_EQ(store->equipment().selected(), cone);
    key(Qt::Key_BracketRight);
    EXPECT_NEAR(store->currentStep()->equipment->front().degrees(), 15, 1e-9);
    key(Qt::Key_BracketLeft);   // how a turn wraps round is the equipment store's test
    EXPECT_NEAR(store->currentStep()->equipment->front().degrees(), 0, 1e-9);
    const double before = store->currentStep()->equipment->front().position.x;
    key(Qt::Key_Right, Qt::AltModifier);
    QKeyEvent altUp(QEvent::KeyRelease, Qt::Key_Alt, Qt::NoModifier);
    QApplication::sendEvent(view.get(), &altUp);
    EXPECT_NEAR((store->currentStep()->equipment->front().position.x - before) * kPitchLengthMetres, 1, 1e-9);

    key(Qt::Key_Escape);
    EXPECT_FALSE(store->equipment().selected());
    key(Qt::Key_Delete);   // nothing selected: nothing goes
    key(Qt::Key_Space);
    key(Qt::Key_Delete);
    ASSERT_EQ(store->currentStep()->equipment->size(), 1u);   // what the status says is the equipment store's test
    EXPECT_EQ(view->keyFocus(), PlayerTokenHost::equipmentKey(pole));   // the ring moves on
}

TEST_F(EquipmentViewTest, GoalsStandInThreeDAndAHalfPitchTurnsToFillTheView) {
    open({lineup({}, std::nullopt)});
    const QSize size(1500, 900);
    PerspectiveBoardPainter perspective;
    const QImage image = vantrel::testing::paintBoard(*store, size, perspective);
    // The left goal's crossbar: near-white pixels above the goal line's middle.
    const PitchPerspective view3D = PerspectiveBoardPainter::projectionFor(QSizeF(size));
    const Point mouth = view3D.project({0.02, 0.5});
    int white = 0;
    for (int y = int(mouth.y) - 70; y < int(mouth.y) - 5; ++y)
        for (int x = int(mouth.x) - 40; x < int(mouth.x) + 40; ++x)
            if (colourDistance(image.pixelColor(x, y), Qt::white) < 60) ++white;
    EXPECT_GT(white, 40);

    // A half turns to fill the view, the attacked goal at the top: the turf no longer
    // reaches the sides, and pieces are drawn and hit where the turned projection puts them.
    const QImage full = vantrel::testing::paintBoard(*store, size);
    store->equipment().setPitchAreas(PitchAreas{PitchArea::half, PitchGrid::none});
    FlatBoardPainter painter;
    const QImage half = vantrel::testing::paintBoard(*store, size, painter);
    EXPECT_GT(full.pixelColor(100, 450).alpha(), 0);
    EXPECT_EQ(half.pixelColor(100, 450).alpha(), 0);
    const FlatProjection turned{{1500, 900}, PitchArea::half};   // how it turns: the projection's own test
    int shown = 0;
    for (const SceneToken& token : store->scene().players) {
        if (token.player.position.x < 0.55) continue;
        const Point at = turned.toView(token.player.position);
        EXPECT_EQ(painter.playerAt(store->scene(), QSizeF(size), QPointF(at.x, at.y)), token.player.id);
        EXPECT_NE(half.pixelColor(int(at.x), int(at.y)), full.pixelColor(int(at.x), int(at.y)));
        ++shown;
    }
    EXPECT_GT(shown, 0);
}

// SPDX-License-Identifier: GPL-3.0-or-later
// Training equipment on the board: placed, dragged, turned and removed by pointer and
// key, read out by kind and number, painted in 2D and 3D with the pitch's goals and areas.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QKeyEvent>

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
    EXPECT_EQ(store->selectedEquipment(), first.id);
    const QPointF handle = EquipmentPainting::turnHandle(view->scene().equipment.front(), view->painter().equipmentView(view->size()));
    drag(handle, view->toView({0.4, 0.45}));   // straight across the pitch: 90°
    EXPECT_NEAR(store->currentStep()->equipment->front().degrees(), 90, 3);
    store->undoBoardEdit();
    store->undoBoardEdit();
    EXPECT_NEAR(store->currentStep()->equipment->front().position.x, 0.3, 0.01);

    // Read out by kind and number after the players and the ball.
    QAccessibleInterface* pitch = QAccessible::queryAccessibleInterface(view.get());
    ASSERT_EQ(pitch->childCount(), 17);
    EXPECT_EQ(pitch->child(15)->text(QAccessible::Name), QStringLiteral("标志桶 1"));
    EXPECT_EQ(pitch->child(16)->text(QAccessible::Name), QStringLiteral("标志桶 2"));
    EXPECT_EQ(pitch->indexOfChild(pitch->child(16)), 16);

    // The cone is painted in its colour where it stands.
    const QImage frame = vantrel::testing::paintFlatBoard(*store, QSize(1500, 900));
    const QPointF at = FlatBoardPainter().toView(QSizeF(1500, 900), store->currentStep()->equipment->back().position);
    EXPECT_LE(colourDistance(frame.pixelColor((at + QPointF(0, 4.5)).toPoint()), QColor(0xFF7A1A)), 40);

    // Delete removes the selected piece.
    store->selectEquipment(first.id);
    QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
    QApplication::sendEvent(view.get(), &del);
    EXPECT_EQ(store->currentStep()->equipment->size(), 1u);
    EXPECT_EQ(store->status(), "已删除标志桶 1");
}

TEST_F(EquipmentViewTest, GoalsStandInThreeDAndAHalfPitchDimsTheOtherHalf) {
    open({lineup({}, std::nullopt)});
    const QSize size(1500, 900);
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter p(&image);
        PerspectiveBoardPainter().paint(p, store->scene(), QSizeF(size));
    }
    // The left goal's crossbar: near-white pixels above the goal line's middle.
    const PitchPerspective view3D = PerspectiveBoardPainter::projectionFor(QSizeF(size));
    const Point mouth = view3D.project({0.02, 0.5});
    int white = 0;
    for (int y = int(mouth.y) - 70; y < int(mouth.y) - 5; ++y)
        for (int x = int(mouth.x) - 40; x < int(mouth.x) + 40; ++x)
            if (colourDistance(image.pixelColor(x, y), Qt::white) < 60) ++white;
    EXPECT_GT(white, 40);

    const QImage full = vantrel::testing::paintFlatBoard(*store, size);
    store->setPitchAreas(PitchAreas{PitchArea::half, PitchGrid::none});
    const QImage half = vantrel::testing::paintFlatBoard(*store, size);
    const QPoint own(300, 300), attacking(1200, 300);
    EXPECT_LT(half.pixelColor(own).lightness(), full.pixelColor(own).lightness() - 10);
    EXPECT_EQ(half.pixelColor(attacking), full.pixelColor(attacking));
}

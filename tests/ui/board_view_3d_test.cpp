// SPDX-License-Identifier: GPL-3.0-or-later
// The board view in 3D with real mouse events on the offscreen platform, and frames probed by pixel.
#include <QAccessible>
#include <QApplication>
#include <QHelpEvent>
#include <QToolTip>

#include "core/pitch/ball_projection.h"
#include "support/board_items.h"
#include "support/board_view_fixture.h"
#include "support/lineup.h"
#include "ui/render/perspective_board_painter.h"
#include "ui/style/studio_style.h"

using namespace vantrel;

namespace {

using vantrel::testing::colourDistance;
using vantrel::testing::countAround;
using vantrel::testing::expectNear;

class BoardView3DTest : public vantrel::testing::BoardViewTest {
protected:
    void SetUp() override {
        BoardViewTest::SetUp();
        view->setPerspective(true);
        view->resize(1200, 780);
        BoardStep step = vantrel::testing::lineup({}, {}, "步骤", 0.3, 0.8);
        step.ball = {0.5, 0.55};
        open({step});
    }

    // The centre of a puck's top face, where a coach grabs it.
    QPointF puckTop(const std::string& id) {
        const Point p = store->currentStep()->player(id)->position;
        return view->toView(p) - QPointF(0, TacticalPuck::kLift * PitchPerspective::tokenScale(p.y));
    }
    QString toolTipAt(QPointF at) {
        QHelpEvent help(QEvent::ToolTip, at.toPoint(), view->mapToGlobal(at.toPoint()));
        QApplication::sendEvent(view.get(), &help);
        return QToolTip::text();
    }

    PitchPerspective perspective() const { return PerspectiveBoardPainter::projectionFor(view->size()); }
    const TacticalBallView& ballView() const { return static_cast<PerspectiveBoardPainter&>(view->painter()).ball(); }
};

}  // namespace

TEST_F(BoardView3DTest, PucksAndTheBallFollowThePointerThroughThePerspective) {
    EXPECT_EQ(toolTipAt(puckTop("away-3")), QStringLiteral("#3 · 橙队\nControl + 点击查看球员信息 · 双击传球"));
    EXPECT_EQ(toolTipAt(view->ballCentre()), QStringLiteral("足球 · 拖动调整位置"));

    // The pointer shows a hand over what can be dragged, and the puck under it brightens.
    send(QEvent::MouseMove, puckTop("home-3"), Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(view->cursor().shape(), Qt::OpenHandCursor);
    EXPECT_EQ(view->painter().hoveredPlayer(), "home-3");
    send(QEvent::MouseMove, QPointF(600, 30), Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(view->cursor().shape(), Qt::ArrowCursor);
    EXPECT_FALSE(view->painter().hoveredPlayer());

    // A puck grabbed by its top lands with its foot under the pointer.
    const QPointF target = view->toView({0.45, 0.55}) - QPointF(0, 30);
    drag(puckTop("home-3"), target);
    const Point moved = store->currentStep()->player("home-3")->position;
    const Point expected = perspective().unproject({target.x(), target.y()});
    expectNear(moved, expected, "puck", 1e-9);

    // The ball's drawn centre follows the pointer; released near nobody it stays there.
    const QPointF ballTarget = view->toView({0.62, 0.15});
    drag(view->ballCentre(), ballTarget);
    const Point ball = store->currentStep()->ball;
    const Point ballExpected = BallProjection::modelPosition({ballTarget.x(), ballTarget.y()}, perspective());
    expectNear(ball, ballExpected, "ball", 1e-9);
    EXPECT_LT(QLineF(view->ballCentre(), ballTarget).length(), 0.01);
}

TEST_F(BoardView3DTest, TheFrameShowsATrapezoidOfTurfWithTeamPucks) {
    const QImage frame = view->grab().toImage();
    const PitchPerspective perspective = BoardView3DTest::perspective();
    auto at = [&](Point p, QPointF nudge = {}) {
        const Point v = perspective.project(p);
        return frame.pixelColor((QPointF(v.x, v.y) + nudge).toPoint());
    };
    // Above the far touchline and beside the narrow far end: the canvas. The near end is wider.
    EXPECT_LE(colourDistance(frame.pixelColor(600, 40), StudioStyle::canvas3D()), 3);
    const int farRow = qRound(perspective.project({0.5, 0.1}).y);
    const int nearRow = qRound(perspective.project({0.5, 0.9}).y);
    EXPECT_LE(colourDistance(frame.pixelColor(144, farRow), StudioStyle::canvas3D()), 3);
    EXPECT_LE(colourDistance(frame.pixelColor(144, nearRow), StudioStyle::pitch()), 12);
    EXPECT_LE(colourDistance(at({0.3, 0.55}), StudioStyle::pitch()), 12);

    // Beside the number on each puck's top face: its team's colour, lightened.
    for (const auto& [id, team] : {std::pair{"home-2", 0}, std::pair{"away-4", 1}}) {
        const Point p = store->currentStep()->player(id)->position;
        const double s = PitchPerspective::tokenScale(p.y);
        const QColor c = at(p, {-10 * s, -TacticalPuck::kLift * s});
        if (team == 0) EXPECT_GT(c.blue(), c.red() + 60) << id;
        else EXPECT_GT(c.red(), c.blue() + 60) << id;
    }
    // The ball on the turf is a light sphere: brighter than the turf on average.
    const Point ball = perspective.ballPlacement(store->displayBall(), 0).centre;
    EXPECT_GT(countAround(frame, QPointF(ball.x, ball.y), 3, [](QColor c) { return c.lightness() > 140; }), 20);
}

TEST_F(BoardView3DTest, ALoftedPassRollsTheBallAndLiftsItOverItsShadow) {
    store->giveBall("home-2");
    store->setPassStyle(PassStyle::loft);
    view->grab();
    const BallOrientation before = ballView().orientation();
    store->pass("home-6");
    double height = 0;
    for (int i = 0; i < 120 && store->passingFromID() && height < 0.02; ++i) {
        platform.advance(1.0 / 60);
        height = store->displayBallHeight();
    }
    ASSERT_GT(height, 0.02);
    const QImage frame = view->grab().toImage();
    EXPECT_NE(ballView().orientation(), before);   // the panels turned

    const BallPlacement placement = perspective().ballPlacement(store->displayBall(), height);
    EXPECT_LT(placement.centre.y, placement.shadowCentre.y - placement.radius - 10);
    const QPointF centre(placement.centre.x, placement.centre.y);
    EXPECT_GT(countAround(frame, centre, 3, [](QColor c) { return c.lightness() > 140; }), 20);
    // The shadow on the turf under it: darker than the turf around it.
    const QColor shadow = frame.pixelColor(QPointF(placement.shadowCentre.x, placement.shadowCentre.y).toPoint());
    EXPECT_LT(shadow.lightness(), StudioStyle::pitch().lightness());
}

// Assistive technology finds each puck where it is drawn; its name, role and actions are the
// flat board's, tested there.
TEST_F(BoardView3DTest, PucksAreButtonsWhereTheyAreDrawn) {
    QAccessibleInterface* pitch = QAccessible::queryAccessibleInterface(view.get());
    ASSERT_TRUE(pitch);
    EXPECT_EQ(pitch->text(QAccessible::Name), QStringLiteral("3D 球场"));
    const QPoint top = view->mapToGlobal(puckTop("away-3").toPoint());
    QAccessibleInterface* token = pitch->childAt(top.x(), top.y());
    ASSERT_TRUE(token);
    EXPECT_TRUE(token->rect().contains(top));
    token->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(store->selectedPlayer(), "away-3");
    EXPECT_TRUE(token->state().selected);
}

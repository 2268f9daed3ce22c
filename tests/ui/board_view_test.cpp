// SPDX-License-Identifier: GPL-3.0-or-later
// The board view in 2D with real mouse events on the offscreen platform, on virtual time;
// frames of the flat board probed pixel by pixel; the application's font and tooltips.
#include <QApplication>
#include <QAccessible>
#include <QFontInfo>
#include <QGlyphRun>
#include <QRawFont>
#include <QTest>
#include <QTextLayout>
#include <QToolTip>

#include <cmath>

#include "core/pitch/motion_path.h"
#include "core/pitch/offside_lines.h"
#include "support/board_items.h"
#include "support/board_view_fixture.h"
#include "support/lineup.h"
#include "ui/render/pitch_painting.h"
#include "ui/style/studio_application_style.h"
#include "ui/style/studio_style.h"

using namespace vantrel;

namespace {

using vantrel::testing::colourDistance;
using vantrel::testing::countAround;
using vantrel::testing::paintBoard;

// Blue along y = 0.15 and orange along y = 0.85, clear of the pitch markings the probes read.
BoardStep lineup(const std::map<std::string, Point>& moved, std::optional<std::string> owner) {
    return vantrel::testing::lineup(moved, owner, "步骤", 0.15, 0.85);
}

class BoardViewTest : public vantrel::testing::BoardViewTest {
protected:
    void click(QPointF at, Qt::KeyboardModifiers modifiers = {}) { vantrel::testing::click(view.get(), at, modifiers); }
    void doubleClick(QPointF at) { vantrel::testing::doubleClick(view.get(), at); }
    QPointF at(const std::string& id) { return view->toView(store->currentStep()->player(id)->position); }
};

QColor over(QColor base, QColor ink, double alpha) {
    return QColor::fromRgbF(base.redF() + (ink.redF() - base.redF()) * alpha,
                            base.greenF() + (ink.greenF() - base.greenF()) * alpha,
                            base.blueF() + (ink.blueF() - base.blueF()) * alpha);
}

class FlatBoardPainterTest : public ::testing::Test {
protected:
    void SetUp() override { store.selectBuiltIn(0, 11); }

    QColor pixel(const QImage& image, Point p, QPointF nudge = {}) const {
        const Point v = FlatBoardPainter().projectionFor(image.size()).toView(p);
        return image.pixelColor((QPointF(v.x, v.y) + nudge).toPoint());
    }

    MemoryPreferenceStore prefs;
    vantrel::testing::ManualPlatform platform;
    BoardStore store{prefs, platform};
};

}  // namespace

TEST_F(BoardViewTest, DraggingATokenMovesThePlayerAndAShortPressOnlySelects) {
    open({lineup({{"home-3", {0.3, 0.5}}}, "home-3")});
    const QPointF target = view->toView({0.45, 0.4});
    drag(at("home-3"), target);
    vantrel::testing::expectNear(store->currentStep()->player("home-3")->position, {0.45, 0.4}, "home-3", 1e-9);
    EXPECT_EQ(store->selectedPlayer(), "home-3");
    EXPECT_FALSE(store->draggingPlayer());

    // A press that moves less than 5 points is a click, not a drag.
    drag(at("home-5"), at("home-5") + QPointF(3, 0));
    EXPECT_EQ(store->currentStep()->player("home-5")->position, (Point{0.5, 0.15}));
    EXPECT_EQ(store->selectedPlayer(), "home-5");
}

// The release asks for the snap; where the ball lands in open space is the 3D test's.
TEST_F(BoardViewTest, ReleasingTheBallNearAPlayerSnapsIt) {
    open({lineup({{"home-4", {0.5, 0.5}}}, std::nullopt)});
    drag(view->ballCentre(), view->toView({0.52, 0.5}));
    EXPECT_EQ(store->currentStep()->ballOwner, "home-4");
}

TEST_F(BoardViewTest, DoubleClickGivesOrPassesTheBallAndControlClickInspects) {
    open({lineup({{"home-2", {0.3, 0.5}}, {"home-6", {0.6, 0.5}}}, std::nullopt)});
    doubleClick(at("home-2"));
    EXPECT_EQ(store->currentStep()->ballOwner, "home-2");
    doubleClick(at("home-6"));
    EXPECT_EQ(store->passingFromID(), "home-2");
    ASSERT_TRUE(platform.advanceUntil([&] { return !store->passingFromID(); }, 5));   // where it lands: the store's

    // Control-click opens the player's information; a plain click only selects.
    click(at("away-4"), Qt::ControlModifier);
    EXPECT_EQ(store->inspectedPlayerID(), "away-4");
    click(at("away-5"));
    EXPECT_EQ(store->selectedPlayer(), "away-5");
    EXPECT_FALSE(store->inspectedPlayerID());
}

// The board without a mouse: the ring walks the tokens in reading order, Space selects,
// Alt+arrows move by metres in one undo level per burst, Return passes, Tab leaves after
// the ball.
TEST_F(BoardViewTest, TheKeyboardAloneSelectsMovesAndPasses) {
    open({lineup({{"home-2", {0.3, 0.5}}, {"home-6", {0.6, 0.5}}}, "home-2")});
    QApplication::setActiveWindow(view.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(view.get()));
    view->clearFocus();
    view->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(view->keyFocus(), "home-1");   // the far touchline's row, leftmost first
    for (int i = 0; i < 6; ++i) key(Qt::Key_Right);   // past blue's row of five: blue 2, then blue 6
    EXPECT_EQ(view->keyFocus(), "home-6");
    key(Qt::Key_Left);
    EXPECT_EQ(view->keyFocus(), "home-2");
    key(Qt::Key_Space);
    EXPECT_EQ(store->selectedPlayer(), "home-2");

    const Point before = store->currentStep()->player("home-2")->position;
    for (int i = 0; i < 3; ++i) key(Qt::Key_Right, Qt::AltModifier);
    key(Qt::Key_Down, Qt::AltModifier | Qt::ShiftModifier);
    QKeyEvent altUp(QEvent::KeyRelease, Qt::Key_Alt, Qt::NoModifier);
    QApplication::sendEvent(view.get(), &altUp);
    const Point after = store->currentStep()->player("home-2")->position;
    EXPECT_NEAR((after.x - before.x) * kPitchLengthMetres, 3, 1e-9);
    EXPECT_NEAR((after.y - before.y) * kPitchWidthMetres, 5, 1e-9);
    store->boardEdits().undo();
    EXPECT_EQ(store->currentStep()->player("home-2")->position, before);   // one burst, one level

    key(Qt::Key_Right);
    key(Qt::Key_Return);
    EXPECT_EQ(store->passingFromID(), "home-2");
    ASSERT_TRUE(platform.advanceUntil([&] { return !store->passingFromID(); }, 5));
    EXPECT_EQ(store->currentStep()->ballOwner, "home-6");
    key(Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(store->inspectedPlayerID(), "home-6");
    key(Qt::Key_Escape);
    EXPECT_FALSE(store->selectedPlayer());

    // Shift+Tab from outside rings the ball; Tab there leaves the board.
    view->clearFocus();
    view->setFocus(Qt::BacktabFocusReason);
    EXPECT_EQ(view->keyFocus(), "");
    QTest::keyClick(view.get(), Qt::Key_Tab);
    EXPECT_EQ(view->keyFocus(), "");   // not round to the first token: the focus moves on
}

TEST_F(BoardViewTest, PointerInputIsIgnoredWhileATransitionRuns) {
    BoardStep a = lineup({}, "home-2");
    BoardStep b = lineup({{"home-5", {0.5, 0.4}}}, "home-2");
    open({a, b});
    store->next();
    ASSERT_TRUE(store->transitionRunning());
    const Tactic before = store->tactic();
    drag(view->toView({0.2, 0.15}), view->toView({0.3, 0.5}));
    doubleClick(view->toView({0.3, 0.15}));
    EXPECT_EQ(store->tactic(), before);
}

TEST_F(BoardViewTest, TheRouteHandleBendsTheRunUnderThePointer) {
    BoardStep a = lineup({}, "home-2");
    BoardStep b = lineup({{"home-5", {0.7, 0.45}}}, "home-2");
    open({a, b});
    store->selectStep(1);
    store->selectPlayer("home-5", false);
    auto handle = view->routeHandleCentre();
    ASSERT_TRUE(handle);
    const QPointF target = view->toView({0.55, 0.6});
    drag(*handle, target);
    auto route = store->selectedRoute();
    ASSERT_TRUE(route);
    vantrel::testing::expectNear(quadraticPoint(route->start, route->control, route->end, 0.5), {0.55, 0.6}, "bend", 1e-9);
}

TEST_F(BoardViewTest, TokensExplainThemselvesAndAreButtonsForAssistiveTechnology) {
    open({lineup({}, std::nullopt)});
    QHelpEvent help(QEvent::ToolTip, at("away-3").toPoint(), view->mapToGlobal(at("away-3").toPoint()));
    QApplication::sendEvent(view.get(), &help);
    EXPECT_EQ(QToolTip::text(), QStringLiteral("#3 · 橙队\nControl + 点击查看球员信息"));
    QAccessibleInterface* pitch = QAccessible::queryAccessibleInterface(view.get());
    ASSERT_TRUE(pitch);
    ASSERT_EQ(pitch->childCount(), 15);   // fourteen players, then the ball
    QAccessibleInterface* token = pitch->child(9);   // orange 3
    ASSERT_TRUE(token);
    EXPECT_EQ(token->text(QAccessible::Name), QStringLiteral("橙队 3号"));
    EXPECT_EQ(token->text(QAccessible::Description), QStringLiteral("#3 · 橙队\nControl + 点击查看球员信息"));
    EXPECT_EQ(token->role(), QAccessible::Button);
    EXPECT_EQ(pitch->child(9), token);   // one interface per token
    auto* actions = token->actionInterface();
    ASSERT_TRUE(actions);
    actions->doAction(QStringLiteral("查看球员信息"));
    EXPECT_EQ(store->inspectedPlayerID(), "away-3");
    EXPECT_TRUE(token->state().selected);
}

// A named squad: the kit fills the token with a readable number, the name sits under it
// and is part of the token's accessible name.
TEST_F(BoardViewTest, TheSquadsKitShirtAndNameShow) {
    Tactic tactic{"阵容", 7, {lineup({}, std::nullopt)}};
    tactic.teams = {TeamSquad{"红星队", "#F2F2F2", {{"home-5", "陈晨", std::nullopt, 10}}}};
    store->selectImported(SavedTactic{Uuid::random(), tactic, true});
    QAccessibleInterface* pitch = QAccessible::queryAccessibleInterface(view.get());
    ASSERT_TRUE(pitch);
    EXPECT_EQ(pitch->child(4)->text(QAccessible::Name), QStringLiteral("红星队 10号 陈晨"));   // blue 5

    const QImage image = paintBoard(*store, view->size());
    const QPointF five = at("home-5");
    EXPECT_LT(colourDistance(image.pixelColor((five + QPointF(-10, -6)).toPoint()), QColor(0xF2, 0xF2, 0xF2)), 30);
    // The number in dark ink on the light kit; the name's white under the token.
    EXPECT_GT(countAround(image, five, 6, [](QColor c) { return c.lightness() < 90; }), 8);
    EXPECT_GT(countAround(image, five + QPointF(0, 25), 5, [](QColor c) { return c.lightness() > 200; }), 4);

    // Focused on blue 5 who runs on in a second step: the others fade into the turf, his
    // run is drawn, and the interceptor's ring is in his kit.
    BoardStep next = lineup({{"home-5", {0.8, 0.3}}}, std::nullopt);
    tactic.steps.push_back(next);
    store->selectImported(SavedTactic{Uuid::random(), tactic, true});
    const QPointF three = at("home-3");
    const QColor before = paintBoard(*store, view->size()).pixelColor(three.toPoint());
    store->squad().setFocused("home-5");
    store->selectStep(1);
    const QImage focused = paintBoard(*store, view->size());
    EXPECT_GT(colourDistance(focused.pixelColor(three.toPoint()), before), 60);
    ASSERT_TRUE(store->scene().focus);
    const QPointF middle = view->toView(store->scene().focus->runs.at(0).at(0.5));
    const QColor turf = focused.pixelColor((middle + QPointF(0, 30)).toPoint());
    int ink = 0;   // his run, in the light kit on its casing
    for (int d = -3; d <= 3; ++d)
        if (colourDistance(focused.pixelColor((middle + QPointF(0, d)).toPoint()), turf) > 150) ++ink;
    EXPECT_GT(ink, 1);

    // Two teams in one kit stay apart on the board.
    BoardScene twins;
    twins.kits = {0xC0102Au, 0xC0102Au};
    EXPECT_GT(colourDistance(PitchPainting::teamFill(0, twins), PitchPainting::teamFill(1, twins)), 90);
}

// The ball is an object of its own where it is drawn, also while a pass carries it; a
// hidden view shows assistive technology nothing.
TEST_F(BoardViewTest, TheBallIsFoundWhereItIsDrawnAndAHiddenViewShowsNothing) {
    open({lineup({{"home-2", {0.2, 0.5}}, {"home-5", {0.7, 0.5}}}, "home-2")});
    QAccessibleInterface* pitch = QAccessible::queryAccessibleInterface(view.get());
    QAccessibleInterface* ball = pitch->child(14);
    ASSERT_TRUE(ball);
    EXPECT_EQ(ball->text(QAccessible::Name), QStringLiteral("足球"));
    EXPECT_EQ(ball->text(QAccessible::Description), QStringLiteral("足球 · 拖动调整位置"));
    const QPoint atFeet = ball->rect().center();
    EXPECT_LT(QLineF(view->mapFromGlobal(atFeet), view->ballCentre()).length(), 1.5);
    store->pass("home-5");
    platform.advance(0.3);
    ASSERT_TRUE(store->passingFromID());
    EXPECT_GT(ball->rect().center().x(), atFeet.x() + 20);   // it travels with the drawn ball
    const QPoint drawn = view->mapToGlobal(view->ballCentre().toPoint());
    EXPECT_EQ(pitch->childAt(drawn.x(), drawn.y()), ball);
    view->hide();
    EXPECT_EQ(pitch->childCount(), 0);
    EXPECT_FALSE(ball->isValid());
}

TEST_F(BoardViewTest, TheGoalLineHasOneBrightnessAndTheBallReadsWhite) {
    open({vantrel::testing::lineup({}, "home-4", "步骤", 0.3, 0.7)});   // the middle third, clear of the probed lines
    const QImage frame = paintBoard(*store, QSize(1240, 800));
    // The 1.5-point goal line at x = 22 fills pixel column 21 whole, top to bottom, with
    // no brighter stretch where the penalty and goal areas meet it.
    const QColor reference = frame.pixelColor(21, 100);
    EXPECT_GT(reference.lightness(), 150);
    for (int y = 30; y < 770; y += 2) EXPECT_LE(std::abs(frame.pixelColor(21, y).lightness() - reference.lightness()), 2) << y;
    // The halfway line is crisp: a full-strength column, not two half-strength ones.
    EXPECT_LE(std::abs(frame.pixelColor(619, 300).lightness() - reference.lightness()), 2);

    // The ball at its owner's feet (13 points, 12 right of and 20 below the token): mostly light.
    const Point owner = store->currentStep()->player("home-4")->position;
    const QPointF ball(owner.x * 1240 + 12, owner.y * 800 + 20);
    EXPECT_GT(countAround(frame, ball, 4, [](QColor c) { return c.lightness() > 170; }), 9 * 9 * 6 / 10);
}

TEST_F(BoardViewTest, InterfaceTextIsSetInSimplifiedChineseAndTooltipsInStudioColours) {
    const QFont previous = QApplication::font();
    StudioStyle::applyApplicationStyle();
    EXPECT_EQ(QFontInfo(QApplication::font()).family(), QStringLiteral("Noto Sans CJK SC"));
    QTextLayout layout(QStringLiteral("蓝队 橙队 球场视角"), QApplication::font());
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    const auto runs = layout.glyphRuns();
    ASSERT_FALSE(runs.isEmpty());
    for (const auto& run : runs) EXPECT_EQ(run.rawFont().familyName(), QStringLiteral("Noto Sans CJK SC"));
    EXPECT_EQ(QToolTip::palette().color(QPalette::ToolTipBase), StudioStyle::surface());
    EXPECT_EQ(QToolTip::palette().color(QPalette::ToolTipText), StudioStyle::textPrimary());
    QApplication::setFont(previous);
}

TEST_F(FlatBoardPainterTest, AFrameShowsTurfStripesAndTokensAtAnySize) {
    for (QSize size : {QSize(1500, 900), QSize(620, 500)}) {
        const QImage frame = paintBoard(store, size);
        EXPECT_EQ(frame.pixelColor(0, 0).alpha(), 0);   // outside the rounded pitch
        // Bands 3 and 2 of the ten across the painted area (inset 22 points): turf, stripe.
        const double width = FlatBoardPainter().projectionFor(size).rect().width;
        auto band = [&](double i) { return Point{(22 + (i + 0.5) * (width - 44) / 10) / width, 0.08}; };
        EXPECT_LE(colourDistance(pixel(frame, band(3)), StudioStyle::pitch()), 3) << size.width();
        EXPECT_LE(colourDistance(pixel(frame, band(2)), over(StudioStyle::pitch(), StudioStyle::pitchStripe(), 0.35)), 3);
        // Left of the shirt number, a token is its team's colour.
        for (const auto& p : store.displayPlayers()) {
            const QColor team = p.team == 0 ? StudioStyle::blueTeam() : StudioStyle::orangeTeam();
            if (p.number != 5) continue;
            EXPECT_LE(colourDistance(pixel(frame, p.position, {-10, 0}), team), 6) << p.id;
        }
    }
}

TEST_F(FlatBoardPainterTest, OffsideLineAndVisionShadowLieWhereTheCoreSays) {
    const QColor turf = StudioStyle::pitch();
    store.setShowOffside(true);
    QImage frame = paintBoard(store, {1500, 900});
    const double lineX = offsideLines(store.displayPlayers())->blue;
    int best = 1000;
    for (double y = 0.55; y < 0.62; y += 0.002)   // somewhere along a dash
        for (double dx : {-1.0, 0.0, 1.0})
            best = std::min(best, colourDistance(pixel(frame, {lineX, y}, {dx, 0}), over(turf, StudioStyle::offsideBlue(), 0.75)));
    EXPECT_LE(best, 40);

    // Just behind the player nearest the ball carrier, seen from the carrier: shaded.
    store.setShowOffside(false);
    store.setShowVision(true);
    frame = paintBoard(store, {1500, 900});
    const BoardStep& step = *store.currentStep();
    const Point o = step.owner()->position;
    const Player* blocker = nullptr;
    for (const auto& p : step.players)
        if (aspectDistance(p.position, o) > 0.08 &&
            (!blocker || aspectDistance(p.position, o) < aspectDistance(blocker->position, o)))
            blocker = &p;
    const Point b = blocker->position;
    const double len = std::hypot((b.x - o.x) * kPitchAspect, b.y - o.y);
    const Point behind{b.x + (b.x - o.x) / len * 0.06, b.y + (b.y - o.y) / len * 0.06};
    const bool striped = int((behind.x * 1395 - 22) / ((1395.0 - 44) / 10)) % 2 == 0;
    const QColor base = striped ? over(turf, StudioStyle::pitchStripe(), 0.35) : turf;
    EXPECT_LE(colourDistance(pixel(frame, behind), over(base, StudioStyle::pitchShade(), 0.28)), 6) << behind.x << "," << behind.y;
}

// A played pass: between the kick and the reception the ball is drawn in flight, away
// from the passer's feet and short of the receiver.
TEST_F(FlatBoardPainterTest, APlayedPassShowsTheBallInFlight) {
    // Across the pitch at x = 0.3, clear of every marking the probe could take for the ball.
    const Point from{0.3, 0.2}, to{0.3, 0.8};
    store.selectImported(SavedTactic{Uuid::random(), Tactic{"传球", 7, vantrel::testing::passBetween(from, to)}, true});
    store.next();
    while (store.transitionRunning() && store.scene().ball.carrierID) platform.advance(1.0 / 60);
    platform.advance(0.3);
    const BoardScene scene = store.scene();
    ASSERT_FALSE(scene.ball.carrierID);
    const QImage frame = paintBoard(store, {1500, 900});
    const QPointF ball = FlatBoardPainter().ballCentre(scene, QSizeF(1500, 900));
    const FlatProjection view = FlatBoardPainter().projectionFor(QSizeF(1500, 900));
    const Point kick = view.ballPlacement(from, 0).centre;
    const Point receive = view.ballPlacement(to, 0).centre;
    EXPECT_GT(QLineF(ball, QPointF(kick.x, kick.y)).length(), 20);
    EXPECT_GT(QLineF(ball, QPointF(receive.x, receive.y)).length(), 20);
    EXPECT_GT(countAround(frame, ball, 2, [](QColor c) { return c.lightness() > 150; }), 8);
}

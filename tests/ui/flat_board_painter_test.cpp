// SPDX-License-Identifier: GPL-3.0-or-later
// Frames of the flat board painted into images, probed pixel by pixel.
#include <gtest/gtest.h>

#include <QImage>

#include <cmath>

#include "core/pitch/offside_lines.h"
#include "support/board_view_fixture.h"
#include "ui/style/studio_style.h"

using namespace vantrel;

namespace {

QColor over(QColor base, QColor ink, double alpha) {
    return QColor::fromRgbF(base.redF() + (ink.redF() - base.redF()) * alpha,
                            base.greenF() + (ink.greenF() - base.greenF()) * alpha,
                            base.blueF() + (ink.blueF() - base.blueF()) * alpha);
}

using vantrel::testing::colourDistance;
using vantrel::testing::paintBoard;

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

TEST_F(FlatBoardPainterTest, AFrameShowsTurfStripesAndTokensAtAnySize) {
    for (QSize size : {QSize(1500, 900), QSize(620, 500)}) {
        const QImage frame = paintBoard(store, size);
        ASSERT_EQ(frame.size(), size);
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
    BoardStep a = *store.currentStep();
    BoardStep b = a;
    b.id = Uuid::random();
    const Player* owner = a.owner();
    ASSERT_TRUE(owner);
    const Player* receiver = nullptr;
    for (const auto& p : a.players)
        if (p.team == owner->team && p.id != owner->id &&
            (!receiver || aspectDistance(p.position, owner->position) > aspectDistance(receiver->position, owner->position)))
            receiver = &p;
    b.ballOwner = receiver->id;
    b.ball = receiver->position;
    b.pathControls.reset();
    for (auto& p : b.players) p.position = a.player(p.id)->position;   // nobody runs
    store.selectImported(SavedTactic{Uuid::random(), Tactic{"传球", 11, {a, b}}, true});
    store.next();
    while (store.transitionRunning() && store.scene().ball.carrierID) platform.advance(1.0 / 60);
    platform.advance(0.3);
    const BoardScene scene = store.scene();
    ASSERT_FALSE(scene.ball.carrierID);
    const QImage frame = paintBoard(store, {1500, 900});
    const QPointF ball = FlatBoardPainter().ballCentre(scene, QSizeF(1500, 900));
    const FlatProjection view = FlatBoardPainter().projectionFor(QSizeF(1500, 900));
    const Point kick = view.ballPlacement(owner->position, 0).centre;
    const Point receive = view.ballPlacement(receiver->position, 0).centre;
    EXPECT_GT(QLineF(ball, QPointF(kick.x, kick.y)).length(), 20);
    EXPECT_GT(QLineF(ball, QPointF(receive.x, receive.y)).length(), 20);
    EXPECT_GT(vantrel::testing::countAround(frame, ball, 2, [](QColor c) { return c.lightness() > 150; }), 8);
}

// Frames of the flat board painted into images, probed pixel by pixel.
#include <gtest/gtest.h>

#include <QImage>

#include <cmath>

#include "core/pitch/offside_lines.h"
#include "core/platform/memory_preference_store.h"
#include "core/store/board_store.h"
#include "support/manual_platform.h"
#include "ui/render/board_renderer.h"
#include "ui/style/studio_style.h"

using namespace vantrel;

namespace {

int distance(QColor a, QColor b) {
    return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) + std::abs(a.blue() - b.blue());
}
QColor over(QColor base, QColor ink, double alpha) {
    return QColor::fromRgbF(base.redF() + (ink.redF() - base.redF()) * alpha,
                            base.greenF() + (ink.greenF() - base.greenF()) * alpha,
                            base.blueF() + (ink.blueF() - base.blueF()) * alpha);
}

class BoardRendererTest : public ::testing::Test {
protected:
    void SetUp() override { store.selectBuiltIn(0, 11); }

    QColor pixel(const QImage& image, Point p, QPointF nudge = {}) const {
        const Point v = BoardRenderer::projection(image.size()).toView(p);
        return image.pixelColor((QPointF(v.x, v.y) + nudge).toPoint());
    }

    MemoryPreferenceStore prefs;
    vantrel::testing::ManualPlatform platform;
    BoardStore store{prefs, platform};
};

}  // namespace

TEST_F(BoardRendererTest, AFrameShowsTurfStripesAndTokensAtAnySize) {
    for (QSize size : {QSize(1500, 900), QSize(620, 500)}) {
        const QImage frame = paintBoardImage(store, size);
        ASSERT_EQ(frame.size(), size);
        EXPECT_EQ(frame.pixelColor(0, 0).alpha(), 0);   // outside the rounded pitch
        // Bands 3 and 2 of the ten across the painted area (inset 22 points): turf, stripe.
        const double width = BoardRenderer::projection(size).rect().width;
        auto band = [&](double i) { return Point{(22 + (i + 0.5) * (width - 44) / 10) / width, 0.08}; };
        EXPECT_LE(distance(pixel(frame, band(3)), StudioStyle::pitch()), 3) << size.width();
        EXPECT_LE(distance(pixel(frame, band(2)), over(StudioStyle::pitch(), StudioStyle::pitchStripe(), 0.35)), 3);
        // Left of the shirt number, a token is its team's colour.
        for (const auto& p : store.displayPlayers()) {
            const QColor team = p.team == 0 ? StudioStyle::blueTeam() : StudioStyle::orangeTeam();
            if (p.number != 5) continue;
            EXPECT_LE(distance(pixel(frame, p.position, {-10, 0}), team), 6) << p.id;
        }
    }
}

TEST_F(BoardRendererTest, OffsideLineAndVisionShadowLieWhereTheCoreSays) {
    const QColor turf = StudioStyle::pitch();
    store.setShowOffside(true);
    QImage frame = paintBoardImage(store, {1500, 900});
    const double lineX = offsideLines(store.displayPlayers())->blue;
    int best = 1000;
    for (double y = 0.55; y < 0.62; y += 0.002)   // somewhere along a dash
        for (double dx : {-1.0, 0.0, 1.0})
            best = std::min(best, distance(pixel(frame, {lineX, y}, {dx, 0}), over(turf, StudioStyle::offsideBlue(), 0.75)));
    EXPECT_LE(best, 40);

    // Just behind the player nearest the ball carrier, seen from the carrier: shaded.
    store.setShowOffside(false);
    store.setShowVision(true);
    frame = paintBoardImage(store, {1500, 900});
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
    EXPECT_LE(distance(pixel(frame, behind), over(base, StudioStyle::pitchShade(), 0.28)), 6) << behind.x << "," << behind.y;
}

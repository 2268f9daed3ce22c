// The window as a coach sees it: a grabbed frame probed pixel by pixel, and the
// autosave written when the window is left or closed.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>

#include <cmath>

#include "core/library/builtin_tactics.h"
#include "core/model/tactic_json.h"
#include "core/platform/memory_preference_store.h"
#include "support/manual_platform.h"
#include "ui/pitch/pitch_view.h"
#include "ui/style/studio_style.h"
#include "ui/workspace/content_view.h"
#include "ui/workspace/main_window.h"

using namespace vantrel;

namespace {

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        prefs.setBoolean("Vantrel.onboardingCompleted", true);
        window = std::make_unique<MainWindow>(prefs, platform);
        window->resize(1500, 900);
        window->show();
    }

    BoardStore& store() { return window->content().store(); }
    PitchView& pitch() { return window->content().pitchView(); }
    QPoint windowPoint(Point p) { return pitch().mapTo(window.get(), pitch().toView(p).toPoint()); }

    static int distance(QColor a, QColor b) {
        return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) + std::abs(a.blue() - b.blue());
    }
    static QColor over(QColor base, QColor ink, double alpha) {
        return QColor::fromRgbF(base.redF() + (ink.redF() - base.redF()) * alpha,
                                base.greenF() + (ink.greenF() - base.greenF()) * alpha,
                                base.blueF() + (ink.blueF() - base.blueF()) * alpha);
    }
    std::size_t libraryEntries() const {
        auto bytes = prefs.data(kImportedTacticsKey);
        if (!bytes) return 0;
        return TacticJson::decodeLibrary(*bytes).value().size();
    }

    MemoryPreferenceStore prefs;
    vantrel::testing::ManualPlatform platform;
    std::unique_ptr<MainWindow> window;
};

}  // namespace

TEST_F(WindowTest, TheWindowKeepsItsSizes) {
    EXPECT_EQ(window->minimumSize(), QSize(1080, 720));
    EXPECT_EQ(window->size(), QSize(1500, 900));
}

TEST_F(WindowTest, APaintedFrameShowsTurfTokensOffsideAndVision) {
    BoardStore& s = store();
    QImage frame = window->grab().toImage();
    ASSERT_EQ(frame.size(), QSize(1500, 900));

    // Turf between the stripes is exactly the pitch colour; a stripe is a shade darker.
    const QRectF r = pitch().drawingRect();
    const qreal band = (r.width() - 44) / 10;
    auto turfAt = [&](int bandIndex) {
        QPointF local(r.left() + 22 + (bandIndex + 0.5) * band, r.top() + r.height() * 0.08);
        return frame.pixelColor(pitch().mapTo(window.get(), local.toPoint()));
    };
    const QColor turf = turfAt(3);
    EXPECT_LE(distance(turf, StudioStyle::pitch()), 3);
    EXPECT_LE(distance(turfAt(2), over(StudioStyle::pitch(), StudioStyle::pitchStripe(), 0.35)), 3);

    // A blue and an orange token where players stand (left of the shirt number).
    for (const auto& p : s.currentStep()->players) {
        if (p.number != 5) continue;
        const QColor token = frame.pixelColor(windowPoint(p.position) - QPoint(10, 0));
        EXPECT_LE(distance(token, p.team == 0 ? StudioStyle::blueTeam() : StudioStyle::orangeTeam()), 6) << p.id;
    }

    // The blue attackers' offside line: second-last orange, never inside blue's half.
    s.setShowOffside(true);
    frame = window->grab().toImage();
    std::vector<double> orange;
    for (const auto& p : s.currentStep()->players)
        if (p.team != 0) orange.push_back(p.position.x);
    std::sort(orange.begin(), orange.end(), std::greater<>());
    const double lineX = std::max(orange[1], 0.5);
    const QColor expected = over(turf, StudioStyle::offsideBlue(), 0.75);
    int best = 1000;
    for (double y = 0.55; y < 0.62; y += 0.002)   // somewhere along a dash
        for (int dx = -1; dx <= 1; ++dx)
            best = std::min(best, distance(frame.pixelColor(windowPoint({lineX, y}) + QPoint(dx, 0)), expected));
    EXPECT_LE(best, 40);

    // Vision: the shadow a player casts away from the ball carrier is shaded.
    s.setShowOffside(false);
    s.setShowVision(true);
    frame = window->grab().toImage();
    const BoardStep& step = *s.currentStep();
    const Player* owner = step.owner();
    ASSERT_TRUE(owner);
    const Player* blocker = nullptr;
    double nearest = 1e9;
    for (const auto& p : step.players) {
        if (p.id == owner->id) continue;
        const double d = aspectDistance(p.position, owner->position);
        if (d > 0.08 && d < nearest) nearest = d, blocker = &p;
    }
    ASSERT_TRUE(blocker);
    const Point dir{blocker->position.x - owner->position.x, blocker->position.y - owner->position.y};
    const double len = std::hypot(dir.x * kPitchAspect, dir.y);
    const Point behind{blocker->position.x + dir.x / len * 0.06, blocker->position.y + dir.y / len * 0.06};
    const QColor shaded = frame.pixelColor(windowPoint(behind));
    EXPECT_LT(shaded.lightness(), turf.lightness() - 4) << behind.x << "," << behind.y;
    const QPointF behindLocal = pitch().toView(behind) - r.topLeft();
    const bool striped = int((behindLocal.x() - 22) / band) % 2 == 0;
    const QColor base = striped ? over(StudioStyle::pitch(), StudioStyle::pitchStripe(), 0.35) : StudioStyle::pitch();
    EXPECT_LE(distance(shaded, over(base, StudioStyle::pitchShade(), 0.28)), 6);
}

TEST_F(WindowTest, LeavingOrClosingTheWindowWritesThePendingAutosave) {
    BoardStore& s = store();
    s.newTactic("离开");
    s.addStep();
    ASSERT_TRUE(s.autosavePending());
    window->applicationStateChanged(Qt::ApplicationActive);
    EXPECT_TRUE(s.autosavePending());
    window->applicationStateChanged(Qt::ApplicationInactive);
    EXPECT_FALSE(s.autosavePending());
    EXPECT_EQ(TacticJson::decodeLibrary(*prefs.data(kImportedTacticsKey)).value()[0].tactic.steps.size(), 2u);

    s.addStep();
    ASSERT_TRUE(s.autosavePending());
    window->close();
    EXPECT_EQ(TacticJson::decodeLibrary(*prefs.data(kImportedTacticsKey)).value()[0].tactic.steps.size(), 3u);
    EXPECT_EQ(libraryEntries(), 1u);
}

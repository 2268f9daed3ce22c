// SPDX-License-Identifier: GPL-3.0-or-later
// The 2D pitch's markings, ball and the application's font and tooltips, probed.
#include <QApplication>
#include <QFontInfo>
#include <QGlyphRun>
#include <QMouseEvent>
#include <QRawFont>
#include <QTextLayout>
#include <QToolTip>

#include "support/board_view_fixture.h"
#include "support/lineup.h"
#include "ui/style/studio_application_style.h"
#include "ui/style/studio_style.h"

using namespace vantrel;

namespace {

// Both teams across the middle third, clear of the lines the probes read.
BoardStep midfield(std::optional<std::string> owner) { return vantrel::testing::lineup({}, owner, "步骤", 0.3, 0.7); }

using PitchPolish = vantrel::testing::BoardViewTest;

}  // namespace

TEST_F(PitchPolish, TheGoalLineHasOneBrightnessAndTheBallReadsWhite) {
    open({midfield("home-4")});
    const QImage frame = vantrel::testing::paintFlatBoard(*store, QSize(1240, 800));
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
    int light = 0, total = 0;
    for (int dx = -4; dx <= 4; ++dx)
        for (int dy = -4; dy <= 4; ++dy, ++total)
            light += frame.pixelColor((ball + QPointF(dx, dy)).toPoint()).lightness() > 170;
    EXPECT_GT(light, total * 6 / 10);
}

TEST_F(PitchPolish, InterfaceTextIsSetInSimplifiedChineseAndTooltipsInStudioColours) {
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

TEST_F(PitchPolish, TheFlatPitchShowsAHandOverWhatCanBeDragged) {
    open({midfield(std::nullopt)});
    auto hover = [&](QPointF at) {
        send(QEvent::MouseMove, at, Qt::NoButton, Qt::NoButton);
        return view->cursor().shape();
    };
    EXPECT_EQ(hover(view->toView(store->currentStep()->player("away-2")->position)), Qt::OpenHandCursor);
    EXPECT_EQ(hover(view->ballCentre()), Qt::OpenHandCursor);
    EXPECT_EQ(hover(view->toView({0.1, 0.1})), Qt::ArrowCursor);
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/style/app_icon.h"
#include "ui/style/quiet_hover_style.h"
#include "ui/style/studio_segmented_control.h"
#include "ui/style/studio_style.h"

#include <QAccessible>
#include <QApplication>
#include <QImage>
#include <QSignalSpy>
#include <QTest>
#include <QVariantAnimation>

#include <gtest/gtest.h>

namespace vantrel {
namespace {

struct Rgb {
    int r, g, b;
    bool operator==(const Rgb&) const = default;
};

Rgb rgb(const QColor& c) { return {c.red(), c.green(), c.blue()}; }

void PrintTo(const Rgb& c, std::ostream* os) { *os << '(' << c.r << ", " << c.g << ", " << c.b << ')'; }

// Runs each test on a known light appearance and puts the application palette back.
class StudioStyleTest : public ::testing::Test {
protected:
    void SetUp() override {
        original_ = QApplication::palette();
        setDark(false);
    }
    void TearDown() override { QApplication::setPalette(original_); }

    static void setDark(bool dark) {
        QPalette palette;
        palette.setColor(QPalette::Window, dark ? QColor(0x202124) : QColor(0xEFEFEF));
        palette.setColor(QPalette::WindowText, dark ? QColor(0xF0F0F0) : QColor(0x141414));
        QApplication::setPalette(palette);
    }

    static Rgb probe(QWidget& widget, QPointF at) { return rgb(widget.grab().toImage().pixelColor(at.toPoint())); }

private:
    QPalette original_;
};

// ---- Tokens -------------------------------------------------------------------------

TEST_F(StudioStyleTest, TheAppearanceSwitchesWithThePaletteWithoutRestart) {
    QSignalSpy switches(&StudioStyle::appearance(), &StudioAppearance::appearanceChanged);
    const Rgb lightSurface = rgb(StudioStyle::surface());
    const Rgb pitch = rgb(StudioStyle::pitch());
    for (bool dark : {true, false, true}) {
        setDark(dark);
        EXPECT_EQ(StudioStyle::isDark(), dark);
        EXPECT_EQ(rgb(StudioStyle::surface()) == lightSurface, !dark);
        EXPECT_EQ(rgb(StudioStyle::pitch()), pitch);   // the turf is the same by day and night
    }
    // A palette change that keeps the appearance is no switch.
    QPalette stillDark = QApplication::palette();
    stillDark.setColor(QPalette::Window, QColor(0x101010));
    QApplication::setPalette(stillDark);

    ASSERT_EQ(switches.count(), 3);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(switches.at(i).at(0).toBool(), i != 1) << i;   // dark, light, dark
}

// ---- StudioSegmentedControl ---------------------------------------------------------

class SegmentedControlTest : public StudioStyleTest {
protected:
    void SetUp() override {
        StudioStyleTest::SetUp();
        control_ = std::make_unique<StudioSegmentedControl>(
            QStringLiteral("传球方式"),
            QList<StudioSegmentedControl::Item>{{QStringLiteral("地面"), QStringLiteral("ground")},
                                                {QStringLiteral("高球"), QStringLiteral("loft")},
                                                {QStringLiteral("直塞"), QStringLiteral("through")}});
        control_->setSelection(QStringLiteral("ground"));
        control_->setFixedSize(240, 34);
    }

    void click(int segment) { QTest::mouseClick(control_.get(), Qt::LeftButton, {}, centre(segment)); }
    QPoint centre(int segment) const { return control_->segmentRect(segment).center().toPoint(); }
    // A point of the segment clear of its label.
    QPointF beside(int segment) const {
        const QRectF r = control_->segmentRect(segment);
        return {r.left() + 5, r.center().y()};
    }

    std::unique_ptr<StudioSegmentedControl> control_;
};

TEST_F(SegmentedControlTest, EmitsOnlyForARealChange) {
    control_->show();
    QSignalSpy changes(control_.get(), &StudioSegmentedControl::selectionChanged);

    click(1);
    ASSERT_EQ(changes.count(), 1);
    EXPECT_EQ(changes.at(0).at(0), QVariant(QStringLiteral("loft")));
    EXPECT_EQ(control_->selection(), QVariant(QStringLiteral("loft")));

    click(1);   // the selected segment again
    control_->setSelection(QStringLiteral("loft"));
    EXPECT_EQ(changes.count(), 1);

    // Pressing one segment and releasing on another is no click; nor is the track's inset.
    QTest::mousePress(control_.get(), Qt::LeftButton, {}, centre(0));
    QTest::mouseRelease(control_.get(), Qt::LeftButton, {}, centre(2));
    QTest::mouseClick(control_.get(), Qt::LeftButton, {}, QPoint(1, 17));
    EXPECT_EQ(changes.count(), 1);

    // The keyboard moves one segment at a time and stops at the ends.
    control_->setFocus();
    QTest::keyClick(control_.get(), Qt::Key_Right);
    QTest::keyClick(control_.get(), Qt::Key_Right);
    EXPECT_EQ(control_->selection(), QVariant(QStringLiteral("through")));
    EXPECT_EQ(changes.count(), 2);
    QTest::keyClick(control_.get(), Qt::Key_Home);
    QTest::keyClick(control_.get(), Qt::Key_Left);
    EXPECT_EQ(control_->selection(), QVariant(QStringLiteral("ground")));
    EXPECT_EQ(changes.count(), 3);

    // A value that names no segment is held, with no segment shown selected.
    control_->setSelection(QStringLiteral("volley"));
    EXPECT_EQ(control_->selectedIndex(), -1);
    EXPECT_EQ(changes.count(), 4);
}

TEST_F(SegmentedControlTest, PaintsTheSelectionAndSlidesItOnClick) {
    control_->show();
    const Rgb fill = rgb(StudioStyle::viewSelectionFill()), track = rgb(StudioStyle::surfaceSecondary());
    EXPECT_EQ(probe(*control_, beside(0)), fill);
    EXPECT_EQ(probe(*control_, beside(1)), track);
    EXPECT_EQ(probe(*control_, QPointF(control_->width() / 2.0, 1.5)), track);   // inset above the segments

    click(2);
    // Still on its way: the fill has left segment 0 but not yet reached segment 2.
    auto* animation = control_->findChild<QVariantAnimation*>(QStringLiteral("selectionAnimation"));
    ASSERT_NE(animation, nullptr);
    animation->setCurrentTime(90);
    EXPECT_EQ(probe(*control_, beside(2)), track);
    EXPECT_EQ(probe(*control_, control_->segmentRect(1).center()), fill);

    animation->setCurrentTime(animation->duration());
    EXPECT_EQ(probe(*control_, beside(0)), track);
    EXPECT_EQ(probe(*control_, beside(2)), fill);
}

TEST_F(SegmentedControlTest, RecoloursWithTheAppearanceAndTheDarkValue) {
    control_->setSelectedFill(StudioStyle::brandFill);
    const Rgb lightFill = rgb(StudioStyle::brandFill());
    EXPECT_EQ(probe(*control_, beside(0)), lightFill);

    setDark(true);
    ASSERT_NE(rgb(StudioStyle::brandFill()), lightFill);
    EXPECT_EQ(probe(*control_, beside(0)), rgb(StudioStyle::brandFill()));
    EXPECT_EQ(probe(*control_, beside(1)), rgb(StudioStyle::surfaceSecondary()));

    control_->setSelectedFill(QColor(200, 10, 10));
    EXPECT_EQ(probe(*control_, beside(0)), (Rgb{200, 10, 10}));

    control_->setDarkValue(QStringLiteral("loft"));
    control_->setSelection(QStringLiteral("loft"));   // hidden: no slide
    EXPECT_EQ(probe(*control_, beside(1)), rgb(StudioStyle::pitchShade()));
}

TEST_F(SegmentedControlTest, SegmentsAreNamedAndPressableRadioButtons) {
    QAccessibleInterface* group = QAccessible::queryAccessibleInterface(control_.get());
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->text(QAccessible::Name), QStringLiteral("传球方式"));
    ASSERT_EQ(group->childCount(), 3);

    QAccessibleInterface* loft = group->child(1);
    ASSERT_NE(loft, nullptr);
    EXPECT_EQ(loft->text(QAccessible::Name), QStringLiteral("传球方式 高球"));
    EXPECT_EQ(loft->role(), QAccessible::RadioButton);
    EXPECT_FALSE(loft->state().checked);
    EXPECT_TRUE(group->child(0)->state().checked);

    QSignalSpy changes(control_.get(), &StudioSegmentedControl::selectionChanged);
    loft->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(changes.count(), 1);
    EXPECT_TRUE(loft->state().checked);
    EXPECT_FALSE(group->child(0)->state().checked);
}

// ---- QuietHoverStyle ----------------------------------------------------------------

TEST_F(StudioStyleTest, QuietButtonDimsWhilePressedAndFillsOnHover) {
    QWidget window;
    window.resize(120, 60);
    auto* button = new QuietHoverStyle(6, &window);
    button->setText(QStringLiteral("收藏"));
    button->setGeometry(10, 10, 100, 40);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    auto finish = [button](const char* name) {
        auto* animation = button->findChild<QVariantAnimation*>(QString::fromLatin1(name));
        ASSERT_NE(animation, nullptr);
        animation->setCurrentTime(animation->duration());
    };
    // Inside the rounded rect and clear of the label, seen over the window's background.
    const QPoint corner = button->pos() + QPoint(3, 3);
    const QColor background = window.grab().toImage().pixelColor(corner);

    QTest::mouseMove(button, QPoint(50, 20));
    ASSERT_TRUE(button->isHovered());
    finish("hoverAnimation");
    // A faint brand tint over the background.
    const QColor hovered = window.grab().toImage().pixelColor(corner);
    EXPECT_NE(hovered, background);
    EXPECT_LE(std::abs(hovered.lightness() - background.lightness()), 12);

    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(50, 20));
    finish("pressAnimation");
    EXPECT_LT(button->drawnOpacity(), 1.0);
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(50, 20));
    finish("pressAnimation");
    EXPECT_DOUBLE_EQ(button->drawnOpacity(), 1.0);
}

// ---- The application icon -----------------------------------------------------------

TEST(AppIcon, RendersFromTheEmbeddedSvgAtEverySize) {
    // The SVG is compiled into the static UI library; a resource the linker dropped
    // would leave the platform's default icon without any message.
    const QIcon icon = vantrelIcon();
    ASSERT_FALSE(icon.isNull());
    for (int size : {16, 32, 256}) {
        const QImage image = icon.pixmap(size, size).toImage();
        ASSERT_EQ(image.size(), QSize(size, size));
        EXPECT_EQ(image.pixelColor(0, 0).alpha(), 0) << size;   // rounded corner
        const QColor tile = image.pixelColor(size / 2, size / 16);
        EXPECT_EQ(tile.alpha(), 255) << size;
        EXPECT_GT(tile.green(), tile.red()) << size;   // the brand green
        EXPECT_GT(tile.green(), tile.blue()) << size;
    }
}

}  // namespace
}  // namespace vantrel

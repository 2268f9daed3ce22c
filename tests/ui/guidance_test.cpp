// SPDX-License-Identifier: GPL-3.0-or-later
// The formation picker and the first-run tour, driven through the real window with
// clicks and keys; the store runs on virtual time and in-memory preferences.

#include <QAbstractButton>
#include <QLabel>

#include "core/library/formation_preset.h"
#include "support/board_view_fixture.h"
#include "support/window_fixture.h"
#include "ui/guidance/first_run_tutorial.h"
#include "ui/guidance/formation_picker.h"
#include "ui/style/studio_segmented_control.h"
#include "ui/workspace/inspector_view.h"

using namespace vantrel;

namespace {

class GuidanceTest : public vantrel::testing::WindowTest {
protected:
    FirstRunTutorial* tour() { return content().tutorialOverlay(); }
};

// --- Formation picker ------------------------------------------------------------------

class FormationPickerTest : public GuidanceTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        store().selectBuiltIn(0, 7);
        content().toggleStageSettings();
        picker = content().inspector().formationPicker();
        ASSERT_TRUE(picker && picker->isVisible());
    }
    FormationPickerPopover* openPicker() {
        QTest::mouseClick(picker, Qt::LeftButton);
        EXPECT_TRUE(picker->isPresented());
        return picker->popover();
    }
    // The previews' preset ids in order; only the marked ones when asked.
    static std::vector<std::string> ids(const FormationPickerPopover& popover, bool markedOnly = false) {
        std::vector<std::string> out;
        for (auto* p : popover.previews())
            if (!markedOnly || p->isSelected()) out.push_back(p->preset().id);
        return out;
    }
    static std::vector<std::string> marked(const FormationPickerPopover& popover) { return ids(popover, true); }
    static FormationPreviewButton* preview(const FormationPickerPopover& popover, std::string_view id) {
        for (auto* p : popover.previews())
            if (p->preset().id == id) return p;
        return nullptr;
    }

    FormationPickerButton* picker = nullptr;
};

TEST_F(FormationPickerTest, ArrowKeysMoveOverThePreviewsAndReturnChooses) {
    FormationPickerPopover* popover = openPicker();
    const auto& previews = popover->previews();
    ASSERT_GE(previews.size(), 5u);
    previews[0]->setFocus();
    QTest::keyClick(previews[0], Qt::Key_Right);
    EXPECT_TRUE(previews[1]->hasFocus());
    QTest::keyClick(previews[1], Qt::Key_Down);   // three to a row
    EXPECT_TRUE(previews[4]->hasFocus());
    QTest::keyClick(previews[4], Qt::Key_Return);
    EXPECT_EQ(store().formationID(store().formationFocusTeam()), previews[4]->preset().id);
}

TEST_F(FormationPickerTest, ListsOnlyTheFormatsPresetsMarksTheCurrentOneAndStaysOpenAfterChoosing) {
    FormationPickerPopover* popover = openPicker();
    std::vector<std::string> seven;
    for (const auto& p : FormationPreset::seven()) seven.push_back(p.id);
    EXPECT_EQ(ids(*popover), seven);

    const std::string current = store().formationID(0);
    EXPECT_EQ(marked(*popover), current == "custom" ? std::vector<std::string>{} : std::vector<std::string>{current});

    QTest::mouseClick(preview(*popover, "3-1-2"), Qt::LeftButton);
    EXPECT_EQ(marked(*popover), std::vector<std::string>{"3-1-2"});
    EXPECT_TRUE(popover->isVisible());   // presets can be compared one after another

    // A custom line-up marks nothing; an 11-a-side tactic lists the 11-a-side presets.
    store().movePlayer("home-2", {0.2, 0.3});   // "custom" then: the store's editing test
    EXPECT_TRUE(marked(*popover).empty());
    store().changeFormat(11);
    store().resolveStageChanges(StageSaveDecision::discard);   // the edited step is left
    std::vector<std::string> eleven;
    for (const auto& p : FormationPreset::eleven()) eleven.push_back(p.id);
    EXPECT_EQ(ids(*popover), eleven);
    EXPECT_EQ(popover->findChild<QLabel*>(QStringLiteral("formationFormat"))->text(), QStringLiteral("11 人制"));
}

TEST_F(FormationPickerTest, TheTeamSelectorMovesTheMarksAndTheNextClickAndEscCloses) {
    store().newTactic("测试");
    store().applyFormation("2-3-1", 0);
    store().applyFormation("4-2", 1);
    FormationPickerPopover* popover = openPicker();
    EXPECT_EQ(marked(*popover), std::vector<std::string>{"2-3-1"});

    StudioSegmentedControl* team = popover->teamSelector();
    QTest::mouseClick(team, Qt::LeftButton, {}, team->segmentRect(1).center().toPoint());
    EXPECT_EQ(marked(*popover), std::vector<std::string>{"4-2"});   // the orange team's
    EXPECT_EQ(popover->previews().front()->accessibleName(), QStringLiteral("橙队 2-3-1 阵型"));

    QTest::mouseClick(preview(*popover, "3-2-1"), Qt::LeftButton);
    EXPECT_EQ(store().formationID(1), "3-2-1");   // which players move, and where, is the store's test

    const Tactic applied = store().tactic();
    QTest::keyClick(popover, Qt::Key_Escape);
    EXPECT_FALSE(picker->isPresented());
    EXPECT_EQ(store().tactic(), applied);
    EXPECT_EQ(store().formationFocusTeam(), 1);
}

// --- First-run tour ------------------------------------------------------------------

class TutorialTest : public GuidanceTest {
protected:
    void SetUp() override {
        open();
        store().setReduceMotion(true);
    }
    QRectF anchor(TutorialTarget t) { return tour()->anchors().at(t); }
};

TEST_F(TutorialTest, FirstStartShowsTheTourAndItsKeysPageStayInRangeAndFinish) {
    ASSERT_NE(tour(), nullptr);
    EXPECT_EQ(QApplication::focusWidget(), tour());   // shown, as it holds the focus
    EXPECT_EQ(tour()->geometry(), content().rect());
    EXPECT_EQ(tour()->accessibleName(), QStringLiteral("新手教程，第 1 步，共 8 步"));
    EXPECT_FALSE(tour()->backButton()->isVisible());

    key(Qt::Key_Left);
    EXPECT_EQ(tour()->index(), 0);
    for (int i = 0; i < 7; ++i) key(Qt::Key_Right);
    EXPECT_EQ(tour()->index(), 7);
    EXPECT_EQ(tour()->counterLabel()->text(), QStringLiteral("08 / 08"));
    EXPECT_EQ(tour()->forwardButton()->text(), QStringLiteral("开始使用"));
    EXPECT_TRUE(tour()->backButton()->isVisible());
    key(Qt::Key_Right);
    EXPECT_EQ(tour()->index(), 7);
    EXPECT_FALSE(prefs.boolean("Vantrel.onboardingCompleted").value_or(false));

    QTest::mouseClick(tour()->backButton(), Qt::LeftButton);
    EXPECT_EQ(tour()->index(), 6);
    key(Qt::Key_Return);
    key(Qt::Key_Return);
    EXPECT_EQ(tour(), nullptr);
    EXPECT_TRUE(prefs.boolean("Vantrel.onboardingCompleted").value_or(false));
}

TEST_F(TutorialTest, EscSkipsForGoodAndCannotStartOverTheSaveQuestion) {
    key(Qt::Key_Right);
    key(Qt::Key_Escape);
    EXPECT_EQ(tour(), nullptr);
    EXPECT_TRUE(prefs.boolean("Vantrel.onboardingCompleted").value_or(false));   // that it never comes back is the preferences' test

    store().newTactic("测试");
    const Player& p = store().currentStep()->players[3];
    store().movePlayer(p.id, {p.position.x, p.position.y + 0.2});
    store().addStep();
    ASSERT_TRUE(store().showingStageSaveConfirmation());
    content().actions().tutorial->trigger();
    EXPECT_EQ(tour(), nullptr);
}

TEST_F(TutorialTest, TheStepSettingsOpenForTheirLessonsAndChangesGlideOnVirtualTime) {
    // The formation and pass lessons open the step settings for themselves and close them
    // again, so all eight targets are spotlit (the pitch's and the library's: the glide's).
    for (int lesson : {2, 4}) {
        tour()->setIndex(lesson);
        EXPECT_TRUE(content().inspectorVisible()) << lesson;
        ASSERT_TRUE(tour()->holeRect()) << lesson;
        const TutorialTarget target = lesson == 2 ? TutorialTarget::formation : TutorialTarget::pass;
        EXPECT_EQ(*tour()->holeRect(), anchor(target).adjusted(-7, -6, 7, 6));
        EXPECT_TRUE(QRectF(tour()->rect()).contains(tour()->noteRect()));
        tour()->setIndex(lesson + 1);
        EXPECT_FALSE(content().inspectorVisible()) << lesson;
    }
    for (TutorialTarget t : {TutorialTarget::view, TutorialTarget::drawing, TutorialTarget::timeline})
        EXPECT_TRUE(tour()->anchors().contains(t)) << int(t);

    // With motion allowed, the hole glides from the library to the pitch.
    tour()->setIndex(1);
    store().setReduceMotion(false);
    const QRectF library = *tour()->holeRect();
    key(Qt::Key_Left);
    EXPECT_TRUE(tour()->animating());
    platform.advance(FirstRunTutorial::kGlideSeconds / 2);
    const QRectF mid = *tour()->holeRect();
    platform.advance(1);
    EXPECT_FALSE(tour()->animating());
    EXPECT_EQ(*tour()->holeRect(), anchor(TutorialTarget::pitch).adjusted(-7, -6, 7, 6));
    EXPECT_GT(mid.width(), library.width());
    EXPECT_LT(mid.width(), tour()->holeRect()->width());
}

TEST_F(TutorialTest, TheLayoutComesBackExactlyAfterFinishingAndAfterAClosedWindow) {
    key(Qt::Key_Escape);
    prefs.setBoolean("libraryVisible", false);
    prefs.setBoolean("builtinLibraryExpanded", false);
    prefs.setString("pitchViewMode", "3D");
    open();
    content().toggleStageSettings();
    ASSERT_TRUE(content().inspectorVisible());

    content().actions().tutorial->trigger();
    ASSERT_NE(tour(), nullptr);
    EXPECT_TRUE(content().librarySidebar().isVisible());
    EXPECT_FALSE(content().inspector().isVisible());
    EXPECT_FALSE(content().workspace().is3D());
    QTest::mouseClick(tour()->skipButton(), Qt::LeftButton);
    EXPECT_TRUE(content().inspectorVisible());
    EXPECT_FALSE(content().librarySidebar().isVisible());
    EXPECT_TRUE(content().workspace().is3D());

    // Closed mid-tour: nothing forced sticks, and the tour was not completed.
    MemoryPreferenceStore fresh;
    fresh.setString("pitchViewMode", "3D");
    window.reset();
    window = std::make_unique<MainWindow>(fresh, platform);
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    ASSERT_NE(tour(), nullptr);
    EXPECT_EQ(fresh.string("pitchViewMode"), "2D");
    window->close();
    window.reset();
    EXPECT_EQ(fresh.string("pitchViewMode"), "3D");
    EXPECT_EQ(fresh.boolean("builtinLibraryExpanded"), false);
    EXPECT_EQ(fresh.boolean("libraryVisible"), true);
    EXPECT_FALSE(fresh.boolean("Vantrel.onboardingCompleted").value_or(false));
}

TEST_F(TutorialTest, TheVeilIsDarkOutsideTheHoleAndWhiteGraphiteRingsTheTarget) {
    key(Qt::Key_Right);   // the library
    const QRectF target = anchor(TutorialTarget::library);
    const QRectF hole = *tour()->holeRect();
    tour()->hide();
    const QImage bare = content().grab().toImage();
    tour()->show();
    const QImage shot = content().grab().toImage();
    auto lum = [](QColor c) { return 0.299 * c.red() + 0.587 * c.green() + 0.114 * c.blue(); };

    // Far from the hole and the card, the workspace is veiled dark.
    const QPoint outside(content().width() - 40, content().height() - 40);
    ASSERT_FALSE(tour()->noteRect().contains(outside));
    EXPECT_LT(lum(shot.pixelColor(outside)), lum(bare.pixelColor(outside)) * 0.6);
    EXPECT_LT(lum(shot.pixelColor(outside)), 130);
    // Inside the hole the workspace shows as it is.
    const QPoint inside = hole.center().toPoint();
    EXPECT_EQ(shot.pixelColor(inside), bare.pixelColor(inside));

    // The loop passes the target's left and right edges 10 points out, in white graphite.
    auto whiteNear = [&](QPointF at) {
        return vantrel::testing::countAround(shot, at, 2, [](QColor c) { return std::min({c.red(), c.green(), c.blue()}) > 200; }) > 0;
    };
    const auto pencil = TutorialPencilPoints::make(target, tour()->noteRect());
    int white = 0, probed = 0;
    for (const Point& p : pencil.loop) {
        const QPointF at(p.x, p.y);
        if (!QRectF(content().rect()).adjusted(3, 3, -3, -3).contains(at) || tour()->noteRect().contains(at)) continue;
        ++probed;
        white += whiteNear(at);
    }
    ASSERT_GT(probed, 40);
    EXPECT_GT(white, probed * 8 / 10);
}

}  // namespace

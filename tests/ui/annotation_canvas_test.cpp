// SPDX-License-Identifier: GPL-3.0-or-later
// The annotation layer in the real window: gestures on the canvas, the keys, the toolbar
// and its panels, and what reaches the screen. Real mouse and key events, offscreen.

#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSet>
#include <QSlider>
#include <QStyleOptionSlider>

#include "support/board_items.h"
#include "support/lineup.h"
#include "support/pointer.h"
#include "support/window_fixture.h"
#include "ui/annotation/annotation_canvas_view.h"
#include "ui/annotation/annotation_text_editor.h"
#include "ui/annotation/drawing_panels_overlay.h"
#include "ui/annotation/drawing_toolbar_view.h"
#include "ui/render/annotation_drawing.h"
#include "ui/pitch/board_view.h"
#include "ui/workspace/canvas_panel.h"
#include "ui/style/studio_segmented_control.h"

using namespace vantrel;
using vantrel::testing::mouse;

namespace {

BoardAnnotation shape(AnnotationTool kind, Point a, Point b, AnnotationFill fill = AnnotationFill::none) {
    return vantrel::testing::drawing(kind, {a, b}, fill);
}

// The scene as the drawing paints it on a transparent image of `size` pixels.
QImage paintDrawing(AnnotationDrawing& drawing, AnnotationScene scene, const AnnotationSurface& surface, QSize size) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    drawing.setScene(std::move(scene));
    QPainter painter(&image);
    drawing.paint(painter, surface);
    return image;
}

class AnnotationCanvasTest : public vantrel::testing::WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        BoardStep step = vantrel::testing::lineup({}, {}, "步骤", 0.12, 0.88);
        store().selectImported(SavedTactic{Uuid::random(), Tactic{"注释", 7, {step}}, true});
        session().setEditing(true);
    }
    void TearDown() override {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w != window.get() && w->isVisible()) w->close();
        window.reset();
    }

    DrawingSession& session() { return window->content().drawingSession(); }
    CanvasPanel& panel() { return window->content().canvas(); }
    AnnotationCanvasView& canvas() { return panel().annotationCanvas(); }
    DrawingToolbarView& toolbar() { return *panel().drawingToolbar(); }
    DrawingPanelsOverlay& panels() { return *panel().drawingPanels(); }
    std::vector<BoardAnnotation> annotations() { return session().annotations(); }

    // A pitch point in the canvas's coordinates.
    QPointF at(Point p) { return canvas().surface().fromPitch(p); }

    void press(QPointF p, Qt::KeyboardModifiers m = {}) { mouse(&canvas(), QEvent::MouseButtonPress, p, Qt::LeftButton, Qt::LeftButton, m); }
    void move(QPointF p, Qt::KeyboardModifiers m = {}) { mouse(&canvas(), QEvent::MouseMove, p, Qt::NoButton, Qt::LeftButton, m); }
    void release(QPointF p, Qt::KeyboardModifiers m = {}) { mouse(&canvas(), QEvent::MouseButtonRelease, p, Qt::LeftButton, Qt::NoButton, m); }
    void tap(Point p) { vantrel::testing::click(&canvas(), at(p)); }
    void stroke(const std::vector<QPointF>& path, int stepsPerLeg = 8) {
        press(path.front());
        for (std::size_t i = 1; i < path.size(); ++i)
            for (int s = 1; s <= stepsPerLeg; ++s) move(path[i - 1] + (path[i] - path[i - 1]) * (double(s) / stepsPerLeg));
        release(path.back());
    }
    void key(int k, Qt::KeyboardModifiers mods = {}) { QTest::keyClick(&canvas(), Qt::Key(k), mods); }
    void choose(AnnotationTool tool) { toolbar().toolButton(tool)->click(); }
};

}  // namespace

TEST_F(AnnotationCanvasTest, PencilClicksMakeDotsLinesNeedLengthAndZigzagsKeepTheirCorners) {
    ASSERT_TRUE(toolbar().isVisible());
    EXPECT_EQ(canvas().cursor().shape(), Qt::CrossCursor);

    // A click with the pencil is a one-point stroke, painted as a dot.
    tap({0.3, 0.4});
    ASSERT_EQ(annotations().size(), 1u);
    EXPECT_EQ(annotations()[0].kind, AnnotationTool::pencil);
    EXPECT_EQ(annotations()[0].points.size(), 1u);
    EXPECT_EQ(canvas().accessibleDescription(), QStringLiteral("1 个注释"));

    // A click with the line tool is too short to keep, and selects nothing. The canvas
    // names the tool it draws with.
    choose(AnnotationTool::line);
    EXPECT_EQ(canvas().accessibleName(), QStringLiteral("战术注释画板，直线"));
    tap({0.5, 0.5});
    EXPECT_EQ(annotations().size(), 1u);
    EXPECT_FALSE(session().selectedID());

    // Shift snaps a line drawn at a shallow angle to the horizontal.
    press(at({0.2, 0.6}));
    move(at({0.4, 0.63}), Qt::ShiftModifier);
    release(at({0.4, 0.63}), Qt::ShiftModifier);
    ASSERT_EQ(annotations().size(), 2u);
    EXPECT_NEAR(annotations()[1].points[1].y, annotations()[1].points[0].y, 1e-9);

    // Sharp corners survive the stabiliser exactly; the samples in between are kept.
    choose(AnnotationTool::pencil);
    const std::vector<Point> corners{{0.2, 0.2}, {0.3, 0.35}, {0.4, 0.2}, {0.5, 0.35}};
    std::vector<QPointF> path;
    for (Point p : corners) path.push_back(at(p));
    stroke(path);
    ASSERT_EQ(annotations().size(), 3u);
    const auto& zigzag = annotations()[2].points;
    EXPECT_GT(zigzag.size(), 20u);
    for (Point corner : {corners[1], corners[2]}) {
        double nearest = 1;
        for (Point p : zigzag) nearest = std::min(nearest, std::hypot(p.x - corner.x, p.y - corner.y));
        EXPECT_LT(nearest, 1e-3) << corner.x;
    }
}

TEST_F(AnnotationCanvasTest, ErasingIsOneUndoPerAnnotationAndEscapeAbandonsADrag) {
    session().replace({shape(AnnotationTool::rectangle, {0.4, 0.4}, {0.6, 0.6}, AnnotationFill::solid),
                       shape(AnnotationTool::ellipse, {0.42, 0.42}, {0.58, 0.58}, AnnotationFill::hatch),
                       shape(AnnotationTool::line, {0.3, 0.5}, {0.7, 0.5})});
    const auto before = annotations();

    // Three samples over the same spot take the three stacked annotations, topmost first;
    // nothing goes before the pointer is released.
    choose(AnnotationTool::eraser);
    const QPointF spot = at({0.5, 0.5});
    press(spot);
    move(spot + QPointF(0.5, 0));
    move(spot + QPointF(1, 0));
    EXPECT_EQ(annotations().size(), 3u);
    release(spot + QPointF(1, 0));
    EXPECT_TRUE(annotations().empty());
    for (int i = 0; i < 3; ++i) key(Qt::Key_Z, Qt::ControlModifier);   // one level each, else this undoes the setup
    EXPECT_EQ(annotations(), before);
    key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);   // redo, and undo again
    EXPECT_EQ(annotations().size(), 2u);
    key(Qt::Key_Z, Qt::ControlModifier);

    // Escape in the middle of a move leaves the list as it was, and the release after it
    // does nothing.
    choose(AnnotationTool::select);
    press(at({0.3, 0.5}));
    move(at({0.35, 0.3}));
    ASSERT_TRUE(canvas().draft());
    key(Qt::Key_Escape);
    EXPECT_FALSE(canvas().draft());
    release(at({0.35, 0.3}));
    EXPECT_EQ(annotations(), before);
    // A locked layer shows it: tools disabled and saying why, a stroke tried is told.
    session().setLocked(true);
    QToolButton* pencil = toolbar().toolButton(AnnotationTool::pencil);
    EXPECT_FALSE(pencil->isEnabled());
    EXPECT_EQ(pencil->toolTip(), QStringLiteral("注释层已锁定"));
    tap({0.5, 0.5});
    EXPECT_EQ(store().status(), "注释层已锁定");
    EXPECT_EQ(annotations(), before);
    // With nothing under way and nothing selected, Esc ends drawing mode, locked or not.
    key(Qt::Key_Escape);
    EXPECT_FALSE(session().editing());
    session().setLocked(false);
    EXPECT_TRUE(pencil->isEnabled());
    EXPECT_NE(pencil->toolTip(), QStringLiteral("注释层已锁定"));
    session().setEditing(true);
    choose(AnnotationTool::select);

    // A move that sticks is one commit; Delete removes the selection.
    press(at({0.3, 0.5}));
    move(at({0.3, 0.3}));
    release(at({0.3, 0.3}));
    EXPECT_NEAR(annotations()[2].points[0].y, 0.3, 1e-9);
    key(Qt::Key_Delete);
    EXPECT_EQ(annotations().size(), 2u);
}

TEST_F(AnnotationCanvasTest, ALockedLayerIgnoresKeysAndPassesClicksToThePitch) {
    session().commit(shape(AnnotationTool::line, {0.5, 0.3}, {0.6, 0.35}));
    EXPECT_TRUE(panel().pitchView().editingAnnotations());

    session().setSelectedID(annotations()[0].id);
    EXPECT_TRUE(toolbar().undoButton()->isEnabled());
    EXPECT_TRUE(toolbar().deleteButton()->isEnabled());

    toolbar().lockButton()->click();
    ASSERT_TRUE(session().locked());
    EXPECT_EQ(canvas().accessibleName(), QStringLiteral("战术注释图层"));
    EXPECT_FALSE(panel().pitchView().editingAnnotations());
    // Every way to undo or delete is closed alike: the keys, the toolbar, the menu.
    key(Qt::Key_Z, Qt::ControlModifier);
    key(Qt::Key_Delete);
    EXPECT_FALSE(toolbar().undoButton()->isEnabled());
    EXPECT_FALSE(toolbar().deleteButton()->isEnabled());
    EXPECT_FALSE(window->content().actions().undo->isEnabled());
    EXPECT_EQ(annotations().size(), 1u);

    // A click through the window lands on the token under the canvas.
    const QPointF token = panel().pitchView().toView(store().currentStep()->player("home-3")->position);
    const QPoint inWindow = panel().pitchView().mapTo(window.get(), token.toPoint());
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, Qt::NoModifier, inWindow);
    EXPECT_EQ(store().selectedPlayer(), std::optional<std::string>("home-3"));
    EXPECT_EQ(annotations().size(), 1u);
}

TEST_F(AnnotationCanvasTest, ToolbarAndPanelsEditTheSelectionInSingleSteps) {
    BoardAnnotation box = shape(AnnotationTool::rectangle, {0.3, 0.3}, {0.5, 0.5});
    box.style.lineWidth = 2;
    session().commit(box);
    session().setSelectedID(box.id);
    const auto stepID = store().currentStep()->id;
    const auto undos = [&] { return session().undoHistory().at(stepID).size(); };
    const std::size_t start = undos();

    // The width slider dragged from 2 to 8: a live preview, then one undo step.
    toolbar().inkButton()->click();
    QSlider* width = panels().widthSlider();
    ASSERT_TRUE(width->isVisible());
    EXPECT_EQ(width->value(), 20);
    QStyleOptionSlider option;
    option.initFrom(width);
    option.orientation = Qt::Horizontal;
    option.minimum = width->minimum();
    option.maximum = width->maximum();
    option.sliderPosition = option.sliderValue = width->value();
    const QPoint handle = width->style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, width).center();
    const int groove = width->width();
    QTest::mousePress(width, Qt::LeftButton, {}, handle);
    for (int i = 1; i <= 6; ++i) QTest::mouseMove(width, handle + QPoint(int(groove * 0.66 * i / 6), 0));
    const int target = width->value();
    QTest::mouseRelease(width, Qt::LeftButton, {}, handle + QPoint(int(groove * 0.66), 0));
    EXPECT_GT(target, 60);
    EXPECT_EQ(undos(), start + 1);
    EXPECT_NEAR(session().selection()->style.lineWidth, width->value() / 10.0, 1e-9);

    // A swatch recolours the selection in one step; Escape closes the panel.
    panels().swatch(AnnotationColor::red)->click();
    EXPECT_EQ(undos(), start + 2);
    EXPECT_EQ(session().selection()->style.color, AnnotationColor::red);
    QTest::keyClick(panels().inkPanel(), Qt::Key_Escape);
    EXPECT_FALSE(session().panel());

    // "圆形排线" with the rectangle selected: the rectangle stays as it is.
    const BoardAnnotation styled = *session().selection();
    toolbar().shapesButton()->click();
    EXPECT_EQ(toolbar().shapesButton()->accessibleDescription(), QStringLiteral("已展开"));
    panels().shapeButton(4)->click();
    EXPECT_FALSE(session().selectedID());
    EXPECT_FALSE(session().panel());
    EXPECT_EQ(session().tool(), AnnotationTool::ellipse);
    EXPECT_EQ(session().style().fill, AnnotationFill::hatch);
    EXPECT_EQ(annotations().back(), styled);
    EXPECT_EQ(undos(), start + 2);

    // Clearing, once confirmed, is one undo step; cancelling is checked with the window's other questions.
    const auto full = annotations();
    toolbar().clearAction()->trigger();
    QMessageBox* question = toolbar().clearConfirmation();
    ASSERT_TRUE(question);
    for (QAbstractButton* b : question->buttons())
        if (b->text() == QStringLiteral("清空注释")) b->click();
    EXPECT_TRUE(annotations().empty());
    EXPECT_FALSE(toolbar().clearAction()->isEnabled());
    toolbar().undoButton()->click();
    EXPECT_EQ(annotations(), full);

    toolbar().exitButton()->click();
    EXPECT_FALSE(session().editing());
    EXPECT_FALSE(toolbar().isVisible());
}

TEST_F(AnnotationCanvasTest, TextToolOpensTheEditorAndCommitsTrimmedText) {
    choose(AnnotationTool::text);
    EXPECT_EQ(canvas().cursor().shape(), Qt::IBeamCursor);
    tap({0.3, 0.3});
    AnnotationTextEditor* editor = canvas().textEditor();
    ASSERT_TRUE(editor);
    EXPECT_EQ(editor->windowTitle(), QStringLiteral("添加文字注释"));
    editor->field()->setPlainText(QStringLiteral("   "));
    EXPECT_FALSE(editor->doneButton()->isEnabled());
    editor->field()->setPlainText(QStringLiteral("  压迫边路 \n"));
    QTest::keyClick(editor->field(), Qt::Key_Return);
    ASSERT_EQ(annotations().size(), 1u);
    EXPECT_EQ(annotations()[0].text, "压迫边路");

    // A click on the note edits it; cancelling keeps its text.
    tap({0.31, 0.31});
    ASSERT_TRUE(canvas().textEditor());
    EXPECT_EQ(canvas().textEditor()->windowTitle(), QStringLiteral("编辑文字注释"));
    canvas().textEditor()->cancelButton()->click();
    EXPECT_EQ(annotations()[0].text, "压迫边路");
}

TEST_F(AnnotationCanvasTest, GraphiteOfTheChosenInkShowsWhereTheStrokeWasDrawn) {
    AnnotationStyle style = session().style();
    style.color = AnnotationColor::red;
    style.lineWidth = 4;
    session().setStyle(style);
    // While the stroke grows, only its end is repainted.
    QRegion lastDirty;
    QObject::connect(&canvas(), &AnnotationCanvasView::sceneChanged, &canvas(), [&](const QRegion& dirty) {
        if (canvas().draft()) lastDirty = dirty;
    });
    stroke({at({0.25, 0.45}), at({0.75, 0.45})}, 60);
    qint64 area = 0;
    for (const QRect& r : lastDirty) area += qint64(r.width()) * r.height();
    EXPECT_GT(area, 0);
    EXPECT_LT(area, lastDirty.boundingRect().width() * 40);   // the end and the frame's strips
    ASSERT_EQ(annotations().size(), 1u);
    key(Qt::Key_Escape);   // no selection frame over the stroke

    BoardView& pitch = panel().pitchView();
    const QImage frame = pitch.grab().toImage();
    const auto reddish = [](QColor c) { return c.red() > 120 && c.red() > c.green() + 50 && c.red() > c.blue() + 50; };
    int inked = 0, away = 0;
    QSet<QRgb> tones;
    for (double x = 0.3; x <= 0.7; x += 0.01) {
        const QPointF p = pitch.toView({x, 0.45});
        for (int dy = -3; dy <= 3; ++dy) {
            const QColor c = frame.pixelColor(QPoint(int(p.x()), int(p.y()) + dy));
            if (reddish(c)) ++inked;
            tones.insert(c.rgb());
        }
        if (reddish(frame.pixelColor(pitch.toView({x, 0.6}).toPoint()))) ++away;
    }
    EXPECT_GT(inked, 40);   // of 287 probes; grains fall by the stroke's random seed
    // Grains and their gaps: a plain line would show a handful of tones, graphite many.
    EXPECT_GT(tones.size(), 40);
    EXPECT_EQ(away, 0);

    // Hiding the layer takes the drawing off the pitch; the stored list is untouched.
    session().setVisible(false);
    const QImage hidden = pitch.grab().toImage();
    EXPECT_FALSE(reddish(hidden.pixelColor(pitch.toView({0.5, 0.45}).toPoint())));
    EXPECT_EQ(annotations().size(), 1u);
}

TEST_F(AnnotationCanvasTest, ADrawingMadeIn3DLandsAtTheSamePitchPlaceIn2D) {
    // Switched to 3D while drawing: the layer and its toolbar stay above the 3D view.
    QTest::mouseClick(panel().viewSwitch(), Qt::LeftButton, {}, panel().viewSwitch()->segmentRect(1).center().toPoint());
    ASSERT_TRUE(window->content().workspace().is3D());
    ASSERT_TRUE(toolbar().isVisible());
    const QObjectList& layers = panel().pitchArea()->children();
    EXPECT_GT(layers.indexOf(&canvas()), layers.indexOf(panel().pitchArea()->findChild<BoardView*>()));

    choose(AnnotationTool::line);
    stroke({at({0.3, 0.4}), at({0.45, 0.6})});
    ASSERT_EQ(annotations().size(), 1u);
    const std::vector<Point> points = annotations()[0].points;
    vantrel::testing::expectNear(points.front(), {0.3, 0.4}, "start", 0.01);
    vantrel::testing::expectNear(points.back(), {0.45, 0.6}, "end", 0.01);
}

// A pencil stroke drawn sample by sample keeps the grains of its settled part between
// moves; what shows must be what the finished stroke shows, dashed or not, even when an
// early sample changes under it.
TEST(AnnotationDrawingTest, AGrowingStrokeLooksLikeTheFinishedOne) {
    const AnnotationSurface surface = AnnotationSurface::flat(QSizeF(900, 560));
    const auto paint = [&](AnnotationDrawing& drawing, AnnotationScene scene) {
        return paintDrawing(drawing, std::move(scene), surface, QSize(900, 560));
    };
    for (const auto pattern : {AnnotationLinePattern::solid, AnnotationLinePattern::dashed}) {
        BoardAnnotation stroke = shape(AnnotationTool::pencil, {0.1, 0.5}, {0.1, 0.5});
        stroke.points.clear();
        stroke.style.lineWidth = 3;
        stroke.style.pattern = pattern;
        AnnotationDrawing drawing;
        const auto expectAsFinished = [&](const QImage& growing) {
            AnnotationDrawing fresh;
            const QImage finished = paint(fresh, {{stroke}, std::nullopt, std::nullopt, false});
            int inked = 0, worst = 0;
            for (int y = 0; y < finished.height(); ++y)
                for (int x = 0; x < finished.width(); ++x) {
                    const QRgb a = growing.pixel(x, y), b = finished.pixel(x, y);
                    inked += qAlpha(b) > 0;
                    worst = std::max({worst, std::abs(qAlpha(a) - qAlpha(b)), std::abs(qRed(a) - qRed(b))});
                }
            EXPECT_GT(inked, 1000) << int(pattern);
            EXPECT_LE(worst, 2) << int(pattern) << " at " << stroke.points.size();   // float order, nothing more
        };
        QImage growing;
        for (int i = 0; i < 160; ++i) {
            // Back and forth over itself, so the growing end crosses settled cells.
            stroke.points.push_back({0.1 + 0.005 * (i < 100 ? i : 200 - i), 0.5 + 0.2 * std::sin(i * 0.07)});
            if (i == 80) {   // the newest sample jumps away and back: its ink must not stay behind
                stroke.points.push_back({0.9, 0.9});
                paint(drawing, {{}, stroke, std::nullopt, false});
                stroke.points.pop_back();
            }
            growing = paint(drawing, {{}, stroke, std::nullopt, false});
            if (i == 80 || i == 159) expectAsFinished(growing);
        }
        stroke.points[3].y += 0.05;   // the settled part changes: laid afresh
        expectAsFinished(paint(drawing, {{}, stroke, std::nullopt, false}));
    }
}

// Whole-pitch shapes each want an image as large as the surface. The images kept stay
// within the pixel budget; the rest are laid afresh every frame and must look exactly as
// kept ones do (their opacity applies to the item as one piece), and every pixel is given
// back as the shapes go.
TEST(AnnotationDrawingTest, LargeShapesStayWithinThePixelBudgetAndLookTheSame) {
    const QSize size(900, 560);
    const AnnotationSurface surface = AnnotationSurface::flat(QSizeF(size));
    AnnotationScene scene;
    const AnnotationFill fills[] = {AnnotationFill::solid, AnnotationFill::hatch, AnnotationFill::shadow, AnnotationFill::none};
    for (int i = 0; i < 10; ++i) {
        BoardAnnotation a = shape(i % 3 ? AnnotationTool::rectangle : AnnotationTool::ellipse, {0.02, 0.02}, {0.98, 0.98},
                                  fills[i % 4]);
        a.style.opacity = 0.55;
        a.seed = std::uint64_t(i + 1);
        scene.annotations.push_back(a);
    }
    scene.annotations.push_back(shape(AnnotationTool::arrow, {0.2, 0.3}, {0.4, 0.35}));
    const auto paint = [&](AnnotationDrawing& drawing) { return paintDrawing(drawing, scene, surface, size); };

    AnnotationDrawing roomy;   // the default budget holds all of them at this size
    const QImage expected = paint(roomy);
    ASSERT_EQ(roomy.cachedImages(), scene.annotations.size());

    AnnotationDrawing tight;
    const std::size_t surfacePixels = std::size_t(size.width()) * std::size_t(size.height());
    tight.setPixelBudget(surfacePixels * 3);
    EXPECT_TRUE(paint(tight) == expected);
    EXPECT_LE(tight.cachedPixels(), tight.pixelBudget());
    EXPECT_LT(tight.cachedImages(), scene.annotations.size());
    EXPECT_TRUE(paint(tight) == expected);   // a second frame from a partly kept set
    // An item not kept still says where it paints, for the repaint when it is dragged.
    EXPECT_FALSE(tight.paintedRect(scene.annotations[9].id).isEmpty());

    // The default budget, with shapes larger than it can hold together.
    AnnotationDrawing large;
    paintDrawing(large, scene, AnnotationSurface::perspective(QSizeF(2400, 1600)), QSize(2400, 1600));
    EXPECT_LE(large.cachedPixels(), AnnotationDrawing::kDefaultPixelBudget);
    EXPECT_GT(large.cachedPixels(), AnnotationDrawing::kDefaultPixelBudget / 2);

    scene.annotations.resize(1);
    paint(tight);
    EXPECT_EQ(tight.cachedImages(), 1u);
    EXPECT_LT(tight.cachedPixels(), surfacePixels * 2);
    scene.annotations.clear();
    paint(tight);
    EXPECT_EQ(tight.cachedPixels(), 0u);
}

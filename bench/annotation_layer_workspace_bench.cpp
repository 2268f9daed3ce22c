// SPDX-License-Identifier: GPL-3.0-or-later
// The annotation layer at 1500 × 900: a step of 30 drawings (pencil strokes, hatched
// zones, arrows, notes) repainted after one draft change, painted cold, and a pointer move
// while a 600-point pencil stroke is being drawn on the real canvas.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QPointingDevice>

#include <cmath>
#include <numbers>

#include "bench_application.h"
#include "core/platform/virtual_time_platform.h"
#include "core/annotation/drawing_session.h"
#include "core/platform/memory_preference_store.h"
#include "core/store/board_store.h"
#include "ui/annotation/annotation_canvas_view.h"
#include "ui/render/annotation_drawing.h"
#include "ui/render/flat_board_painter.h"

namespace {

using namespace vantrel;

const QSize kView(1500, 900);

BoardAnnotation annotation(AnnotationTool kind, std::vector<Point> points, std::uint64_t seed) {
    BoardAnnotation a;
    a.id = Uuid::random();
    a.kind = kind;
    a.points = std::move(points);
    a.seed = seed;
    return a;
}

// 10 pencil strokes of 150 samples, 6 hatched zones, 8 arrows and 6 notes.
std::vector<BoardAnnotation> step30() {
    std::vector<BoardAnnotation> list;
    for (int s = 0; s < 10; ++s) {
        std::vector<Point> points;
        for (int i = 0; i < 150; ++i) {
            const double t = i / 149.0;
            points.push_back({0.05 + 0.3 * t + 0.06 * s, 0.1 + 0.08 * s + 0.04 * std::sin(t * 4 * std::numbers::pi)});
        }
        list.push_back(annotation(AnnotationTool::pencil, std::move(points), 0x1000 + s));
    }
    for (int z = 0; z < 6; ++z) {
        auto zone = annotation(z % 2 ? AnnotationTool::rectangle : AnnotationTool::ellipse,
                               {{0.08 + 0.15 * z, 0.55}, {0.2 + 0.15 * z, 0.8}}, 0x2000 + z);
        zone.style.fill = AnnotationFill::hatch;
        zone.style.color = AnnotationColor::yellow;
        list.push_back(zone);
    }
    for (int a = 0; a < 8; ++a) {
        auto arrow = annotation(AnnotationTool::arrow, {{0.1 + 0.1 * a, 0.9}, {0.15 + 0.1 * a, 0.6}}, 0x3000 + a);
        arrow.style.color = AnnotationColor::mint;
        list.push_back(arrow);
    }
    for (int n = 0; n < 6; ++n) {
        auto note = annotation(AnnotationTool::text, {{0.1 + 0.14 * n, 0.05}, {0.22 + 0.14 * n, 0.1}}, 0x4000 + n);
        note.text = "压迫边路 " + std::to_string(n);
        list.push_back(note);
    }
    return list;
}

const AnnotationSurface kSurface = AnnotationSurface::flat(QSizeF(kView));

void BM_AnnotationRepaintAfterDraftChange(benchmark::State& state) {
    bench::application();
    const auto list = step30();
    AnnotationDrawing drawing;
    QImage image(kView, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    drawing.setScene({list, std::nullopt, std::nullopt, true});
    {
        QPainter warm(&image);
        drawing.paint(warm, kSurface);
    }
    // The draft: one arrow being dragged a point at a time.
    BoardAnnotation dragged = list[12];
    int i = 0;
    for (auto _ : state) {
        const double dx = (++i % 40) * 0.0007;
        BoardAnnotation draft = dragged;
        for (auto& p : draft.points) p.x += dx;
        drawing.setScene({list, draft, dragged.id, true});
        QPainter painter(&image);
        drawing.paint(painter, kSurface);
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["imagesBuilt"] = double(drawing.imageBuilds());
}
BENCHMARK(BM_AnnotationRepaintAfterDraftChange)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_AnnotationFirstPaint(benchmark::State& state) {
    bench::application();
    const auto list = step30();
    QImage image(kView, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    for (auto _ : state) {
        AnnotationDrawing drawing;   // cold: every image is painted afresh
        drawing.setScene({list, std::nullopt, std::nullopt, false});
        QPainter painter(&image);
        drawing.paint(painter, kSurface);
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_AnnotationFirstPaint)->Unit(benchmark::kMillisecond)->Repetitions(3)->ReportAggregatesOnly(true);

// The whole frame a widget repaints: board, then the 30 drawings with a moved draft.
void BM_BoardAndAnnotationsRepaint(benchmark::State& state) {
    bench::application();
    MemoryPreferenceStore prefs;
    VirtualTimePlatform platform;
    BoardStore store(prefs, platform);
    store.selectBuiltIn(0, 11);
    const auto list = step30();
    AnnotationDrawing drawing;
    FlatBoardPainter painter;
    painter.setAnnotationDrawing(&drawing);
    const BoardScene scene = store.scene();
    QImage image(kView, QImage::Format_ARGB32_Premultiplied);
    BoardAnnotation dragged = list[12];
    int i = 0;
    for (auto _ : state) {
        BoardAnnotation draft = dragged;
        for (auto& p : draft.points) p.x += (++i % 40) * 0.0007;
        drawing.setScene({list, draft, dragged.id, true});
        QPainter p(&image);
        painter.paint(p, scene, QSizeF(kView));
        p.end();
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_BoardAndAnnotationsRepaint)->Unit(benchmark::kMillisecond)->Repetitions(3)->ReportAggregatesOnly(true);

// One pointer sample added to a pencil stroke of 600 samples on the real canvas, and the
// annotation pass repainted: what the canvas does per mouse move.
void BM_PencilPointerMove600(benchmark::State& state) {
    bench::application();
    MemoryPreferenceStore prefs;
    VirtualTimePlatform platform;
    BoardStore store(prefs, platform);
    store.selectBuiltIn(0, 11);
    store.saveCurrentTactic();   // an own copy, so drawing is allowed
    DrawingSession session(store);
    session.replace(step30());
    session.setEditing(true);
    AnnotationCanvasView canvas(store, session);
    canvas.resize(kView);
    QImage image(kView, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    // A mouse of the benchmark's own: Qt's default device outlives the application object
    // held in a static and fails in its destructor at exit.
    static QPointingDevice mouse(QStringLiteral("bench mouse"), 1, QInputDevice::DeviceType::Mouse,
                                 QPointingDevice::PointerType::Generic, QInputDevice::Capability::Position, 1, 3);
    const auto send = [&](QEvent::Type type, QPointF at, Qt::MouseButtons buttons) {
        QMouseEvent event(type, at, at, Qt::LeftButton, buttons, Qt::NoModifier, &mouse);
        QApplication::sendEvent(&canvas, &event);
    };
    const auto paint = [&] {
        QPainter painter(&image);
        canvas.drawing().paint(painter, canvas.surface());
    };
    int sample = 0;
    const auto pointAt = [](int k) {
        const double t = k / 600.0;
        return QPointF(150 + 1200 * std::fmod(t, 1.0), 450 + 180 * std::sin(t * 6 * std::numbers::pi));
    };
    const auto restart = [&] {
        send(QEvent::MouseButtonRelease, pointAt(sample), Qt::NoButton);
        session.replace(step30());
        send(QEvent::MouseButtonPress, pointAt(0), Qt::LeftButton);
        for (sample = 1; sample < 600; ++sample) send(QEvent::MouseMove, pointAt(sample), Qt::LeftButton);
        paint();
    };
    restart();
    for (auto _ : state) {
        send(QEvent::MouseMove, pointAt(++sample), Qt::LeftButton);
        paint();
        benchmark::DoNotOptimize(image.constBits());
        if (sample >= 640) {
            state.PauseTiming();
            restart();
            state.ResumeTiming();
        }
    }
    state.counters["samples"] = canvas.draft() ? double(canvas.draft()->points.size()) : 0;
}
BENCHMARK(BM_PencilPointerMove600)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace

namespace {
// The same step with nothing being dragged: every drawing comes from its cached image.
void BM_AnnotationCachedRepaint(benchmark::State& state) {
    bench::application();
    const auto list = step30();
    AnnotationDrawing drawing;
    QImage image(kView, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    drawing.setScene({list, std::nullopt, std::nullopt, true});
    for (auto _ : state) {
        QPainter painter(&image);
        drawing.paint(painter, kSurface);
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_AnnotationCachedRepaint)->Unit(benchmark::kMillisecond);
}  // namespace

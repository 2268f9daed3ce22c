// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A store on virtual time with one board view of it shown offscreen, and the pixel helpers
// the board's picture tests share.
#include <gtest/gtest.h>

#include <QImage>
#include <QKeyEvent>
#include <QPainter>

#include <cstdlib>
#include <memory>
#include <vector>

#include "core/platform/memory_preference_store.h"
#include "core/store/board_store.h"
#include "support/manual_platform.h"
#include "support/pointer.h"
#include "ui/pitch/board_view.h"
#include "ui/render/flat_board_painter.h"

namespace vantrel::testing {

// The sum of the channel differences, 0 … 765.
inline int colourDistance(QColor a, QColor b) {
    return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) + std::abs(a.blue() - b.blue());
}

// The scene the store shows now, painted on a transparent image by `painter` (a flat one
// when none is given), which keeps its last frame's projection for its hit tests.
inline QImage paintBoard(const BoardStore& store, QSize size, BoardPainter& painter) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter onImage(&image);
    painter.paint(onImage, store.scene(), QSizeF(size));
    return image;
}
inline QImage paintBoard(const BoardStore& store, QSize size) {
    FlatBoardPainter flat;
    return paintBoard(store, size, flat);
}

// How many pixels of the square `radius` around `centre` pass `test`.
template <class Test>
int countAround(const QImage& image, QPointF centre, int radius, Test test) {
    int n = 0;
    for (int dx = -radius; dx <= radius; ++dx)
        for (int dy = -radius; dy <= radius; ++dy) n += test(image.pixelColor((centre + QPointF(dx, dy)).toPoint())) ? 1 : 0;
    return n;
}

class BoardViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        store = std::make_unique<BoardStore>(prefs, platform);
        view = std::make_unique<BoardView>(*store);
        view->resize(1240, 800);
        view->show();
    }
    // Opens the steps as an own tactic.
    void open(std::vector<BoardStep> steps) {
        store->selectImported(SavedTactic{Uuid::random(), Tactic{"测试", 7, std::move(steps)}, true});
    }
    void send(QEvent::Type type, QPointF at, Qt::MouseButton button, Qt::MouseButtons buttons) {
        mouse(view.get(), type, at, button, buttons);
    }
    void drag(QPointF from, QPointF to) { testing::drag(view.get(), from, to); }
    // One key at a time to the view, a held modifier staying down between them.
    void key(int k, Qt::KeyboardModifiers mods = {}) {
        for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
            QKeyEvent event(type, k, mods);
            QApplication::sendEvent(view.get(), &event);
        }
    }

    MemoryPreferenceStore prefs;
    ManualPlatform platform;
    std::unique_ptr<BoardStore> store;
    std::unique_ptr<BoardView> view;
};

}  // namespace vantrel::testing

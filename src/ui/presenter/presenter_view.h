// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>
#include <QWidget>

#include <functional>

#include "core/platform/platform.h"
#include "core/store/board_store.h"

class QLabel;

namespace vantrel {

class BoardView;

// "演示模式": the pitch full screen on the screen of the window it was started from,
// with only a caption of the step's title and note and a small overlay of the keys.
// → / ← step, space plays or pauses, Home and End jump, 1 / 2 / 3 set the speed to
// 0.5× / 1× / 2×, L loops, V switches 2D / 3D, Esc
// leaves. It sends the timeline's store commands, so the save question still guards
// unsaved edits: when it is raised the presenter steps aside, and the workspace under
// it asks. The pointer hides after 2 s without movement. The window it came from is
// never touched, so leaving restores it exactly.
class PresenterView : public QWidget {
    Q_OBJECT
public:
    static constexpr double kPointerHideSeconds = 2.0;

    // `host` is the window whose screen it covers; it is handed focus back on leaving.
    // The platform times the pointer's rest.
    PresenterView(BoardStore& store, Platform& platform, QWidget* host);
    ~PresenterView() override;

    // Covers the host's screen and takes the keyboard.
    void present();
    // Leaves presenter mode (the widget deletes itself).
    void leave();

    bool looping() const { return loop_; }
    bool showing3D() const { return showing3D_; }
    bool pointerHidden() const { return pointerHidden_; }
    // The board shown, with the step's drawings.
    BoardView& boardView() const { return *board_; }
    QLabel* caption() const { return caption_; }
    QLabel* keysOverlay() const { return overlay_; }

signals:
    void left();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void storeChanged(StoreChange change);
    void refreshCaption();
    void refreshOverlay();
    void setMode3D(bool on);
    void pointerMoved();

    BoardStore& store_;
    QPointer<QWidget> host_;
    BoardView* board_ = nullptr;
    QLabel* caption_ = nullptr;
    QLabel* overlay_ = nullptr;
    std::unique_ptr<OneShotTimer> pointerTimer_;   // dies with the view: no late hide
    bool loop_ = false;
    bool showing3D_ = false;
    bool pointerHidden_ = false;
    bool wasPlaying_ = false;
    bool leaving_ = false;
    bool commanding_ = false;   // a key's own command is running
    Subscription subscription_;
};

}  // namespace vantrel

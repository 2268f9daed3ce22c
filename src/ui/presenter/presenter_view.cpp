// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/presenter/presenter_view.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QVBoxLayout>

#include "ui/pitch/board_view.h"
#include "ui/style/studio_style.h"

namespace vantrel {

namespace {

QString speedText(double factor) {
    if (factor < 0.75) return QStringLiteral("0.5×");
    if (factor > 1.5) return QStringLiteral("2×");
    return QStringLiteral("1×");
}

}  // namespace

PresenterView::PresenterView(BoardStore& store, Platform& platform, QWidget* host)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint),
      store_(store),
      host_(host),
      pointerTimer_(platform.makeOneShotTimer()) {
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("presenter"));
    setWindowTitle(QStringLiteral("演示模式"));
    setAccessibleName(QStringLiteral("演示模式"));
    setAccessibleDescription(QStringLiteral("← → 切换阶段，空格播放或暂停，Esc 退出演示模式"));
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(32, 20, 32, 24);
    layout->setSpacing(12);
    overlay_ = new QLabel(this);
    overlay_->setObjectName(QStringLiteral("presenterKeys"));
    overlay_->setStyleSheet(QStringLiteral("color:%1;background:%2;border-radius:8px;padding:6px 10px;font-size:12px;")
                                .arg(StudioStyle::textSecondary().name(), StudioStyle::surface().name()));
    layout->addWidget(overlay_, 0, Qt::AlignRight);

    // The board is shown, not edited: the pointer passes through to this window, which
    // watches it to hide it when it rests.
    // It paints the step's drawings itself.
    board_ = new BoardView(store_, this);
    board_->setAttribute(Qt::WA_TransparentForMouseEvents);
    board_->setFocusPolicy(Qt::NoFocus);   // the arrows step the presentation, not a focus ring
    layout->addWidget(board_, 1);

    caption_ = new QLabel(this);
    caption_->setObjectName(QStringLiteral("presenterCaption"));
    caption_->setAlignment(Qt::AlignCenter);
    caption_->setWordWrap(true);
    caption_->setTextFormat(Qt::RichText);
    caption_->setAttribute(Qt::WA_TransparentForMouseEvents);
    layout->addWidget(caption_);
    overlay_->setAttribute(Qt::WA_TransparentForMouseEvents);

    wasPlaying_ = store_.playing();
    subscription_ = store_.subscribe([this](StoreChange change) { storeChanged(change); });
    connect(&StudioStyle::appearance(), &StudioAppearance::appearanceChanged, this, qOverload<>(&QWidget::update));
    refreshCaption();
    refreshOverlay();
}

PresenterView::~PresenterView() {
    subscription_.reset();
    pointerTimer_->cancel();
}

void PresenterView::present() {
    QScreen* screen = host_ ? host_->screen() : QGuiApplication::primaryScreen();
    if (screen) setGeometry(screen->geometry());
    showFullScreen();
    raise();
    activateWindow();
    setFocus(Qt::OtherFocusReason);
    pointerMoved();
}

void PresenterView::leave() {
    if (leaving_) return;
    leaving_ = true;
    close();
}

void PresenterView::closeEvent(QCloseEvent* event) {
    leaving_ = true;
    if (host_) {
        host_->activateWindow();
        host_->raise();
    }
    emit left();
    QWidget::closeEvent(event);
}

void PresenterView::keyPressEvent(QKeyEvent* event) {
    const int steps = static_cast<int>(store_.tactic().steps.size());
    bool handled = true;
    commanding_ = true;
    switch (event->key()) {
        case Qt::Key_Escape: leave(); break;
        case Qt::Key_Right: store_.next(); break;
        case Qt::Key_Left: store_.previous(); break;
        case Qt::Key_Space: store_.play(); break;
        case Qt::Key_Home: store_.selectStep(0); break;
        case Qt::Key_End: store_.selectStep(steps - 1); break;
        case Qt::Key_1: store_.setPlaybackSpeed(0.5); break;
        case Qt::Key_2: store_.setPlaybackSpeed(1.0); break;
        case Qt::Key_3: store_.setPlaybackSpeed(2.0); break;
        case Qt::Key_L: loop_ = !loop_; break;
        case Qt::Key_V: setMode3D(!showing3D_); break;
        default: handled = false; break;
    }
    commanding_ = false;
    wasPlaying_ = store_.playing();
    if (!handled) {
        QWidget::keyPressEvent(event);
        return;
    }
    refreshOverlay();
    // The question is asked by the workspace underneath.
    if (store_.showingStageSaveConfirmation()) leave();
}

void PresenterView::storeChanged(StoreChange change) {
    if (store_.showingStageSaveConfirmation()) {
        leave();
        return;
    }
    if (any(change & (StoreChange::tactic | StoreChange::library))) refreshCaption();
    if (any(change & StoreChange::animation)) {
        const bool playing = store_.playing();
        const int last = static_cast<int>(store_.tactic().steps.size()) - 1;
        // Played through to the end: with the loop on, start again from the top. Later,
        // so the store has finished the command that ended the run.
        if (!commanding_ && loop_ && wasPlaying_ && !playing && last >= 1 && store_.stepIndex() == last) {
            QMetaObject::invokeMethod(this, [this] {
                if (loop_ && !store_.playing() && !leaving_) store_.play();
            }, Qt::QueuedConnection);
        }
        wasPlaying_ = playing;
        refreshOverlay();
    }
}

void PresenterView::refreshCaption() {
    const BoardStep* step = store_.currentStep();
    const QString title = step ? QString::fromStdString(step->title) : QString();
    const QString note = step ? QString::fromStdString(step->note) : QString();
    caption_->setText(QStringLiteral("<div style='color:%1;font-size:22px;font-weight:600'>%2</div>"
                                     "<div style='color:%3;font-size:16px'>%4</div>")
                          .arg(StudioStyle::textPrimary().name(), title.toHtmlEscaped(),
                               StudioStyle::textSecondary().name(), note.toHtmlEscaped()));
    caption_->setAccessibleName(title);
    caption_->setAccessibleDescription(note);
}

void PresenterView::refreshOverlay() {
    const QString state = QStringLiteral("速度 %1 · 循环 %2 · %3")
                              .arg(speedText(store_.playbackSpeed()), loop_ ? QStringLiteral("开") : QStringLiteral("关"),
                                   showing3D_ ? QStringLiteral("3D") : QStringLiteral("2D"));
    const QString keys = QStringLiteral("← → 阶段 · 空格 播放/暂停 · Home/End 首尾 · 1/2/3 速度 0.5×/1×/2× · L 循环 · V 2D/3D · Esc 退出");
    overlay_->setText(state + QLatin1Char('\n') + keys);
    overlay_->setAccessibleName(state);
    overlay_->setAccessibleDescription(keys);
}

void PresenterView::setMode3D(bool on) {
    showing3D_ = on;
    board_->setPerspective(on);
}

void PresenterView::pointerMoved() {
    if (pointerHidden_) {
        pointerHidden_ = false;
        unsetCursor();
    }
    pointerTimer_->start(kPointerHideSeconds, [this] {
        pointerHidden_ = true;
        setCursor(Qt::BlankCursor);
    });
}

void PresenterView::mouseMoveEvent(QMouseEvent* event) {
    pointerMoved();
    QWidget::mouseMoveEvent(event);
}

void PresenterView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), StudioStyle::appBackground());
}

}  // namespace vantrel

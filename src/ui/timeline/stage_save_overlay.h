// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>
#include <QWidget>

#include <functional>

#include "core/store/board_store.h"

class QGraphicsOpacityEffect;
class QLabel;
class QVariantAnimation;

namespace vantrel {

class ConfirmationButtonStyle;
class StudioHoverButton;

// What a save question says. The stage question and the window's close questions share
// one dialog and differ only in these texts.
struct ConfirmationTexts {
    QString label;          // the small line above the title, beside a pencil
    QString title;
    QString detail;         // the line naming what is asked about; hidden when empty
    QString explanation;
    QString cancelText;
    QString cancelHelp;
    QString discardText;
    QString saveText;
    QString closeHelp;      // the × button
};

// The texts of "保存这一步的修改？" for a step of that clean title.
ConfirmationTexts stageSaveTexts(const QString& stageTitle);

// The dialog card: label, title, detail line, explanation, a × button and the three
// answers. Return answers save, Esc cancel; "不保存" is the only destructive button.
// Each showing answers at most once: the answer is taken out before it is delivered,
// so a second key press or click does nothing until the next showing.
// Assistive technology sees a modal dialog named by the title and described by the
// detail line and the explanation; the card keeps the keyboard (Tab does not leave it).
class StageSaveConfirmationView : public QWidget {
    Q_OBJECT
public:
    explicit StageSaveConfirmationView(QWidget* parent = nullptr);

    void setTexts(const ConfirmationTexts& texts);
    // Arms the dialog for one answer.
    void setDecision(std::function<void(StageSaveDecision)> decision) { decision_ = std::move(decision); }
    void setReduceMotion(bool on);
    // Sends `decision` to the armed callback, if any.
    void answer(StageSaveDecision decision);

    QSize sizeHint() const override { return {440, 236}; }

protected:
    bool focusNextPrevChild(bool next) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void applyColors();

    std::function<void(StageSaveDecision)> decision_;
    QLabel* label_ = nullptr;
    QLabel* title_ = nullptr;
    QLabel* detail_ = nullptr;
    QLabel* explanation_ = nullptr;
    StudioHoverButton* closeButton_ = nullptr;
    ConfirmationButtonStyle* cancelButton_ = nullptr;
    ConfirmationButtonStyle* discardButton_ = nullptr;
    ConfirmationButtonStyle* saveButton_ = nullptr;
};

// A dimmed layer over the whole of its host widget, with the dialog centred on it. It
// follows the host's size, takes the keyboard focus for the dialog when presented and
// gives it back to the widget that had it when dismissed, and fades in and out over
// Motion::panel unless reduce motion is on.
class ConfirmationOverlay : public QWidget {
    Q_OBJECT
public:
    explicit ConfirmationOverlay(QWidget* host);

    // Shows the question; `decision` is called once, after the overlay starts to leave.
    void present(const ConfirmationTexts& texts, std::function<void(StageSaveDecision)> decision, bool reduceMotion);
    void dismiss(bool reduceMotion);

    bool isPresented() const { return presented_; }
    // 0 … 1: how far the overlay has faded in.
    qreal presence() const { return presence_; }
    bool isAnimating() const;
    StageSaveConfirmationView& dialog() { return *dialog_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void setPresence(qreal value);
    void fadeTo(qreal target, bool reduceMotion);
    void returnFocus();

    StageSaveConfirmationView* dialog_ = nullptr;
    QPointer<QWidget> focusBefore_;   // where the keyboard was when the question came up
    QGraphicsOpacityEffect* opacity_ = nullptr;
    QVariantAnimation* fade_ = nullptr;
    qreal presence_ = 0;
    bool presented_ = false;
    bool reduceMotion_ = false;
};

// The stage save question of the workspace: shown while the store's
// showingStageSaveConfirmation is true, for the current step's clean title; every
// answer goes to resolveStageChanges once. Place one over the whole workspace.
class StageSaveOverlay : public ConfirmationOverlay {
    Q_OBJECT
public:
    StageSaveOverlay(BoardStore& store, QWidget* workspace);

private:
    void sync();

    BoardStore& store_;
    Subscription subscription_;
};

}  // namespace vantrel

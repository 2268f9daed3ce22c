// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/timeline/close_guard.h"

#include <QWidget>

#include "ui/timeline/stage_save_overlay.h"

namespace vantrel {

namespace {

constexpr std::string_view kBuiltInPrefix = "builtin-";

ConfirmationTexts builtInTexts(const QString& tacticName) {
    return {
        .label = QStringLiteral("示范战术已修改"),
        .title = QStringLiteral("保留对示范战术的修改？"),
        .detail = tacticName,
        .explanation = QStringLiteral("示范战术不会被改写。保留后，这些修改会作为一套新战术保存到“我的战术”。"),
        .cancelText = QStringLiteral("取消"),
        .cancelHelp = QStringLiteral("继续编辑 · Esc"),
        .discardText = QStringLiteral("不保留"),
        .saveText = QStringLiteral("保存到我的战术"),
        .closeHelp = QStringLiteral("关闭保存确认"),
    };
}

}  // namespace

CloseGuard::CloseGuard(BoardStore& store, QWidget& workspace, QObject* parent)
    : QObject(parent), store_(store), workspace_(&workspace) {
    subscription_ = store_.subscribe([this](StoreChange change) {
        if (any(change & (StoreChange::library | StoreChange::board))) recordOpened();
    });
    recordOpened();
}

void CloseGuard::recordOpened() {
    if (store_.selectedTacticKey() == openedKey_) return;
    openedKey_ = store_.selectedTacticKey();
    opened_ = store_.tactic();
    allowed_ = false;
}

ConfirmationOverlay* CloseGuard::builtInOverlay() const { return builtInOverlay_.data(); }

bool CloseGuard::builtInEdited() const {
    return store_.selectedTacticKey().starts_with(kBuiltInPrefix) && store_.tactic() != opened_;
}

CloseGuard::Question CloseGuard::question() const {
    if (allowed_) return Question::none;
    if (builtInEdited()) return Question::builtInEdits;
    // A built-in's step changes are covered by the question above; an own tactic's
    // other edits are in its autosave, which the window writes as it closes.
    if (store_.hasStageChanges() && !store_.selectedTacticKey().starts_with(kBuiltInPrefix)) return Question::stageChanges;
    return Question::none;
}

void CloseGuard::requestClose(std::function<void()> close) {
    // A stage question already on screen is answered first; the close waits for the
    // user to ask again rather than stacking a second dialog on it.
    if (store_.showingStageSaveConfirmation() && question() != Question::none) return;
    switch (question()) {
    case Question::none:
        if (close) close();
        return;
    case Question::stageChanges: {
        if (!workspace_) return;
        if (!workspace_->findChild<StageSaveOverlay*>()) new StageSaveOverlay(store_, workspace_);
        // Save and discard run the held close; cancel drops it.
        store_.canLeaveStage([this, close] { allow(close); });
        return;
    }
    case Question::builtInEdits: {
        if (!workspace_) return;
        if (!builtInOverlay_) {
            builtInOverlay_ = new ConfirmationOverlay(workspace_);
            builtInOverlay_->setObjectName(QStringLiteral("builtInEditsOverlay"));
        }
        if (builtInOverlay_->isPresented()) return;
        builtInOverlay_->present(
            builtInTexts(QString::fromStdString(store_.tactic().name)),
            [this, close](StageSaveDecision decision) {
                if (decision == StageSaveDecision::cancel) return;
                if (decision == StageSaveDecision::save) store_.saveCurrentTactic();
                allow(close);
            },
            store_.reduceMotion());
        return;
    }
    }
}

void CloseGuard::allow(std::function<void()> close) {
    allowed_ = true;
    QMetaObject::invokeMethod(
        this,
        [self = QPointer<CloseGuard>(this), close] {
            if (close) close();
            // A close refused elsewhere leaves the window open: the next one asks again.
            if (self) self->allowed_ = false;
        },
        Qt::QueuedConnection);
}

}  // namespace vantrel

// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/timeline/close_guard.h"

#include <QWidget>

#include "core/model/file_io.h"
#include "core/model/tactic_json.h"
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

ConfirmationTexts failedSaveTexts(const std::string& failure) {
    return {
        .label = QStringLiteral("自动保存失败"),
        .title = QStringLiteral("自动保存失败，仍要退出吗？"),
        .detail = QString::fromStdString(failure),
        .explanation = QStringLiteral("最近的修改未能写入“我的战术”，退出后将丢失。可以先把全部“我的战术”导出为文件。"),
        .cancelText = QStringLiteral("取消"),
        .cancelHelp = QStringLiteral("不退出 · Esc"),
        .discardText = QStringLiteral("仍然退出"),
        .saveText = QStringLiteral("导出为文件…"),
        .closeHelp = QStringLiteral("关闭退出确认"),
    };
}

}  // namespace

CloseGuard::CloseGuard(BoardStore& store, Platform& platform, QWidget& workspace, QObject* parent)
    : QObject(parent), store_(store), platform_(platform), workspace_(&workspace) {
    subscription_ = store_.subscribe([this](StoreChange change) {
        if (any(change & (StoreChange::library | StoreChange::board))) recordOpened();
        if (any(change & StoreChange::confirmation) && heldClose_ && !store_.showingStageSaveConfirmation()) {
            std::function<void()> close = std::move(heldClose_);
            heldClose_ = nullptr;
            if (!store_.hasStageChanges()) allow(std::move(close));
        }
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
ConfirmationOverlay* CloseGuard::failedSaveOverlay() const { return failedSaveOverlay_.data(); }

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
        // Save and discard leave the step without changes, and the close goes on;
        // cancel keeps them, and the window stays.
        if (!store_.canLeaveStage({.kind = StageDeparture::Kind::close})) heldClose_ = std::move(close);
        return;
    }
    case Question::builtInEdits: {
        if (!workspace_) return;
        ConfirmationOverlay* question = overlay(builtInOverlay_, "builtInEditsOverlay");
        if (question->isPresented()) return;
        question->present(
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

ConfirmationOverlay* CloseGuard::overlay(QPointer<ConfirmationOverlay>& slot, const char* objectName) {
    if (!slot) {
        slot = new ConfirmationOverlay(workspace_);
        slot->setObjectName(QLatin1String(objectName));
    }
    return slot;
}

void CloseGuard::askAboutFailedSave(std::function<void()> close) {
    if (!workspace_) return;
    ConfirmationOverlay* question = overlay(failedSaveOverlay_, "failedSaveOverlay");
    if (question->isPresented()) return;
    question->present(
        failedSaveTexts(store_.saveFailure().value_or(std::string())),
        [this, close](StageSaveDecision decision) {
            if (decision == StageSaveDecision::cancel) return;
            if (decision == StageSaveDecision::save) {
                // The library document as the data folder would hold it: every own
                // tactic, the edits that could not be written included.
                const auto path = platform_.chooseJsonFileToSave("我的战术.json");
                if (!path) return;
                auto document = TacticJson::encodeLibrary(store_.importedTactics());
                const Status written = document ? writeFileAtomically(*path, document.value())
                                                : Status::failure(document.error());
                if (!written) return store_.reportStatus("导出失败：" + written.error());
                store_.reportStatus("已导出：" + path->filename().string());
            }
            allow(close);
        },
        store_.reduceMotion());
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

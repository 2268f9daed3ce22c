// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPointer>

#include <functional>
#include <string>

#include "core/store/board_store.h"

class QWidget;

namespace vantrel {

class ConfirmationOverlay;

// Asks before the window closes when closing would lose edits:
// - an own tactic whose current step has unconfirmed changes gets the stage question
//   ("保存这一步的修改？") through the store's held departure, answered on the
//   workspace's StageSaveOverlay (one is placed on the workspace if there is none);
// - an edited built-in tactic gets "保留对示范战术的修改？": keep saves it as a new own
//   tactic, discard drops the edits.
// Saving or discarding closes; cancelling keeps the window open.
//
// A close whose last try to write the own tactics failed asks "自动保存失败，仍要退出吗？":
// "导出为文件…" writes them, as the library file holds them, where the coach chooses and
// then closes; "仍然退出" closes; "取消" keeps the window open.
//
// A built-in counts as edited when it differs from the tactic as it was opened, which
// the guard records whenever the open tactic's key changes. Create it with the store,
// so the tactic first opened is recorded too.
class CloseGuard : public QObject {
    Q_OBJECT
public:
    enum class Question { none, stageChanges, builtInEdits };

    CloseGuard(BoardStore& store, Platform& platform, QWidget& workspace, QObject* parent = nullptr);

    // What closing now would ask, if anything; none once an answer allowed the close.
    Question question() const;
    bool shouldAskBeforeClose() const { return question() != Question::none; }
    bool builtInEdited() const;

    // Runs `close` at once when nothing needs asking; otherwise asks, and runs it from
    // the event loop after a save or discard (never from inside the store's answer).
    // While the store already asks its stage question, nothing happens: that answer
    // comes first.
    void requestClose(std::function<void()> close);

    // Asks about a close after a write that failed (see above); `close` runs after an
    // export or "仍然退出".
    void askAboutFailedSave(std::function<void()> close);
    // True while a close the coach allowed runs: a failed write is not asked about again.
    bool closeAllowed() const { return allowed_; }

    // The dialog of the built-in question; null until first asked.
    ConfirmationOverlay* builtInOverlay() const;
    // The dialog of the failed-save question; null until first asked.
    ConfirmationOverlay* failedSaveOverlay() const;

private:
    void recordOpened();
    void allow(std::function<void()> close);

    ConfirmationOverlay* overlay(QPointer<ConfirmationOverlay>& slot, const char* objectName);

    BoardStore& store_;
    Platform& platform_;
    QPointer<QWidget> workspace_;
    QPointer<ConfirmationOverlay> builtInOverlay_;
    QPointer<ConfirmationOverlay> failedSaveOverlay_;
    Subscription subscription_;
    std::string openedKey_;
    Tactic opened_;
    bool allowed_ = false;
    // The close waiting for the store's stage question.
    std::function<void()> heldClose_;
};

}  // namespace vantrel

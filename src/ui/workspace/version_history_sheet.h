// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

#include "core/model/board.h"
#include "ui/workspace/workspace_dialogs.h"

class QLabel;
class QListWidget;
class QToolButton;

namespace vantrel {

class VersionPreview;

// "历史版本…" of an own tactic: its earlier versions, newest first, each with the time a
// save replaced it and its stage count; the chosen one is previewed read-only, stage by
// stage, and "恢复此版本" (Return) puts it back, "关闭" (Esc) leaves everything as it is.
// Holds a copy of the versions, so saves while it shows change nothing in it.
class VersionHistorySheet : public WorkspaceSheet {
    Q_OBJECT
public:
    VersionHistorySheet(const QString& tacticName, std::vector<TacticVersion> versions, QWidget* parent);

    // The version chosen, or null when there is none.
    const TacticVersion* chosen() const;
    QListWidget* list() const { return list_; }

private:
    void showStep(int step);

    std::vector<TacticVersion> versions_;
    QListWidget* list_ = nullptr;
    VersionPreview* preview_ = nullptr;
    QLabel* stepLabel_ = nullptr;
    QToolButton* previous_ = nullptr;
    QToolButton* next_ = nullptr;
    QToolButton* restore_ = nullptr;
    int step_ = 0;
};

}  // namespace vantrel

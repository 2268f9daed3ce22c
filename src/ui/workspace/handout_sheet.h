// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

#include "core/model/board.h"
#include "ui/workspace/workspace_dialogs.h"

class QListWidget;

namespace vantrel {

class BoardStore;

// "导出多个战术的讲义…": every tactic of the library as a row to tick (the open one, as it
// stands and ticked, then the coach's own, then the built-in plays of both formats), in
// the handout's order; "导出…" asks for the file. Space ticks the current row.
class HandoutSheet : public WorkspaceSheet {
    Q_OBJECT
public:
    HandoutSheet(const BoardStore& store, QWidget* parent);

    // The ticked tactics, in the list's order.
    std::vector<Tactic> chosen() const;
    QListWidget* list() const { return list_; }

private:
    void updateCount();

    std::vector<Tactic> tactics_;   // one per row
    QListWidget* list_ = nullptr;
    QToolButton* export_ = nullptr;
};

}  // namespace vantrel

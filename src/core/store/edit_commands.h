// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace vantrel {

class BoardStore;
class DrawingSession;

// The one undo, redo and delete of the window, whatever sends them (the 编辑 menu and
// its keys, the drawing canvas's keys, the drawing toolbar): the drawings' history while
// the drawing tools are out, the board's otherwise. A locked drawing layer takes none of
// them, and while the save question is up nothing is undone under it.
namespace EditCommands {

bool canUndo(const BoardStore& store, const DrawingSession& session);
bool canRedo(const BoardStore& store, const DrawingSession& session);
void undo(BoardStore& store, DrawingSession& session);
void redo(BoardStore& store, DrawingSession& session);
// What the menu says: "撤销 移动球员", "撤销 注释", or the bare verb.
std::string undoText(const BoardStore& store, const DrawingSession& session);
std::string redoText(const BoardStore& store, const DrawingSession& session);

// The selected drawing, deleted: only in drawing mode on an unlocked layer.
bool canDeleteSelection(const DrawingSession& session);
void deleteSelection(DrawingSession& session);

}  // namespace EditCommands

}  // namespace vantrel

// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/store/edit_commands.h"

#include "core/annotation/drawing_session.h"
#include "core/store/board_store.h"

namespace vantrel::EditCommands {

namespace {

bool drawing(const DrawingSession& session) { return session.editing(); }
bool blocked(const BoardStore& store, const DrawingSession& session) {
    return store.showingStageSaveConfirmation() || (drawing(session) && session.locked());
}

}  // namespace

bool canUndo(const BoardStore& store, const DrawingSession& session) {
    if (blocked(store, session)) return false;
    return drawing(session) ? session.canUndo() : store.boardEdits().canUndo();
}

bool canRedo(const BoardStore& store, const DrawingSession& session) {
    if (blocked(store, session)) return false;
    return drawing(session) ? session.canRedo() : store.boardEdits().canRedo();
}

void undo(BoardStore& store, DrawingSession& session) {
    if (!canUndo(store, session)) return;
    if (drawing(session)) session.undo();
    else store.boardEdits().undo();
}

void redo(BoardStore& store, DrawingSession& session) {
    if (!canRedo(store, session)) return;
    if (drawing(session)) session.redo();
    else store.boardEdits().redo();
}

std::string undoText(const BoardStore& store, const DrawingSession& session) {
    if (drawing(session)) return "撤销 注释";
    const auto label = store.boardEdits().undoLabel();
    return label ? "撤销 " + *label : "撤销";
}

std::string redoText(const BoardStore& store, const DrawingSession& session) {
    if (drawing(session)) return "重做 注释";
    const auto label = store.boardEdits().redoLabel();
    return label ? "重做 " + *label : "重做";
}

bool canDeleteSelection(const DrawingSession& session) {
    return drawing(session) && !session.locked() && session.selection().has_value();
}

void deleteSelection(DrawingSession& session) {
    if (!canDeleteSelection(session)) return;
    session.deleteAnnotation(*session.selectedID());
}

}  // namespace vantrel::EditCommands

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <vector>

#include "core/model/annotation.h"
#include "core/model/uuid.h"
#include "core/store/change_notifier.h"

namespace vantrel {

class BoardStore;

// The side panel open beside the drawing toolbar.
enum class DrawingPanel { shapes, ink };

// Which of the session's fields a call changed; observers repaint what shows them.
enum class DrawingChange : std::uint32_t {
    none = 0,
    editing = 1u << 0,     // drawing mode
    tool = 1u << 1,
    style = 1u << 2,       // the style for new annotations
    selection = 1u << 3,   // selectedID
    layer = 1u << 4,       // visible, locked
    panel = 1u << 5,
    history = 1u << 6,     // historyRevision: can-undo and can-redo may differ
};

constexpr DrawingChange operator|(DrawingChange a, DrawingChange b) {
    return static_cast<DrawingChange>(static_cast<std::uint32_t>(a) | static_cast<std::uint32_t>(b));
}
constexpr DrawingChange operator&(DrawingChange a, DrawingChange b) {
    return static_cast<DrawingChange>(static_cast<std::uint32_t>(a) & static_cast<std::uint32_t>(b));
}
constexpr bool any(DrawingChange c) { return c != DrawingChange::none; }

// The annotation editing state of one workspace window: drawing mode, tool, style,
// selection, layer visibility and lock, the open panel, and an undo/redo history per
// step. It holds no annotations: they live in the store's current step, and every
// change is written there with `replaceAnnotations`, so the stage-change flag and the
// autosave see it.
//
// The session follows one store for its whole life; the store must outlive it. It
// watches the store's discards itself: when a step's unsaved changes are thrown away,
// that step's history goes with them (the step is back at its baseline, so the history
// no longer describes it).
class DrawingSession {
public:
    // One undoable edit: the step's whole list before and after it.
    struct Change {
        std::vector<BoardAnnotation> before;
        std::vector<BoardAnnotation> after;
        bool operator==(const Change&) const = default;
    };
    // Per step id; undo lists oldest first, redo lists most recently undone last.
    using History = std::map<Uuid, std::vector<Change>>;

    // Undo levels kept per step; the oldest edit falls off beyond this.
    static constexpr std::size_t kHistoryLimit = 100;

    explicit DrawingSession(BoardStore& store);
    DrawingSession(const DrawingSession&) = delete;
    DrawingSession& operator=(const DrawingSession&) = delete;

    // Told once per call, with every group the call changed.
    using Listener = std::function<void(DrawingChange)>;
    Subscription subscribe(Listener listener);

    // --- Fields --------------------------------------------------------------------
    bool editing() const { return editing_; }
    AnnotationTool tool() const { return tool_; }
    const AnnotationStyle& style() const { return style_; }
    const std::optional<Uuid>& selectedID() const { return selectedID_; }
    bool visible() const { return visible_; }
    bool locked() const { return locked_; }
    const std::optional<DrawingPanel>& panel() const { return panel_; }
    int historyRevision() const { return historyRevision_; }
    const History& undoHistory() const { return undoHistory_; }
    const History& redoHistory() const { return redoHistory_; }

    void setEditing(bool on);
    void setTool(AnnotationTool tool);
    void setStyle(const AnnotationStyle& style);
    void setSelectedID(std::optional<Uuid> id);
    void setVisible(bool on);
    void setLocked(bool on);
    void setPanel(std::optional<DrawingPanel> panel);

    // --- Reading the current step -----------------------------------------------------
    // The current step's list; empty when the step has none or the step index is
    // outside the steps.
    std::vector<BoardAnnotation> annotations() const;
    // The annotation of the current step whose id is selectedID. A selection left over
    // from another step selects nothing.
    std::optional<BoardAnnotation> selection() const;
    // What the canvas shows: the current list, with the selected annotation drawn in the
    // current style while the ink panel is open in drawing mode (a live preview; nothing
    // is stored until the panel commits).
    std::vector<BoardAnnotation> displayAnnotations() const;
    // False also when the step's list is no longer the one its history left behind
    // (changed outside the session): such history is not applied.
    bool canUndo() const;
    bool canRedo() const;

    // --- Edits of the current step ---------------------------------------------------------
    // Replaces the annotation with the same id in place (its drawing order is kept), or
    // appends it on top.
    void commit(const BoardAnnotation& annotation);
    // Named so because `delete` is reserved. Clears the selection if it was this id.
    void deleteAnnotation(const Uuid& id);
    // Move the selected annotation to the top / bottom of the drawing order.
    void bringToFront();
    void sendToBack();
    // The single path by which annotations change: one undo level per call that changes
    // the list, and a new edit forgets what was undone.
    void replace(std::vector<BoardAnnotation> list);
    void undo();
    void redo();

    // --- History lifetime ---------------------------------------------------------------
    // Another tactic was opened: no history, selection or panel carries over.
    void resetContext();
    // The step's unsaved changes were discarded: its history no longer applies.
    void discardHistory(const Uuid& stepID);

private:
    using Batch = ChangeNotifier<DrawingChange>::Batch;

    void markHistory();
    void forgetStep(const Uuid& stepID);
    // Clears the selection when the written list no longer holds the selected id.
    void keepSelectionWithin(const std::vector<BoardAnnotation>& list);
    void storeChanged();

    BoardStore& store_;
    ChangeNotifier<DrawingChange> notifier_;

    bool editing_ = false;
    AnnotationTool tool_ = AnnotationTool::pencil;
    AnnotationStyle style_;
    std::optional<Uuid> selectedID_;
    bool visible_ = true;
    bool locked_ = false;
    std::optional<DrawingPanel> panel_;
    int historyRevision_ = 0;
    History undoHistory_;
    History redoHistory_;

    int seenDiscardRevision_ = 0;
    Subscription storeSubscription_;
};

}  // namespace vantrel

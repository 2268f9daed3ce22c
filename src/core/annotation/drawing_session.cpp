// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/annotation/drawing_session.h"

#include <algorithm>
#include <utility>

#include "core/model/tactic_limits.h"
#include "core/store/board_store.h"

namespace vantrel {

namespace {

const std::vector<BoardAnnotation>& listOf(const BoardStep* step) {
    static const std::vector<BoardAnnotation> none;
    return step && step->annotations ? *step->annotations : none;
}

bool contains(const std::vector<BoardAnnotation>& list, const Uuid& id) {
    return std::any_of(list.begin(), list.end(), [&](const BoardAnnotation& a) { return a.id == id; });
}

// The top entry of a step's list in `history`, if any.
const DrawingSession::Change* last(const DrawingSession::History& history, const Uuid& stepID) {
    auto it = history.find(stepID);
    return it == history.end() || it->second.empty() ? nullptr : &it->second.back();
}

}  // namespace

DrawingSession::DrawingSession(BoardStore& store) : store_(store), seenDiscardRevision_(store.stageDiscardRevision()) {
    storeSubscription_ = store_.subscribe([this](StoreChange) { storeChanged(); });
}

Subscription DrawingSession::subscribe(Listener listener) {
    return notifier_.subscribe(std::move(listener));
}

// --- Fields ------------------------------------------------------------------------------

void DrawingSession::setEditing(bool on) {
    if (editing_ == on) return;
    Batch batch(notifier_);
    editing_ = on;
    notifier_.mark(DrawingChange::editing);
}

void DrawingSession::setTool(AnnotationTool tool) {
    if (tool_ == tool) return;
    Batch batch(notifier_);
    tool_ = tool;
    notifier_.mark(DrawingChange::tool);
}

void DrawingSession::setStyle(const AnnotationStyle& style) {
    if (style_ == style) return;
    Batch batch(notifier_);
    style_ = style;
    notifier_.mark(DrawingChange::style);
}

void DrawingSession::setSelectedID(std::optional<Uuid> id) {
    if (selectedID_ == id) return;
    Batch batch(notifier_);
    selectedID_ = id;
    notifier_.mark(DrawingChange::selection);
}

void DrawingSession::setVisible(bool on) {
    if (visible_ == on) return;
    Batch batch(notifier_);
    visible_ = on;
    notifier_.mark(DrawingChange::layer);
}

void DrawingSession::setLocked(bool on) {
    if (locked_ == on) return;
    Batch batch(notifier_);
    locked_ = on;
    notifier_.mark(DrawingChange::layer);
}

void DrawingSession::setPanel(std::optional<DrawingPanel> panel) {
    if (panel_ == panel) return;
    Batch batch(notifier_);
    panel_ = panel;
    notifier_.mark(DrawingChange::panel);
}

// --- Reading -----------------------------------------------------------------------------

std::vector<BoardAnnotation> DrawingSession::annotations() const { return listOf(store_.currentStep()); }

std::optional<BoardAnnotation> DrawingSession::selection() const {
    if (!selectedID_) return std::nullopt;
    for (const auto& a : listOf(store_.currentStep()))
        if (a.id == *selectedID_) return a;
    return std::nullopt;
}

std::vector<BoardAnnotation> DrawingSession::displayAnnotations() const {
    std::vector<BoardAnnotation> list = annotations();
    if (editing_ && panel_ == DrawingPanel::ink && selectedID_)
        for (auto& a : list)
            if (a.id == *selectedID_) a.style = style_;
    return list;
}

bool DrawingSession::canUndo() const {
    const BoardStep* step = store_.currentStep();
    const Change* change = step ? last(undoHistory_, step->id) : nullptr;
    return change && change->after == listOf(step);
}

bool DrawingSession::canRedo() const {
    const BoardStep* step = store_.currentStep();
    const Change* change = step ? last(redoHistory_, step->id) : nullptr;
    return change && change->before == listOf(step);
}

// --- Edits -------------------------------------------------------------------------------

void DrawingSession::commit(const BoardAnnotation& annotation) {
    std::vector<BoardAnnotation> list = annotations();
    auto it = std::find_if(list.begin(), list.end(), [&](const BoardAnnotation& a) { return a.id == annotation.id; });
    if (it != list.end()) *it = annotation;
    else list.push_back(annotation);
    replace(std::move(list));
}

void DrawingSession::deleteAnnotation(const Uuid& id) {
    Batch batch(notifier_);
    std::vector<BoardAnnotation> list = annotations();
    std::erase_if(list, [&](const BoardAnnotation& a) { return a.id == id; });
    replace(std::move(list));
    if (selectedID_ == id) setSelectedID(std::nullopt);
}

void DrawingSession::bringToFront() {
    if (!selectedID_) return;
    std::vector<BoardAnnotation> list = annotations();
    auto it = std::find_if(list.begin(), list.end(), [&](const BoardAnnotation& a) { return a.id == *selectedID_; });
    if (it == list.end()) return;
    std::rotate(it, it + 1, list.end());
    replace(std::move(list));
}

void DrawingSession::sendToBack() {
    if (!selectedID_) return;
    std::vector<BoardAnnotation> list = annotations();
    auto it = std::find_if(list.begin(), list.end(), [&](const BoardAnnotation& a) { return a.id == *selectedID_; });
    if (it == list.end()) return;
    std::rotate(list.begin(), it, it + 1);
    replace(std::move(list));
}

void DrawingSession::replace(std::vector<BoardAnnotation> list) {
    const BoardStep* step = store_.currentStep();
    if (!step) return;   // no step to write to, so nothing to remember either
    const std::vector<BoardAnnotation>& old = listOf(step);
    if (old == list) return;   // an edit that changes nothing is no undo level
    // Never store what a later start would set aside: the edit is refused and said.
    if (list.size() > TacticLimits::kMaxAnnotationsPerStep && list.size() > old.size()) {
        store_.reportStatus("注释过多：每个阶段至多 " + std::to_string(TacticLimits::kMaxAnnotationsPerStep) + " 个");
        return;
    }
    for (auto& a : list) {
        TacticLimits::cutText(a.text, TacticLimits::kMaxTextCharacters);
        if (a.points.size() > TacticLimits::kMaxPointsPerStroke) {
            store_.reportStatus("笔画过长：每笔至多 " + std::to_string(TacticLimits::kMaxPointsPerStroke) + " 个点");
            return;
        }
    }

    Batch batch(notifier_);
    const Uuid key = step->id;
    // History first: a store listener that asks canUndo during the write sees the edit.
    auto& undo = undoHistory_[key];
    undo.push_back(Change{old, list});
    if (undo.size() > kHistoryLimit) undo.erase(undo.begin());
    redoHistory_.erase(key);
    // Written to the current step, not looked up by id: an imported tactic may repeat a
    // step id, and the edit belongs to the step on screen.
    store_.replaceAnnotations(std::move(list));
    markHistory();
}

void DrawingSession::undo() {
    const BoardStep* step = store_.currentStep();
    if (!step) return;
    const Uuid key = step->id;
    auto it = undoHistory_.find(key);
    if (it == undoHistory_.end() || it->second.empty()) return;

    Batch batch(notifier_);
    // Writing `before` over a list that is no longer `after` would throw away whatever
    // changed it; the history no longer describes the step, so it goes.
    if (!(it->second.back().after == listOf(step))) {
        forgetStep(key);
        markHistory();
        return;
    }
    Change change = std::move(it->second.back());
    it->second.pop_back();
    if (it->second.empty()) undoHistory_.erase(it);
    std::vector<BoardAnnotation> restored = change.before;
    redoHistory_[key].push_back(std::move(change));
    keepSelectionWithin(restored);
    store_.replaceAnnotations(std::move(restored));
    markHistory();
}

void DrawingSession::redo() {
    const BoardStep* step = store_.currentStep();
    if (!step) return;
    const Uuid key = step->id;
    auto it = redoHistory_.find(key);
    if (it == redoHistory_.end() || it->second.empty()) return;

    Batch batch(notifier_);
    if (!(it->second.back().before == listOf(step))) {
        forgetStep(key);
        markHistory();
        return;
    }
    Change change = std::move(it->second.back());
    it->second.pop_back();
    if (it->second.empty()) redoHistory_.erase(it);
    std::vector<BoardAnnotation> restored = change.after;
    // Undo and redo only move levels between the lists; the sum stays within the limit.
    undoHistory_[key].push_back(std::move(change));
    keepSelectionWithin(restored);
    store_.replaceAnnotations(std::move(restored));
    markHistory();
}

// --- History lifetime --------------------------------------------------------------------

void DrawingSession::resetContext() {
    Batch batch(notifier_);
    setSelectedID(std::nullopt);
    setPanel(std::nullopt);
    undoHistory_.clear();
    redoHistory_.clear();
    markHistory();
}

void DrawingSession::discardHistory(const Uuid& stepID) {
    Batch batch(notifier_);
    setSelectedID(std::nullopt);
    forgetStep(stepID);
    markHistory();
}

void DrawingSession::markHistory() {
    ++historyRevision_;
    notifier_.mark(DrawingChange::history);
}

void DrawingSession::forgetStep(const Uuid& stepID) {
    undoHistory_.erase(stepID);
    redoHistory_.erase(stepID);
}

void DrawingSession::keepSelectionWithin(const std::vector<BoardAnnotation>& list) {
    if (selectedID_ && !contains(list, *selectedID_)) setSelectedID(std::nullopt);
}

void DrawingSession::storeChanged() {
    // Every discard bumps the revision, also one that restores the same step again.
    const int revision = store_.stageDiscardRevision();
    if (revision == seenDiscardRevision_) return;
    seenDiscardRevision_ = revision;
    if (const auto& stepID = store_.discardedStageID()) discardHistory(*stepID);
}

}  // namespace vantrel

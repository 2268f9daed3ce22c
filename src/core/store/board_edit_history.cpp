// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/store/board_edit_history.h"

#include <unordered_map>

namespace vantrel {

BoardEditHistory::Scope::Scope(BoardEditHistory& history, const Tactic& tactic, const int& stepIndex,
                               std::string label, std::string mergeKey)
    : history_(history), tactic_(tactic) {
    outermost_ = history_.depth_++ == 0;
    if (!outermost_) return;
    // The drag's level already holds the tactic as it was before the drag began.
    if (!mergeKey.empty() && mergeKey == history_.mergeKey_ && !history_.undo_.empty()) {
        outermost_ = false;
        return;
    }
    generation_ = history_.generation_;
    label_ = std::move(label);
    mergeKey_ = std::move(mergeKey);
    before_ = Snapshot{tactic, stepIndex};
}

BoardEditHistory::Scope::~Scope() {
    --history_.depth_;
    if (!outermost_ || history_.generation_ != generation_) return;
    if (before_->tactic == tactic_) return;   // nothing changed: no level
    history_.record(std::move(label_), std::move(*before_), mergeKey_);
}

void BoardEditHistory::record(std::string label, Snapshot before, const std::string& mergeKey) {
    redo_.clear();
    if (!mergeKey.empty() && mergeKey == mergeKey_ && !undo_.empty()) return;   // the level grows
    undo_.push_back({std::move(label), std::move(before)});
    if (undo_.size() > kLimit) undo_.pop_front();
    mergeKey_ = mergeKey;
}

std::optional<std::string> BoardEditHistory::undoLabel() const {
    if (undo_.empty()) return std::nullopt;
    return undo_.back().label;
}

std::optional<std::string> BoardEditHistory::redoLabel() const {
    if (redo_.empty()) return std::nullopt;
    return redo_.back().label;
}

std::optional<BoardEditHistory::Snapshot> BoardEditHistory::undo(Snapshot current) {
    if (undo_.empty()) return std::nullopt;
    Entry entry = std::move(undo_.back());
    undo_.pop_back();
    redo_.push_back({entry.label, std::move(current)});
    mergeKey_.clear();
    return std::move(entry.snapshot);
}

std::optional<BoardEditHistory::Snapshot> BoardEditHistory::redo(Snapshot current) {
    if (redo_.empty()) return std::nullopt;
    Entry entry = std::move(redo_.back());
    redo_.pop_back();
    undo_.push_back({entry.label, std::move(current)});
    mergeKey_.clear();
    return std::move(entry.snapshot);
}

void BoardEditHistory::clear() {
    undo_.clear();
    redo_.clear();
    mergeKey_.clear();
    ++generation_;
}

Tactic withCurrentDrawings(Tactic snapshot, const Tactic& current) {
    std::unordered_map<std::string, const BoardStep*> byID;
    for (const auto& step : current.steps) byID.emplace(step.id.string(), &step);
    for (auto& step : snapshot.steps)
        if (auto it = byID.find(step.id.string()); it != byID.end()) step.annotations = it->second->annotations;
    return snapshot;
}

}  // namespace vantrel

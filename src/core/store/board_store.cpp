// SPDX-License-Identifier: GPL-3.0-or-later
// State, start-up and the library of own tactics.
#include "core/store/board_store.h"

#include <algorithm>
#include <cctype>

#include "core/library/builtin_tactics.h"
#include "core/library/pressing.h"
#include "core/model/status_text.h"
#include "core/model/tactic_json.h"

namespace vantrel {

namespace {

Tactic firstBuiltIn(int format) {
    const auto& list = BuiltInTactics::library(format);
    return list.empty() ? BuiltInTactics::sample(format) : list.front();
}

}  // namespace

BoardStore::BoardStore(PreferenceStore& defaults, Platform& platform)
    : defaults_(defaults),
      platform_(platform),
      library_(defaults, platform),
      self_(std::make_shared<BoardStore*>(this)) {
    Batch batch(notifier_);
    tactic_ = firstBuiltIn(7);
    loadLibrary();
    if (auto said = journal_.open(library_)) setStatus(std::move(*said));
    restoreLastSelection();
    captureStageBaseline();
}

BoardStore::~BoardStore() {
    // Clocks and timers die with their owner; the weak handle stops any late callback.
    *self_ = nullptr;
    self_.reset();
}

const BoardStep* BoardStore::currentStep() const {
    if (stepIndex_ < 0 || stepIndex_ >= static_cast<int>(tactic_.steps.size())) return nullptr;
    return &tactic_.steps[static_cast<std::size_t>(stepIndex_)];
}

BoardStep* BoardStore::mutableCurrentStep() {
    if (stepIndex_ < 0 || stepIndex_ >= static_cast<int>(tactic_.steps.size())) return nullptr;
    return &tactic_.steps[static_cast<std::size_t>(stepIndex_)];
}

// --- Field setters -----------------------------------------------------------------

// Whatever a message quotes (a parser's complaint, a name from a file), the status stays
// one readable line.
void BoardStore::setStatus(std::string text) {
    status_ = readableStatusLine(text);
    notifier_.mark(StoreChange::status);
}

void BoardStore::reportStatus(std::string text) {
    Batch batch(notifier_);
    setStatus(std::move(text));
}

void BoardStore::setStepIndex(int index) {
    stepIndex_ = index;
    notifier_.mark(StoreChange::board);   // another step: what is saved and drawn both move
}

void BoardStore::setSelectedPlayer(std::optional<std::string> id) {
    selectedPlayer_ = std::move(id);
    if (selectedPlayer_ != inspectedPlayerID_) inspectedPlayerID_.reset();
    if (selectedPlayer_) equipment_.selected_.reset();
    notifier_.mark(StoreChange::selection);
}

void BoardStore::setSelectedTacticKey(std::string key) {
    selectedTacticKey_ = std::move(key);
    history_.clear();   // edits of another tactic never apply to this one
    if (Status written = defaults_.setString(kLastSelectedTacticKey, selectedTacticKey_); !written)
        selectionWriteFailure_ = written.error();
    notifier_.mark(StoreChange::library);
    captureStageBaseline();
}

void BoardStore::setShowVision(bool on) {
    Batch batch(notifier_);
    showVision_ = on;
    notifier_.mark(StoreChange::displayOptions);
}

void BoardStore::setShowOffside(bool on) {
    Batch batch(notifier_);
    showOffside_ = on;
    notifier_.mark(StoreChange::displayOptions);
}

void BoardStore::setShowMoves(bool on) {
    Batch batch(notifier_);
    showMoves_ = on;
    notifier_.mark(StoreChange::displayOptions);
}

void BoardStore::setShowRoutes(bool on) {
    Batch batch(notifier_);
    showRoutes_ = on;
    notifier_.mark(StoreChange::displayOptions);
}

void BoardStore::setReduceMotion(bool on) {
    Batch batch(notifier_);
    motion_.reduceMotion = on;
    notifier_.mark(StoreChange::displayOptions);
}

void BoardStore::setDraggingPlayer(bool on) {
    Batch batch(notifier_);
    draggingPlayer_ = on;
    history_.endMerge();   // one drag, one undo level
    notifier_.mark(StoreChange::selection);
}

void BoardStore::setFormationFocusTeam(int team) {
    Batch batch(notifier_);
    formationFocusTeam_ = team == 0 ? 0 : 1;
    notifier_.mark(StoreChange::selection);
}

void BoardStore::closePlayerInfo() {
    Batch batch(notifier_);
    inspectedPlayerID_.reset();
    notifier_.mark(StoreChange::selection);
}

void BoardStore::clearSelectedPlayer() {
    Batch batch(notifier_);
    setSelectedPlayer(std::nullopt);
}

void BoardStore::selectPlayer(const std::string& id, bool inspect) {
    Batch batch(notifier_);
    const BoardStep* step = currentStep();
    if (!step || !step->player(id)) return;
    selectedPlayer_ = id;
    inspectedPlayerID_ = inspect ? std::optional<std::string>(id) : std::nullopt;
    notifier_.mark(StoreChange::selection);
}

}  // namespace vantrel

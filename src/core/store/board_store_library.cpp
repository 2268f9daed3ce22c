// SPDX-License-Identifier: GPL-3.0-or-later
// Opening, creating, saving and renaming tactics; the own tactics' autosave.
#include <algorithm>
#include <cctype>

#include "core/library/builtin_tactics.h"
#include "core/model/tactic_limits.h"
#include "core/model/file_io.h"
#include "core/model/step_title.h"
#include "core/store/board_store.h"

namespace vantrel {

namespace {

std::string builtInKey(int format, int index) {
    return "builtin-" + std::to_string(format) + "-" + std::to_string(index);
}

bool parseNonNegativeDecimal(const std::string& text, int& out) {
    if (text.empty() || text.size() > 9) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    out = std::stoi(text);
    return true;
}

}  // namespace

// --- Start-up ------------------------------------------------------------------------

void BoardStore::loadLibrary() {
    library_.setOutcomeListener([this] { reportSaveOutcome(); });
    const auto loaded = library_.load();
    switch (loaded.kind) {
        case OwnTacticLibrary::Loaded::Kind::nothing:
            break;
        case OwnTacticLibrary::Loaded::Kind::tactics:
            notifier_.mark(StoreChange::library);
            if (!loaded.notice.empty()) setStatus(loaded.notice);
            break;
        case OwnTacticLibrary::Loaded::Kind::unreadableKept:
            setStatus("已保留无法读取的战术数据");
            break;
        case OwnTacticLibrary::Loaded::Kind::unreadableNotKept:
            setStatus("无法保留无法读取的战术数据：" + loaded.reason);
            break;
    }
}

void BoardStore::reportSaveOutcome() {
    Batch batch(notifier_);
    // The badge reads the outcome; a failure is also said on the status line, and the
    // edits stay in memory for the next try.
    if (const auto& failure = library_.saveFailure()) setStatus("自动保存失败：" + *failure);
    else if (library_.takeRecovered()) setStatus("已恢复自动保存");
    notifier_.mark(StoreChange::status);
}

void BoardStore::restoreLastSelection() {
    auto key = defaults_.string(kLastSelectedTacticKey);
    if (!key) return;
    if (const SavedTactic* saved = library_.find(*key)) {
        tactic_ = saved->tactic;
        notifier_.mark(StoreChange::board);
        setSelectedTacticKey(*key);
        updateStageChanges();
        scheduleAutosave();
        return;
    }
    std::vector<std::string> pieces;
    std::string piece;
    for (char c : *key + "-") {
        if (c == '-') {
            if (!piece.empty()) pieces.push_back(piece);
            piece.clear();
        } else {
            piece.push_back(c);
        }
    }
    int format = 0;
    int index = 0;
    if (pieces.size() != 3 || pieces[0] != "builtin" || !parseNonNegativeDecimal(pieces[1], format) ||
        !parseNonNegativeDecimal(pieces[2], index))
        return;
    if (format != 7 && format != 11) return;
    const auto& list = BuiltInTactics::library(format);
    if (index >= static_cast<int>(list.size())) return;
    tactic_ = list[static_cast<std::size_t>(index)];
    notifier_.mark(StoreChange::board);
    // The canonical spelling, so that "builtin-07-0" and "builtin-7-0" stay one key.
    setSelectedTacticKey(builtInKey(format, index));
    updateStageChanges();
    scheduleAutosave();
}

// --- Library -------------------------------------------------------------------------

void BoardStore::installTactic(Tactic tactic, std::string key, std::string status) {
    flushAutosave();
    stopMotionForDeparture();
    openTactic(std::move(tactic), std::move(key), std::move(status));
}

void BoardStore::openTactic(Tactic tactic, std::string key, std::string status) {
    tactic_ = std::move(tactic);
    notifier_.mark(StoreChange::board);
    updateStageChanges();
    scheduleAutosave();
    setStepIndex(0);
    captureStageBaseline();
    setSelectedPlayer(std::nullopt);
    squad_.setFocused(std::nullopt);
    setSelectedTacticKey(std::move(key));
    setStatus(std::move(status));
    reportSelectionWriteFailure();
}

void BoardStore::reportSelectionWriteFailure() {
    if (!selectionWriteFailure_) return;
    setStatus("自动保存失败：" + *selectionWriteFailure_);
    selectionWriteFailure_.reset();
}

void BoardStore::selectBuiltIn(int index, std::optional<int> format) {
    Batch batch(notifier_);
    if (!canLeaveStage({.kind = StageDeparture::Kind::selectBuiltIn, .index = index, .format = format})) return;
    // The key must name the list actually opened, so anything but 7 is 11.
    const int listFormat = format.value_or(tactic_.format) == 7 ? 7 : 11;
    const auto& list = BuiltInTactics::library(listFormat);
    if (index < 0 || index >= static_cast<int>(list.size())) {
        flushAutosave();
        stopMotionForDeparture();
        return;
    }
    const Tactic& chosen = list[static_cast<std::size_t>(index)];
    installTactic(chosen, builtInKey(listFormat, index), "已载入：" + chosen.name + " · 点击播放观看跑位与传球");
}

void BoardStore::selectImported(const SavedTactic& saved) {
    Batch batch(notifier_);
    SavedTactic chosen = saved;   // copied first: the argument may live in our own list
    if (!canLeaveStage({.kind = StageDeparture::Kind::selectImported, .saved = chosen})) return;
    if (const SavedTactic* stored = library_.find(chosen.key())) chosen = *stored;
    installTactic(chosen.tactic, chosen.key(), "已打开我的战术：" + chosen.tactic.name);
}

void BoardStore::newTactic(std::optional<std::string> name, std::optional<int> format) {
    Batch batch(notifier_);
    if (!canLeaveStage({.kind = StageDeparture::Kind::newTactic, .format = format, .name = name})) return;
    flushAutosave();
    stopMotionForDeparture();

    const int chosenFormat = (format && (*format == 7 || *format == 11)) ? *format : tactic_.format;
    Tactic sample = BuiltInTactics::sample(chosenFormat);
    BoardStep step = sample.steps.front();
    step.id = Uuid::random();
    step.title = "1 · 初始站位";
    step.note = kNewTacticNote;
    if (const Player* owner = step.owner()) step.ball = owner->position;

    std::string chosenName = name ? trimmedText(*name) : std::string();
    TacticLimits::cutText(chosenName, TacticLimits::kMaxNameCharacters);
    if (chosenName.empty()) chosenName = library_.untitledName();

    const SavedTactic saved{Uuid::random(), Tactic{chosenName, sample.format, {step}}, true};
    if (Status added = library_.append(saved); !added) {
        setStatus("新建失败：" + added.error());
        return;
    }
    notifier_.mark(StoreChange::library);
    installTactic(saved.tactic, saved.key(), "已新建战术；修改阶段后，播放或切换时可选择保存");
    library_.persist();   // last: a failure replaces the status above
}

void BoardStore::saveCurrentTactic() {
    Batch batch(notifier_);
    if (isOwnKey()) {
        captureStageBaseline();
        setStatus("已保存：" + tactic_.name);
        flushAutosave();   // last: a failure replaces the status above
        return;
    }
    std::string name = tactic_.name;
    for (const auto& builtIn : BuiltInTactics::library(tactic_.format == 7 ? 7 : 11)) {
        if (builtIn.name == name && builtIn.format == tactic_.format) {
            name += "（我的版本）";
            break;
        }
    }
    Tactic copy = tactic_;
    copy.name = name;
    const SavedTactic saved{Uuid::random(), std::move(copy), true};
    if (Status added = library_.append(saved); !added) {
        setStatus("保存失败：" + added.error());
        return;
    }
    notifier_.mark(StoreChange::library);
    setSelectedTacticKey(saved.key());
    tactic_.name = name;
    notifier_.mark(StoreChange::board);
    updateStageChanges();
    scheduleAutosave();
    setStatus("已保存到我的战术：" + name);
    reportSelectionWriteFailure();
    library_.persist();   // last: a failure replaces the status above
}

void BoardStore::setTacticName(std::string name) {
    Batch batch(notifier_);
    std::string chosen = trimmedText(name);
    TacticLimits::cutText(chosen, TacticLimits::kMaxNameCharacters);
    if (chosen.empty() || chosen == tactic_.name) return;
    auto scope = editScope("修改战术名称", "name");
    tactic_.name = chosen;
    // The library row follows at once; the stored copy with the next autosave.
    if (library_.rename(selectedTacticKey_, chosen)) notifier_.mark(StoreChange::library);
    recordEdit();
}

void BoardStore::scheduleAutosave() {
    if (!isOwnKey()) return;
    std::weak_ptr<BoardStore*> weak = self_;
    library_.scheduleAutosave([weak] {
        if (auto self = weak.lock(); self && *self) (*self)->flushAutosave();
    });
}

void BoardStore::flushAutosave() {
    Batch batch(notifier_);
    library_.autosaveDone();
    // Unchanged tactics write nothing; a list whose last write failed is written again.
    if (const SavedTactic* stored = library_.find(selectedTacticKey_)) {
        Tactic confirmed = stage_.confirmed(tactic_, stepIndex_);
        if (confirmed != stored->tactic) {
            versions_.keep(stored->id, stored->tactic);
            library_.replaceTactic(selectedTacticKey_, std::move(confirmed));
            notifier_.mark(StoreChange::library);
        }
    }
    library_.persist();
    notifier_.mark(StoreChange::status);   // the badge: "保存中…" ends here or when the write lands
}

bool BoardStore::finishWrites() {
    flushAutosave();
    journal_.finish();
    Batch batch(notifier_);
    return library_.finishWrites().ok();
}

}  // namespace vantrel

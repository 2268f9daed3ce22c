// State, start-up and the library of own tactics.
#include "core/store/board_store.h"

#include <algorithm>
#include <cctype>

#include "core/library/builtin_tactics.h"
#include "core/model/tactic_json.h"

namespace vantrel {

namespace {

constexpr double kAutosaveDelaySeconds = 0.6;
constexpr std::string_view kOwnKeyPrefix = "imported-";

Tactic firstBuiltIn(int format) {
    const auto& list = BuiltInTactics::library(format);
    return list.empty() ? BuiltInTactics::sample(format) : list.front();
}

std::string builtInKey(int format, int index) {
    return "builtin-" + std::to_string(format) + "-" + std::to_string(index);
}

std::string trimmed(const std::string& text) {
    // ASCII white space and line breaks, plus the ideographic space a Chinese input
    // method types.
    static const std::string ideographicSpace = "\xE3\x80\x80";
    std::string s = text;
    bool changed = true;
    while (changed && !s.empty()) {
        changed = false;
        while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.erase(0, 1), changed = true;
        while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.pop_back(), changed = true;
        if (s.rfind(ideographicSpace, 0) == 0) s.erase(0, 3), changed = true;
        if (s.size() >= 3 && s.compare(s.size() - 3, 3, ideographicSpace) == 0) s.erase(s.size() - 3), changed = true;
    }
    return s;
}

bool parseNonNegativeDecimal(const std::string& text, int& out) {
    if (text.empty() || text.size() > 9) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    out = std::stoi(text);
    return true;
}

}  // namespace

BoardStore::BoardStore(PreferenceStore& defaults, Platform& platform)
    : defaults_(defaults), platform_(platform), self_(std::make_shared<BoardStore*>(this)) {
    Batch batch(notifier_);
    tactic_ = firstBuiltIn(7);
    loadLibrary();
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

void BoardStore::setStatus(std::string text) {
    status_ = std::move(text);
    notifier_.mark(StoreChange::status);
}

void BoardStore::setStepIndex(int index) {
    stepIndex_ = index;
    notifier_.mark(StoreChange::board);
}

void BoardStore::setSelectedPlayer(std::optional<std::string> id) {
    selectedPlayer_ = std::move(id);
    if (selectedPlayer_ != inspectedPlayerID_) inspectedPlayerID_.reset();
    notifier_.mark(StoreChange::selection);
}

void BoardStore::setSelectedTacticKey(std::string key) {
    selectedTacticKey_ = std::move(key);
    defaults_.setString(kLastSelectedTacticKey, selectedTacticKey_);
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

void BoardStore::setShowRoutes(bool on) {
    Batch batch(notifier_);
    showRoutes_ = on;
    notifier_.mark(StoreChange::displayOptions);
}

void BoardStore::setReduceMotion(bool on) {
    Batch batch(notifier_);
    reduceMotion_ = on;
    notifier_.mark(StoreChange::displayOptions);
}

void BoardStore::setDraggingPlayer(bool on) {
    Batch batch(notifier_);
    draggingPlayer_ = on;
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

// --- Start-up ------------------------------------------------------------------------

void BoardStore::loadLibrary() {
    auto bytes = defaults_.data(kImportedTacticsKey);
    if (!bytes) return;
    auto decoded = TacticJson::decodeLibrary(*bytes);
    if (!decoded) {
        // The next save would overwrite the coach's tactics for good: keep the first
        // unreadable copy aside before anything is written over it.
        if (!defaults_.data(kUnreadableTacticsKey)) {
            defaults_.setData(kUnreadableTacticsKey, *bytes);
            setStatus("已保留无法读取的战术数据");
        }
        return;
    }
    importedTactics_ = std::move(decoded).value();
    for (auto& saved : importedTactics_) {
        if (!saved.highPressAdapted.value_or(false)) {
            saved.tactic = withOpponentHighPress(saved.tactic);
            saved.highPressAdapted = true;
        }
    }
    notifier_.mark(StoreChange::library);
    persistSavedTactics();
}

void BoardStore::restoreLastSelection() {
    auto key = defaults_.string(kLastSelectedTacticKey);
    if (!key) return;
    if (SavedTactic* saved = savedTactic(*key)) {
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

bool BoardStore::isOwnKey() const { return selectedTacticKey_.rfind(kOwnKeyPrefix, 0) == 0; }

SavedTactic* BoardStore::savedTactic(const std::string& key) {
    for (auto& saved : importedTactics_)
        if (saved.key() == key) return &saved;
    return nullptr;
}

void BoardStore::stopMotionForDeparture() {
    pause();
    cancelManualPass();
    flyingBall_.reset();
    passingFromID_.reset();
    flyingBallHeight_ = 0;
    notifier_.mark(StoreChange::animation);
}

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
    setSelectedTacticKey(std::move(key));
    setStatus(std::move(status));
}

void BoardStore::selectBuiltIn(int index, std::optional<int> format) {
    Batch batch(notifier_);
    if (!canLeaveStage([this, index, format] { selectBuiltIn(index, format); })) return;
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
    if (!canLeaveStage([this, chosen] { selectImported(chosen); })) return;
    if (SavedTactic* stored = savedTactic(chosen.key())) chosen = *stored;
    installTactic(chosen.tactic, chosen.key(), "已打开我的战术：" + chosen.tactic.name);
}

void BoardStore::newTactic(std::optional<std::string> name, std::optional<int> format) {
    Batch batch(notifier_);
    if (!canLeaveStage([this, name, format] { newTactic(name, format); })) return;
    flushAutosave();
    stopMotionForDeparture();

    const int chosenFormat = (format && (*format == 7 || *format == 11)) ? *format : tactic_.format;
    Tactic sample = BuiltInTactics::sample(chosenFormat);
    BoardStep step = sample.steps.front();
    step.id = Uuid::random();
    step.title = "1 · 初始站位";
    step.note = "拖动球员安排站位，点击左侧加号继续添加动作。";
    if (const Player* owner = step.owner()) step.ball = owner->position;

    std::string chosenName = name ? trimmed(*name) : std::string();
    if (chosenName.empty()) {
        int count = 0;
        for (const auto& saved : importedTactics_)
            if (saved.tactic.name.rfind("我的战术", 0) == 0) ++count;
        chosenName = "我的战术 " + std::to_string(count + 1);
    }

    SavedTactic saved{Uuid::random(), Tactic{chosenName, sample.format, {step}}, true};
    importedTactics_.push_back(saved);
    notifier_.mark(StoreChange::library);
    installTactic(saved.tactic, saved.key(), "已新建战术；修改阶段后，播放或切换时可选择保存");
    persistSavedTactics();
}

void BoardStore::saveCurrentTactic() {
    Batch batch(notifier_);
    if (isOwnKey()) {
        captureStageBaseline();
        flushAutosave();
        setStatus("已保存：" + tactic_.name);
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
    SavedTactic saved{Uuid::random(), copy, true};
    importedTactics_.push_back(saved);
    notifier_.mark(StoreChange::library);
    setSelectedTacticKey(saved.key());
    tactic_.name = name;
    notifier_.mark(StoreChange::board);
    updateStageChanges();
    scheduleAutosave();
    persistSavedTactics();
    setStatus("已保存到我的战术：" + name);
}

void BoardStore::setTacticName(std::string name) {
    Batch batch(notifier_);
    std::string chosen = trimmed(name);
    if (chosen.empty() || chosen == tactic_.name) return;
    tactic_.name = chosen;
    // The library row follows at once; the stored copy with the next autosave.
    if (SavedTactic* saved = savedTactic(selectedTacticKey_)) {
        saved->tactic.name = chosen;
        notifier_.mark(StoreChange::library);
    }
    recordEdit();
}

void BoardStore::scheduleAutosave() {
    if (!isOwnKey()) return;
    autosavePending_ = true;
    if (!autosaveTimer_) autosaveTimer_ = platform_.makeOneShotTimer();
    autosaveTimer_->cancel();
    std::weak_ptr<BoardStore*> weak = self_;
    autosaveTimer_->start(kAutosaveDelaySeconds, [weak] {
        if (auto self = weak.lock(); self && *self) (*self)->flushAutosave();
    });
}

void BoardStore::flushAutosave() {
    Batch batch(notifier_);
    if (autosaveTimer_) autosaveTimer_->cancel();
    SavedTactic* saved = savedTactic(selectedTacticKey_);
    if (!saved) {
        autosavePending_ = false;
        return;
    }
    Tactic copy = tactic_;
    // Edits that the user has not confirmed yet are never autosaved.
    if (hasStageChanges_ && stageBaseline_ && stepIndex_ >= 0 && stepIndex_ < static_cast<int>(copy.steps.size()) &&
        stageBaseline_->id == copy.steps[static_cast<std::size_t>(stepIndex_)].id)
        copy.steps[static_cast<std::size_t>(stepIndex_)] = *stageBaseline_;
    saved->tactic = std::move(copy);
    autosavePending_ = false;
    notifier_.mark(StoreChange::library);
    persistSavedTactics();
}

void BoardStore::persistSavedTactics() {
    auto encoded = TacticJson::encodeLibrary(importedTactics_);
    if (!encoded) return;   // the previous data stays
    defaults_.setData(kImportedTacticsKey, encoded.value());
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

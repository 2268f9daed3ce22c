// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/store/recovery_journal.h"

#include <algorithm>
#include <charconv>
#include <chrono>

#include "core/library/builtin_tactics.h"
#include "core/model/tactic_json.h"
#include "core/model/tactic_limits.h"
#include "core/store/board_store.h"

namespace vantrel {

namespace {

const Tactic* confirmedTactic(const std::string& key, const OwnTacticLibrary& library) {
    if (!OwnTacticLibrary::isOwnKey(key)) return RecoveryJournal::builtIn(key);
    const SavedTactic* saved = library.find(key);
    return saved ? &saved->tactic : nullptr;
}

// The import checks, with long texts cut as the library cuts them (the coach typed them).
// A baseline that fails them is dropped: the step's edits then count as confirmed.
std::optional<std::string> admitRecord(RecoveryRecord& record) {
    if (auto refused = admitTactic(record.tactic, LongText::cut)) return refused;
    const int last = static_cast<int>(record.tactic.steps.size()) - 1;
    record.stepIndex = std::clamp(record.stepIndex, 0, last);
    if (record.baseline) {
        Tactic alone{{}, record.tactic.format, {*record.baseline}};
        if (admitTactic(alone, LongText::cut)) record.baseline.reset();
        else record.baseline = std::move(alone.steps.front());
    }
    return std::nullopt;
}

}  // namespace

RecoveryJournal::RecoveryJournal(BoardStore& store, LibraryStorage& storage, Platform& platform)
    : store_(store), storage_(storage), platform_(platform) {
    subscription_ = store_.subscribe([this](StoreChange change) {
        if (any(change & (StoreChange::tactic | StoreChange::confirmation))) changed();
    });
}

const Tactic* RecoveryJournal::builtIn(std::string_view key) {
    constexpr std::string_view prefix = "builtin-";
    if (!key.starts_with(prefix)) return nullptr;
    key.remove_prefix(prefix.size());
    int format = 0;
    std::size_t index = 0;
    auto [formatEnd, formatError] = std::from_chars(key.data(), key.data() + key.size(), format);
    if (formatError != std::errc() || formatEnd == key.data() + key.size() || *formatEnd != '-') return nullptr;
    auto [indexEnd, indexError] = std::from_chars(formatEnd + 1, key.data() + key.size(), index);
    if (indexError != std::errc() || indexEnd != key.data() + key.size() || (format != 7 && format != 11)) return nullptr;
    const auto& list = BuiltInTactics::library(format);
    return index < list.size() ? &list[index] : nullptr;
}

bool RecoveryJournal::unconfirmed(const BoardStore& store) {
    if (store.hasStageChanges()) return true;
    // A built-in is never written: any difference from the list is unconfirmed.
    const Tactic* original = builtIn(store.selectedTacticKey());
    return original && !(*original == store.tactic());
}

std::optional<std::string> RecoveryJournal::open(const OwnTacticLibrary& library) {
    auto read = storage_.readRecovery();
    if (read && !read.value()) return std::nullopt;
    held_ = true;
    stored_ = true;
    std::string why;
    if (!read) {
        why = read.error();
    } else if (auto decoded = TacticJson::decodeRecovery(*read.value()); !decoded) {
        why = decoded.error();
    } else {
        RecoveryRecord record = std::move(decoded).value();
        if (auto refused = admitRecord(record)) {
            why = *refused;
        } else if (!confirmedTactic(record.key, library)) {
            why = "找不到原来的战术";
        } else {
            found_ = std::move(record);
            return std::nullopt;
        }
    }
    return keepAside("无法恢复上次未保存的修改（" + why + "）");
}

std::string RecoveryJournal::keepAside(const std::string& what) {
    found_.reset();
    // Not kept, it stays where it is, held: the next start offers it again.
    if (Status kept = storage_.keepRecoveryAside(); !kept) return "无法保留恢复数据：" + kept.error();
    held_ = false;
    stored_ = false;
    return what + "，已保留为无法读取的战术数据";
}

std::optional<RecoveryJournal::Restore> RecoveryJournal::resolve(bool restore, const OwnTacticLibrary& library,
                                                                 std::string& status) {
    if (!found_) return std::nullopt;
    const Tactic* confirmed = confirmedTactic(found_->key, library);
    if (!restore || !confirmed) {
        status = keepAside(restore ? "无法恢复上次未保存的修改（找不到原来的战术）" : "已放弃恢复");
        changed();   // edits made while the question showed are journaled from now on
        return std::nullopt;
    }
    Restore restored{*confirmed, std::nullopt, std::move(*found_)};
    found_.reset();
    const Uuid shown = restored.record.tactic.steps[static_cast<std::size_t>(restored.record.stepIndex)].id;
    for (const auto& step : restored.base.steps)
        if (step.id == shown) restored.baseline = step;
    // A built-in's step ids are new with every run, and a step added just before the kill
    // may not be in the library yet: the journal's own baseline stands in.
    if (!restored.baseline && restored.record.baseline && restored.record.baseline->id == shown)
        restored.baseline = restored.record.baseline;
    status = "已恢复未保存的修改：" + restored.record.tactic.name;
    return restored;
}

void RecoveryJournal::resume() {
    held_ = false;
    changed();
}

void RecoveryJournal::changed() {
    if (held_) return;
    if (!unconfirmed(store_)) return remove();
    if (!timer_) timer_ = platform_.makeOneShotTimer();
    if (!timer_->isRunning()) timer_->start(kDelaySeconds, [this] { write(); });
}

void RecoveryJournal::write() {
    using namespace std::chrono;
    RecoveryRecord record{store_.tactic(), store_.selectedTacticKey(), store_.stepIndex(), store_.stageBaseline(),
                          duration_cast<seconds>(system_clock::now().time_since_epoch()).count()};
    storage_.saveRecovery([record = std::move(record)]() -> std::optional<std::string> {
        auto text = TacticJson::encodeRecovery(record);
        // One that start-up could not read back is not worth the disk.
        if (!text || text.value().size() > TacticJson::kMaxDocumentBytes) return std::nullopt;
        return std::move(text).value();
    });
    stored_ = true;
}

void RecoveryJournal::remove() {
    if (timer_) timer_->cancel();
    if (stored_) storage_.removeRecovery();
    stored_ = false;
}

void RecoveryJournal::finish() {
    if (timer_ && timer_->isRunning()) {
        timer_->cancel();
        write();
    }
    storage_.flush();
}

void RecoveryJournal::end() {
    if (held_) return;
    remove();
}

}  // namespace vantrel

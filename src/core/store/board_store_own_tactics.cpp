// SPDX-License-Identifier: GPL-3.0-or-later
// Renaming, copying and deleting the coach's own tactics from the library; their earlier
// versions.
#include "core/library/builtin_tactics.h"
#include "core/model/tactic_limits.h"
#include "core/model/step_title.h"
#include "core/store/board_store.h"
#include "core/store/workspace_preferences.h"

namespace vantrel {

void BoardStore::renameOwnTactic(const std::string& key, std::string name) {
    Batch batch(notifier_);
    const SavedTactic* saved = library_.find(key);
    std::string chosen = trimmedText(name);
    TacticLimits::cutText(chosen, TacticLimits::kMaxNameCharacters);
    if (!saved || chosen.empty()) return;   // an empty name keeps the old one
    if (key == selectedTacticKey_) {
        setTacticName(chosen);   // the open tactic: an edit like any other
        flushAutosave();
    } else if (library_.rename(key, chosen)) {
        notifier_.mark(StoreChange::library);
        library_.persist();
    }
    setStatus("已重命名为：" + chosen);
}

std::optional<std::string> BoardStore::duplicateOwnTactic(const std::string& key) {
    Batch batch(notifier_);
    if (!library_.find(key)) return std::nullopt;
    if (key == selectedTacticKey_) flushAutosave();   // copy what the coach sees (confirmed)
    Tactic copy = library_.find(key)->tactic;
    copy.name += " 副本";
    SavedTactic added{Uuid::random(), std::move(copy), true};
    const std::string addedKey = added.key();
    const std::string addedName = added.tactic.name;
    if (Status appended = library_.append(std::move(added)); !appended) {
        setStatus("创建副本失败：" + appended.error());
        return std::nullopt;
    }
    notifier_.mark(StoreChange::library);
    library_.persist();
    setStatus("已创建副本：" + addedName);
    return addedKey;
}

void BoardStore::deleteOwnTactic(const std::string& key) {
    Batch batch(notifier_);
    // A question on screen holds a departure that may concern this tactic.
    if (stage_.showingQuestion()) return;
    const SavedTactic* saved = library_.find(key);
    if (!saved) return;
    const std::string name = saved->tactic.name;
    const int format = saved->tactic.format == 7 ? 7 : 11;
    const bool open = key == selectedTacticKey_;
    if (open) library_.autosaveDone();   // nothing of it is written again
    versions_.forget(saved->id);
    library_.remove(key);
    notifier_.mark(StoreChange::library);
    library_.persist();

    auto favorites = WorkspacePreferences::parseFavorites(
        defaults_.string(WorkspacePreferences::kFavoriteKeys).value_or(""));
    if (favorites.erase(key) > 0)
        defaults_.setString(WorkspacePreferences::kFavoriteKeys, WorkspacePreferences::formatFavorites(favorites));

    if (open) {
        // Its unsaved edits go with it: no save question.
        stopMotionForDeparture();
        const auto& list = BuiltInTactics::library(format);
        openTactic(list.empty() ? BuiltInTactics::sample(format) : list.front(),
                   "builtin-" + std::to_string(format) + "-0", "已删除：" + name);
        return;
    }
    setStatus("已删除：" + name);
}

const std::vector<TacticVersion>& BoardStore::tacticVersions(const std::string& key) {
    static const std::vector<TacticVersion> none;
    // A save still waiting for its timer belongs among them.
    if (key == selectedTacticKey_) flushAutosave();
    const SavedTactic* saved = library_.find(key);
    return saved ? versions_.of(saved->id) : none;
}

void BoardStore::restoreTacticVersion(const std::string& key, const Tactic& version) {
    Batch batch(notifier_);
    if (!library_.find(key)) return;
    const bool open = key == selectedTacticKey_;
    if (open) {
        const SavedTactic restoring{library_.find(key)->id, version, std::nullopt};
        if (!canLeaveStage({.kind = StageDeparture::Kind::restoreVersion, .saved = restoring})) return;
        flushAutosave();   // what the restore replaces is the tactic as confirmed now
    }
    const SavedTactic* saved = library_.find(key);
    if (!saved) return;
    // The version's content under the name the library shows now: a rename since is kept.
    Tactic restored = version;
    restored.name = saved->tactic.name;
    if (admitTactic(restored)) return setStatus("无法恢复历史版本：内容无效");
    if (restored != saved->tactic) {
        versions_.keep(saved->id, saved->tactic, true);
        library_.replaceTactic(key, restored);
        notifier_.mark(StoreChange::library);
    }
    std::string status = "已恢复历史版本：" + restored.name;
    if (open) {
        stopMotionForDeparture();
        openTactic(std::move(restored), key, std::move(status));
    } else {
        setStatus(std::move(status));
    }
    library_.persist();   // last: a failure replaces the status above
}

}  // namespace vantrel

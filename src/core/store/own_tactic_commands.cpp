// SPDX-License-Identifier: GPL-3.0-or-later
// Renaming, copying, labelling and deleting the coach's own tactics from the library;
// their earlier versions; the unreadable libraries kept aside.
#include "core/store/own_tactic_commands.h"

#include <algorithm>

#include "core/library/builtin_tactics.h"
#include "core/model/file_io.h"
#include "core/model/step_title.h"
#include "core/model/tactic_limits.h"
#include "core/store/board_store.h"
#include "core/store/workspace_preferences.h"

namespace vantrel {

void OwnTacticCommands::rename(const std::string& key, std::string name) {
    BoardStore::Batch batch(store_.notifier_);
    const SavedTactic* saved = store_.library_.find(key);
    std::string chosen = trimmedText(name);
    TacticLimits::cutText(chosen, TacticLimits::kMaxNameCharacters);
    if (!saved || chosen.empty()) return;   // an empty name keeps the old one
    if (key == store_.selectedTacticKey_) {
        store_.setTacticName(chosen);   // the open tactic: an edit like any other
        store_.flushAutosave();
    } else if (store_.library_.rename(key, chosen)) {
        store_.notifier_.mark(StoreChange::library);
        store_.library_.persist();
    }
    store_.setStatus("已重命名为：" + chosen);
}

std::optional<std::string> OwnTacticCommands::duplicate(const std::string& key) {
    BoardStore::Batch batch(store_.notifier_);
    if (!store_.library_.find(key)) return std::nullopt;
    if (key == store_.selectedTacticKey_) store_.flushAutosave();   // copy what the coach sees (confirmed)
    Tactic copy = store_.library_.find(key)->tactic;
    copy.name += " 副本";
    SavedTactic added{Uuid::random(), std::move(copy), true};
    const std::string addedKey = added.key();
    const std::string addedName = added.tactic.name;
    if (Status appended = store_.library_.append(std::move(added)); !appended) {
        store_.setStatus("创建副本失败：" + appended.error());
        return std::nullopt;
    }
    store_.notifier_.mark(StoreChange::library);
    store_.library_.persist();
    store_.setStatus("已创建副本：" + addedName);
    return addedKey;
}

void OwnTacticCommands::remove(const std::string& key) {
    BoardStore::Batch batch(store_.notifier_);
    // A question on screen holds a departure that may concern this tactic.
    if (store_.stage_.showingQuestion()) return;
    const SavedTactic* saved = store_.library_.find(key);
    if (!saved) return;
    const std::string name = saved->tactic.name;
    const int format = saved->tactic.format == 7 ? 7 : 11;
    const bool open = key == store_.selectedTacticKey_;
    if (open) store_.library_.autosaveDone();   // nothing of it is written again
    store_.versions_.forget(saved->id);
    store_.library_.remove(key);
    store_.notifier_.mark(StoreChange::library);
    store_.library_.persist();

    auto favorites = WorkspacePreferences::parseFavorites(
        store_.defaults_.string(WorkspacePreferences::kFavoriteKeys).value_or(""));
    if (favorites.erase(key) > 0)
        store_.defaults_.setString(WorkspacePreferences::kFavoriteKeys, WorkspacePreferences::formatFavorites(favorites));

    if (open) {
        // Its unsaved edits go with it: no save question.
        store_.stopMotionForDeparture();
        const auto& list = BuiltInTactics::library(format);
        store_.openTactic(list.empty() ? BuiltInTactics::sample(format) : list.front(),
                   "builtin-" + std::to_string(format) + "-0", "已删除：" + name);
        return;
    }
    store_.setStatus("已删除：" + name);
}

const std::vector<TacticVersion>& OwnTacticCommands::versions(const std::string& key) {
    static const std::vector<TacticVersion> none;
    // A save still waiting for its timer belongs among them.
    if (key == store_.selectedTacticKey_) store_.flushAutosave();
    const SavedTactic* saved = store_.library_.find(key);
    return saved ? store_.versions_.of(saved->id) : none;
}

void OwnTacticCommands::restoreVersion(const std::string& key, const Tactic& version) {
    BoardStore::Batch batch(store_.notifier_);
    if (!store_.library_.find(key)) return;
    const bool open = key == store_.selectedTacticKey_;
    if (open) {
        const SavedTactic restoring{store_.library_.find(key)->id, version, std::nullopt};
        if (!store_.canLeaveStage({.kind = StageDeparture::Kind::restoreVersion, .saved = restoring})) return;
        store_.flushAutosave();   // what the restore replaces is the tactic as confirmed now
    }
    const SavedTactic* saved = store_.library_.find(key);
    if (!saved) return;
    // The version's content under the name the library shows now: a rename since is kept.
    Tactic restored = version;
    restored.name = saved->tactic.name;
    if (admitTactic(restored)) return store_.setStatus("无法恢复历史版本：内容无效");
    if (restored != saved->tactic) {
        store_.versions_.keep(saved->id, saved->tactic, true);
        store_.library_.replaceTactic(key, restored);
        store_.notifier_.mark(StoreChange::library);
    }
    std::string status = "已恢复历史版本：" + restored.name;
    if (open) {
        store_.stopMotionForDeparture();
        store_.openTactic(std::move(restored), key, std::move(status));
    } else {
        store_.setStatus(std::move(status));
    }
    store_.library_.persist();   // last: a failure replaces the status above
}

void OwnTacticCommands::setTags(const std::string& key, const std::vector<std::string>& tags) {
    BoardStore::Batch batch(store_.notifier_);
    const SavedTactic* saved = store_.library_.find(key);
    if (!saved) return;
    std::vector<std::string> chosen;
    for (const auto& typed : tags) {
        std::string tag = trimmedText(typed);
        TacticLimits::cutText(tag, TacticLimits::kMaxTagCharacters);
        if (tag.empty() || std::find(chosen.begin(), chosen.end(), tag) != chosen.end()) continue;
        if (chosen.size() == TacticLimits::kMaxTags) break;
        chosen.push_back(std::move(tag));
    }
    if (chosen == saved->tactic.tags) return;
    // The stored tactic takes the tags alone: stage edits not yet confirmed stay unwritten.
    Tactic stored = saved->tactic;
    stored.tags = chosen;
    if (key == store_.selectedTacticKey_) {
        store_.tactic_.tags = chosen;
        store_.notifier_.mark(StoreChange::tactic);
    }
    store_.library_.replaceTactic(key, std::move(stored));
    store_.notifier_.mark(StoreChange::library);
    store_.library_.persist();
    std::string listed;
    for (const auto& tag : chosen) listed += (listed.empty() ? "" : "、") + tag;
    store_.setStatus(chosen.empty() ? std::string("已清除标签") : "已设置标签：" + listed);
}

int OwnTacticCommands::unreadableCount() { return store_.library_.storage().unreadableCount(); }

void OwnTacticCommands::exportUnreadable(int index) {
    BoardStore::Batch batch(store_.notifier_);
    auto bytes = store_.library_.storage().unreadableCopy(index);
    if (!bytes) return;
    auto path = store_.platform_.chooseJsonFileToSave("无法读取的战术-" + std::to_string(index + 1) + ".json");
    if (!path) return;
    if (Status written = writeFileAtomically(*path, *bytes); !written) {
        store_.setStatus("导出失败：" + written.error());
        return;
    }
    store_.setStatus("已导出：" + path->filename().string());
}

}  // namespace vantrel

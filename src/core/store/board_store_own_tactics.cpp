// SPDX-License-Identifier: GPL-3.0-or-later
// Renaming, copying and deleting the coach's own tactics from the library.
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

}  // namespace vantrel

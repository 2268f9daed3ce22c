// SPDX-License-Identifier: GPL-3.0-or-later
// The coach's tags on an own tactic.
#include <algorithm>

#include "core/model/step_title.h"
#include "core/model/tactic_limits.h"
#include "core/store/board_store.h"

namespace vantrel {

void BoardStore::setOwnTacticTags(const std::string& key, const std::vector<std::string>& tags) {
    Batch batch(notifier_);
    const SavedTactic* saved = library_.find(key);
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
    if (key == selectedTacticKey_) {
        tactic_.tags = chosen;
        notifier_.mark(StoreChange::tactic);
    }
    library_.replaceTactic(key, std::move(stored));
    notifier_.mark(StoreChange::library);
    library_.persist();
    std::string listed;
    for (const auto& tag : chosen) listed += (listed.empty() ? "" : "、") + tag;
    setStatus(chosen.empty() ? std::string("已清除标签") : "已设置标签：" + listed);
}

}  // namespace vantrel

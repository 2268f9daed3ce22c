// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/store/tactic_versions.h"

#include <algorithm>

#include "core/model/tactic_json.h"
#include "core/model/tactic_limits.h"

namespace vantrel {

std::vector<TacticVersion>& TacticVersions::load(const std::string& id) {
    auto found = loaded_.find(id);
    if (found != loaded_.end()) return found->second;
    std::vector<TacticVersion> list;
    if (auto stored = storage_.readVersions(id); stored && stored.value()) {
        if (auto decoded = TacticJson::decodeVersions(*stored.value())) {
            list = std::move(decoded).value();
            // Versions are shown and restored like imported tactics: the same checks.
            std::erase_if(list, [](TacticVersion& v) { return static_cast<bool>(admitTactic(v.tactic)); });
            std::stable_sort(list.begin(), list.end(),
                             [](const TacticVersion& a, const TacticVersion& b) { return a.savedAt > b.savedAt; });
        }
    }
    prune(list);
    return loaded_.emplace(id, std::move(list)).first->second;
}

void TacticVersions::prune(std::vector<TacticVersion>& list) const {
    const std::int64_t oldest = platform_.wallClockSeconds() - kMaxAgeSeconds;
    std::erase_if(list, [oldest](const TacticVersion& v) { return v.savedAt < oldest; });
    if (list.size() > kMaxVersions) list.resize(kMaxVersions);
}

const std::vector<TacticVersion>& TacticVersions::of(const Uuid& tacticID) {
    auto& list = load(tacticID.string());
    prune(list);
    return list;
}

void TacticVersions::keep(const Uuid& tacticID, Tactic replaced, bool always) {
    const std::string id = tacticID.string();
    auto& list = load(id);
    const std::int64_t now = platform_.wallClockSeconds();
    if (!always && !list.empty() && now - list.front().savedAt < kSessionSeconds) return;
    list.insert(list.begin(), TacticVersion{now, std::move(replaced)});
    prune(list);
    // A tactic the library could store always encodes; should one not, the versions
    // already stored stay as they are.
    if (auto text = TacticJson::encodeVersions(list)) storage_.saveVersions(id, std::move(text).value());
}

void TacticVersions::forget(const Uuid& tacticID) {
    const std::string id = tacticID.string();
    loaded_.erase(id);
    storage_.saveVersions(id, std::nullopt);
}

}  // namespace vantrel

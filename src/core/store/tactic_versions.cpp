// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/store/tactic_versions.h"

#include <algorithm>

#include "core/model/tactic_json.h"
#include "core/model/tactic_limits.h"

namespace vantrel {

namespace {

void prune(std::vector<TacticVersion>& list, std::int64_t oldest) {
    std::erase_if(list, [oldest](const TacticVersion& v) { return v.savedAt < oldest; });
    if (list.size() > TacticVersions::kMaxVersions) list.resize(TacticVersions::kMaxVersions);
}

}  // namespace

std::vector<TacticVersion> TacticVersions::decode(const std::optional<std::string>& stored, std::int64_t oldest) {
    std::vector<TacticVersion> list;
    if (!stored) return list;
    if (auto decoded = TacticJson::decodeVersions(*stored)) list = std::move(decoded).value();
    // Versions are shown and restored like imported tactics: the same checks.
    std::erase_if(list, [](TacticVersion& v) { return static_cast<bool>(admitTactic(v.tactic)); });
    std::stable_sort(list.begin(), list.end(),
                     [](const TacticVersion& a, const TacticVersion& b) { return a.savedAt > b.savedAt; });
    prune(list, oldest);
    return list;
}

std::vector<TacticVersion>& TacticVersions::load(const std::string& id) {
    auto found = loaded_.find(id);
    if (found != loaded_.end()) return found->second;
    auto stored = storage_.readVersions(id);
    const std::int64_t oldest = platform_.wallClockSeconds() - kMaxAgeSeconds;
    return loaded_.emplace(id, decode(stored ? stored.value() : std::nullopt, oldest)).first->second;
}

const std::vector<TacticVersion>& TacticVersions::of(const Uuid& tacticID) {
    auto& list = load(tacticID.string());
    prune(list, platform_.wallClockSeconds() - kMaxAgeSeconds);
    return list;
}

void TacticVersions::keep(const Uuid& tacticID, Tactic replaced, bool always) {
    const std::string id = tacticID.string();
    const std::int64_t now = platform_.wallClockSeconds();
    std::int64_t& last = lastKept_[id];
    const auto listed = loaded_.find(id);
    if (listed != loaded_.end() && !listed->second.empty()) last = std::max(last, listed->second.front().savedAt);
    if (!always && last != 0 && now - last < kSessionSeconds) return;
    last = now;

    TacticVersion version{now, std::move(replaced)};
    const std::int64_t oldest = now - kMaxAgeSeconds;
    if (listed != loaded_.end()) {
        listed->second.insert(listed->second.begin(), version);
        prune(listed->second, oldest);
    }
    storage_.updateVersions(id, [version = std::move(version), oldest](std::optional<std::string> stored) {
        std::vector<TacticVersion> list = decode(stored, oldest);
        list.insert(list.begin(), std::move(version));
        prune(list, oldest);
        auto text = TacticJson::encodeVersions(list);
        // A tactic the library could store always encodes; should one not, what was
        // stored stays.
        return text ? std::optional<std::string>(std::move(text).value()) : stored;
    });
}

void TacticVersions::forget(const Uuid& tacticID) {
    const std::string id = tacticID.string();
    loaded_.erase(id);
    lastKept_.erase(id);
    storage_.updateVersions(id, [](std::optional<std::string>) { return std::optional<std::string>(); });
}

}  // namespace vantrel

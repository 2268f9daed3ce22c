#include "core/store/own_tactic_library.h"

#include "core/library/pressing.h"
#include "core/model/tactic_json.h"

namespace vantrel {

OwnTacticLibrary::OwnTacticLibrary(PreferenceStore& defaults, Platform& platform)
    : defaults_(defaults), platform_(platform) {}

bool OwnTacticLibrary::isOwnKey(std::string_view key) { return key.starts_with("imported-"); }

OwnTacticLibrary::Loaded OwnTacticLibrary::load() {
    auto bytes = defaults_.data(kImportedTacticsKey);
    if (!bytes) return Loaded::nothing;
    auto decoded = TacticJson::decodeLibrary(*bytes);
    if (!decoded) {
        // The next save would overwrite the coach's tactics for good: keep the first
        // unreadable copy aside before anything is written over it.
        if (defaults_.data(kUnreadableTacticsKey)) return Loaded::nothing;
        defaults_.setData(kUnreadableTacticsKey, *bytes);
        return Loaded::unreadableKept;
    }
    tactics_ = std::move(decoded).value();
    for (auto& saved : tactics_) {
        if (!saved.highPressAdapted.value_or(false)) {
            saved.tactic = withOpponentHighPress(saved.tactic);
            saved.highPressAdapted = true;
        }
    }
    persist();
    return Loaded::tactics;
}

SavedTactic* OwnTacticLibrary::find(const std::string& key) {
    for (auto& saved : tactics_)
        if (saved.key() == key) return &saved;
    return nullptr;
}

const SavedTactic& OwnTacticLibrary::append(SavedTactic saved) {
    tactics_.push_back(std::move(saved));
    return tactics_.back();
}

bool OwnTacticLibrary::remove(const std::string& key) {
    return std::erase_if(tactics_, [&](const SavedTactic& saved) { return saved.key() == key; }) > 0;
}

void OwnTacticLibrary::persist() const {
    auto encoded = TacticJson::encodeLibrary(tactics_);
    if (!encoded) return;   // the previous data stays
    defaults_.setData(kImportedTacticsKey, encoded.value());
}

std::string OwnTacticLibrary::untitledName() const {
    int count = 0;
    for (const auto& saved : tactics_)
        if (saved.tactic.name.rfind("我的战术", 0) == 0) ++count;
    return "我的战术 " + std::to_string(count + 1);
}

void OwnTacticLibrary::scheduleAutosave(std::function<void()> flush) {
    pending_ = true;
    if (!timer_) timer_ = platform_.makeOneShotTimer();
    timer_->cancel();
    timer_->start(kAutosaveDelaySeconds, std::move(flush));
}

void OwnTacticLibrary::autosaveDone() {
    if (timer_) timer_->cancel();
    pending_ = false;
}

}  // namespace vantrel

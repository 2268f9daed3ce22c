// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/store/own_tactic_library.h"

#include <algorithm>
#include <unordered_set>

#include "core/library/pressing.h"
#include "core/model/tactic_json.h"
#include "core/model/tactic_limits.h"

namespace vantrel {

namespace {

bool isJsonSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// The elements of a JSON array document as text, white space outside strings dropped.
// Only called on text that decoded as an array, so the scan needs no error handling
// beyond giving up.
std::optional<std::vector<std::string>> arrayElements(std::string_view text) {
    std::vector<std::string> elements;
    std::string current;
    int depth = 0;
    bool inString = false;
    bool escaped = false;
    for (char c : text) {
        if (inString) {
            current += c;
            if (escaped)
                escaped = false;
            else if (c == '\\')
                escaped = true;
            else if (c == '"')
                inString = false;
            continue;
        }
        if (isJsonSpace(c)) continue;
        if (depth == 0) {
            if (c != '[') return std::nullopt;
            depth = 1;
            continue;
        }
        if (depth == 1 && (c == ',' || c == ']')) {
            if (!current.empty()) elements.push_back(std::move(current));
            current.clear();
            if (c == ']') depth = 0;
            continue;
        }
        if (c == '"') inString = true;
        if (c == '[' || c == '{') ++depth;
        if (c == ']' || c == '}') --depth;
        current += c;
    }
    return elements;
}

constexpr std::string_view kTooLarge = "我的战术超过 64 MB，启动时将无法读取";

}  // namespace

OwnTacticLibrary::OwnTacticLibrary(PreferenceStore& defaults, Platform& platform)
    : platform_(platform),
      ownStorage_(platform.libraryStorage() ? nullptr : std::make_unique<PreferenceLibraryStorage>(defaults)),
      storage_(platform.libraryStorage() ? *platform.libraryStorage() : *ownStorage_),
      self_(std::make_shared<OwnTacticLibrary*>(this)) {}

OwnTacticLibrary::~OwnTacticLibrary() { *self_ = nullptr; }

bool OwnTacticLibrary::isOwnKey(std::string_view key) { return key.starts_with("imported-"); }

OwnTacticLibrary::Loaded OwnTacticLibrary::load() {
    auto read = storage_.read();
    if (!read) {
        blocked_ = "无法读取我的战术（" + read.error() + "），暂不写入";
        return {Loaded::Kind::unreadableNotKept, read.error(), {}};
    }
    const std::optional<std::string>& bytes = read.value();
    if (!bytes) return storage_.movedAsideOnRead() ? Loaded{Loaded::Kind::unreadableKept, {}, {}} : Loaded{};
    std::vector<std::size_t> listedSteps;
    auto decoded = TacticJson::decodeLibrary(*bytes, &listedSteps);
    if (!decoded) {
        // The next save would overwrite the coach's tactics for good: keep this copy aside
        // first, unless it is the one kept last time.
        auto newest = storage_.unreadableCopy(0);
        if (newest && *newest == *bytes) return {Loaded::Kind::unreadableKept, {}, {}};
        Status kept = storage_.keepUnreadable(*bytes);
        if (!kept) {
            blocked_ = "无法读取的战术数据未能保留（" + kept.error() + "），暂不写入";
            return {Loaded::Kind::unreadableNotKept, kept.error(), {}};
        }
        return {Loaded::Kind::unreadableKept, {}, {}};
    }
    tactics_ = std::move(decoded).value();
    ++revision_;
    auto elements = arrayElements(*bytes);
    if (elements && elements->size() != tactics_.size()) elements.reset();

    Loaded loaded{Loaded::Kind::tactics, {}, {}};
    if (auto setAside = admitEntries(elements, listedSteps); !setAside.empty()) {
        if (!setAside.kept) {
            blocked_ = "无法保留不符合要求的战术（" + setAside.reason + "），暂不写入";
            loaded.notice = *blocked_;
        } else {
            loaded.notice = "已保留 " + std::to_string(setAside.count) + " 个无法打开的战术：" + setAside.reason;
        }
    }

    std::unordered_set<std::string> ids;
    for (std::size_t i = 0; i < tactics_.size(); ++i) {
        SavedTactic& saved = tactics_[i];
        bool changed = false;
        if (!saved.highPressAdapted.value_or(false)) {
            saved.tactic = withOpponentHighPress(saved.tactic);
            saved.highPressAdapted = true;
            changed = true;
        }
        // Two entries with one id would make the second unreachable and send its edits
        // to the first.
        while (!ids.insert(saved.id.string()).second) {
            saved.id = Uuid::random();
            changed = true;
        }
        if (changed || (elements && (*elements)[i].empty()))
            dirty_ = true;
        else if (elements)
            encoded_[saved.id] = std::make_shared<const std::string>(std::move((*elements)[i]));
    }
    persist();
    return loaded;
}

OwnTacticLibrary::SetAside OwnTacticLibrary::admitEntries(std::optional<std::vector<std::string>>& elements,
                                                           const std::vector<std::size_t>& listedSteps) {
    // Each entry passes the import checks, or it is kept aside (one document of all such
    // entries, exportable with the unreadable copies) and leaves the list: one tactic that
    // start-up cannot show must not cost the coach the others, nor every start.
    SetAside aside;
    std::vector<std::string> asideTexts;
    std::vector<SavedTactic> asideEntries;
    std::vector<SavedTactic> admitted;
    std::vector<std::string> admittedTexts;
    admitted.reserve(tactics_.size());
    // An entry whose steps were read only in part can be kept aside only as its text.
    bool partlyRead = false;
    for (std::size_t i = 0; i < tactics_.size(); ++i) {
        SavedTactic& saved = tactics_[i];
        Tactic checked = saved.tactic;
        const std::size_t listed = i < listedSteps.size() ? listedSteps[i] : 0;
        if (auto refused = admitTactic(checked, LongText::cut, listed)) {
            if (aside.reason.empty()) aside.reason = "“" + saved.tactic.name.substr(0, 60) + "”" + *refused;
            partlyRead = partlyRead || listed > saved.tactic.steps.size();
            ++aside.count;
            if (elements) asideTexts.push_back(std::move((*elements)[i]));
            asideEntries.push_back(std::move(saved));
            continue;
        }
        // Positions pulled onto the pitch change the entry: its stored text is stale, and
        // an empty text makes the entry encoded and written afresh.
        const bool clamped = !(checked == saved.tactic);
        if (clamped) saved.tactic = std::move(checked), dirty_ = true;
        admittedTexts.push_back(elements && !clamped ? std::move((*elements)[i]) : std::string());
        admitted.push_back(std::move(saved));
    }
    tactics_ = std::move(admitted);
    ++revision_;
    if (elements) *elements = std::move(admittedTexts);
    if (aside.count == 0) return aside;

    std::string document;
    if (elements) {
        LibraryDocument kept;
        for (auto& text : asideTexts) kept.entries.push_back(std::make_shared<const std::string>(std::move(text)));
        document = kept.text();
    } else if (!partlyRead) {
        if (auto encoded = TacticJson::encodeLibrary(asideEntries)) document = std::move(encoded).value();
    }
    const Status kept = document.empty() ? Status::failure("无法编码") : storage_.keepUnreadable(document);
    aside.kept = kept.ok();
    if (!aside.kept) aside.reason = kept.error();
    dirty_ = true;
    return aside;
}

const SavedTactic* OwnTacticLibrary::find(std::string_view key) const {
    const auto id = SavedTactic::idOfKey(key);
    if (!id) return nullptr;
    for (const auto& saved : tactics_)
        if (saved.id == *id) return &saved;
    return nullptr;
}

std::shared_ptr<const std::string> OwnTacticLibrary::encoded(const SavedTactic& saved) {
    const Uuid& id = saved.id;
    if (auto it = encoded_.find(id); it != encoded_.end()) return it->second;
    // One entry's text is the one-element array's text without its brackets.
    auto text = TacticJson::encodeLibrary({saved});
    if (!text || text.value().size() < 2) return nullptr;
    auto entry = std::make_shared<const std::string>(text.value().substr(1, text.value().size() - 2));
    encoded_[id] = entry;
    return entry;
}

Status OwnTacticLibrary::append(SavedTactic saved) {
    if (!saved.changedAt) saved.changedAt = platform_.wallClockSeconds();
    auto entry = encoded(saved);
    if (entry) {
        std::size_t size = entry->size() + 2;
        for (const auto& other : tactics_) {
            auto text = encoded(other);
            size += (text ? text->size() : 0) + 1;
        }
        if (size > TacticJson::kMaxDocumentBytes) {
            encoded_.erase(saved.id);
            return Status::failure(std::string(kTooLarge));
        }
    }
    tactics_.push_back(std::move(saved));
    dirty_ = true;
    ++revision_;
    return success();
}

bool OwnTacticLibrary::replaceTactic(std::string_view key, Tactic tactic) {
    const auto id = SavedTactic::idOfKey(key);
    for (auto& saved : tactics_) {
        if (!id || saved.id != *id) continue;
        if (saved.tactic == tactic) return false;
        saved.tactic = std::move(tactic);
        saved.changedAt = platform_.wallClockSeconds();
        encoded_.erase(saved.id);
        dirty_ = true;
        ++revision_;
        return true;
    }
    return false;
}

bool OwnTacticLibrary::rename(std::string_view key, const std::string& name) {
    const auto id = SavedTactic::idOfKey(key);
    for (auto& saved : tactics_) {
        if (!id || saved.id != *id) continue;
        if (saved.tactic.name == name) return false;
        saved.tactic.name = name;
        saved.changedAt = platform_.wallClockSeconds();
        encoded_.erase(saved.id);
        dirty_ = true;
        ++revision_;
        return true;
    }
    return false;
}

bool OwnTacticLibrary::remove(std::string_view key) {
    // Its cached text leaves with the next write, which prunes the cache to the list.
    const auto id = SavedTactic::idOfKey(key);
    if (!id) return false;
    const auto removed = std::erase_if(tactics_, [&](const SavedTactic& saved) { return saved.id == *id; });
    if (removed > 0) dirty_ = true, ++revision_;
    return removed > 0;
}

Status OwnTacticLibrary::persist() {
    if (!dirty_) return success();
    if (blocked_) {
        failure_ = blocked_;
        if (listener_) listener_();
        return Status::failure(*failure_);
    }
    LibraryDocument document;
    document.entries.reserve(tactics_.size());
    for (const auto& saved : tactics_) {
        auto entry = encoded(saved);
        if (!entry) return success();   // cannot be encoded: the previous data stays
        document.entries.push_back(std::move(entry));
    }
    if (encoded_.size() > tactics_.size()) {
        // Entries that left the list leave the cache too.
        std::unordered_map<Uuid, std::shared_ptr<const std::string>, UuidHash> kept;
        for (std::size_t i = 0; i < tactics_.size(); ++i) kept[tactics_[i].id] = document.entries[i];
        encoded_ = std::move(kept);
    }
    if (document.byteSize() > TacticJson::kMaxDocumentBytes) {
        failure_ = std::string(kTooLarge);
        if (listener_) listener_();
        return Status::failure(*failure_);
    }
    dirty_ = false;
    writing_ = true;
    const std::uint64_t generation = ++generation_;
    std::weak_ptr<OwnTacticLibrary*> weak = self_;
    storage_.save(std::move(document), [weak, generation](Status outcome) {
        if (auto self = weak.lock(); self && *self) (*self)->finished(generation, outcome);
    });
    return success();
}

void OwnTacticLibrary::finished(std::uint64_t generation, const Status& outcome) {
    // Only the newest write speaks; an older one was superseded before it could matter.
    if (generation != generation_) return;
    writing_ = false;
    if (outcome) {
        recovered_ = recovered_ || failure_.has_value();
        failure_.reset();
        retryDelay_ = 0;
        if (retryTimer_) retryTimer_->cancel();
    } else {
        failure_ = outcome.error();
        dirty_ = true;   // still unwritten: the next edit or the retry writes it again
        retryDelay_ = retryDelay_ == 0 ? kFirstRetrySeconds : std::min(2 * retryDelay_, kLongestRetrySeconds);
        if (!retryTimer_) retryTimer_ = platform_.makeOneShotTimer();
        std::weak_ptr<OwnTacticLibrary*> weak = self_;
        retryTimer_->start(retryDelay_, [weak] {
            if (auto self = weak.lock(); self && *self && !(*self)->writing_) (*self)->persist();
        });
    }
    if (listener_) listener_();
}

Status OwnTacticLibrary::finishWrites() {
    if (!writing_) return failure_ ? Status::failure(*failure_) : success();
    Status outcome = storage_.flush();
    finished(generation_, outcome);
    return outcome;
}

std::string OwnTacticLibrary::untitledName() const {
    int count = 0;
    for (const auto& saved : tactics_)
        if (saved.tactic.name.rfind("我的战术", 0) == 0) ++count;
    return "我的战术 " + std::to_string(count + 1);
}

void OwnTacticLibrary::scheduleAutosave(std::function<void()> flush) {
    timerArmed_ = true;
    if (!timer_) timer_ = platform_.makeOneShotTimer();
    timer_->cancel();
    timer_->start(kAutosaveDelaySeconds, std::move(flush));
}

void OwnTacticLibrary::autosaveDone() {
    if (timer_) timer_->cancel();
    timerArmed_ = false;
}

}  // namespace vantrel

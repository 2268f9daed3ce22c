// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/platform/library_storage.h"

namespace vantrel {

std::size_t LibraryDocument::byteSize() const {
    std::size_t size = 2 + (entries.empty() ? 0 : entries.size() - 1);
    for (const auto& entry : entries) size += entry->size();
    return size;
}

std::string LibraryDocument::text() const {
    std::string out;
    out.reserve(byteSize());
    out += '[';
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (i) out += ',';
        out += *entries[i];
    }
    out += ']';
    return out;
}

std::string PreferenceLibraryStorage::unreadableKey(int index) {
    std::string key(kUnreadableTacticsKey);
    if (index > 0) {
        key += '.';
        key += std::to_string(index + 1);
    }
    return key;
}

Result<std::optional<std::string>> PreferenceLibraryStorage::read() { return defaults_.data(kImportedTacticsKey); }

void PreferenceLibraryStorage::save(LibraryDocument document, std::function<void(Status)> done) {
    last_ = defaults_.setData(kImportedTacticsKey, document.text());
    if (done) done(last_);
}

Status PreferenceLibraryStorage::keepUnreadable(std::string_view bytes) {
    // Older copies move down one place first; a failure part-way leaves at worst one copy
    // twice, never one lost.
    for (int i = kKeptUnreadableCopies - 1; i > 0; --i) {
        auto older = defaults_.data(unreadableKey(i - 1));
        if (!older) continue;
        if (Status moved = defaults_.setData(unreadableKey(i), *older); !moved) return moved;
    }
    return defaults_.setData(unreadableKey(0), bytes);
}

int PreferenceLibraryStorage::unreadableCount() {
    int count = 0;
    while (count < kKeptUnreadableCopies && defaults_.data(unreadableKey(count))) ++count;
    return count;
}

std::optional<std::string> PreferenceLibraryStorage::unreadableCopy(int index) {
    if (index < 0 || index >= kKeptUnreadableCopies) return std::nullopt;
    return defaults_.data(unreadableKey(index));
}

void PreferenceLibraryStorage::saveRecovery(std::function<std::optional<std::string>()> encode) {
    if (auto text = encode()) defaults_.setData(kRecoveryKey, *text);
}

Status PreferenceLibraryStorage::keepRecoveryAside() {
    auto journal = defaults_.data(kRecoveryKey);
    if (!journal) return success();
    if (Status kept = keepUnreadable(*journal); !kept) return kept;
    return defaults_.remove(kRecoveryKey);
}

Result<std::optional<std::string>> PreferenceLibraryStorage::readVersions(const std::string& tacticID) {
    return defaults_.data(std::string(kVersionsKeyPrefix) + tacticID);
}

void PreferenceLibraryStorage::updateVersions(const std::string& tacticID, VersionsUpdate update) {
    const std::string key = std::string(kVersionsKeyPrefix) + tacticID;
    if (auto text = update(defaults_.data(key))) defaults_.setData(key, *text);
    else defaults_.remove(key);
}

}  // namespace vantrel

// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/platform/memory_preference_store.h"

namespace vantrel {

std::optional<std::string> MemoryPreferenceStore::string(std::string_view key) const {
    auto it = values_.find(key);
    if (it == values_.end()) return std::nullopt;
    if (auto s = std::get_if<std::string>(&it->second)) return *s;
    return std::nullopt;
}

std::optional<bool> MemoryPreferenceStore::boolean(std::string_view key) const {
    auto it = values_.find(key);
    if (it == values_.end()) return std::nullopt;
    if (auto b = std::get_if<bool>(&it->second)) return *b;
    return std::nullopt;
}

std::optional<std::string> MemoryPreferenceStore::data(std::string_view key) const {
    auto it = values_.find(key);
    if (it == values_.end()) return std::nullopt;
    if (auto d = std::get_if<std::vector<char>>(&it->second)) return std::string(d->begin(), d->end());
    return std::nullopt;
}

Status MemoryPreferenceStore::setString(std::string_view key, std::string_view value) {
    if (failure_) return Status::failure(*failure_);
    values_[std::string(key)] = std::string(value);
    ++writes_[std::string(key)];
    return success();
}

Status MemoryPreferenceStore::setBoolean(std::string_view key, bool value) {
    if (failure_) return Status::failure(*failure_);
    values_[std::string(key)] = value;
    ++writes_[std::string(key)];
    return success();
}

Status MemoryPreferenceStore::setData(std::string_view key, std::string_view bytes) {
    if (failure_) return Status::failure(*failure_);
    values_[std::string(key)] = std::vector<char>(bytes.begin(), bytes.end());
    ++writes_[std::string(key)];
    return success();
}

Status MemoryPreferenceStore::remove(std::string_view key) {
    if (failure_) return Status::failure(*failure_);
    values_.erase(std::string(key));
    return success();
}

int MemoryPreferenceStore::writes(std::string_view key) const {
    auto it = writes_.find(key);
    return it == writes_.end() ? 0 : it->second;
}

}  // namespace vantrel

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <map>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "core/platform/platform.h"

namespace vantrel {

// Preferences held in memory: for tests, and for runs that must not touch the user's.
class MemoryPreferenceStore : public PreferenceStore {
public:
    using Value = std::variant<std::string, bool, std::vector<char>>;

    std::optional<std::string> string(std::string_view key) const override;
    std::optional<bool> boolean(std::string_view key) const override;
    std::optional<std::string> data(std::string_view key) const override;
    Status setString(std::string_view key, std::string_view value) override;
    Status setBoolean(std::string_view key, bool value) override;
    Status setData(std::string_view key, std::string_view bytes) override;
    Status remove(std::string_view key) override;

    // While set, every write fails with this reason and changes nothing (a full disk).
    void failWrites(std::optional<std::string> reason) { failure_ = std::move(reason); }
    bool contains(std::string_view key) const { return values_.count(std::string(key)) != 0; }
    // How many times each key was written; tests count the autosave's writes with it.
    int writes(std::string_view key) const;

private:
    std::map<std::string, Value, std::less<>> values_;
    std::map<std::string, int, std::less<>> writes_;
    std::optional<std::string> failure_;
};

}  // namespace vantrel

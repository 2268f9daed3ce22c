// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>

#include "core/platform/platform.h"

class QSettings;
class QString;
class QVariant;

namespace vantrel {

// The user's preferences in the desktop's per-user settings (QSettings; on Linux
// ~/.config/Vantrel/Vantrel.conf).
//
// Every value keeps its type across a restart, so a value stored under another type
// reads as absent:
//   - strings are stored as UTF-8 text; the two words "true" and "false" and text
//     beginning with "@" get one extra leading "@", so they can never read back as a
//     Boolean or as one of QSettings' own "@Type(…)" values;
//   - Booleans are stored as the words true and false;
//   - data is stored as bytes (@ByteArray), exact for any byte, NUL included.
// Keys are used as given, dots included ("Vantrel.importedTactics" stays one key in the
// [General] section); "/", "\" and "%" are percent-escaped, so no key becomes a group.
//
// Each write reaches the disk at once (QSettings replaces the file atomically) and says
// whether it did: a read-only folder or a full disk fails it with a readable reason.
class SettingsPreferenceStore final : public PreferenceStore {
public:
    // The standard store: organisation "Vantrel", application "Vantrel", user scope.
    SettingsPreferenceStore();
    // A store over `settings` (tests give one on a temporary INI file).
    explicit SettingsPreferenceStore(std::unique_ptr<QSettings> settings);
    ~SettingsPreferenceStore() override;

    SettingsPreferenceStore(const SettingsPreferenceStore&) = delete;
    SettingsPreferenceStore& operator=(const SettingsPreferenceStore&) = delete;

    std::optional<std::string> string(std::string_view key) const override;
    std::optional<bool> boolean(std::string_view key) const override;
    std::optional<std::string> data(std::string_view key) const override;
    Status setString(std::string_view key, std::string_view value) override;
    Status setBoolean(std::string_view key, bool value) override;
    Status setData(std::string_view key, std::string_view bytes) override;
    Status remove(std::string_view key) override;

    QSettings& settings() { return *settings_; }

private:
    QVariant read(std::string_view key) const;
    Status write(std::string_view key, const QVariant& value);
    Status synced();

    std::unique_ptr<QSettings> settings_;
};

}  // namespace vantrel

#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/model/board.h"
#include "core/platform/platform.h"

namespace vantrel {

// Preference keys of the store.
inline constexpr std::string_view kImportedTacticsKey = "Vantrel.importedTactics";
inline constexpr std::string_view kUnreadableTacticsKey = "Vantrel.importedTactics.unreadable";
inline constexpr std::string_view kLastSelectedTacticKey = "Vantrel.lastSelectedTactic";

// The coach's own tactics ("我的战术") as kept in the preferences, and the one-shot timer
// that writes them 0.6 s after the last edit, so a burst of edits writes once.
class OwnTacticLibrary {
public:
    static constexpr double kAutosaveDelaySeconds = 0.6;

    OwnTacticLibrary(PreferenceStore& defaults, Platform& platform);

    // A library key names an own tactic exactly when it has this prefix.
    static bool isOwnKey(std::string_view key);

    enum class Loaded { nothing, tactics, unreadableKept };
    // Reads the stored list; entries not yet adapted get the opponents' high press once
    // and the list is written back. Unreadable data is kept aside (once) before anything
    // can overwrite it, and the list stays empty.
    Loaded load();

    const std::vector<SavedTactic>& tactics() const { return tactics_; }
    SavedTactic* find(const std::string& key);
    // Appends without writing; persist() writes.
    const SavedTactic& append(SavedTactic saved);
    // Removes the entry with `key` without writing; false when there is none.
    bool remove(const std::string& key);
    // Writes the list; when encoding fails the previous data stays.
    void persist() const;
    // "我的战术 N", N one more than the own tactics named so.
    std::string untitledName() const;

    bool autosavePending() const { return pending_; }
    // (Re)starts the autosave timer; `flush` runs when it fires.
    void scheduleAutosave(std::function<void()> flush);
    // Stops the timer; the caller writes now (or has nothing to write).
    void autosaveDone();

private:
    PreferenceStore& defaults_;
    Platform& platform_;
    std::vector<SavedTactic> tactics_;
    std::unique_ptr<OneShotTimer> timer_;
    bool pending_ = false;
};

}  // namespace vantrel

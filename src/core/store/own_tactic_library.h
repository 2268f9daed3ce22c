// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "core/model/board.h"
#include "core/platform/library_storage.h"
#include "core/platform/platform.h"

namespace vantrel {

inline constexpr std::string_view kLastSelectedTacticKey = "Vantrel.lastSelectedTactic";

// The coach's own tactics ("我的战术"), their storage and the one-shot timer that writes
// them 0.6 s after the last edit, so a burst of edits writes once.
//
// Each entry's compact JSON is kept until the entry changes, so a write encodes only what
// changed and hands the storage a list of shared pieces; nothing is written while the
// stored document already says what the list says. A write that fails leaves the list
// marked unwritten: the next write (the next edit, the close) tries again.
class OwnTacticLibrary {
public:
    static constexpr double kAutosaveDelaySeconds = 0.6;
    // A failed write is tried again after 2 s, then after twice the last wait, at most
    // every minute, besides with every later edit.
    static constexpr double kFirstRetrySeconds = 2;
    static constexpr double kLongestRetrySeconds = 60;

    OwnTacticLibrary(PreferenceStore& defaults, Platform& platform);
    ~OwnTacticLibrary();
    OwnTacticLibrary(const OwnTacticLibrary&) = delete;
    OwnTacticLibrary& operator=(const OwnTacticLibrary&) = delete;

    // A library key names an own tactic exactly when it has this prefix.
    static bool isOwnKey(std::string_view key);

    struct Loaded {
        enum class Kind { nothing, tactics, unreadableKept, unreadableNotKept } kind = Kind::nothing;
        std::string reason;   // why an unreadable copy could not be kept
        // For the status line: entries that failed the import checks and were kept aside.
        std::string notice;
    };
    // Reads the stored list. Entries that fail the import checks (admitTactic) are kept
    // aside with the unreadable copies and the rest load; positions off the pitch are
    // pulled onto it. Entries not yet adapted get the opponents' high press once,
    // a second entry with an id already taken gets a fresh id, and the list is written
    // back when either happened. Unreadable data is kept aside (the newest of a few
    // copies) before anything can overwrite it, and the list stays empty.
    Loaded load();

    const std::vector<SavedTactic>& tactics() const { return tactics_; }
    // Counts changes to the list (an entry added, replaced, renamed or removed, or the
    // list read again), so a view can tell a write's notice from a change it must show.
    std::uint64_t revision() const { return revision_; }
    const SavedTactic* find(std::string_view key) const;
    // Appends without writing; persist() writes. Refused when the stored document would
    // outgrow what start-up reads.
    Status append(SavedTactic saved);
    // Replaces an entry's tactic; false when there is no such entry or nothing changed.
    bool replaceTactic(std::string_view key, Tactic tactic);
    bool rename(std::string_view key, const std::string& name);
    // Removes an entry without writing; false when there is no such entry.
    bool remove(std::string_view key);
    // Writes the list if it differs from what was last stored. A failure found at once
    // (a document too large to read back) is returned; one found by the storage later
    // arrives through the outcome listener.
    Status persist();
    // Waits for every write to finish; true when the newest reached the storage.
    Status finishWrites();
    // "我的战术 N", N one more than the own tactics named so.
    std::string untitledName() const;

    // Why the newest write failed; absent once a write succeeds.
    const std::optional<std::string>& saveFailure() const { return failure_; }
    // True once after the first write that succeeds following a failure.
    bool takeRecovered() { return std::exchange(recovered_, false); }
    // Told when a write's outcome arrives from the storage (on the main thread).
    void setOutcomeListener(std::function<void()> listener) { listener_ = std::move(listener); }

    // True while the timer waits or a write is under way.
    bool autosavePending() const { return timerArmed_ || writing_; }
    // (Re)starts the autosave timer; `flush` runs when it fires.
    void scheduleAutosave(std::function<void()> flush);
    // Stops the timer; the caller writes now (or has nothing to write).
    void autosaveDone();

    LibraryStorage& storage() { return storage_; }

private:
    struct SetAside {
        std::size_t count = 0;
        bool kept = false;
        std::string reason;
        bool empty() const { return count == 0; }
    };
    // Admits each loaded entry; `elements` (the entries' stored texts) follows the list.
    // `listedSteps` holds the steps each entry's text lists (TacticJson::decodeLibrary).
    SetAside admitEntries(std::optional<std::vector<std::string>>& elements, const std::vector<std::size_t>& listedSteps);
    std::shared_ptr<const std::string> encoded(const SavedTactic& saved);
    void finished(std::uint64_t generation, const Status& outcome);

    Platform& platform_;
    std::unique_ptr<LibraryStorage> ownStorage_;   // when the platform has none
    LibraryStorage& storage_;
    std::vector<SavedTactic> tactics_;
    // Compact JSON of each entry by id, as last encoded or read.
    std::unordered_map<Uuid, std::shared_ptr<const std::string>, UuidHash> encoded_;
    std::uint64_t revision_ = 0;
    bool dirty_ = false;   // the list differs from the last document handed to the storage
    bool writing_ = false;
    std::uint64_t generation_ = 0;
    std::optional<std::string> failure_;
    // Set when an unreadable document could not be kept aside: writing would destroy it.
    std::optional<std::string> blocked_;
    std::function<void()> listener_;
    std::unique_ptr<OneShotTimer> timer_;
    std::unique_ptr<OneShotTimer> retryTimer_;
    double retryDelay_ = 0;   // seconds; 0 while writes succeed
    bool recovered_ = false;
    bool timerArmed_ = false;
    // Outcomes arriving after the library is gone find this empty.
    std::shared_ptr<OwnTacticLibrary*> self_;
};

}  // namespace vantrel

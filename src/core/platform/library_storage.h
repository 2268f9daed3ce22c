// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/model/result.h"
#include "core/platform/platform.h"

namespace vantrel {

// Preference keys of the coach's own tactics when they live in the preference store.
inline constexpr std::string_view kImportedTacticsKey = "Vantrel.importedTactics";
// The newest unreadable copy; older ones carry ".2" … ".5".
inline constexpr std::string_view kUnreadableTacticsKey = "Vantrel.importedTactics.unreadable";
// The recovery journal when the library lives in the preference store.
inline constexpr std::string_view kRecoveryKey = "Vantrel.recovery";
// The earlier versions of an own tactic, under this prefix and the tactic's id.
inline constexpr std::string_view kVersionsKeyPrefix = "Vantrel.versions.";

// The library document as a list of already encoded entries: "[" + entries joined by
// "," + "]" is byte for byte the compact JSON array of the saved tactics. Entries are
// shared, so handing a document to a writer copies pointers, not megabytes.
struct LibraryDocument {
    std::vector<std::shared_ptr<const std::string>> entries;

    std::size_t byteSize() const;
    std::string text() const;
};

// Where the own tactics are stored: one document, plus a few unreadable documents kept
// aside so that a coach can still get them out.
//
// `save` may finish later and off the calling thread; a save that has not started when a
// newer one arrives is dropped (the newest document wins). `done` runs on the main thread,
// once, and only for the newest save; a storage outlived by its caller must not call it
// after `flush` (the caller guards it anyway).
class LibraryStorage {
public:
    static constexpr int kKeptUnreadableCopies = 5;

    virtual ~LibraryStorage() = default;
    // The stored document; absent when nothing was ever stored, a failure when it exists
    // but cannot be read (nothing may then be written over it).
    virtual Result<std::optional<std::string>> read() = 0;
    virtual void save(LibraryDocument document, std::function<void(Status)> done) = 0;
    // Waits until every save has reached the storage; the outcome of the newest.
    virtual Status flush() = 0;
    // Keeps `bytes` as the newest unreadable copy; the oldest beyond the limit goes.
    virtual Status keepUnreadable(std::string_view bytes) = 0;
    // The kept copies, newest first (index 0).
    virtual int unreadableCount() = 0;
    virtual std::optional<std::string> unreadableCopy(int index) = 0;
    // True when `read` found a document too large to read and kept it aside as the newest
    // unreadable copy instead (then `read` returned nothing).
    virtual bool movedAsideOnRead() const { return false; }

    // The recovery journal: one small document beside the library, present only while the
    // open tactic holds edits the coach has not confirmed (RecoveryJournal).
    //
    // The journal as stored; absent when there is none.
    virtual Result<std::optional<std::string>> readRecovery() = 0;
    // Replaces the journal with the text `encode` makes (nothing is written when it makes
    // none), later and off the calling thread where the storage has a writer, so that the
    // encoding costs the interface nothing. Journal writes and removals land in the order
    // asked; one not yet started when a newer arrives is dropped. `flush` waits for them.
    virtual void saveRecovery(std::function<std::optional<std::string>()> encode) = 0;
    virtual void removeRecovery() = 0;
    // Moves the journal to the newest unreadable copy, where the export finds it. Only
    // while no journal write is asked for.
    virtual Status keepRecoveryAside() = 0;

    // The earlier versions of one own tactic, one small document per tactic beside the
    // library (TacticVersions), which itself stays as it is.
    //
    // The versions of the tactic with id `tacticID` as stored; absent when there are none.
    // Updates asked earlier have landed.
    virtual Result<std::optional<std::string>> readVersions(const std::string& tacticID) = 0;
    // Replaces them with what `update` makes of the stored text (absent: none stored, or
    // unreadable), or removes them when it makes nothing; later and off the calling thread
    // where the storage has a writer, so reading, decoding and encoding cost the interface
    // nothing. Updates of one tactic apply in the order asked; `flush` waits for them.
    using VersionsUpdate = std::function<std::optional<std::string>(std::optional<std::string> stored)>;
    virtual void updateVersions(const std::string& tacticID, VersionsUpdate update) = 0;
};

// The library (and the journal) inside a preference store, written at once on the calling
// thread.
class PreferenceLibraryStorage final : public LibraryStorage {
public:
    explicit PreferenceLibraryStorage(PreferenceStore& defaults) : defaults_(defaults) {}

    static std::string unreadableKey(int index);

    Result<std::optional<std::string>> read() override;
    void save(LibraryDocument document, std::function<void(Status)> done) override;
    Status flush() override { return last_; }
    Status keepUnreadable(std::string_view bytes) override;
    int unreadableCount() override;
    std::optional<std::string> unreadableCopy(int index) override;
    Result<std::optional<std::string>> readRecovery() override { return defaults_.data(kRecoveryKey); }
    void saveRecovery(std::function<std::optional<std::string>()> encode) override;
    void removeRecovery() override { defaults_.remove(kRecoveryKey); }
    Status keepRecoveryAside() override;
    Result<std::optional<std::string>> readVersions(const std::string& tacticID) override;
    void updateVersions(const std::string& tacticID, VersionsUpdate update) override;

private:
    PreferenceStore& defaults_;
    Status last_ = success();
};

}  // namespace vantrel

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/model/result.h"

namespace vantrel {

class LibraryStorage;

// The user's preferences. A value stored under another type reads as absent. A write
// says whether it reached the store (a full disk or a read-only folder fails it, with a
// readable reason).
class PreferenceStore {
public:
    virtual ~PreferenceStore() = default;
    virtual std::optional<std::string> string(std::string_view key) const = 0;
    virtual std::optional<bool> boolean(std::string_view key) const = 0;
    virtual std::optional<std::string> data(std::string_view key) const = 0;   // raw bytes
    virtual Status setString(std::string_view key, std::string_view value) = 0;
    virtual Status setBoolean(std::string_view key, bool value) = 0;
    virtual Status setData(std::string_view key, std::string_view bytes) = 0;
    virtual Status remove(std::string_view key) = 0;
};

// One tick per display refresh, on the main thread, with the seconds since `start`.
// A clock may be invalidated, restarted or destroyed from inside its own callback.
class FrameClock {
public:
    virtual ~FrameClock() = default;
    virtual void start(std::function<void(double elapsed)> callback) = 0;   // restarts from zero if running
    virtual void invalidate() = 0;
    virtual bool isRunning() const = 0;
};

// A main-thread one-shot timer; may be restarted, cancelled or destroyed from inside `fire`.
class OneShotTimer {
public:
    virtual ~OneShotTimer() = default;
    virtual void start(double seconds, std::function<void()> fire) = 0;   // restarts if running
    virtual void cancel() = 0;
    virtual bool isRunning() const = 0;
};

class Platform {
public:
    virtual ~Platform() = default;
    virtual std::unique_ptr<FrameClock> makeFrameClock() = 0;
    virtual std::unique_ptr<OneShotTimer> makeOneShotTimer() = 0;
    // Dialogs limited to JSON files; absent when the user cancels.
    virtual std::optional<std::filesystem::path> chooseJsonFileToOpen() = 0;
    virtual std::optional<std::filesystem::path> chooseJsonFileToSave(std::string_view proposedName) = 0;
    // Where the coach's own tactics live. Absent: in the preference store, under
    // "Vantrel.importedTactics" (tests and tools keep everything in one store).
    virtual LibraryStorage* libraryStorage() { return nullptr; }
    // The calendar time, in seconds since 1970: when a saved version was replaced.
    virtual std::int64_t wallClockSeconds() const {
        using namespace std::chrono;
        return duration_cast<seconds>(system_clock::now().time_since_epoch()).count();
    }
};

}  // namespace vantrel

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "core/platform/platform.h"

namespace vantrel {

class BoardStore;

// The workspace's layout choices, favourites and first-run tutorial state, kept in the
// user's preferences. Each value is read when the workspace is created and written at
// once when it changes; a missing key, or one of the wrong type, reads as its default.
class WorkspacePreferences {
public:
    static constexpr std::string_view kLibraryVisible = "libraryVisible";
    static constexpr std::string_view kBuiltinLibraryExpanded = "builtinLibraryExpanded";
    static constexpr std::string_view kPitchViewMode = "pitchViewMode";
    static constexpr std::string_view kDisplayOptionsExpanded = "displayOptionsExpanded";
    static constexpr std::string_view kTacticalTimelineExpanded = "tacticalTimelineExpanded";
    static constexpr std::string_view kShowMoves = "showMoves";
    static constexpr std::string_view kLibrarySortOrder = "librarySortOrder";
    static constexpr std::string_view kLibraryGroupTag = "libraryGroupTag";
    static constexpr std::string_view kFavoriteKeys = "Vantrel.favoriteKeys";
    static constexpr std::string_view kOnboardingCompleted = "Vantrel.onboardingCompleted";

    struct TutorialSnapshot {
        bool library = true;
        bool expanded = false;
        std::string mode = "2D";
        bool inspector = true;
        bool operator==(const TutorialSnapshot&) const = default;
    };

    explicit WorkspacePreferences(PreferenceStore& defaults);

    bool libraryVisible() const;
    bool builtinLibraryExpanded() const;
    std::string pitchViewMode() const;   // "2D" or "3D" as stored; see is3D()
    bool is3D() const { return pitchViewMode() == "3D"; }
    bool displayOptionsExpanded() const;
    bool tacticalTimelineExpanded() const;
    bool onboardingCompleted() const;
    // Arrows of every run, dribble and pass on the board; off unless the coach turns them on.
    bool showMoves() const;

    void setLibraryVisible(bool on);
    void setBuiltinLibraryExpanded(bool on);
    void setPitchViewMode(std::string_view mode);
    void setDisplayOptionsExpanded(bool on);
    void setTacticalTimelineExpanded(bool on);
    void setShowMoves(bool on);
    // How the own tactics are listed: "creation" (default), "name" or "lastChange".
    std::string librarySortOrder() const;
    void setLibrarySortOrder(std::string_view order);
    // The tag the own tactics are grouped by; empty: all shown.
    std::string libraryGroupTag() const;
    void setLibraryGroupTag(std::string_view tag);

    // The inspector's visibility is not persisted; the tutorial hides and restores it.
    bool inspectorVisible() const { return inspectorVisible_; }
    void setInspectorVisible(bool on) { inspectorVisible_ = on; }

    // Favourites: library keys, stored sorted and comma-joined.
    std::set<std::string> favorites() const;
    void toggleFavorite(const std::string& key);
    static std::set<std::string> parseFavorites(std::string_view stored);
    static std::string formatFavorites(const std::set<std::string>& keys);

    // The first-run tutorial. `startTutorial` does nothing while it already shows or
    // while the store asks its save question.
    bool tutorialVisible() const { return tutorialVisible_; }
    int tutorialLesson() const { return tutorialLesson_; }
    void setTutorialLesson(int lesson) { tutorialLesson_ = lesson; }
    const std::optional<TutorialSnapshot>& tutorialOriginalUI() const { return tutorialOriginalUI_; }
    void startTutorial(BoardStore& store);
    void finishTutorial();
    // On first show: the tutorial starts unless it was completed once.
    void startTutorialIfFirstRun(BoardStore& store);

    // Told the reason when a preference could not be written (a full disk, a read-only
    // folder), so the workspace can say so instead of failing silently.
    void onWriteFailure(std::function<void(const std::string&)> listener) { writeFailed_ = std::move(listener); }

private:
    bool flag(std::string_view key, bool fallback) const;
    void checked(const Status& written);
    void setFlag(std::string_view key, bool on);

    PreferenceStore& defaults_;
    bool inspectorVisible_ = true;
    bool tutorialVisible_ = false;
    int tutorialLesson_ = 0;
    std::optional<TutorialSnapshot> tutorialOriginalUI_;
    std::function<void(const std::string&)> writeFailed_;
    // The layout choices made in this session: they hold even when a write fails.
    std::map<std::string, bool, std::less<>> heldFlags_;
    std::optional<std::string> heldMode_;
    std::optional<std::string> heldSortOrder_;
    std::optional<std::string> heldGroupTag_;
};

}  // namespace vantrel

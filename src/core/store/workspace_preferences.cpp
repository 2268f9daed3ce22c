// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/store/workspace_preferences.h"

#include "core/store/board_store.h"

namespace vantrel {

WorkspacePreferences::WorkspacePreferences(PreferenceStore& defaults) : defaults_(defaults) {}

bool WorkspacePreferences::flag(std::string_view key, bool fallback) const {
    if (auto held = heldFlags_.find(key); held != heldFlags_.end()) return held->second;
    return defaults_.boolean(key).value_or(fallback);
}

void WorkspacePreferences::setFlag(std::string_view key, bool on) {
    // Held for this session too, so the coach's choice works even when it cannot be stored.
    heldFlags_.insert_or_assign(std::string(key), on);
    checked(defaults_.setBoolean(key, on));
}

bool WorkspacePreferences::libraryVisible() const { return flag(kLibraryVisible, true); }
bool WorkspacePreferences::builtinLibraryExpanded() const { return flag(kBuiltinLibraryExpanded, false); }
std::string WorkspacePreferences::pitchViewMode() const {
    return heldMode_ ? *heldMode_ : defaults_.string(kPitchViewMode).value_or("2D");
}
bool WorkspacePreferences::displayOptionsExpanded() const { return flag(kDisplayOptionsExpanded, false); }
bool WorkspacePreferences::tacticalTimelineExpanded() const { return flag(kTacticalTimelineExpanded, true); }
bool WorkspacePreferences::onboardingCompleted() const { return flag(kOnboardingCompleted, false); }

// A preference that cannot be written is told once per write.
void WorkspacePreferences::checked(const Status& written) {
    if (!written && writeFailed_) writeFailed_(written.error());
}

void WorkspacePreferences::setLibraryVisible(bool on) { setFlag(kLibraryVisible, on); }
void WorkspacePreferences::setBuiltinLibraryExpanded(bool on) { setFlag(kBuiltinLibraryExpanded, on); }
void WorkspacePreferences::setPitchViewMode(std::string_view mode) {
    heldMode_ = std::string(mode);
    checked(defaults_.setString(kPitchViewMode, mode));
}
void WorkspacePreferences::setDisplayOptionsExpanded(bool on) { setFlag(kDisplayOptionsExpanded, on); }
bool WorkspacePreferences::showMoves() const { return flag(kShowMoves, false); }
void WorkspacePreferences::setShowMoves(bool on) { setFlag(kShowMoves, on); }
void WorkspacePreferences::setTacticalTimelineExpanded(bool on) { setFlag(kTacticalTimelineExpanded, on); }
std::string WorkspacePreferences::librarySortOrder() const {
    return heldSortOrder_ ? *heldSortOrder_ : defaults_.string(kLibrarySortOrder).value_or("creation");
}
void WorkspacePreferences::setLibrarySortOrder(std::string_view order) {
    heldSortOrder_ = std::string(order);
    checked(defaults_.setString(kLibrarySortOrder, order));
}
std::string WorkspacePreferences::libraryGroupTag() const {
    return heldGroupTag_ ? *heldGroupTag_ : defaults_.string(kLibraryGroupTag).value_or("");
}
void WorkspacePreferences::setLibraryGroupTag(std::string_view tag) {
    heldGroupTag_ = std::string(tag);
    checked(defaults_.setString(kLibraryGroupTag, tag));
}

std::set<std::string> WorkspacePreferences::parseFavorites(std::string_view stored) {
    std::set<std::string> keys;
    std::string piece;
    for (char c : stored) {
        if (c == ',') {
            if (!piece.empty()) keys.insert(piece);
            piece.clear();
        } else {
            piece.push_back(c);
        }
    }
    if (!piece.empty()) keys.insert(piece);
    return keys;
}

std::string WorkspacePreferences::formatFavorites(const std::set<std::string>& keys) {
    std::string out;
    for (const auto& key : keys) {   // std::set iterates in ascending string order
        if (!out.empty()) out.push_back(',');
        out += key;
    }
    return out;
}

std::set<std::string> WorkspacePreferences::favorites() const {
    return parseFavorites(defaults_.string(kFavoriteKeys).value_or(""));
}

void WorkspacePreferences::toggleFavorite(const std::string& key) {
    auto keys = favorites();
    if (!keys.erase(key)) keys.insert(key);
    checked(defaults_.setString(kFavoriteKeys, formatFavorites(keys)));
}

void WorkspacePreferences::startTutorial(BoardStore& store) {
    if (tutorialVisible_) return;
    if (store.showingStageSaveConfirmation()) return;
    store.pause();
    tutorialOriginalUI_ = TutorialSnapshot{libraryVisible(), builtinLibraryExpanded(), pitchViewMode(),
                                           inspectorVisible_};
    tutorialLesson_ = 0;
    inspectorVisible_ = false;
    setLibraryVisible(true);
    setBuiltinLibraryExpanded(true);
    setPitchViewMode("2D");
    tutorialVisible_ = true;
}

void WorkspacePreferences::finishTutorial() {
    tutorialVisible_ = false;
    checked(defaults_.setBoolean(kOnboardingCompleted, true));
    if (tutorialOriginalUI_) {
        setLibraryVisible(tutorialOriginalUI_->library);
        setBuiltinLibraryExpanded(tutorialOriginalUI_->expanded);
        setPitchViewMode(tutorialOriginalUI_->mode);
        inspectorVisible_ = tutorialOriginalUI_->inspector;
    }
    tutorialOriginalUI_.reset();
}

void WorkspacePreferences::startTutorialIfFirstRun(BoardStore& store) {
    if (!onboardingCompleted()) startTutorial(store);
}

}  // namespace vantrel

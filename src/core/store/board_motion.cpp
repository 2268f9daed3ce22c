// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/store/board_motion.h"

namespace vantrel {

FrameClock& BoardMotion::clock(std::unique_ptr<FrameClock>& slot) {
    if (!slot) slot = platform_.makeFrameClock();
    return *slot;
}

OneShotTimer& BoardMotion::timer() {
    if (!pauseTimer) pauseTimer = platform_.makeOneShotTimer();
    return *pauseTimer;
}

void BoardMotion::startTransition(const StepPlayback& playback) {
    previewRoute = playback.route();
    previewPassStyle = playback.pass() ? std::optional<PassStyle>(playback.pass()->style) : std::nullopt;
    previewOwnerID = playback.from().ballOwner;
    previewBallHeight = 0;
    previewBallInFlight = false;
    previewBall = playback.from().ball;
    // Stepping back replays history: it draws no moves.
    previewMoves = playback.forward() ? movesOf(playback) : std::vector<SceneMove>{};
    previewProgress = 0;
    previewEquipmentFrom = playback.from().equipment.value_or(std::vector<Equipment>{});
    previewEquipmentTo = playback.to().equipment.value_or(std::vector<Equipment>{});
    previewPlayers.emplace();
    for (const auto& run : playback.runs()) {
        Player p = run.player;
        p.position = run.start;
        previewPlayers->push_back(p);
    }
}

void BoardMotion::showTransitionFrame(const StepPlaybackFrame& frame, const StepPlayback& playback) {
    previewPlayers = frame.players;
    previewProgress = frame.progress;
    previewBall = frame.ball;
    previewBallHeight = frame.ballHeight;
    previewOwnerID = frame.ownerID;
    previewBallInFlight = StepPlayback::ballInFlight(playback, frame);
    ballRotation = frame.ballRotation;
    if (frame.travelDirection) ballTravelDirection = *frame.travelDirection;
    if (frame.visionOpacity) visionOpacity = *frame.visionOpacity;
}

void BoardMotion::clearStepPreview() {
    previewBallHeight = 0;
    previewBallInFlight = false;
    previewBall.reset();
    previewOwnerID.reset();
    previewRoute.reset();
    previewPassStyle.reset();
    previewPlayers.reset();
    previewMoves.clear();
    previewEquipmentFrom.clear();
    previewEquipmentTo.clear();
    previewProgress = 0;
}

void BoardMotion::clearFlight() {
    flyingBall.reset();
    passingFromID.reset();
    flyingBallHeight = 0;
}

std::vector<Player> BoardMotion::displayPlayers(const BoardStep* step) const {
    if (layoutFrame) return layoutFrame->players;
    if (previewPlayers) return *previewPlayers;
    return step ? step->players : std::vector<Player>{};
}

Point BoardMotion::displayBall(const BoardStep* step) const {
    if (layoutFrame) return layoutFrame->ball;
    if (previewPlayers && previewBall) return *previewBall;
    if (flyingBall) return *flyingBall;
    return step ? step->ball : Point{0.5, 0.5};
}

std::optional<std::string> BoardMotion::displayOwnerID(const BoardStep* step) const {
    if (layoutFrame) return layoutFrame->ownerID;
    if (previewPlayers) return previewOwnerID;
    return step ? step->ballOwner : std::nullopt;
}

double BoardMotion::displayBallHeight() const {
    if (layoutFrame) return 0;
    if (previewPlayers) return previewBallHeight;
    if (flyingBall) return flyingBallHeight;
    return 0;
}

std::optional<std::string> BoardMotion::visionOwnerID(const BoardStep* step) const {
    if (layoutFrame && layoutFrame->ownerID) return layoutFrame->ownerID;
    if (previewOwnerID) return previewOwnerID;
    if (passingFromID) return passingFromID;
    return step ? step->ballOwner : std::nullopt;
}

}  // namespace vantrel

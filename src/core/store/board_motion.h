// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/model/ball_flight.h"
#include "core/model/board.h"
#include "core/model/uuid.h"
#include "core/pitch/formation_transition.h"
#include "core/pitch/step_playback.h"
#include "core/platform/platform.h"
#include "core/scene/board_scene.h"

namespace vantrel {

// Everything on the board that moves: the clocks of step transitions, manual passes,
// formation glides and the vision fade, the pause between auto-played steps, and the
// frame they show now. The store drives it with its commands and owns it; views read its
// frame through the store's display values and scene. Every animation carries a session:
// starting or stopping one replaces it, and a tick of a stale session does nothing.
class BoardMotion {
public:
    explicit BoardMotion(Platform& platform) : platform_(platform) {}
    BoardMotion(const BoardMotion&) = delete;
    BoardMotion& operator=(const BoardMotion&) = delete;

    // --- The frame shown now ---------------------------------------------------------
    // A step transition: the target step's people where they run, the ball, its owner.
    std::optional<std::vector<Player>> previewPlayers;
    std::optional<Point> previewBall;
    std::optional<std::string> previewOwnerID;
    double previewBallHeight = 0;
    bool previewBallInFlight = false;   // a played pass is between passer and receiver
    std::optional<BallRoute> previewRoute;
    // The moves of a transition played forward, and how far it has run (0 … 1).
    std::vector<SceneMove> previewMoves;
    double previewProgress = 0;
    std::optional<PassStyle> previewPassStyle;
    // The equipment of the transition's two steps, glided between them.
    std::vector<Equipment> previewEquipmentFrom;
    std::vector<Equipment> previewEquipmentTo;
    // A formation glide.
    std::optional<FormationLayoutFrame> layoutFrame;
    // A manual pass in flight.
    std::optional<Point> flyingBall;
    double flyingBallHeight = 0;
    std::optional<std::string> passingFromID;
    // The ball's spin (degrees, a running total) and direction; the vision's fade.
    double ballRotation = 0;
    Point ballTravelDirection{1, 0};
    double visionOpacity = 1.0;

    // --- How it runs --------------------------------------------------------------------
    bool playing = false;
    bool reduceMotion = false;
    double speed = 1.0;   // transitions against the clock, 0.25 … 4
    Uuid passSession = Uuid::random();
    Uuid animationSession = Uuid::random();
    std::unique_ptr<FrameClock> visionClock;
    std::unique_ptr<FrameClock> passClock;
    std::unique_ptr<FrameClock> transitionClock;
    std::unique_ptr<FrameClock> layoutClock;
    std::unique_ptr<OneShotTimer> pauseTimer;

    // Each clock is made once and reused: stopping never destroys a clock, so a clock may
    // be stopped from inside its own tick.
    FrameClock& clock(std::unique_ptr<FrameClock>& slot);
    static void stop(std::unique_ptr<FrameClock>& slot) {
        if (slot) slot->invalidate();
    }
    OneShotTimer& timer();

    // --- The frame rule -------------------------------------------------------------------
    // A transition starts: everybody at the start of his run, the ball where it lies.
    void startTransition(const StepPlayback& playback);
    // One sampled picture of a running transition.
    void showTransitionFrame(const StepPlaybackFrame& frame, const StepPlayback& playback);
    void clearStepPreview();
    // The manual pass is over, landed or cut out.
    void clearFlight();
    bool transitionRunning() const { return previewPlayers.has_value() || layoutFrame.has_value(); }

    // What the pitch draws of `step` (the step shown, or null), with the running glide,
    // transition or flight blended in.
    std::vector<Player> displayPlayers(const BoardStep* step) const;
    Point displayBall(const BoardStep* step) const;
    std::optional<std::string> displayOwnerID(const BoardStep* step) const;
    double displayBallHeight() const;
    double playerOpacity(const std::string& id) const { return layoutFrame ? layoutFrame->opacity(id) : 1.0; }
    std::optional<std::string> visionOwnerID(const BoardStep* step) const;

private:
    Platform& platform_;
};

}  // namespace vantrel

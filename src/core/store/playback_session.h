// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the store's running animations carry: a manual pass in flight, a step transition.

#include <optional>
#include <string>
#include <vector>

#include "core/model/board.h"
#include "core/pitch/easing.h"
#include "core/pitch/step_playback.h"

namespace vantrel {

inline constexpr double kVisionRevealSeconds = 0.32;

// A manual pass in flight: what its clock callback carries.
struct ManualPass {
    Uuid session;
    Player passer;     // as it stood when the ball was played
    Player receiver;   // ditto: the ball lands on this position
    PassStyle style = PassStyle::ground;
    double duration = 0;        // seconds
    double startRotation = 0;   // degrees
    std::string historyKey;     // its undo level
};

// One animated move from a step to another: the sampler, and where the move lands.
struct StepTransition {
    Uuid session;
    int toIndex = 0;
    bool autoAdvance = false;
    StepPlayback playback;
    // The playback speed and where it last changed: clock seconds and transition
    // seconds then. Transition time is origin + (clock − origin clock) × speed.
    double speed = 1;
    double originClock = 0;
    double originPlayed = 0;
    double lastTick = 0;   // clock seconds at the previous tick
};

}  // namespace vantrel

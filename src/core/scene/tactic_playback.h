// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "core/model/board.h"
#include "core/pitch/step_playback.h"
#include "core/scene/board_scene.h"

namespace vantrel {

// Playing a whole tactic from its first step, as the board plays it, one display frame
// at a time: every forward move with its runs and passes, a 0.2 s pause on each step
// reached, and a stop at the first interception, which shows the step it makes. A video
// is painted from these scenes; nothing here keeps a clock.
class TacticPlayback {
public:
    static constexpr double kPauseSeconds = 0.2;

    TacticPlayback(Tactic tactic, SceneDisplay display, double frameSeconds = StepPlayback::kFrameSeconds);

    // The next frame's scene, or nothing once playback has ended. The first frame is the
    // first step as the first move starts; a tactic of fewer than two steps gives its one
    // still frame.
    std::optional<BoardScene> next();

    // How long playing lasts when nothing is intercepted, in seconds: every forward move
    // and the pauses between them.
    static double seconds(const Tactic& tactic);

private:
    void startMove();
    BoardScene stillScene(int index) const;

    Tactic tactic_;
    SceneDisplay display_;
    double frameSeconds_;
    int from_ = 0;                       // the move runs from this step to the next
    std::optional<StepPlayback> move_;
    long moveFrame_ = 0;                 // frames since the move started
    int pauseFrames_ = 0;                // still frames left before the next move
    double rotation_ = 0;                // the ball's spin carries from move to move
    bool ended_ = false;
    std::vector<std::shared_ptr<const std::vector<BoardAnnotation>>> drawings_;   // per step
};

}  // namespace vantrel

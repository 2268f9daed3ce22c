#pragma once

#include <memory>

#include "core/platform/platform.h"

namespace vantrel {

// A platform whose time moves only when told, one display frame of 1/60 s at a time:
// an export plays a tactic through the same engine as the screen, at its own pace.
// Time is counted in whole frames, so a long export never drifts off the frame grid.
// Clocks and timers may be stopped, restarted or destroyed from inside their own
// callbacks. It has no dialogs: both file questions answer "cancelled".
class VirtualTimePlatform : public Platform {
public:
    static constexpr int kFramesPerSecond = 60;

    VirtualTimePlatform();
    ~VirtualTimePlatform() override;

    std::unique_ptr<FrameClock> makeFrameClock() override;
    std::unique_ptr<OneShotTimer> makeOneShotTimer() override;
    std::optional<std::filesystem::path> chooseJsonFileToOpen() override { return std::nullopt; }
    std::optional<std::filesystem::path> chooseJsonFileToSave(std::string_view) override { return std::nullopt; }

    // One display frame: fires the timers due by then, then ticks every running clock.
    void advanceFrame();
    long frame() const;   // frames since construction

    struct State;

private:
    std::shared_ptr<State> state_;
};

}  // namespace vantrel

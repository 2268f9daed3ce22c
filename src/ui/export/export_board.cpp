#include "ui/export/export_board.h"

#include "core/pitch/step_playback.h"

namespace vantrel {

namespace {

constexpr double kPauseBetweenStepsSeconds = 0.2;

}  // namespace

ExportBoard::ExportBoard(const Tactic& tactic, ExportDisplay display)
    : store_(std::make_unique<BoardStore>(preferences_, platform_)) {
    // Opened as an own tactic that is already adapted: the steps stay exactly as given.
    store_->selectImported(SavedTactic{Uuid::random(), tactic, true});
    store_->setShowVision(display.showVision);
    store_->setShowOffside(display.showOffside);
    store_->setReduceMotion(display.reduceMotion);
}

void ExportBoard::showStep(int index) {
    store_->pause();
    store_->selectStep(index);
}

double playbackSeconds(const Tactic& tactic) {
    const auto& steps = tactic.steps;
    if (steps.size() < 2) return 0;
    double seconds = 0;
    for (std::size_t i = 0; i + 1 < steps.size(); ++i) seconds += StepPlayback(steps[i], steps[i + 1], true).duration();
    return seconds + kPauseBetweenStepsSeconds * static_cast<double>(steps.size() - 2);
}

}  // namespace vantrel

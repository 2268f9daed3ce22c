// SPDX-License-Identifier: GPL-3.0-or-later
// The interception risk of the step shown: where playback of the move into it would stop.
#include "core/store/board_store.h"

namespace vantrel {

void BoardStore::setShowInterceptionRisk(bool on) {
    Batch batch(notifier_);
    showInterceptionRisk_ = on;
    notifier_.mark(StoreChange::displayOptions);
}

std::optional<BoardStore::InterceptionRisk> BoardStore::interceptionRisk() const {
    if (!showInterceptionRisk_ || motion_.playing || transitionRunning() || motion_.passingFromID || stepIndex_ < 1) return std::nullopt;
    const BoardStep* to = currentStep();
    if (!to) return std::nullopt;
    const BoardStep& from = tactic_.steps[static_cast<std::size_t>(stepIndex_ - 1)];
    if (riskMemo_ && riskMemo_->to == *to && riskMemo_->from == from) return riskMemo_->risk;

    const std::optional<InterceptionRisk> risk = interceptionRiskOf(from, *to);
    riskMemo_ = RiskMemo{from, *to, risk};
    return risk;
}

}  // namespace vantrel

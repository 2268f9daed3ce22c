// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <deque>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/platform/virtual_time_platform.h"

namespace vantrel::testing {

// The virtual-time platform with dialogs a test answers: queued answers, taken in order;
// an empty queue answers "cancelled".
class ManualPlatform : public VirtualTimePlatform {
public:
    std::optional<std::filesystem::path> chooseJsonFileToOpen() override {
        if (openAnswers.empty()) return std::nullopt;
        auto answer = openAnswers.front();
        openAnswers.pop_front();
        return answer;
    }
    std::optional<std::filesystem::path> chooseJsonFileToSave(std::string_view proposedName) override {
        proposedSaveNames.emplace_back(proposedName);
        if (saveAnswers.empty()) return std::nullopt;
        auto answer = saveAnswers.front();
        saveAnswers.pop_front();
        return answer;
    }

    std::deque<std::optional<std::filesystem::path>> openAnswers;
    std::deque<std::optional<std::filesystem::path>> saveAnswers;
    std::vector<std::string> proposedSaveNames;
};

}  // namespace vantrel::testing

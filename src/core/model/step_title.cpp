// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/model/step_title.h"

#include <algorithm>
#include <cctype>

namespace vantrel {

namespace {

constexpr std::string_view kMiddleDot = "\xC2\xB7";          // U+00B7
constexpr std::string_view kIdeographicSpace = "\xE3\x80\x80";  // U+3000, typed by Chinese input methods

std::string_view trim(std::string_view s) {
    for (bool changed = true; changed && !s.empty();) {
        changed = false;
        if (std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1), changed = true;
        else if (s.starts_with(kIdeographicSpace)) s.remove_prefix(kIdeographicSpace.size()), changed = true;
        if (s.empty()) break;
        if (std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1), changed = true;
        else if (s.ends_with(kIdeographicSpace)) s.remove_suffix(kIdeographicSpace.size()), changed = true;
    }
    return s;
}

}  // namespace

std::string trimmedText(std::string_view text) { return std::string(trim(text)); }

std::string writtenNote(std::string_view note) {
    const std::string_view kept = trim(note);
    if (kept == kNewTacticNote || kept == kAddedStepNote) return {};
    return std::string(kept);
}

std::string cleanStepTitle(std::string_view title) {
    const auto dot = title.find(kMiddleDot);
    if (dot != std::string_view::npos) {
        const std::string_view number = trim(title.substr(0, dot));
        const bool digits = !number.empty() && std::all_of(number.begin(), number.end(), [](char c) {
            return c >= '0' && c <= '9';
        });
        if (digits) return std::string(trim(title.substr(dot + kMiddleDot.size())));
    }
    return std::string(trim(title));
}

}  // namespace vantrel

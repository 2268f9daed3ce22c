#include "core/model/step_title.h"

#include <algorithm>

namespace vantrel {

namespace {

constexpr std::string_view kIdeographicSpace = "\xE3\x80\x80";   // U+3000 in UTF-8
constexpr std::string_view kMiddleDot = "\xC2\xB7";              // U+00B7 "·"

bool startsWithSpace(std::string_view s) {
    return (!s.empty() && (s.front() == ' ' || (s.front() >= '\t' && s.front() <= '\r'))) ||
           s.starts_with(kIdeographicSpace);
}

bool endsWithSpace(std::string_view s) {
    return (!s.empty() && (s.back() == ' ' || (s.back() >= '\t' && s.back() <= '\r'))) ||
           s.ends_with(kIdeographicSpace);
}

}  // namespace

std::string trimmedText(std::string_view text) {
    while (startsWithSpace(text)) text.remove_prefix(text.starts_with(kIdeographicSpace) ? kIdeographicSpace.size() : 1);
    while (endsWithSpace(text)) text.remove_suffix(text.ends_with(kIdeographicSpace) ? kIdeographicSpace.size() : 1);
    return std::string(text);
}

std::string cleanStepTitle(std::string_view title) {
    const auto dot = title.find(kMiddleDot);
    if (dot == std::string_view::npos) return trimmedText(title);
    const std::string head = trimmedText(title.substr(0, dot));
    const bool numbered = !head.empty() && std::all_of(head.begin(), head.end(), [](char c) { return c >= '0' && c <= '9'; });
    return numbered ? trimmedText(title.substr(dot + kMiddleDot.size())) : trimmedText(title);
}

}  // namespace vantrel

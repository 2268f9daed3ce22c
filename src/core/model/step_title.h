#pragma once

#include <string>
#include <string_view>

namespace vantrel {

// A step's title without its leading step number: "3 · 前锋回接" reads 前锋回接. The
// title is split at its first "·"; when the part before it is non-empty and only ASCII
// digits, the trimmed part after it is the clean title, else the whole title trimmed.
std::string cleanStepTitle(std::string_view title);

// `text` without leading and trailing white space, the ideographic space included.
std::string trimmedText(std::string_view text);

}  // namespace vantrel

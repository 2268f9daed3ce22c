#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

#include "core/model/result.h"

namespace vantrel {

// Writes `bytes` to `path` atomically: into a temporary file beside it, flushed, then
// renamed over the target. An existing file is either fully replaced or left as it was,
// and no temporary file survives a failure.
Status writeFileAtomically(const std::filesystem::path& path, std::string_view bytes);

// Reads a whole regular file of at most `maxBytes` bytes.
Result<std::string> readWholeFile(const std::filesystem::path& path, std::size_t maxBytes);

}  // namespace vantrel

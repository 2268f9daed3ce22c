#pragma once

#include <filesystem>
#include <vector>

namespace vantrel {

// The interactive run: one main window, the event loop, the exit status. `files` are the
// tactic files of the command line, imported once the window shows.
int runInteractive(const char* program, const std::vector<std::filesystem::path>& files);

}  // namespace vantrel

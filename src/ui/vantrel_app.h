// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <vector>

namespace vantrel {

class MainWindow;

// The interactive run: one main window, the event loop, the exit status. `files` are the
// tactic files of the command line, imported once the window shows; when Vantrel already
// runs for this user and these folders, they go to its window and this run ends at once.
int runInteractive(const char* program, const std::vector<std::filesystem::path>& files);

// Brings the window to the front and imports each file as its import command does (the
// status line tells how each went; the last one imported is open).
void openFilesInWindow(MainWindow& window, const std::vector<std::filesystem::path>& files);

}  // namespace vantrel

#pragma once

namespace vantrel {

// The interactive run: one main window, the event loop, the exit status.
int runInteractive(int argc, char** argv);

}  // namespace vantrel

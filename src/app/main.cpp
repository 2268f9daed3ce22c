// SPDX-License-Identifier: GPL-3.0-or-later
#include <iostream>
#include <string_view>
#include <vector>

#include "core/library/command_line.h"
#include "ui/vantrel_app.h"

int main(int argc, char** argv) {
    // The command line decides before any toolkit object exists: the catalog export, the
    // help and the version need no display and never touch the user's preferences.
    std::vector<std::string_view> arguments(argv, argv + argc);
    const vantrel::CommandLineOutcome outcome = vantrel::runCommandLine(arguments, std::cout, std::cerr);
    if (outcome.exitStatus) return *outcome.exitStatus;
    return vantrel::runInteractive(argv[0], outcome.files);
}

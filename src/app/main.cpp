#include <iostream>
#include <string_view>
#include <vector>

#include "core/library/command_line.h"
#include "ui/vantrel_app.h"

int main(int argc, char** argv) {
    // The export run decides before any toolkit object exists: it needs no display and
    // never touches the user's preferences.
    std::vector<std::string_view> arguments(argv, argv + argc);
    if (auto status = vantrel::runCommandLine(arguments, std::cerr)) return *status;
    return vantrel::runInteractive(argc, argv);
}

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>

#include "core/model/board.h"
#include "core/platform/platform.h"

namespace vantrel {

class BoardStore;

// Importing and exporting single tactics as JSON files: the file dialogs, reading and
// decoding, the import checks and the press adaptation. What it reads it hands to the
// store's plain commands; every outcome is the store's status line.
class TacticFiles {
public:
    TacticFiles(BoardStore& store, Platform& platform) : store_(store), platform_(platform) {}

    // Asks for a file (after the save question, when the step has unsaved changes) and
    // imports it.
    void importFile();
    // Imports the file at `path` as the dialog's choice would be.
    void importFile(const std::filesystem::path& path);
    // Asks where and writes the open tactic, pretty-printed with sorted keys.
    void exportFile();

    // What the status line says of a tactic imported as `name`: the press is mentioned
    // only when it was added.
    static std::string importedStatus(const std::string& name, bool pressAdded);

private:
    BoardStore& store_;
    Platform& platform_;
};

}  // namespace vantrel

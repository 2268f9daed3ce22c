#pragma once

#include <memory>

#include "core/model/board.h"
#include "core/platform/memory_preference_store.h"
#include "core/store/board_store.h"
#include "ui/export/virtual_time_platform.h"

namespace vantrel {

// What the board shows besides the step itself.
struct ExportDisplay {
    bool showVision = false;
    bool showOffside = false;
    bool reduceMotion = false;

    static ExportDisplay of(const BoardStore& store) {
        return {store.showVision(), store.showOffside(), false};
    }
};

// A board of its own for an export: a store over a copy of the tactic, on virtual time
// and with preferences in memory, so playing, stepping and painting it never touch the
// window's board or the user's preferences.
class ExportBoard {
public:
    ExportBoard(const Tactic& tactic, ExportDisplay display);

    BoardStore& store() { return *store_; }
    VirtualTimePlatform& platform() { return platform_; }
    // Shows step `index` (from 0) as it stands, without animating there.
    void showStep(int index);

private:
    MemoryPreferenceStore preferences_;
    VirtualTimePlatform platform_;
    std::unique_ptr<BoardStore> store_;   // after the platform: its clocks belong to it
};

// How long playing `tactic` from its first step lasts, in seconds, when nothing is
// intercepted: every forward transition and the pauses between them.
double playbackSeconds(const Tactic& tactic);

}  // namespace vantrel

#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "core/library/builtin_tactics.h"
#include "core/library/pressing.h"
#include "core/model/tactic_json.h"
#include "core/platform/memory_preference_store.h"
#include "core/store/board_store.h"
#include "support/manual_platform.h"

namespace vantrel::testing {

inline std::string readFileForTest(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// A 7-a-side step with blue players along y = 0.1 and orange along y = 0.9 (number n
// at x = 0.1 n), far from any pass line unless a test moves them.
inline BoardStep lineup(const std::map<std::string, Point>& moved = {}, std::optional<std::string> owner = {},
                        std::string title = "步骤") {
    BoardStep step;
    step.id = Uuid::random();
    step.title = std::move(title);
    for (int team = 0; team < 2; ++team)
        for (int n = 1; n <= 7; ++n) {
            std::string id = playerID(team, n);
            Point p{0.1 * n, team == 0 ? 0.1 : 0.9};
            if (auto it = moved.find(id); it != moved.end()) p = it->second;
            step.players.push_back({id, n, team, p});
        }
    step.ballOwner = owner;
    step.ball = owner ? step.player(*owner)->position : Point{0.5, 0.5};
    return step;
}

class StoreTest : public ::testing::Test {
protected:
    // Opens a tactic made by the test, as an own tactic not yet in the library.
    void open(std::vector<BoardStep> steps, int format = 7) {
        if (!store) start();
        store->pause();
        store->cancelManualPass();
        store->selectImported(SavedTactic{Uuid::random(), Tactic{"测试", format, std::move(steps)}, true});
        if (store->showingStageSaveConfirmation()) store->resolveStageChanges(StageSaveDecision::discard);
        ASSERT_EQ(store->tactic().name, "测试");
    }

    BoardStore& start() {
        store.reset();
        store = std::make_unique<BoardStore>(prefs, platform);
        return *store;
    }

    std::vector<SavedTactic> storedLibrary() const {
        auto bytes = prefs.data(kImportedTacticsKey);
        if (!bytes) return {};
        auto decoded = TacticJson::decodeLibrary(*bytes);
        EXPECT_TRUE(decoded) << decoded.error();
        return decoded ? decoded.value() : std::vector<SavedTactic>{};
    }

    int libraryWrites() const { return prefs.writes(kImportedTacticsKey); }

    // A player of the current step other than the ball owner.
    std::string someNonOwner() const {
        const BoardStep* step = store->currentStep();
        for (const auto& p : step->players)
            if (!step->ballOwner || p.id != *step->ballOwner) return p.id;
        return {};
    }

    // Moves a player a little: an edit that makes the step differ from its baseline.
    void editStep() {
        std::string id = someNonOwner();
        Point p = store->currentStep()->player(id)->position;
        store->movePlayer(id, {p.x < 0.5 ? p.x + 0.05 : p.x - 0.05, p.y});
        ASSERT_TRUE(store->hasStageChanges());
    }

    MemoryPreferenceStore prefs;
    ManualPlatform platform;
    std::unique_ptr<BoardStore> store;
};

}  // namespace vantrel::testing

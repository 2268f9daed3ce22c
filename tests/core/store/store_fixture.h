// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>
#include <mutex>

#include "core/library/builtin_tactics.h"
#include "core/library/pressing.h"
#include "core/model/tactic_json.h"
#include "core/platform/file_library_storage.h"
#include "core/platform/memory_preference_store.h"
#include "core/store/board_store.h"
#include "support/lineup.h"
#include "support/manual_platform.h"
#include "support/temp_folder.h"

namespace vantrel::testing {

class StoreTest : public ::testing::Test {
protected:
    // Opens a tactic made by the test, as an own tactic not yet in the library.
    BoardStore& open(std::vector<BoardStep> steps, int format = 7) {
        if (!store) start();
        store->pause();
        store->cancelManualPass();
        store->selectImported(SavedTactic{Uuid::random(), Tactic{"测试", format, std::move(steps)}, true});
        if (store->showingStageSaveConfirmation()) store->resolveStageChanges(StageSaveDecision::discard);
        EXPECT_EQ(store->tactic().name, "测试");
        return *store;
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

    // A file storage's outcomes, queued as the event loop would deliver them.
    FileLibraryStorage::Post post() {
        return [this](std::function<void()> outcome) {
            std::lock_guard lock(mutex);
            posted.push_back(std::move(outcome));
        };
    }
    void deliver() {
        std::deque<std::function<void()>> due;
        {
            std::lock_guard lock(mutex);
            due.swap(posted);
        }
        for (auto& outcome : due) outcome();
    }

    std::mutex mutex;
    std::deque<std::function<void()>> posted;
    MemoryPreferenceStore prefs;
    ManualPlatform platform;
    std::unique_ptr<BoardStore> store;
};

}  // namespace vantrel::testing

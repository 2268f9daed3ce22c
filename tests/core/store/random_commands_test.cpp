// SPDX-License-Identifier: GPL-3.0-or-later
// Thousands of random commands, with bad ids and indices among them, on built-in and
// imported tactics (also odd ones that pass the import checks), interleaved with undo,
// redo, passes, playback and formation changes while clocks run: after each, the store's
// invariants must hold and nothing may crash.
#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <random>

#include "core/library/formation_preset.h"
#include "store_fixture.h"

using namespace vantrel;
using vantrel::testing::StoreTest;
namespace fs = std::filesystem;

namespace {

// Passes the import checks but breaks everything else a tactic usually promises.
Tactic oddTactic() {
    Tactic t = BuiltInTactics::sample(7);
    t.name = "奇怪的战术";
    t.steps[0].ballOwner = "nobody";
    t.steps[1].players[3].id = "home-1";                       // duplicate id
    t.steps[1].players[10].id = "stranger";                    // present in one step only
    t.steps[2].players[5].position = {-40.0, 1e6};             // far off the pitch
    t.steps[2].ballOwner = "stranger";
    t.steps[1].pathControls = std::map<std::string, Point>{{"ghost", {3, -3}}};
    return t;
}

// The tactic with drawings whose points are not numbers left out: such a point never
// equals itself, so only the rest of the tactic can be compared.
Tactic comparable(Tactic t) {
    for (auto& step : t.steps)
        if (step.annotations)
            std::erase_if(*step.annotations, [](const BoardAnnotation& a) {
                return std::any_of(a.points.begin(), a.points.end(), [](Point p) { return !isFinite(p); });
            });
    return t;
}

class RandomCommands : public StoreTest {
protected:
    void SetUp() override {
        std::ofstream(dir / "good.json") << TacticJson::encodeCompact(BuiltInTactics::elevenLibrary()[0]).value();
        std::ofstream(dir / "odd.json") << TacticJson::encodeCompact(oddTactic()).value();
        std::ofstream(dir / "bad.json") << "{\"name\":1}";
    }

    void checkInvariants(const std::string& context) {
        const BoardStore& s = *store;
        const Tactic& t = s.tactic();
        ASSERT_TRUE(t.format == 7 || t.format == 11) << context;
        ASSERT_FALSE(t.steps.empty()) << context;
        ASSERT_GE(s.stepIndex(), 0) << context;
        ASSERT_LT(s.stepIndex(), static_cast<int>(t.steps.size())) << context;
        ASSERT_NE(s.currentStep(), nullptr) << context;
        for (const auto& step : t.steps) {
            ASSERT_EQ(step.players.size(), static_cast<std::size_t>(2 * t.format)) << context;
            const bool odd = t.name == "奇怪的战术";
            if (!odd && step.ballOwner) {
                EXPECT_NE(step.player(*step.ballOwner), nullptr) << context;
            }
            if (!odd) {
                for (const auto& p : step.players) {
                    ASSERT_TRUE(isFinite(p.position)) << context;
                }
            }
        }
        // Ids are stable across steps, so a selection follows the person; only an odd
        // tactic has people missing from some steps.
        if (s.selectedPlayer() && t.name != "奇怪的战术") {
            EXPECT_NE(s.currentStep()->player(*s.selectedPlayer()), nullptr) << context;
        }
        if (s.showingStageSaveConfirmation()) {
            EXPECT_TRUE(s.pendingStageDeparture().has_value()) << context;
        }
        EXPECT_TRUE(std::isfinite(s.visionOpacity())) << context;
        EXPECT_EQ(s.boardEdits().canUndo(), s.boardEdits().undoLabel().has_value()) << context;
        EXPECT_EQ(s.boardEdits().canRedo(), s.boardEdits().redoLabel().has_value()) << context;
        EXPECT_TRUE(std::isfinite(s.displayBallHeight())) << context;
    }

    vantrel::testing::TempFolder dir{"vantrel-random"};
};

}  // namespace

TEST_F(RandomCommands, StoreStaysConsistent) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (unsigned seed = 1; seed <= 4; ++seed) {
        prefs = MemoryPreferenceStore();
        platform.openAnswers.clear();
        platform.saveAnswers.clear();
        BoardStore& s = start();
        std::mt19937 rng(seed);
        auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
        auto anyPoint = [&] {
            switch (pick(5)) {
                case 0: return Point{nan, 0.5};
                case 1: return Point{-3, 9};
                default: return Point{std::uniform_real_distribution<double>(-0.2, 1.2)(rng),
                                       std::uniform_real_distribution<double>(-0.2, 1.2)(rng)};
            }
        };
        auto anyPlayerID = [&]() -> std::string {
            const BoardStep* step = s.currentStep();
            if (!step || step->players.empty() || pick(6) == 0) return pick(2) ? "away-99" : "";
            return step->players[static_cast<std::size_t>(pick(static_cast<int>(step->players.size())))].id;
        };

        for (int i = 0; i < 1500; ++i) {
            int command = pick(31);
            // Commands that grow the library are rarer once it holds a dozen tactics, so
            // the run spends its time on commands rather than on encoding a huge list.
            if ((command == 2 || command == 3 || command == 5) && s.importedTactics().size() > 12 && pick(8)) command = 1;
            switch (command) {
                case 0: s.selectBuiltIn(pick(10) - 2, pick(4) == 0 ? std::nullopt : std::optional<int>(pick(2) ? 7 : 11)); break;
                case 1:
                    if (!s.importedTactics().empty() && pick(4))
                        s.selectImported(s.importedTactics()[static_cast<std::size_t>(pick(static_cast<int>(s.importedTactics().size())))]);
                    else
                        s.selectImported(SavedTactic{Uuid::random(), oddTactic(), true});
                    break;
                case 2: s.newTactic(pick(2) ? std::optional<std::string>(" 名 ") : std::nullopt, pick(3) ? 7 + 4 * pick(2) : 5); break;
                case 3: s.saveCurrentTactic(); break;
                case 4: s.selectPlayer(anyPlayerID(), pick(2)); break;
                case 5: {
                    const char* files[] = {"good.json", "odd.json", "bad.json", "missing.json"};
                    platform.openAnswers.push_back(dir / files[pick(4)]);
                    s.importFile();
                    break;
                }
                case 6:
                    platform.saveAnswers.push_back(pick(2) ? dir / "out.json" : dir / "no/dir/out.json");
                    s.exportFile();
                    break;
                case 7: s.addStep(); break;
                case 8: s.removeStep(); break;
                case 9: s.selectStep(pick(12) - 2); break;
                case 10: s.previous(); break;
                case 11: s.next(); break;
                case 12: case 13: s.movePlayer(anyPlayerID(), anyPoint()); break;
                case 14: s.setPassStyle(pick(2) ? PassStyle::loft : PassStyle::ground); break;
                case 15: {
                    std::vector<BoardAnnotation> list;
                    for (int k = pick(3); k > 0; --k) list.push_back(BoardAnnotation{Uuid::random(), AnnotationTool::line, {anyPoint(), anyPoint()}, "", {}, 7});
                    s.replaceAnnotations(list, pick(4) == 0 ? std::optional<Uuid>(Uuid::random()) : std::nullopt);
                    break;
                }
                case 16: s.resolveStageChanges(static_cast<StageSaveDecision>(pick(3))); break;
                case 17: s.flushAutosave(); break;
                case 18: s.pause(); break;
                case 19: platform.advance(pick(3) * 0.25); break;
                case 20: s.setShowVision(pick(2)); break;
                case 21: s.cancelManualPass(); break;
                case 22: s.boardEdits().undo(); break;
                case 23: s.boardEdits().redo(); break;
                case 30: {
                    // An undo that a redo follows at once leaves the tactic as it was.
                    if (!s.boardEdits().canUndo() || s.playing() || s.transitionRunning()) break;
                    const Tactic before = comparable(s.tactic());
                    s.boardEdits().undo();
                    if (s.boardEdits().canRedo()) {
                        s.boardEdits().redo();
                        EXPECT_EQ(comparable(s.tactic()), before) << "seed " << seed << " command " << i;
                    }
                    break;
                }
                case 24: s.pass(anyPlayerID()); break;
                case 25: s.passOrGiveBall(anyPlayerID()); break;
                case 26: pick(3) ? s.play() : s.setPlaybackSpeed(pick(2) ? 2.0 : nan); break;
                case 27: {
                    const auto presets = FormationPreset::forFormat(pick(2) ? 7 : 11);   // sometimes the other format's
                    s.applyFormation(pick(5) ? presets[static_cast<std::size_t>(pick(static_cast<int>(presets.size())))].id : "9-9-9",
                                     pick(4) - 1);
                    break;
                }
                case 28: s.changeFormat(pick(3) ? 7 + 4 * pick(2) : 9); break;
                case 29: s.moveBall(anyPoint(), pick(2)); break;
            }
            checkInvariants("seed " + std::to_string(seed) + " command " + std::to_string(i) + " kind " +
                            std::to_string(command));
            if (::testing::Test::HasFatalFailure()) return;
        }
        // Whatever happened, the stored library still decodes.
        if (prefs.data(kImportedTacticsKey)) {
            EXPECT_TRUE(TacticJson::decodeLibrary(*prefs.data(kImportedTacticsKey)));
        }
    }
}

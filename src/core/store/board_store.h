// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/library/roster_csv.h"
#include "core/model/board.h"
#include "core/pitch/formation_transition.h"
#include "core/pitch/motion_path.h"
#include "core/pitch/step_playback.h"
#include "core/platform/platform.h"
#include "core/scene/board_scene.h"
#include "core/store/board_edit_history.h"
#include "core/store/board_edits.h"
#include "core/store/board_equipment.h"
#include "core/store/board_motion.h"
#include "core/store/board_recovery.h"
#include "core/store/change_notifier.h"
#include "core/store/own_tactic_commands.h"
#include "core/store/own_tactic_library.h"
#include "core/store/recovery_journal.h"
#include "core/store/board_squad.h"
#include "core/store/stage_baseline.h"
#include "core/store/tactic_files.h"
#include "core/store/tactic_versions.h"

namespace vantrel {

// Per-animation constants held by the running clocks' callbacks.
struct ManualPass;
struct StepTransition;

// The one owner of the open tactic and of everything the board shows about it. Views
// read its fields and send it commands; every change is told to subscribers once per
// command, by group. User-caused failures become the status line; nothing throws.
//
// Its commands live in rooms, one source file each, over parts with their own headers:
//   board_store.cpp              fields, settings, display values
//   board_store_library.cpp      opening, creating, saving, renaming tactics; autosave
//                                (over OwnTacticLibrary, own_tactic_library.h)
//   board_store_import_export.cpp  opening an imported tactic (the files: TacticFiles,
//                                tactic_files.h)
//   board_store_stage.cpp        the stage baseline, the save question, the step list
//                                (over StageBaseline, stage_baseline.h)
//   board_store_editing.cpp      players, ball, passes, runs, formations, texts, drawings
//                                (over StepEditing, step_editing.h)
//   board_store_playback.cpp     playback, pause, interceptions (over BoardMotion,
//                                board_motion.h: the clocks and the frame they show)
//   board_edits.cpp              undo and redo of board edits (BoardEdits, board_edits.h:
//                                store.boardEdits(), over BoardEditHistory,
//                                board_edit_history.h)
//   own_tactic_commands.cpp      renaming, copying, labelling and deleting own tactics;
//                                their earlier versions (OwnTacticCommands,
//                                own_tactic_commands.h: store.ownTactics())
//   board_store_risk.cpp         the interception risk of the step shown
//   board_squad.cpp              the squad's names, roles, shirts and kits; the player
//                                in focus (BoardSquad, board_squad.h: store.squad())
//   board_equipment.cpp          training equipment of a step; the tactic's pitch areas
//                                (BoardEquipment, board_equipment.h: store.equipment())
//   board_recovery.cpp           the answer to the recovery journal found at start-up
//                                (BoardRecovery, board_recovery.h: store.recovery(); the
//                                journal, which follows the store on its own:
//                                RecoveryJournal, recovery_journal.h)
class BoardStore {
    friend class BoardEdits;
    friend class BoardEquipment;
    friend class BoardRecovery;
    friend class BoardSquad;
    friend class OwnTacticCommands;

public:
    BoardStore(PreferenceStore& defaults, Platform& platform);
    ~BoardStore();
    BoardStore(const BoardStore&) = delete;
    BoardStore& operator=(const BoardStore&) = delete;

    Subscription subscribe(ChangeNotifier<StoreChange>::Listener listener) { return notifier_.subscribe(std::move(listener)); }

    // --- Observable fields -------------------------------------------------------
    const Tactic& tactic() const { return tactic_; }
    const std::vector<SavedTactic>& importedTactics() const { return library_.tactics(); }
    std::uint64_t libraryRevision() const { return library_.revision(); }
    const std::string& selectedTacticKey() const { return selectedTacticKey_; }
    int stepIndex() const { return stepIndex_; }
    bool hasStageChanges() const { return stage_.hasChanges(); }
    bool showingStageSaveConfirmation() const { return stage_.showingQuestion(); }
    const std::optional<Uuid>& discardedStageID() const { return stage_.discardedStageID(); }
    int stageDiscardRevision() const { return stage_.discardRevision(); }
    const std::optional<std::string>& selectedPlayer() const { return selectedPlayer_; }
    const std::optional<std::string>& inspectedPlayerID() const { return inspectedPlayerID_; }
    bool draggingPlayer() const { return draggingPlayer_; }
    bool playing() const { return motion_.playing; }
    const std::string& status() const { return status_; }
    double visionOpacity() const { return motion_.visionOpacity; }
    bool showVision() const { return showVision_; }
    bool showOffside() const { return showOffside_; }
    bool showRoutes() const { return showRoutes_; }
    bool showInterceptionRisk() const { return showInterceptionRisk_; }
    // The runs, dribbles and passes into the step shown, drawn as arrows; while a step
    // plays, those of the step being played fade out as it runs.
    bool showMoves() const { return showMoves_; }
    bool autosavePending() const { return library_.autosavePending(); }
    // Why the newest write of the own tactics failed; absent once one succeeds.
    const std::optional<std::string>& saveFailure() const { return library_.saveFailure(); }
    const std::optional<Point>& flyingBall() const { return motion_.flyingBall; }
    double ballRotation() const { return motion_.ballRotation; }
    Point ballTravelDirection() const { return motion_.ballTravelDirection; }
    const std::optional<std::string>& passingFromID() const { return motion_.passingFromID; }
    int formationFocusTeam() const { return formationFocusTeam_; }
    const std::optional<std::vector<Player>>& previewPlayers() const { return motion_.previewPlayers; }
    const std::optional<Point>& previewBall() const { return motion_.previewBall; }
    const std::optional<BallRoute>& previewRoute() const { return motion_.previewRoute; }
    const std::optional<PassStyle>& previewPassStyle() const { return motion_.previewPassStyle; }
    // The pass preview as the pitch draws it: only once the drag is longer than 3.5 % of
    // the pitch, so a click does not flash an arrow.
    std::optional<PathPreview> shownPassPreview() const;
    const std::optional<FormationLayoutFrame>& layoutFrame() const { return motion_.layoutFrame; }

    // Plain fields.
    const std::optional<BoardStep>& stageBaseline() const { return stage_.baseline(); }
    bool reduceMotion() const { return motion_.reduceMotion; }

    // The current step, or null when the index is outside the steps.
    const BoardStep* currentStep() const;

    // --- Settings ------------------------------------------------------------------
    void setShowVision(bool on);
    void setShowOffside(bool on);
    void setShowRoutes(bool on);
    void setShowInterceptionRisk(bool on);
    void setShowMoves(bool on);
    void setReduceMotion(bool on);
    void setDraggingPlayer(bool on);
    void setFormationFocusTeam(int team);
    void closePlayerInfo();
    // Deselects the selected player (and closes its panel).
    void clearSelectedPlayer();

    // --- Library ---------------------------------------------------------------------
    void selectBuiltIn(int index, std::optional<int> format = std::nullopt);
    void selectImported(const SavedTactic& saved);
    void newTactic(std::optional<std::string> name = std::nullopt, std::optional<int> format = std::nullopt);
    void saveCurrentTactic();
    void scheduleAutosave();
    void flushAutosave();
    // Writes the pending autosave and waits until every write has landed (close, quit);
    // false when the newest failed.
    bool finishWrites();
    void selectPlayer(const std::string& id, bool inspect);
    // Renaming, copying, labelling and deleting own tactics; their versions; unreadable
    // libraries kept aside (own_tactic_commands.cpp).
    OwnTacticCommands& ownTactics() { return ownTactics_; }
    // Asks for a file with the platform's open dialog, then imports it as below.
    void importFile();
    // Imports a tactic file (a file given on the command line or handed over by a later
    // start): the same checks and status lines as the dialog's import, the same save
    // question first when the stage has unsaved changes.
    void importFile(const std::filesystem::path& path);
    void exportFile();
    // Adds a tactic read from a file to the own tactics and opens it at its first step
    // with `status`; false, with the library unchanged, when it cannot be stored.
    bool openImportedTactic(Tactic tactic, std::string status);
    // Replaces the status line: for commands outside the store that report like its own
    // (the image, handout and video exports).
    void reportStatus(std::string text);

    // --- Recovery of unconfirmed edits -----------------------------------------------
    // The answer to what a run that ended without a clean close left (board_recovery.cpp).
    BoardRecovery& recovery() { return recovery_; }
    const BoardRecovery& recovery() const { return recovery_; }

    // --- Stage baseline and steps -------------------------------------------------
    // True when the coach may leave the current step now; otherwise the save question
    // shows and holds `departure`, taken up after "保存" or "不保存".
    bool canLeaveStage(StageDeparture departure);
    // The departure the save question holds, if any.
    const std::optional<StageDeparture>& pendingStageDeparture() const { return stage_.pendingDeparture(); }
    void resolveStageChanges(StageSaveDecision decision);
    void addStep();
    void removeStep();
    void selectStep(int index);
    void previous();
    void next();

    // --- Editing -----------------------------------------------------------------------
    void movePlayer(const std::string& id, Point to);
    void moveBall(Point to, bool snap);
    void giveBall(const std::string& id);
    void pass(const std::string& receiverID);
    // A double click on a player: hands the ball over when the step has no owner,
    // passes when it has one; ignored while a pass flies.
    void passOrGiveBall(const std::string& id);
    void setRouteControl(Point control);
    void resetSelectedRoute();
    PassStyle passStyle() const;
    void setPassStyle(PassStyle style);
    void applyFormation(const std::string& presetID, int team);
    void changeFormat(int format);
    // The current step's formation id of a team, or "custom".
    std::string formationID(int team) const;
    // Renames the open tactic (an own tactic's library entry too); white space around it,
    // the ideographic space included, is dropped, and a name left empty is ignored.
    void setTacticName(std::string name);
    // The squad and the player in focus (board_squad.cpp).
    BoardSquad& squad() { return squad_; }
    const BoardSquad& squad() const { return squad_; }
    // Training equipment and pitch areas (board_equipment.cpp).
    BoardEquipment& equipment() { return equipment_; }
    const BoardEquipment& equipment() const { return equipment_; }
    // The current step's title and explanation: edits of the step like any other.
    void setStepTitle(std::string title);
    void setStepNote(std::string note);

    using Route = RunCurve;
    // The selected player's run into the current step, while no formation glides.
    std::optional<Route> selectedRoute() const;
    // That run as the pitch draws it with its bend handle: while routes are shown and the
    // run is longer than 2 % of the pitch, below which its bend can be neither seen nor
    // grabbed.
    std::optional<Route> shownRoute() const;
    // Control point of a run: the step's own curved-run control, else the planned one.
    static Point routeControl(const std::string& id, const BoardStep& from, const BoardStep& to, Point start, Point end);

    // What the pitch draws, with transitions and flights blended in.
    std::vector<Player> displayPlayers() const;
    Point displayBall() const;
    std::optional<std::string> displayOwnerID() const;
    double displayBallHeight() const;
    double playerOpacity(const std::string& id) const;
    std::optional<std::string> visionOwnerID() const;
    // The frame the board shows now, for every surface that paints it. The step's drawings
    // come with it only when asked: a surface with its own drawing layer does without.
    BoardScene scene(bool withAnnotations = false) const;
    // True while something animates that pointer input must not disturb.
    bool transitionRunning() const { return motion_.transitionRunning(); }
    // A pass or dribble into the step shown that playback would stop at an interception.
    using InterceptionRisk = vantrel::InterceptionRisk;
    // Told while the step stands still (no playback, transition or pass in flight) and
    // the option is on; found by sampling the move into the step the way playback ticks
    // it, with playback's own interception test. Worked out again only when the step or
    // the one before it changed.
    std::optional<InterceptionRisk> interceptionRisk() const;
    // The only way a step's drawings change; an empty list stores an absent field.
    // Without a step id it is the current step.
    void replaceAnnotations(std::vector<BoardAnnotation> annotations, std::optional<Uuid> stepID = std::nullopt);

    // --- Undo and redo of board edits (board_edits.cpp; drawings keep their own history)
    BoardEdits& boardEdits() { return edits_; }
    const BoardEdits& boardEdits() const { return edits_; }

    // --- Motion ------------------------------------------------------------------------
    void play();
    void pause();
    void cancelManualPass();
    // How fast transitions run against the clock: 1 is real time; kept within 0.25 … 4.
    // A change applies from the next tick on, also to a transition under way.
    double playbackSpeed() const { return motion_.speed; }
    void setPlaybackSpeed(double factor);

private:
    using Batch = ChangeNotifier<StoreChange>::Batch;

    void captureStageBaseline();
    void updateStageChanges();
    void animateTransition(int to, bool autoAdvance);
    void depart(const StageDeparture& departure);

    void setStatus(std::string text);
    void setStepIndex(int index);
    void setSelectedPlayer(std::optional<std::string> id);
    void setSelectedTacticKey(std::string key);
    BoardStep* mutableCurrentStep();
    // The tactic was edited: recompute the change flag and schedule the autosave.
    void recordEdit();
    // Stops everything that moves before the open tactic or step is replaced.
    void stopMotionForDeparture();
    // Replaces the open tactic after writing the autosave and stopping all motion.
    void installTactic(Tactic tactic, std::string key, std::string status);
    // Opens a tactic at its first step, with a fresh baseline and no selection.
    void openTactic(Tactic tactic, std::string key, std::string status);
    void clearStepPreview();
    void revealReceivedVision();
    void animateLayout(const FormationLayoutFrame& from);
    FormationLayoutFrame currentLayoutFrame() const;
    void passFrame(double elapsed, const ManualPass& flight);
    void transitionFrame(double elapsed, StepTransition& plan);
    void finishTransition(const StepTransition& plan);
    void intercept(const StepTransition& plan, const StepPlaybackFrame::Interception& interception);
    // The history's view of one command: recorded on leaving when it changed the tactic.
    BoardEditHistory::Scope editScope(std::string label, std::string mergeKey = {}) {
        return BoardEditHistory::Scope(history_, tactic_, stepIndex_, std::move(label), std::move(mergeKey));
    }
    void loadLibrary();
    void reportSaveOutcome();
    // Says a failed write of the remembered selection, after the command's own status.
    void reportSelectionWriteFailure();
    void restoreLastSelection();
    bool isOwnKey() const { return OwnTacticLibrary::isOwnKey(selectedTacticKey_); }

    PreferenceStore& defaults_;
    Platform& platform_;
    ChangeNotifier<StoreChange> notifier_;
    OwnTacticLibrary library_;
    StageBaseline stage_;
    BoardEditHistory history_;
    BoardEdits edits_{*this, history_};
    TacticFiles files_{*this, platform_};
    BoardMotion motion_{platform_};
    RecoveryJournal journal_{*this, library_.storage(), platform_};
    TacticVersions versions_{library_.storage(), platform_};

    Tactic tactic_;
    std::string selectedTacticKey_ = "builtin-7-0";
    int stepIndex_ = 0;
    std::optional<std::string> selectedPlayer_;
    std::optional<std::string> inspectedPlayerID_;
    bool draggingPlayer_ = false;
    std::string status_ = "拖动球员或足球来布置战术";
    bool showVision_ = false;
    bool showOffside_ = false;
    bool showRoutes_ = true;
    bool showInterceptionRisk_ = true;
    bool showMoves_ = false;
    BoardEquipment equipment_{*this};
    BoardSquad squad_{*this};
    OwnTacticCommands ownTactics_{*this};
    BoardRecovery recovery_{*this};
    struct RiskMemo {
        BoardStep from;
        BoardStep to;
        std::optional<InterceptionRisk> risk;
    };
    mutable std::optional<RiskMemo> riskMemo_;
    int formationFocusTeam_ = 0;

    std::optional<std::string> selectionWriteFailure_;


    // Callbacks hold this weakly; it dies with the store.
    std::shared_ptr<BoardStore*> self_;
};

}  // namespace vantrel

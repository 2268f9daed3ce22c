// SPDX-License-Identifier: GPL-3.0-or-later
// Editing the current step: players, ball, passes, runs, formations.
#include <cmath>

#include "core/library/builtin_tactics.h"
#include "core/model/tactic_limits.h"
#include "core/library/formation_preset.h"
#include "core/model/ball_flight.h"
#include "core/pitch/motion_path.h"
#include "core/store/board_store.h"
#include "core/scene/equipment_scene.h"
#include "core/store/playback_session.h"
#include "core/store/step_editing.h"

namespace vantrel {

namespace {

constexpr double kVisionFadeOutSeconds = 0.2;

}  // namespace

// --- Players and ball ------------------------------------------------------------------

void BoardStore::movePlayer(const std::string& id, Point to) {
    Batch batch(notifier_);
    auto scope = editScope("移动球员", draggingPlayer_ ? "drag:" + id : std::string());
    BoardStep* step = mutableCurrentStep();
    if (!step || !StepEditing::movePlayer(*step, id, to)) return;
    recordEdit();
}

void BoardStore::moveBall(Point to, bool snap) {
    Batch batch(notifier_);
    {
        // A ball drag moves it loose and lets it snap on release: one level.
        auto scope = editScope("移动足球", "ball");
        BoardStep* step = mutableCurrentStep();
        if (!step) return;
        if (auto snapped = StepEditing::moveBall(*step, to, snap)) {
            setSelectedPlayer(snapped->id);
            setStatus("足球已吸附到 " + playerLabel(*snapped));
        }
        recordEdit();
    }
    if (snap) history_.endMerge();
}

void BoardStore::giveBall(const std::string& id) {
    Batch batch(notifier_);
    auto scope = editScope("设为持球球员");
    BoardStep* step = mutableCurrentStep();
    if (!step || !step->player(id)) return;
    cancelManualPass();
    motion_.clearFlight();
    notifier_.mark(StoreChange::animation);
    StepEditing::giveBall(*mutableCurrentStep(), id);
    setSelectedPlayer(id);
    recordEdit();
}

void BoardStore::passOrGiveBall(const std::string& id) {
    if (motion_.passingFromID) return;
    const BoardStep* step = currentStep();
    if (!step) return;
    if (step->ballOwner) pass(id);
    else giveBall(id);
}

void BoardStore::pass(const std::string& receiverID) {
    Batch batch(notifier_);
    BoardStep* step = mutableCurrentStep();
    const Player* owner = step ? step->owner() : nullptr;
    const Player* receiver = step ? step->player(receiverID) : nullptr;
    if (!owner || !receiver || receiver->id == owner->id) {
        setStatus("请双击接球队员进行传球");
        return;
    }
    if ((owner->team == 0) != (receiver->team == 0)) {
        setStatus("只能向本队球员传球");
        return;
    }
    ManualPass flight;
    // The kick and the landing (or the interception) are one undo level.
    flight.historyKey = "pass:" + Uuid::random().string();
    auto scope = editScope("传球", flight.historyKey);
    flight.passer = *owner;
    flight.receiver = *receiver;
    flight.style = step->effectivePassStyle();
    flight.duration = BallFlight::duration(owner->position, receiver->position, flight.style);
    flight.startRotation = motion_.ballRotation;

    pause();
    cancelManualPass();   // also starts a new pass session
    flight.session = motion_.passSession;
    step = mutableCurrentStep();
    motion_.passingFromID = flight.passer.id;
    step->ballOwner.reset();
    motion_.ballTravelDirection = {flight.receiver.position.x - flight.passer.position.x,
                            flight.receiver.position.y - flight.passer.position.y};
    motion_.flyingBall = flight.passer.position;
    motion_.flyingBallHeight = 0;
    notifier_.mark(StoreChange::animation);
    recordEdit();

    std::weak_ptr<BoardStore*> weak = self_;
    motion_.clock(motion_.passClock).start([weak, flight](double elapsed) {
        if (auto self = weak.lock(); self && *self) (*self)->passFrame(elapsed, flight);
    });
}

void BoardStore::passFrame(double elapsed, const ManualPass& flight) {
    if (flight.session != motion_.passSession) return;
    Batch batch(notifier_);
    auto scope = editScope("传球", flight.historyKey);
    notifier_.mark(StoreChange::animation);
    const double p = flight.duration > 0 ? std::min(elapsed / flight.duration, 1.0) : 1.0;

    motion_.visionOpacity = motion_.reduceMotion ? 0.0 : 1.0 - smoothstep(std::min(elapsed / kVisionFadeOutSeconds, 1.0));
    const auto sample = BallFlight::sample(flight.passer.position, flight.receiver.position, p, flight.style);
    motion_.flyingBall = sample.position;
    motion_.flyingBallHeight = sample.height;
    motion_.ballRotation = flight.startRotation + sample.rotation;

    if (p > StepPlayback::kPassInterceptFrom && p < StepPlayback::kPassInterceptTo && sample.height < StepPlayback::kInterceptHeightLimit) {
        if (const BoardStep* step = currentStep()) {
            const Player* nearest = nearestOpponent(step->players, flight.passer.team, sample.position);
            if (nearest && aspectDistance(nearest->position, sample.position) < StepPlayback::kPassInterceptReach) {
                const Player interceptor = *nearest;
                giveBall(interceptor.id);
                revealReceivedVision();
                setStatus("传球被 " + playerLabel(tactic_, interceptor) + "拦截");
                return;
            }
        }
    }

    if (p >= 1) {
        motion_.passClock->invalidate();
        motion_.clearFlight();
        if (BoardStep* step = mutableCurrentStep()) {
            // The ball lands where the receiver stood when it was played.
            step->ball = flight.receiver.position;
            step->ballOwner = flight.receiver.id;
            recordEdit();
        }
        revealReceivedVision();
        setStatus("传球完成，足球已吸附到 " + playerLabel(flight.receiver));
    }
}

void BoardStore::revealReceivedVision() {
    Batch batch(notifier_);
    notifier_.mark(StoreChange::animation);
    BoardMotion::stop(motion_.visionClock);
    if (motion_.reduceMotion) {
        motion_.visionOpacity = 1.0;
        return;
    }
    motion_.visionOpacity = 0.0;
    std::weak_ptr<BoardStore*> weak = self_;
    motion_.clock(motion_.visionClock).start([weak](double elapsed) {
        auto self = weak.lock();
        if (!self || !*self) return;
        BoardStore& store = **self;
        Batch inner(store.notifier_);
        store.motion_.visionOpacity = smoothstep(std::min(elapsed / kVisionRevealSeconds, 1.0));
        store.notifier_.mark(StoreChange::animation);
        if (elapsed >= kVisionRevealSeconds) store.motion_.visionClock->invalidate();
    });
}

// --- Runs -------------------------------------------------------------------------------

Point BoardStore::routeControl(const std::string& id, const BoardStep& from, const BoardStep& to, Point start,
                               Point end) {
    return MotionPath::routeControl(id, from, to, start, end);
}

std::optional<BoardStore::Route> BoardStore::selectedRoute() const {
    if (motion_.layoutFrame || !selectedPlayer_ || stepIndex_ < 1 || !currentStep()) return std::nullopt;
    const BoardStep& from = tactic_.steps[static_cast<std::size_t>(stepIndex_ - 1)];
    const BoardStep& to = *currentStep();
    const Player* before = from.player(*selectedPlayer_);
    const Player* after = to.player(*selectedPlayer_);
    if (!before || !after) return std::nullopt;
    return Route{before->position, routeControl(*selectedPlayer_, from, to, before->position, after->position),
                 after->position};
}

std::optional<PathPreview> BoardStore::shownPassPreview() const {
    if (!motion_.previewRoute ||
        std::hypot(motion_.previewRoute->end.x - motion_.previewRoute->start.x, motion_.previewRoute->end.y - motion_.previewRoute->start.y) <= 0.035)
        return std::nullopt;
    return PathPreview{motion_.previewRoute->start, motion_.previewRoute->end, motion_.previewPassStyle.value_or(PassStyle::ground)};
}

std::optional<BoardStore::Route> BoardStore::shownRoute() const {
    if (!showRoutes()) return std::nullopt;
    auto route = selectedRoute();
    if (!route || std::hypot(route->end.x - route->start.x, route->end.y - route->start.y) <= 0.02) return std::nullopt;
    return route;
}

void BoardStore::setRouteControl(Point control) {
    Batch batch(notifier_);
    auto scope = editScope("调整跑位路线", "route:" + selectedPlayer_.value_or(""));
    BoardStep* step = mutableCurrentStep();
    if (!step || stepIndex_ < 1 || !selectedPlayer_) return;
    StepEditing::setRouteControl(*step, *selectedPlayer_, control);
    recordEdit();
    setStatus("已调整该球员的弯曲跑位");
}

void BoardStore::resetSelectedRoute() {
    Batch batch(notifier_);
    auto scope = editScope("恢复自动路线");
    BoardStep* step = mutableCurrentStep();
    if (!step || stepIndex_ < 1 || !selectedPlayer_) return;
    StepEditing::resetRoute(*step, *selectedPlayer_);
    recordEdit();
    setStatus("已恢复自动规划的跑位路线");
}

PassStyle BoardStore::passStyle() const {
    const BoardStep* step = currentStep();
    return step ? step->effectivePassStyle() : PassStyle::ground;
}

void BoardStore::setPassStyle(PassStyle style) {
    Batch batch(notifier_);
    auto scope = editScope("更改传球方式");
    BoardStep* step = mutableCurrentStep();
    if (!step) return;
    step->passStyle = style;
    recordEdit();
}

void BoardStore::setStepTitle(std::string title) {
    Batch batch(notifier_);
    BoardStep* step = mutableCurrentStep();
    TacticLimits::cutText(title, TacticLimits::kMaxTitleCharacters);
    if (!step || step->title == title) return;
    // Typing is one level per field until another edit.
    auto scope = editScope("修改步骤标题", "title:" + step->id.string());
    step->title = std::move(title);
    recordEdit();
}

void BoardStore::setStepNote(std::string note) {
    Batch batch(notifier_);
    BoardStep* step = mutableCurrentStep();
    TacticLimits::cutText(note, TacticLimits::kMaxNoteCharacters);
    if (!step || step->note == note) return;
    auto scope = editScope("修改讲解备注", "note:" + step->id.string());
    step->note = std::move(note);
    recordEdit();
}

// --- Formations -------------------------------------------------------------------------

std::string BoardStore::formationID(int team) const {
    const BoardStep* step = currentStep();
    if (!step) return "custom";
    const auto& label = team == 0 ? step->blueFormation : step->orangeFormation;
    return label.value_or("custom");
}

FormationLayoutFrame BoardStore::currentLayoutFrame() const {
    if (motion_.layoutFrame) return *motion_.layoutFrame;
    return FormationLayoutFrame::still(displayPlayers(), displayBall(), displayOwnerID());
}

void BoardStore::applyFormation(const std::string& presetID, int team) {
    Batch batch(notifier_);
    const FormationPreset* preset = FormationPreset::find(presetID, tactic_.format);
    if (!preset || !currentStep()) return;
    auto scope = editScope("应用阵型");
    const FormationLayoutFrame from = currentLayoutFrame();
    pause();
    cancelManualPass();

    StepEditing::applyFormation(*mutableCurrentStep(), *preset, team);
    recordEdit();
    animateLayout(from);
    setStatus(teamName(team) + " · " + preset->id + " · 已应用到当前阶段");
}

void BoardStore::animateLayout(const FormationLayoutFrame& from) {
    Batch batch(notifier_);
    notifier_.mark(StoreChange::animation);
    BoardMotion::stop(motion_.layoutClock);
    const BoardStep* step = currentStep();
    if (motion_.reduceMotion || !step) {
        motion_.layoutFrame.reset();
        return;
    }
    auto transition = std::make_shared<const FormationTransition>(from, *step);
    motion_.layoutFrame = transition->sample(0);
    std::weak_ptr<BoardStore*> weak = self_;
    motion_.clock(motion_.layoutClock).start([weak, transition](double elapsed) {
        auto self = weak.lock();
        if (!self || !*self) return;
        BoardStore& store = **self;
        Batch inner(store.notifier_);
        store.notifier_.mark(StoreChange::animation | StoreChange::frame);
        if (elapsed >= transition->duration) {
            store.motion_.layoutClock->invalidate();
            store.motion_.layoutFrame.reset();
        } else {
            store.motion_.layoutFrame = transition->sample(elapsed);
        }
    });
}

void BoardStore::changeFormat(int format) {
    Batch batch(notifier_);
    if (format == tactic_.format) return;
    if (!canLeaveStage({.kind = StageDeparture::Kind::changeFormat, .format = format})) return;
    const FormationLayoutFrame from = currentLayoutFrame();
    selectBuiltIn(0, format);
    animateLayout(from);
}

// --- Drawings ---------------------------------------------------------------------------

void BoardStore::replaceAnnotations(std::vector<BoardAnnotation> annotations, std::optional<Uuid> stepID) {
    Batch batch(notifier_);
    BoardStep* step = nullptr;
    if (stepID) {
        for (auto& s : tactic_.steps)
            if (s.id == *stepID) step = &s;
    } else {
        step = mutableCurrentStep();
    }
    if (!step) return;
    if (annotations.empty()) step->annotations.reset();
    else step->annotations = std::move(annotations);
    recordEdit();
}

// --- Display values ---------------------------------------------------------------------

std::vector<Player> BoardStore::displayPlayers() const { return motion_.displayPlayers(currentStep()); }

Point BoardStore::displayBall() const { return motion_.displayBall(currentStep()); }

std::optional<std::string> BoardStore::displayOwnerID() const { return motion_.displayOwnerID(currentStep()); }

double BoardStore::displayBallHeight() const { return motion_.displayBallHeight(); }

double BoardStore::playerOpacity(const std::string& id) const { return motion_.playerOpacity(id); }

std::optional<std::string> BoardStore::visionOwnerID() const { return motion_.visionOwnerID(currentStep()); }

BoardScene BoardStore::scene(bool withAnnotations) const {
    SceneInput in;
    in.teams = &tactic_.teams;
    in.players = displayPlayers();
    if (motion_.layoutFrame) {
        in.gliding = true;
        in.opacities.reserve(in.players.size());
        for (const auto& p : in.players) in.opacities.push_back(motion_.layoutFrame->opacity(p.id));
    }
    in.ball = displayBall();
    in.ballHeight = displayBallHeight();
    in.ownerID = displayOwnerID();
    in.ballInFlight = motion_.passingFromID.has_value() || (motion_.previewPlayers && motion_.previewBallInFlight);
    in.ballRotation = motion_.ballRotation;
    in.travelDirection = motion_.ballTravelDirection;
    in.selectedID = selectedPlayer_;
    in.inspectedID = inspectedPlayerID_;
    in.visionOwnerID = visionOwnerID();
    in.visionOpacity = motion_.visionOpacity;
    in.showVision = showVision_;
    in.showOffside = showOffside_;
    if (auto route = shownRoute()) {
        const BoardStep* step = currentStep();
        const Player* runner = step ? step->player(*selectedPlayer_) : nullptr;
        in.route = SceneRun{*route, *selectedPlayer_, runner && runner->team == 1 ? 1 : 0};
    }
    in.passPreview = shownPassPreview();
    in.risk = interceptionRisk();
    if (showMoves_) {
        if (motion_.previewPlayers) {
            in.moves = motion_.previewMoves;
            in.movesOpacity = 1 - motion_.previewProgress;
        } else if (stepIndex_ > 0 && currentStep() && !motion_.layoutFrame) {
            in.moves = movesInto(tactic_.steps[std::size_t(stepIndex_ - 1)], *currentStep());
        }
    }
    if (withAnnotations)
        if (const BoardStep* step = currentStep(); step && step->annotations && !step->annotations->empty())
            in.annotations = std::make_shared<const std::vector<BoardAnnotation>>(*step->annotations);
    in.interactive = !transitionRunning();
    if (squad_.focused()) in.focus = focusOf(tactic_, *squad_.focused());
    if (motion_.previewPlayers)
        in.equipment = glideEquipment(motion_.previewEquipmentFrom, motion_.previewEquipmentTo, motion_.previewProgress,
                                      in.equipmentOpacities);
    else if (const BoardStep* step = currentStep())
        in.equipment = stepEquipment(*step);
    in.selectedEquipment = equipment_.selected();
    if (equipment_.showPitchAreas()) in.pitchAreas = tactic_.pitch;
    return buildScene(std::move(in));
}


}  // namespace vantrel

// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/scene/board_scene.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "core/pitch/step_playback.h"
#include "core/scene/equipment_scene.h"
#include "core/pitch/vision_geometry.h"

namespace vantrel {

namespace {

constexpr double kVisionBlockerRadius = 0.018;   // x units, a player's body
constexpr double kFadingOpacity = 0.5;           // at or below: gliding out, casts no shadow
constexpr double kUnfocusedOpacity = 0.3;        // everyone but the focused player

double tokenDepth(Point p) { return 100 * p.y + 1; }

}  // namespace

Point RunCurve::at(double t) const { return quadraticPoint(start, control, end, t); }

const SceneToken* BoardScene::token(const std::string& id) const {
    for (const auto& t : players)
        if (t.player.id == id) return &t;
    return nullptr;
}

Point BoardScene::ballGround() const {
    if (ball.carrierID)
        if (const SceneToken* carrier = token(*ball.carrierID)) return carrier->player.position;
    return ball.position;
}

BoardScene buildScene(SceneInput in) {
    BoardScene scene;
    scene.players.reserve(in.players.size());
    for (std::size_t i = 0; i < in.players.size(); ++i) {
        SceneToken t;
        t.player = std::move(in.players[i]);
        t.opacity = i < in.opacities.size() ? std::clamp(in.opacities[i], 0.0, 1.0) : 1.0;
        if (!std::isfinite(t.opacity)) t.opacity = 1;
        t.selected = in.selectedID && *in.selectedID == t.player.id;
        t.inspected = in.inspectedID && *in.inspectedID == t.player.id;
        t.depth = tokenDepth(t.player.position);
        if (in.teams && t.player.team >= 0 && t.player.team < static_cast<int>(in.teams->size()))
            for (const SquadPlayer& named : (*in.teams)[static_cast<std::size_t>(t.player.team)].players)
                if (named.id == t.player.id) {
                    if (named.shirt) t.player.number = *named.shirt;
                    if (named.name) t.name = *named.name;
                }
        scene.players.push_back(std::move(t));
    }
    if (in.focus && scene.token(in.focus->playerID)) {
        for (auto& t : scene.players)
            if (t.player.id != in.focus->playerID) t.opacity *= kUnfocusedOpacity;
        scene.focus = std::move(in.focus);
    }
    if (in.teams)
        for (std::size_t team = 0; team < std::min<std::size_t>(2, in.teams->size()); ++team) {
            scene.teamNames[team] = (*in.teams)[team].name;
            if (const auto& colour = (*in.teams)[team].color; colour && colour->size() == 7 && (*colour)[0] == '#') {
                char* end = nullptr;
                const unsigned long rgb = std::strtoul(colour->c_str() + 1, &end, 16);
                if (end && *end == '\0') scene.kits[team] = static_cast<std::uint32_t>(rgb);
            }
        }

    // The ball stays with its owner unless a pass carries it: a flying ball is drawn free,
    // between passer and receiver, at its height.
    SceneBall& ball = scene.ball;
    ball.position = in.ball;
    ball.height = std::isfinite(in.ballHeight) ? std::max(in.ballHeight, 0.0) : 0.0;
    ball.rotation = in.ballRotation;
    ball.travelDirection = in.travelDirection;
    if (in.ownerID && !in.ballInFlight && scene.token(*in.ownerID)) ball.carrierID = in.ownerID;

    if (in.showVision && in.visionOwnerID) {
        if (const SceneToken* owner = scene.token(*in.visionOwnerID)) {
            std::vector<Point> blockers;
            blockers.reserve(scene.players.size());
            for (const auto& t : scene.players) {
                if (t.player.id == owner->player.id) continue;
                if (in.gliding && t.opacity <= kFadingOpacity) continue;
                blockers.push_back(t.player.position);
            }
            auto polygon = VisionGeometry::visiblePolygon(owner->player.position, blockers, kPitchAspect,
                                                          kVisionBlockerRadius);
            if (polygon.size() >= 3)
                scene.vision = SceneVision{owner->player.id, owner->player.position, std::move(polygon),
                                           std::clamp(in.visionOpacity, 0.0, 1.0)};
        }
    }
    if (in.showOffside) {
        std::vector<Player> shown;
        shown.reserve(scene.players.size());
        for (const auto& t : scene.players) shown.push_back(t.player);
        scene.offside = offsideLines(shown);
    }
    scene.route = std::move(in.route);
    if (in.passPreview) {
        // Drawn in the colour of whoever sees the pass: the carrier whose vision shows.
        int team = 0;
        if (in.visionOwnerID)
            if (const SceneToken* owner = scene.token(*in.visionOwnerID)) team = owner->player.team == 1 ? 1 : 0;
        scene.passPreview = ScenePass{*in.passPreview, team};
    }
    scene.risk = std::move(in.risk);
    scene.moves = std::move(in.moves);
    scene.movesOpacity = std::isfinite(in.movesOpacity) ? std::clamp(in.movesOpacity, 0.0, 1.0) : 1.0;
    scene.annotations = std::move(in.annotations);
    scene.interactive = in.interactive;

    // Flat draw order: a token by its depth; a carried ball just beneath its carrier
    // (above the tokens behind him); a free ball over everything nearer the far touchline,
    // and a lofted one over players it passes, its shadow on the turf.
    scene.order.reserve(scene.players.size() + 2);
    for (std::size_t i = 0; i < scene.players.size(); ++i)
        scene.order.push_back({BoardScene::Layer::token, static_cast<int>(i), scene.players[i].depth});
    if (ball.carrierID) {
        for (std::size_t i = 0; i < scene.players.size(); ++i)
            if (scene.players[i].player.id == *ball.carrierID) {
                ball.depth = scene.players[i].depth - 0.5;
                scene.order.push_back({BoardScene::Layer::ballAtFeet, static_cast<int>(i), ball.depth});
            }
    } else {
        ball.shadowDepth = 100 * ball.position.y + 0.1;
        ball.depth = 100 * ball.position.y + 300 * ball.height + 0.6;
        scene.order.push_back({BoardScene::Layer::ballShadow, -1, ball.shadowDepth});
        scene.order.push_back({BoardScene::Layer::ball, -1, ball.depth});
    }
    addEquipment(scene, in);
    std::stable_sort(scene.order.begin(), scene.order.end(),
                     [](const BoardScene::Item& a, const BoardScene::Item& b) { return a.depth < b.depth; });
    return scene;
}

std::vector<SceneMove> movesInto(const BoardStep& from, const BoardStep& to) {
    return movesOf(StepPlayback(from, to, true));
}

std::vector<SceneMove> movesOf(const StepPlayback& playback) {
    constexpr double kStandingStill = 0.01;   // aspect-weighted width units
    std::vector<SceneMove> moves;
    for (const auto& run : playback.runs()) {
        if (aspectDistance(run.start, run.end) < kStandingStill) continue;
        SceneMove move;
        move.kind = playback.dribblerID() == run.player.id ? SceneMove::Kind::dribble : SceneMove::Kind::run;
        move.team = run.player.team == 1 ? 1 : 0;
        move.curve = RunCurve{run.start, run.control, run.end};
        moves.push_back(move);
    }
    if (const auto& pass = playback.pass(); pass && aspectDistance(pass->kick, pass->receive) >= kStandingStill) {
        SceneMove move;
        move.kind = SceneMove::Kind::pass;
        move.team = pass->passerTeam == 1 ? 1 : 0;
        move.pass = PathPreview{pass->kick, pass->receive, pass->style};
        moves.push_back(move);
    }
    return moves;
}

std::optional<InterceptionRisk> interceptionRiskOf(const BoardStep& from, const BoardStep& to) {
    // The rotation only spins the ball; it never moves a player or the ball.
    auto frame = StepPlayback(from, to, true).firstInterception();
    if (!frame || !frame->interception) return std::nullopt;
    return InterceptionRisk{frame->interception->interceptor, frame->ball, frame->interception->onPassLine};
}

BoardScene stepScene(const Tactic& tactic, int index, const SceneDisplay& display) {
    SceneInput in;
    in.teams = &tactic.teams;
    in.showVision = display.showVision;
    in.showOffside = display.showOffside;
    if (display.showPitchAreas) in.pitchAreas = tactic.pitch;
    if (index >= 0 && index < static_cast<int>(tactic.steps.size())) {
        const BoardStep& step = tactic.steps[static_cast<std::size_t>(index)];
        in.players = step.players;
        in.ball = step.ball;
        in.ownerID = step.ballOwner;
        in.visionOwnerID = step.ballOwner;
        in.equipment = stepEquipment(step);
        if (step.annotations && !step.annotations->empty())
            in.annotations = std::make_shared<const std::vector<BoardAnnotation>>(*step.annotations);
        if (index > 0) {
            const BoardStep& before = tactic.steps[static_cast<std::size_t>(index - 1)];
            if (display.showInterceptionRisk) in.risk = interceptionRiskOf(before, step);
            if (display.showMoves) in.moves = movesInto(before, step);
        }
    }
    if (!display.focusPlayer.empty()) in.focus = focusOf(tactic, display.focusPlayer);
    return buildScene(std::move(in));
}

}  // namespace vantrel

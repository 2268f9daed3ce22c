// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/model/annotation.h"
#include "core/model/board.h"
#include "core/pitch/motion_path.h"
#include "core/pitch/offside_lines.h"

namespace vantrel {

// A player's run as drawn: the quadratic curve start → control → end.
struct RunCurve {
    Point start;
    Point control;
    Point end;
    bool operator==(const RunCurve&) const = default;
    // A point of the run, t from 0 (start) to 1 (end); its bend handle sits at 0.5.
    Point at(double t) const;
};

// A pass or dribble into a step that playback would stop at an interception.
struct InterceptionRisk {
    Player interceptor;        // where he stands at the interception
    Point at;                  // the ball where playback stops
    bool onPassLine = true;    // false: the dribbler is tackled
    bool operator==(const InterceptionRisk&) const = default;
};

// One player as a frame shows him. `player.number` is the number the token shows: the
// squad's shirt when it sets one.
struct SceneToken {
    Player player;
    std::string name;          // the squad's name for him, drawn by the token; empty: none
    double opacity = 1;        // 0 … 1; below 1 while a formation glide fades him
    bool selected = false;
    bool inspected = false;
    double depth = 0;          // draw order: 100 · y + 1, so a token lower down covers one above
    bool operator==(const SceneToken&) const = default;
};

// A piece of training equipment as a frame shows it (core/scene/equipment_scene.h).
struct SceneEquipment {
    Equipment piece;
    std::string label;         // "标志桶 3": its name on the screen and to a screen reader
    unsigned color = 0;        // 0xRRGGBB, the piece's or its kind's
    double opacity = 1;        // 0 … 1; below 1 while a piece fades in or out between steps
    bool selected = false;
    double depth = 0;          // draw order with the players: 100 · y + 0.5
    bool operator==(const SceneEquipment&) const = default;
};

// The ball as a frame shows it.
struct SceneBall {
    Point position;            // on the turf, pitch coordinates
    double height = 0;         // above the turf, normalised width units, never negative
    // Drawn at this player's feet (the flat board) rather than free; absent while the ball
    // is loose or flying.
    std::optional<std::string> carrierID;
    double rotation = 0;       // degrees rolled so far
    Point travelDirection{1, 0};
    double depth = 0;          // the flat board's draw order (see BoardScene::order)
    double shadowDepth = 0;
    bool operator==(const SceneBall&) const = default;
};

// The ball carrier's field of vision.
struct SceneVision {
    std::string ownerID;
    Point origin;
    std::vector<Point> polygon;   // corners in pitch coordinates, at least three
    double opacity = 1;
    bool operator==(const SceneVision&) const = default;
};

struct ScenePass {
    PathPreview path;
    int team = 0;              // whose colour it is drawn in (the passer's)
    bool operator==(const ScenePass&) const = default;
};

struct SceneRun {
    RunCurve curve;
    std::string playerID;
    int team = 0;
    bool operator==(const SceneRun&) const = default;
};

// What a player or the ball did on the way into a step, as a coaching diagram draws it:
// a run as a solid line, a dribble (the owner running with the ball) as a wavy one, a
// pass from the kick to the reception, solid along the ground and dashed when lofted.
struct SceneMove {
    enum class Kind { run, dribble, pass };
    Kind kind = Kind::run;
    int team = 0;                    // whose colour it is drawn in (the passer's for a pass)
    RunCurve curve;                  // run and dribble
    PathPreview pass;                // pass
    bool operator==(const SceneMove&) const = default;
};

// The moves from `from` into `to`, along the curves and the pass playback follows; a
// player who moved less than 1 % of the pitch stands still and draws nothing.
std::vector<SceneMove> movesInto(const BoardStep& from, const BoardStep& to);
class StepPlayback;
std::vector<SceneMove> movesOf(const StepPlayback& playback);   // the same, of a planned move

// One player's job through the whole tactic, as "聚焦球员" and his job sheet draw it: his
// run into every step where he moves, and a numbered stop where he stands at each step.
struct SceneFocus {
    struct Stop {
        Point at;
        std::string label;   // the step's number from 1; "2–4" while he stands there from 2 to 4
        bool operator==(const Stop&) const = default;
    };
    std::string playerID;
    int team = 0;
    std::vector<RunCurve> runs;
    std::vector<Stop> stops;
    bool operator==(const SceneFocus&) const = default;
};

// The focus on `playerID` through `tactic`'s steps; absent when no step has him.
std::optional<SceneFocus> focusOf(const Tactic& tactic, const std::string& playerID);

// Everything one frame of the board shows, in pitch coordinates and decided once for
// every surface: the screen in 2D and 3D, the presenter, images, handouts and videos.
// Painters only project it.
struct BoardScene {
    std::vector<SceneToken> players;   // in the tactic's order
    SceneBall ball;
    std::optional<SceneRun> route;          // the selected player's run with its handle
    std::optional<ScenePass> passPreview;
    std::optional<SceneVision> vision;
    std::optional<OffsideLines> offside;
    std::optional<InterceptionRisk> risk;
    std::vector<SceneMove> moves;      // drawn under the players
    double movesOpacity = 1;           // 0 … 1
    // One player followed through the tactic: the others dim, his path is drawn under them.
    std::optional<SceneFocus> focus;
    // The squad's kit colours as 0xRRGGBB by team; absent: the team's own colour.
    std::array<std::optional<std::uint32_t>, 2> kits{};
    // The squad's team names by team; absent: "蓝队" / "橙队".
    std::array<std::optional<std::string>, 2> teamNames{};
    // The step's drawings; shared, so frames of one step do not copy long strokes.
    std::shared_ptr<const std::vector<BoardAnnotation>> annotations;
    bool interactive = true;           // false while a transition animates: pointer input waits
    // The step's training equipment, in the step's order.
    std::vector<SceneEquipment> equipment;
    // The tactic's pitch areas when shown; absent: none drawn.
    std::optional<PitchAreas> pitchAreas;

    // What is drawn where on the flat board, bottom to top.
    enum class Layer { token, ballAtFeet, ballShadow, ball, equipment };
    struct Item {
        Layer layer;
        int player = -1;   // index into players for token and ballAtFeet; into equipment for equipment
        double depth = 0;
        bool operator==(const Item&) const = default;
    };
    std::vector<Item> order;

    bool operator==(const BoardScene&) const = default;

    const SceneToken* token(const std::string& id) const;
    // Where the flat board draws the ball: at the carrier's feet on the turf, else free.
    Point ballGround() const;
    double ballDrawnHeight() const { return ball.carrierID ? 0.0 : ball.height; }
};

// What a frame is built from: the displayed positions and everything laid over them.
struct SceneInput {
    std::vector<Player> players;
    std::vector<double> opacities;     // per player, in the same order; empty: all opaque
    bool gliding = false;              // a formation glide: faded players cast no shadow of vision
    Point ball{0.5, 0.5};
    double ballHeight = 0;
    std::optional<std::string> ownerID;
    bool ballInFlight = false;         // a pass flies: the ball is free whoever is its owner
    double ballRotation = 0;
    Point travelDirection{1, 0};
    std::optional<std::string> selectedID;
    std::optional<std::string> inspectedID;
    std::optional<std::string> visionOwnerID;
    double visionOpacity = 1;
    bool showVision = false;
    bool showOffside = false;
    std::optional<SceneRun> route;
    std::optional<PathPreview> passPreview;
    std::optional<InterceptionRisk> risk;
    std::vector<SceneMove> moves;
    double movesOpacity = 1;
    std::shared_ptr<const std::vector<BoardAnnotation>> annotations;
    bool interactive = true;
    std::optional<SceneFocus> focus;   // kept only while the scene shows its player
    // The tactic's squad (names, shirts, kits); null or empty: nobody named. Read while
    // the scene is built only.
    const std::vector<TeamSquad>* teams = nullptr;
    // The training equipment shown (glided between steps while a transition plays), its
    // opacities (empty: all opaque), the selected piece and the pitch areas shown.
    std::vector<Equipment> equipment;
    std::vector<double> equipmentOpacities;
    std::optional<Uuid> selectedEquipment;
    std::optional<PitchAreas> pitchAreas;
};

BoardScene buildScene(SceneInput input);

// The pass or dribble from `from` into `to` that forward playback would stop, and where.
std::optional<InterceptionRisk> interceptionRiskOf(const BoardStep& from, const BoardStep& to);

// What an export shows besides the steps themselves.
struct SceneDisplay {
    bool showVision = false;
    bool showOffside = false;
    bool showInterceptionRisk = true;
    bool reduceMotion = false;
    bool showMoves = true;   // the runs, dribbles and passes into each step
    std::string focusPlayer{};   // a player followed through the tactic ("聚焦球员"); empty: none
    bool showPitchAreas = true;   // the tactic's pitch area and grid, when it sets them
};

// Step `index` of `tactic` standing still, as an export shows it: no selection, with its
// drawings, the moves into it and the interception risk of the move into it. An index outside the steps
// gives an empty pitch.
BoardScene stepScene(const Tactic& tactic, int index, const SceneDisplay& display);

}  // namespace vantrel

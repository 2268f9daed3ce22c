// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/library/builtin_tactics.h"

#include <algorithm>
#include <array>
#include <set>

#include "core/library/formation_preset.h"
#include "core/library/pressing.h"
#include "core/pitch/motion_path.h"

namespace vantrel::BuiltInTactics {

namespace {

// Blue line-ups of the sample tactic in shirt-number order; orange mirrors them.
constexpr std::array<Point, 7> kSevenLineUp{{
    {0.10, 0.50}, {0.29, 0.24}, {0.28, 0.50}, {0.29, 0.76}, {0.53, 0.24}, {0.54, 0.50}, {0.53, 0.76},
}};
constexpr std::array<Point, 11> kElevenLineUp{{
    {0.08, 0.50}, {0.25, 0.13}, {0.23, 0.37}, {0.23, 0.63}, {0.25, 0.87}, {0.43, 0.22},
    {0.43, 0.50}, {0.43, 0.78}, {0.62, 0.20}, {0.66, 0.50}, {0.62, 0.80},
}};

constexpr double kSampleAdvance = 0.09;        // step 2: the blue outfield moves up …
constexpr double kSampleAdvanceCap = 0.82;     // … but not beyond this x
constexpr double kSampleFinalRun = 0.13;       // step 3: the runner's extra depth
constexpr double kSevenScriptLimit = 0.12;     // per-frame limit of a scripted move
constexpr double kElevenScriptLimit = 0.10;

BoardStep sampleStep(std::string title, std::string note, std::vector<Player> players, Point ball,
                     std::string owner) {
    BoardStep step;
    step.id = Uuid::random();
    step.title = std::move(title);
    step.note = std::move(note);
    step.players = std::move(players);
    step.ball = ball;
    step.ballOwner = std::move(owner);
    return step;
}

// Key of a script: k >= 1 is blue player k, k <= 0 orange player -k (negated in a wider
// type, so the most negative key names a player that does not exist instead of overflowing).
std::string scriptID(int key) {
    return key >= 1 ? playerID(0, key) : "away-" + std::to_string(-static_cast<long long>(key));
}

}  // namespace

Tactic sample(int format) {
    const bool seven = format == 7;
    const std::span<const Point> lineUp =
        seven ? std::span<const Point>(kSevenLineUp) : std::span<const Point>(kElevenLineUp);

    std::vector<Player> players;
    players.reserve(lineUp.size() * 2);
    for (std::size_t i = 0; i < lineUp.size(); ++i) {
        const int number = static_cast<int>(i) + 1;
        players.push_back({playerID(0, number), number, 0, lineUp[i]});
    }
    for (std::size_t i = 0; i < lineUp.size(); ++i) {
        const int number = static_cast<int>(i) + 1;
        const Point p = lineUp[i];
        // The goalkeeper stays on the long axis; the others mirror through the centre.
        const Point mirrored = number == 1 ? Point{1.0 - p.x, 0.5} : Point{1.0 - p.x, 1.0 - p.y};
        players.push_back({playerID(1, number), number, 1, mirrored});
    }

    const int openingOwner = seven ? 6 : 7;
    const int runner = seven ? 6 : 10;

    Tactic tactic;
    tactic.name = seven ? "边路推进示例" : "中路配合示例";
    tactic.format = seven ? 7 : 11;
    tactic.steps.push_back(sampleStep("1 · 初始站位", "蓝队控球。观察队形和可用空间。", players,
                                      {0.44, 0.5}, playerID(0, openingOwner)));

    for (auto& p : players)
        if (p.team == 0 && p.number != 1) p.position.x = std::min(p.position.x + kSampleAdvance, kSampleAdvanceCap);
    tactic.steps.push_back(sampleStep("2 · 向前推进", "蓝队整体向前移动，为持球者创造传球选择。", players,
                                      {0.55, 0.5}, playerID(0, openingOwner)));

    for (auto& p : players)
        if (p.team == 0 && p.number == runner) p.position.x += kSampleFinalRun;
    tactic.steps.push_back(sampleStep("3 · 完成配合", "前场球员前插，接应传球。", players, {0.72, 0.5},
                                      playerID(0, runner)));
    return tactic;
}

Point limitedMove(Point from, Point to, double limit) {
    // A negative or unknown limit allows no movement rather than a move backwards, and a
    // target we cannot place leaves the player where he is.
    if (!(limit >= 0)) limit = 0;
    if (!isFinite(to)) return clampToPitch(from);
    const double d = aspectDistance(from, to);
    Point result = to;
    if (d > limit) {
        const double f = limit / d;
        result = {from.x + (to.x - from.x) * f, from.y + (to.y - from.y) * f};
    }
    return clampToPitch(result);
}

Tactic makePlay(const std::string& name, int format, const std::string& formation,
                const std::vector<PlayFrame>& frames) {
    const bool seven = format == 7;
    std::vector<Player> players = sample(format).steps.front().players;

    const FormationPreset* preset = seven ? FormationPreset::find(formation, 7) : nullptr;
    if (preset) {
        const std::vector<Point> spots = preset->positions(0);
        for (auto& p : players) {
            if (p.number < 1 || static_cast<std::size_t>(p.number) > spots.size()) continue;
            const Point spot = spots[static_cast<std::size_t>(p.number) - 1];
            p.position = p.team == 0 ? spot : Point{1.0 - spot.x, 1.0 - spot.y};
        }
    }

    const double scriptLimit = seven ? kSevenScriptLimit : kElevenScriptLimit;
    PlayReaction reaction(players);

    Tactic tactic;
    tactic.name = name;
    tactic.format = format;
    tactic.steps.reserve(frames.size());

    for (std::size_t i = 0; i < frames.size(); ++i) {
        const PlayFrame& frame = frames[i];
        const std::vector<Player> before = players;

        std::set<std::string> scripted;
        for (const auto& [key, target] : frame.moves) {
            const std::string id = scriptID(key);
            auto it = std::find_if(players.begin(), players.end(), [&](const Player& p) { return p.id == id; });
            if (it == players.end() || !isFinite(target)) continue;
            it->position = i == 0 ? target : limitedMove(it->position, target, scriptLimit);
            scripted.insert(id);
        }

        const std::string ownerID = scriptID(frame.owner);
        // The opening frame is the line-up as placed; reactions start with the first change.
        if (i > 0) {
            const BoardStep& previous = tactic.steps.back();
            reaction.react(players, before, previous.ballOwner.value_or(""), scripted, ownerID);
        }

        BoardStep step;
        step.id = Uuid::random();
        step.title = frame.title;
        step.note = frame.note;
        step.players = players;
        if (const Player* owner = step.player(ownerID)) {
            step.ball = owner->position;
            step.ballOwner = ownerID;
        } else {
            step.ball = {0.5, 0.5};
        }
        if (preset) {
            step.blueFormation = formation;
            step.orangeFormation = formation;
        }

        if (i > 0) {
            const BoardStep& previous = tactic.steps.back();
            std::map<std::string, Point> controls;
            for (std::size_t k = 0; k < players.size(); ++k) {
                const Point start = before[k].position;
                const Point end = players[k].position;
                if (start == end || !isFinite(start) || !isFinite(end)) continue;
                controls[players[k].id] =
                    MotionPath::plannedControl(previous.players, previous.owner(), step.ball, players[k], start, end);
            }
            if (!controls.empty()) step.pathControls = std::move(controls);
        }
        tactic.steps.push_back(std::move(step));
    }
    return tactic;
}

const std::vector<Tactic>& sevenLibrary() {
    static const std::vector<Tactic> list = buildSevenLibrary();
    return list;
}

const std::vector<Tactic>& elevenLibrary() {
    static const std::vector<Tactic> list = buildElevenLibrary();
    return list;
}

const std::vector<Tactic>& library(int format) { return format == 7 ? sevenLibrary() : elevenLibrary(); }

}  // namespace vantrel::BuiltInTactics

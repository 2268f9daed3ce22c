// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/model/board.h"

namespace vantrel {

// A run is the quadratic Bézier start → control → end.
Point quadraticPoint(Point start, Point control, Point end, double t);

namespace MotionPath {
// Where a pass meets the runs during a step transition: it leaves the passer at this
// parameter of his curve and reaches the receiver at that of his.
inline constexpr double kKickAt = 5.0 / 32.0;
inline constexpr double kReceiveAt = 27.0 / 32.0;

// Control point of an automatically planned run: bent gently sideways, more when other
// players stand near the straight line, and towards the middle of the pitch.
Point control(Point from, Point to, const std::vector<Point>& obstacles, bool urgent);

// The control point planned for a run that has none stored: the other players where they
// stood before as obstacles, and a straight run for an opponent of the previous carrier
// who ends closer to the new ball by more than 0.012.
Point plannedControl(const std::vector<Player>& previous, const Player* previousOwner, Point ball,
                     const Player& runner, Point start, Point end);

// Control point of the run of player `id` from `start` (in step `from`) to `end` (in step
// `to`): the target step's own curved-run control, else the planned one.
Point routeControl(const std::string& id, const BoardStep& from, const BoardStep& to, Point start, Point end);

// Metres run along the curve start → control → end between parameters u0 and u1.
double arcMetres(Point start, Point control, Point end, double u0, double u1);
}  // namespace MotionPath

struct PathPreview {
    Point start;
    Point end;
    PassStyle style = PassStyle::ground;

    struct Sample {
        Point position;
        double height = 0;   // normalised width units
        bool operator==(const Sample&) const = default;
    };

    bool operator==(const PathPreview&) const = default;

    // 31 samples of the pass flight, start and end exact.
    std::vector<Sample> samples() const;
};

// Keeps the last sampling, so a redraw at display rate costs one comparison.
class PathPreviewCache {
public:
    const std::vector<PathPreview::Sample>& samples(const PathPreview& preview);
    int computations() const { return computations_; }

private:
    std::optional<PathPreview> previous_;
    std::vector<PathPreview::Sample> sampled_;
    int computations_ = 0;
};

}  // namespace vantrel

// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/pitch/motion_path.h"

#include <algorithm>
#include <cmath>

namespace vantrel {

Point quadraticPoint(Point start, Point control, Point end, double t) {
    const double u = 1.0 - t;
    return {u * u * start.x + 2.0 * u * t * control.x + t * t * end.x,
            u * u * start.y + 2.0 * u * t * control.y + t * t * end.y};
}

namespace MotionPath {

namespace {
// Lengths below are in scaled units: x stretched by the pitch aspect, so a threshold
// means the same distance along and across the pitch.
constexpr double kStraightRunLength = 0.025;   // shorter runs are not bent
constexpr double kObstacleFrom = 0.12;         // obstacles count strictly inside this span
constexpr double kObstacleTo = 0.88;           //   of the run (fractions of its length)
constexpr double kObstacleReach = 0.075;       // … and closer than this to the straight line
constexpr double kNoObstacleScore = 1.0;

// Room a candidate control point has: to the nearest player and to every touchline.
double clearance(Point c, const std::vector<Point>& obstacles) {
    double score = kNoObstacleScore;
    bool any = false;
    for (const auto& o : obstacles) {
        const double d = aspectDistance(c, o);
        if (std::isnan(d)) continue;   // a player without a position blocks nothing
        score = any ? std::min(score, d) : d;
        any = true;
    }
    score = std::min({score, c.x * kPitchAspect, (1.0 - c.x) * kPitchAspect, c.y, 1.0 - c.y});
    return score;
}
}  // namespace

Point control(Point from, Point to, const std::vector<Point>& obstacles, bool urgent) {
    const double dx = (to.x - from.x) * kPitchAspect;
    const double dy = to.y - from.y;
    const double length = std::hypot(dx, dy);
    const Point mid{(from.x + to.x) / 2.0, (from.y + to.y) / 2.0};
    // An urgent run goes straight; so does a short one, and one we cannot measure.
    if (urgent || !(length > kStraightRunLength) || !std::isfinite(length)) return mid;

    // Unit normal to the left of travel in scaled space, expressed in pitch units.
    const Point normal{-(dy / length) / kPitchAspect, dx / length};

    bool blocked = false;
    const double lengthSquared = length * length;
    for (const auto& o : obstacles) {
        const double ox = (o.x - from.x) * kPitchAspect;
        const double oy = o.y - from.y;
        const double t = (dx * ox + dy * oy) / lengthSquared;
        const double offLine = std::abs(dy * ox - dx * oy) / length;
        if (t > kObstacleFrom && t < kObstacleTo && offLine < kObstacleReach) {
            blocked = true;
            break;
        }
    }

    // Bend size in scaled units: a clear run is still gently curved.
    const double bend = blocked ? std::clamp(0.5 * length, 0.07, 0.13) : std::clamp(0.35 * length, 0.035, 0.06);

    const Point plus{mid.x + bend * normal.x, mid.y + bend * normal.y};
    const Point minus{mid.x - bend * normal.x, mid.y - bend * normal.y};
    const double side = clearance(minus, obstacles) <= clearance(plus, obstacles) ? bend : -bend;
    return clampToPitch({mid.x + normal.x * side, mid.y + normal.y * side});
}

}  // namespace MotionPath

std::vector<PathPreview::Sample> PathPreview::samples() const {
    constexpr int kIntervals = 30;
    const double d = metresBetween(start, end);
    const double peak = std::min(0.12 * d, 5.5) * 4.0 / kPitchWidthMetres;

    std::vector<Sample> out;
    out.reserve(kIntervals + 1);
    for (int i = 0; i <= kIntervals; ++i) {
        const double t = static_cast<double>(i) / kIntervals;
        if (!(d > 0)) {
            out.push_back({start, 0.0});
            continue;
        }
        const double height = style == PassStyle::loft ? peak * t * (1.0 - t) : 0.0;
        Point position;
        if (i == 0) {
            position = start;
        } else if (i == kIntervals) {
            position = end;
        } else {
            // A ground pass runs ahead early and slows towards the receiver.
            const double progress = style == PassStyle::loft ? t : t + 0.2 * t * (1.0 - t);
            position = {start.x + (end.x - start.x) * progress, start.y + (end.y - start.y) * progress};
        }
        out.push_back({position, height});
    }
    return out;
}

const std::vector<PathPreview::Sample>& PathPreviewCache::samples(const PathPreview& preview) {
    if (previous_ && *previous_ == preview) return sampled_;
    sampled_ = preview.samples();
    previous_ = preview;
    ++computations_;
    return sampled_;
}

Point MotionPath::plannedControl(const std::vector<Player>& previous, const Player* previousOwner, Point ball,
                                 const Player& runner, Point start, Point end) {
    std::vector<Point> obstacles;
    obstacles.reserve(previous.size());
    for (const auto& p : previous)
        if (p.id != runner.id) obstacles.push_back(p.position);
    bool urgent = false;
    if (previousOwner && (previousOwner->team == 0) != (runner.team == 0))
        urgent = aspectDistance(end, ball) < aspectDistance(start, ball) - 0.012;
    return control(start, end, obstacles, urgent);
}

}  // namespace vantrel

namespace vantrel::MotionPath {

Point routeControl(const std::string& id, const BoardStep& from, const BoardStep& to, Point start, Point end) {
    if (auto stored = to.pathControl(id)) return *stored;
    // A runner missing from the step before cannot be an opponent closing in.
    const Player* runner = from.player(id);
    const Player fallback{id, 0, 0, start};
    return plannedControl(from.players, runner ? from.owner() : nullptr, to.ball, runner ? *runner : fallback, start,
                          end);
}

double arcMetres(Point start, Point control, Point end, double u0, double u1) {
    // Composite 4-point Gauss-Legendre over the speed |B'(u)| in metres: exact to well
    // below a millimetre for any run on the pitch, and a pure function of its bounds.
    static constexpr double kNodes[4] = {-0.8611363115940526, -0.3399810435848563, 0.3399810435848563,
                                         0.8611363115940526};
    static constexpr double kWeights[4] = {0.3478548451374538, 0.6521451548625461, 0.6521451548625461,
                                           0.3478548451374538};
    constexpr int kPieces = 8;
    if (!(u1 > u0)) return 0.0;
    const Point a{(control.x - start.x) * kPitchLengthMetres, (control.y - start.y) * kPitchWidthMetres};
    const Point b{(end.x - control.x) * kPitchLengthMetres, (end.y - control.y) * kPitchWidthMetres};
    const double h = (u1 - u0) / kPieces;
    double total = 0;
    for (int k = 0; k < kPieces; ++k) {
        const double mid = u0 + (k + 0.5) * h;
        for (int n = 0; n < 4; ++n) {
            const double u = mid + 0.5 * h * kNodes[n];
            const double vx = 2.0 * ((1.0 - u) * a.x + u * b.x);
            const double vy = 2.0 * ((1.0 - u) * a.y + u * b.y);
            total += kWeights[n] * 0.5 * h * std::hypot(vx, vy);
        }
    }
    return std::isfinite(total) ? total : 0.0;
}

}  // namespace vantrel::MotionPath

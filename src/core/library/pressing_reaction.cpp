// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/library/pressing.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <optional>

#include "core/library/builtin_tactics.h"
#include "core/pitch/motion_path.h"
#include "core/pitch/step_playback.h"

namespace vantrel {

// How the players a frame leaves alone react
// ------------------------------------------
// Everything is worked out in the defending side's frame: X is the depth towards the goal
// that side defends (x when orange defends, 1 − x when blue does), Y is y. d is the ball's
// X, p = clamp((d − 0.2) / 0.6) the pressure the ball puts on the goal, q = clamp((0.63 −
// d) / 0.4) how high up the pitch the defenders can still afford to hunt.
//
// The attacking side keeps its shape: only the script moves it.
//
// Each defender of the side without the ball that the frame does not move takes one job:
//  - goalkeeper: its opening depth, sliding 0.07 × (ball Y − 0.5) across; limit 0.025.
//  - presser: the outfield defender nearest the carrier closes him down from goal-side,
//    0.045 deeper and 0.04 inside of him. A defender who is not goal-side of the ball
//    counts 0.1 farther (chasing from behind is the last resort), and the carrier's own
//    marker takes the job when he is within 0.08 of the nearest. If the nearest is one the
//    script moves, the script does the pressing and nobody else is sent. Limit 0.075.
//  - screen: a front-line defender whose opponent stands behind the ball takes the middle
//    of the carrier and that opponent, 0.055 deeper, to cut the pass back. Limit 0.075.
//  - cover: the defender paired with the carrier, when someone else presses him, waits
//    0.11 deeper and 0.06 inside (unless the carrier is out of his reach, below); limit
//    0.055.
//  - marker: every other outfield defender blends its zone with a goal-side spot on its
//    paired attacker, weight 0.4 + 0.6 q (man-oriented high up, zonal near the own goal).
//    The spot is 0.08 deeper and 0.14 of the way towards the ball's Y for an attacker
//    within 0.3 of the ball, 0.11 deeper and 0.05 of the way up to 0.5 from it, and beyond
//    that 0.18 deeper and up to 0.15 towards the ball (the far side sags off and narrows).
//    An attacker more than 0.4 in front of the defender's opening spot is left to the
//    defenders up the pitch. Limit 0.055.
//  - zone, for a defender with no one to mark: across, its opening Y with the block's width
//    narrowed to 0.75 around a centre shifted 0.19 × (ball Y − 0.5) towards the ball, plus
//    a pull of 0.12 p towards the ball's Y; in depth, its opening X moved by (0.65 p +
//    0.35) × (0.08 r + 0.03) − 0.09, where r (0 … 2) is the rank of its opening line from
//    the front: the block pushes up while the ball is far away and drops, the back line
//    most, as the ball comes on.
// Every defender behind the front line, except a presser or screen, stays at least 0.03
// goal-side of the ball, so the block keeps between the ball and its goal.
//
// Pairings: the first time a side defends, its attackers are taken by X, most advanced
// first (list order on ties), and each is given the nearest free outfield defender,
// measured to the spot 0.18 goal-side of him (so a back picks up the striker, not the
// striker facing him). The table is kept for the rest of the play and rebuilt only when
// a player in it is gone or has changed sides.
//
// Each target passes through limitedMove from the player's current position with the
// job's limit; all targets come from the positions after the frame's scripted moves,
// before anybody reacts. A sample play must run through: a reaction may not end within
// 0.06 of another player (the discs would overlap), nor bring the defender within 0.045 of
// the ball while playback carries it into the frame (the board would stop the play as an
// interception). When the planned spot breaks either rule, the defender takes the nearest
// admissible spot within its limit; the reacting defenders are settled in list order.

namespace {

constexpr double kPressDepth = 0.045;
constexpr double kPressInside = 0.04;
constexpr double kBehindBallPenalty = 0.1;
constexpr double kPresserPreference = 0.08;
constexpr double kScreenDepth = 0.055;
constexpr double kCoverDepth = 0.11;
constexpr double kCoverInside = 0.06;
constexpr double kNearOption = 0.3;
constexpr double kMidOption = 0.5;
constexpr double kMarkReach = 0.4;
constexpr double kPairingDepth = 0.18;
constexpr double kGoalSideOfBall = 0.03;
constexpr double kBlockWidth = 0.75;
constexpr double kLineGap = 0.06;             // opening depths further apart start a new line
constexpr double kSpacing = 0.06;             // closest a reaction ends to another player
constexpr double kBallClearance = 0.045;      // closest a reacting defender comes to the ball
constexpr int kClearanceSamples = 64;
constexpr int kRingDirections = 16;

// Fractions of the transition in which playback lets an opponent take the ball, widened a
// little so that no reaction ends right at the edge of one.
constexpr double kPassWindowFrom = StepPlayback::kKick +
                                   StepPlayback::kPassInterceptFrom * (StepPlayback::kReceive - StepPlayback::kKick) -
                                   0.02;
constexpr double kPassWindowTo =
    StepPlayback::kKick + StepPlayback::kPassInterceptTo * (StepPlayback::kReceive - StepPlayback::kKick) + 0.02;
constexpr double kDribbleWindowFrom = StepPlayback::kDribbleTackleFrom - 0.03;
constexpr double kDribbleWindowTo = StepPlayback::kDribbleTackleTo + 0.03;

// Sort key of a coordinate or distance: one we cannot read counts as infinitely large,
// which keeps the order strict.
double sortKey(double v) { return std::isnan(v) ? std::numeric_limits<double>::infinity() : v; }

double clamp01(double v) { return std::isfinite(v) ? std::clamp(v, 0.0, 1.0) : 0.0; }

bool sameSide(const Player& a, const Player& b) { return (a.team == 0) == (b.team == 0); }

// The defending side's frame: depth X towards its own goal. Mirroring is its own inverse.
struct DefendingFrame {
    bool awayDefends;
    Point operator()(Point p) const { return awayDefends ? p : Point{1.0 - p.x, p.y}; }
};

std::optional<std::size_t> indexOf(const std::vector<Player>& players, const std::string& id) {
    for (std::size_t i = 0; i < players.size(); ++i)
        if (players[i].id == id) return i;
    return std::nullopt;
}

}  // namespace

PlayReaction::PlayReaction(const std::vector<Player>& opening) {
    for (const auto& p : opening) opening_.emplace(p.id, p.position);
}

const std::map<std::string, std::string>& PlayReaction::pairings(bool homeDefends) const {
    return pairings_[homeDefends ? 0 : 1];
}

void PlayReaction::react(std::vector<Player>& players, const std::vector<Player>& previous,
                         const std::string& previousOwnerID, const std::set<std::string>& scripted,
                         const std::string& ownerID) {
    const auto carrierIndex = indexOf(players, ownerID);
    if (!carrierIndex || previous.size() != players.size()) return;
    const Player carrier = players[*carrierIndex];
    if (!isFinite(carrier.position)) return;

    const DefendingFrame view{carrier.team == 0};
    const Point ball = view(carrier.position);
    const double d = ball.x;
    const double p = clamp01((d - 0.2) / 0.6);
    const double q = clamp01((0.63 - d) / 0.4);
    const double inside = ball.y >= 0.5 ? -1.0 : 1.0;   // towards the middle from the ball

    std::vector<std::size_t> defenders;   // outfield of the side without the ball
    std::vector<std::size_t> attackers;   // outfield of the side with it, carrier included
    for (std::size_t i = 0; i < players.size(); ++i) {
        if (players[i].number == 1) continue;
        (sameSide(players[i], carrier) ? attackers : defenders).push_back(i);
    }

    auto openingSpot = [&](const Player& pl) {
        auto it = opening_.find(pl.id);
        return view(it != opening_.end() ? it->second : pl.position);
    };

    // Pairings, rebuilt only when someone in the table has gone or changed sides.
    auto& table = pairings_[view.awayDefends ? 1 : 0];
    const bool stale = table.empty() || std::any_of(table.begin(), table.end(), [&](const auto& entry) {
                           const auto di = indexOf(players, entry.first);
                           const auto ai = indexOf(players, entry.second);
                           return !di || !ai || sameSide(players[*di], carrier) || !sameSide(players[*ai], carrier);
                       });
    if (stale) {
        table.clear();
        std::vector<std::size_t> order = attackers;
        std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
            return sortKey(view(players[a].position).x) > sortKey(view(players[b].position).x);
        });
        std::vector<bool> taken(players.size(), false);
        for (std::size_t a : order) {
            const Point at = view(players[a].position);
            const Point spot{at.x + kPairingDepth, at.y};
            std::optional<std::size_t> best;
            double bestDistance = std::numeric_limits<double>::infinity();
            for (std::size_t def : defenders) {
                if (taken[def]) continue;
                const double dist = aspectDistance(view(players[def].position), spot);
                if (dist < bestDistance) {
                    bestDistance = dist;
                    best = def;
                }
            }
            if (!best) continue;
            taken[*best] = true;
            table[players[*best].id] = players[a].id;
        }
    }
    auto partnerOf = [&](const Player& defender) -> std::optional<std::size_t> {
        auto it = table.find(defender.id);
        if (it == table.end()) return std::nullopt;
        return indexOf(players, it->second);
    };

    // Lines of the defending side by opening depth, front line first.
    std::vector<double> depths;
    for (std::size_t def : defenders)
        if (const double x = openingSpot(players[def]).x; std::isfinite(x)) depths.push_back(x);
    std::sort(depths.begin(), depths.end());
    std::vector<double> lineFronts;
    for (double x : depths)
        if (lineFronts.empty() || x - lineFronts.back() > kLineGap) lineFronts.push_back(x);
    auto lineOf = [&](double openingX) {
        int line = 0;
        for (std::size_t k = 0; k < lineFronts.size(); ++k)
            if (openingX >= lineFronts[k]) line = static_cast<int>(k);
        return line;
    };
    const int lineCount = std::max<int>(1, static_cast<int>(lineFronts.size()));

    // The presser.
    std::optional<std::size_t> presser;
    {
        auto pressDistance = [&](std::size_t def) {
            const double dist = aspectDistance(players[def].position, carrier.position);
            return view(players[def].position).x > ball.x ? dist : dist + kBehindBallPenalty;
        };
        std::optional<std::size_t> nearest;
        double nearestDistance = std::numeric_limits<double>::infinity();
        for (std::size_t def : defenders) {
            const double dist = pressDistance(def);
            if (dist < nearestDistance) {
                nearestDistance = dist;
                nearest = def;
            }
        }
        if (nearest && !scripted.count(players[*nearest].id)) {
            presser = nearest;
            for (std::size_t def : defenders) {
                const auto partner = partnerOf(players[def]);
                if (def == *nearest || !partner || *partner != *carrierIndex || scripted.count(players[def].id))
                    continue;
                if (pressDistance(def) <= nearestDistance + kPresserPreference) presser = def;
            }
        }
    }

    // Planned spots and limits of the reacting players.
    struct Reaction {
        std::size_t index;
        Point planned;
        double limit;
    };
    std::vector<Reaction> reactions;
    for (std::size_t i = 0; i < players.size(); ++i) {
        const Player& pl = players[i];
        if (sameSide(pl, carrier) || scripted.count(pl.id) || !isFinite(pl.position)) continue;

        const Point home = openingSpot(pl);
        Point target;
        double limit = PressLimits::kPlayer;

        if (pl.number == 1) {
            target = {home.x, 0.5 + 0.07 * (ball.y - 0.5)};
            limit = PressLimits::kGoalkeeper;
        } else {
            const int line = lineOf(home.x);
            const double rank = lineCount > 1 ? 2.0 * line / (lineCount - 1) : 1.0;
            const bool frontLine = line == 0 && lineCount > 1;

            const double centre = 0.5 + 0.19 * (ball.y - 0.5);
            const double across = centre + kBlockWidth * (home.y - 0.5);
            const Point zone{home.x + (0.65 * p + 0.35) * (0.08 * rank + 0.03) - 0.09,
                             across + 0.12 * p * (ball.y - across)};
            target = zone;
            bool pressing = false;

            const auto partner = partnerOf(pl);
            if (presser && *presser == i) {
                target = {ball.x + kPressDepth, ball.y + inside * kPressInside};
                limit = PressLimits::kPresser;
                pressing = true;
            } else if (partner && *partner == *carrierIndex && home.x - ball.x <= kMarkReach) {
                target = {ball.x + kCoverDepth, ball.y + inside * kCoverInside};
            } else if (partner) {
                const Point man = view(players[*partner].position);
                if (frontLine && man.x < ball.x) {
                    target = {(man.x + ball.x) / 2.0 + kScreenDepth, (man.y + ball.y) / 2.0};
                    limit = PressLimits::kPresser;
                    pressing = true;
                } else if (home.x - man.x <= kMarkReach) {
                    const double fromBall = aspectDistance(man, ball);
                    Point mark;
                    if (fromBall < kNearOption) {
                        mark = {man.x + 0.08, man.y + 0.14 * (ball.y - man.y)};
                    } else if (fromBall < kMidOption) {
                        mark = {man.x + 0.11, man.y + 0.05 * (ball.y - man.y)};
                    } else {
                        mark = {man.x + 0.18, man.y + std::clamp(ball.y - man.y, -0.15, 0.15)};
                    }
                    const double w = 0.4 + 0.6 * q;
                    target = {zone.x + w * (mark.x - zone.x), zone.y + w * (mark.y - zone.y)};
                }
            }
            if (!pressing && !frontLine) target.x = std::max(target.x, ball.x + kGoalSideOfBall);
        }

        const Point wanted = view(target);
        if (!isFinite(wanted)) continue;
        reactions.push_back({i, BuiltInTactics::limitedMove(pl.position, wanted, limit), limit});
    }
    if (reactions.empty()) return;

    // The ball's way into this step, as playback will show it.
    const auto previousOwnerIndex = indexOf(previous, previousOwnerID);
    const Player* previousOwner = previousOwnerIndex ? &previous[*previousOwnerIndex] : nullptr;
    auto runOf = [&](std::size_t i, Point end) {
        const Point start = previous[i].position;
        return StepPlayback::Run{players[i], start,
                                 MotionPath::plannedControl(previous, previousOwner, carrier.position, players[i], start, end),
                                 end};
    };
    std::vector<std::pair<double, Point>> ballSamples;   // the ball at each sampled moment
    if (previousOwner) {
        BoardStep before;
        before.players = previous;
        before.ball = previousOwner->position;
        before.ballOwner = previousOwnerID;
        BoardStep after;
        after.players = players;
        after.ball = carrier.position;
        after.ballOwner = carrier.id;
        const StepPlayback playback(before, after, true);
        const bool canBeTaken = playback.pass() || playback.dribblerID();
        const double from = playback.pass() ? kPassWindowFrom : kDribbleWindowFrom;
        const double to = playback.pass() ? kPassWindowTo : kDribbleWindowTo;
        if (canBeTaken) {
            ballSamples.reserve(kClearanceSamples + 1);
            for (int k = 0; k <= kClearanceSamples; ++k) {
                const double t = from + (to - from) * k / kClearanceSamples;
                ballSamples.emplace_back(t, playback.ballAt(t));
            }
        }
    }
    auto ballClearance = [&](std::size_t i, Point end) {
        if (ballSamples.empty()) return std::numeric_limits<double>::infinity();
        const auto run = runOf(i, end);
        double closestSquared = std::numeric_limits<double>::infinity();
        for (const auto& [t, ballAt] : ballSamples) {
            const Point runner = run.at(t);
            const double dx = (runner.x - ballAt.x) * kPitchAspect;
            const double dy = runner.y - ballAt.y;
            closestSquared = std::min(closestSquared, dx * dx + dy * dy);
        }
        return std::sqrt(closestSquared);
    };

    std::vector<Point> placed(players.size());
    for (std::size_t i = 0; i < players.size(); ++i) placed[i] = players[i].position;
    for (const auto& r : reactions) placed[r.index] = r.planned;

    // Score of a spot: the worse of the two rules, as a fraction of what each asks for.
    auto admissibility = [&](std::size_t index, Point c) {
        double spacing = std::numeric_limits<double>::infinity();
        for (std::size_t j = 0; j < players.size(); ++j)
            if (j != index) spacing = std::min(spacing, aspectDistance(c, placed[j]));
        return std::min(spacing / kSpacing, ballClearance(index, c) / kBallClearance);
    };

    for (const auto& r : reactions) {
        const double plannedScore = admissibility(r.index, r.planned);
        if (plannedScore >= 1.0) continue;

        // Other spots within the limit, nearest the planned one first: part of the way
        // there, and two rings around the current position.
        const Point from = players[r.index].position;
        std::vector<Point> candidates;
        for (double scale : {0.66, 0.33, 0.0}) {
            const Point partWay{from.x + (r.planned.x - from.x) * scale, from.y + (r.planned.y - from.y) * scale};
            candidates.push_back(BuiltInTactics::limitedMove(from, partWay, r.limit));
        }
        for (double radius : {r.limit, r.limit / 2.0}) {
            for (int k = 0; k < kRingDirections; ++k) {
                const double angle = 2.0 * std::numbers::pi * k / kRingDirections;
                candidates.push_back(BuiltInTactics::limitedMove(
                    from, {from.x + radius * std::cos(angle) / kPitchAspect, from.y + radius * std::sin(angle)},
                    r.limit));
            }
        }
        std::vector<std::pair<double, Point>> byDistance;
        for (const Point c : candidates) byDistance.emplace_back(aspectDistance(c, r.planned), c);
        std::stable_sort(byDistance.begin(), byDistance.end(),
                         [](const auto& a, const auto& b) { return sortKey(a.first) < sortKey(b.first); });

        Point best = r.planned;
        double bestScore = plannedScore;
        for (const auto& [distance, c] : byDistance) {
            const double score = admissibility(r.index, c);
            if (score >= 1.0) {
                best = c;
                break;
            }
            if (score > bestScore) {
                bestScore = score;
                best = c;
            }
        }
        placed[r.index] = best;
    }
    for (const auto& r : reactions) players[r.index].position = placed[r.index];
}

}  // namespace vantrel

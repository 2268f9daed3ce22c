// SPDX-License-Identifier: GPL-3.0-or-later
// The opponents' high press applied to a user's tactic: in every step the side without
// the ball closes down the carrier, blocks the lane of the pass that has just arrived and
// marks the other attackers, each defender moving at most its per-step limit.

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <optional>

#include "core/library/pressing.h"

namespace vantrel {

namespace {

// Aspect-weighted distances in normalised width units.
constexpr double kSecondPresserDepth = 0.09;
constexpr double kSecondPresserSide = 0.065;
constexpr double kMarkingDepth = 0.035;
constexpr double kShortestLaneSquared = 0.0025;   // lanes this short (squared) are not blocked
constexpr double kLaneFrom = 0.08;                 // a blocker stands strictly inside this span
constexpr double kLaneTo = 0.92;                   //   of the lane (fractions of its length)
constexpr double kLaneReach = 0.11;

bool isHome(const Player& p) { return p.team == 0; }

// Sort key of a distance: one we cannot measure sorts last (and keeps the order strict).
double sortKey(double distance) { return std::isnan(distance) ? std::numeric_limits<double>::infinity() : distance; }

}  // namespace

Tactic withOpponentHighPress(const Tactic& tactic) {
    Tactic result = tactic;
    if (result.steps.empty()) return result;

    std::map<std::string, Point> opening;
    for (const auto& p : tactic.steps.front().players) opening.emplace(p.id, p.position);

    for (std::size_t i = 0; i < result.steps.size(); ++i) {
        BoardStep& step = result.steps[i];
        const BoardStep* previous = i > 0 ? &result.steps[i - 1] : nullptr;

        const Player* ownerPtr = step.owner();
        if (!ownerPtr) continue;
        const Player owner = *ownerPtr;
        const bool homeAttacks = isHome(owner);
        const bool awayDefends = homeAttacks;   // the defending side's goal is at x = 1

        // Where a player comes from: the adapted step before, else the opening line-up,
        // else where this step puts him.
        auto startOf = [&](const Player& p) -> Point {
            if (previous)
                if (const Player* before = previous->player(p.id)) return before->position;
            if (auto it = opening.find(p.id); it != opening.end()) return it->second;
            return p.position;
        };

        std::vector<const Player*> attackers;
        std::vector<const Player*> defenders;
        for (const auto& p : step.players) {
            if (p.number == 1) continue;
            if (isHome(p) == homeAttacks) {
                if (p.id != owner.id) attackers.push_back(&p);
            } else {
                defenders.push_back(&p);
            }
        }
        std::stable_sort(defenders.begin(), defenders.end(), [&](const Player* a, const Player* b) {
            return sortKey(aspectDistance(startOf(*a), owner.position)) <
                   sortKey(aspectDistance(startOf(*b), owner.position));
        });

        std::map<std::string, Point> targets;
        std::vector<std::string> pressers;
        if (!defenders.empty()) {
            targets[defenders[0]->id] = owner.position;
            pressers.push_back(defenders[0]->id);
        }
        if (defenders.size() >= 2) {
            const double depth = awayDefends ? kSecondPresserDepth : -kSecondPresserDepth;
            const double side = startOf(*defenders[1]).y < owner.position.y ? -kSecondPresserSide : kSecondPresserSide;
            targets[defenders[1]->id] = {owner.position.x + depth, owner.position.y + side};
            pressers.push_back(defenders[1]->id);
        }

        // Block the lane of a pass that has just arrived from a team-mate.
        if (previous) {
            const Player* passer = previous->owner();
            if (passer && isHome(*passer) == homeAttacks && passer->id != owner.id) {
                const Point a = passer->position;
                const Point b = owner.position;
                const double dx = (b.x - a.x) * kPitchAspect;
                const double dy = b.y - a.y;
                const double lengthSquared = dx * dx + dy * dy;
                if (lengthSquared > kShortestLaneSquared) {
                    const Player* blocker = nullptr;
                    Point blockAt;
                    double best = 0;
                    for (const Player* def : defenders) {
                        const Point s = startOf(*def);
                        const double t = (dx * (s.x - a.x) * kPitchAspect + dy * (s.y - a.y)) / lengthSquared;
                        if (!(t > kLaneFrom && t < kLaneTo)) continue;
                        const Point f{a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t};
                        const double dist = aspectDistance(s, f);
                        if (!(dist <= kLaneReach)) continue;
                        if (!blocker || dist < best) {
                            blocker = def;
                            blockAt = f;
                            best = dist;
                        }
                    }
                    if (blocker) targets[blocker->id] = blockAt;
                }
            }
        }

        // Everybody else takes the nearest attacker still free, a step goal-side of him.
        std::vector<const Player*> pool = attackers;
        for (const Player* def : defenders) {
            if (pool.empty()) break;
            if (targets.count(def->id)) continue;
            const Point s = startOf(*def);
            auto nearest = pool.begin();
            double nearestDistance = aspectDistance(s, (*nearest)->position);
            for (auto it = std::next(pool.begin()); it != pool.end(); ++it) {
                const double dist = aspectDistance(s, (*it)->position);
                if (dist < nearestDistance || std::isnan(nearestDistance)) {
                    nearestDistance = dist;
                    nearest = it;
                }
            }
            const Point man = (*nearest)->position;
            targets[def->id] = {man.x + (awayDefends ? kMarkingDepth : -kMarkingDepth), man.y};
            pool.erase(nearest);
        }

        // Move the defending side, goalkeeper included, each within its limit. The
        // pointers above are not used past this point: positions change in place.
        for (auto& p : step.players) {
            if (isHome(p) == homeAttacks) continue;
            const auto target = targets.find(p.id);
            const bool hasTarget = target != targets.end();
            const Point wanted = hasTarget ? target->second : p.position;
            const Point s = startOf(p);
            double limit = PressLimits::kPlayer;
            if (p.number == 1) {
                limit = PressLimits::kGoalkeeper;
            } else if (std::find(pressers.begin(), pressers.end(), p.id) != pressers.end()) {
                limit = PressLimits::kPresser;
            }
            Point moved = wanted;
            const double dist = aspectDistance(s, wanted);
            if (dist > limit) {
                const double f = limit / dist;
                moved = {s.x + (wanted.x - s.x) * f, s.y + (wanted.y - s.y) * f};
            }
            p.position = clampToPitch(moved);
            if (i >= 1 && hasTarget) {
                if (!step.pathControls) step.pathControls.emplace();
                (*step.pathControls)[p.id] = {(s.x + p.position.x) / 2.0, (s.y + p.position.y) / 2.0};
            }
        }
    }
    return result;
}

}  // namespace vantrel

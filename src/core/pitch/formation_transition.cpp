// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/pitch/formation_transition.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "core/pitch/easing.h"

namespace vantrel {

namespace {

// An opacity read from a picture: kept within 0 … 1; one that is not a number counts
// as "no entry", which is opaque.
double sanitisedOpacity(double value) {
    if (std::isnan(value)) return 1.0;
    return std::clamp(value, 0.0, 1.0);
}

// The start velocity on one axis: kept only when it heads the way the player has to
// go, and no faster than the cap (which also turns an infinite velocity into a finite one).
double startVelocity(double velocity, double displacement, double duration) {
    if (!(velocity * displacement > 0.0)) return 0.0;   // opposite, zero or not a number
    const double cap = FormationTransition::kVelocityCapFactor * std::abs(displacement) / duration;
    return std::copysign(std::min(std::abs(velocity), cap), velocity);
}

}  // namespace

FormationLayoutFrame FormationLayoutFrame::still(const BoardStep& step) {
    return still(step.players, step.ball, step.ballOwner);
}

FormationLayoutFrame FormationLayoutFrame::still(std::vector<Player> players, Point ball,
                                                 std::optional<std::string> ownerID) {
    FormationLayoutFrame frame;
    frame.players = std::move(players);
    frame.ball = ball;
    frame.ownerID = std::move(ownerID);
    for (const auto& player : frame.players) {
        frame.opacities.emplace(player.id, 1.0);
        frame.velocities.emplace(player.id, Point{});
    }
    return frame;
}

double FormationLayoutFrame::opacity(const std::string& playerID) const {
    auto it = opacities.find(playerID);
    return it == opacities.end() ? 1.0 : it->second;
}

FormationTransition::FormationTransition(const FormationLayoutFrame& from, const BoardStep& to)
    : startBall(from.ball),
      endBall(to.ball),
      ownerID(to.ballOwner),
      keepBallAtFoot(from.ownerID == to.ballOwner) {
    // Ids are unique within a picture; should one repeat, its first record counts, so
    // that every id has one track and one entry in the sampled maps.
    std::unordered_map<std::string_view, const Player*> fromPlayers;
    fromPlayers.reserve(from.players.size());
    for (const auto& player : from.players) fromPlayers.emplace(player.id, &player);

    std::unordered_set<std::string_view> targetIDs;
    targetIDs.reserve(to.players.size());
    tracks.reserve(to.players.size() + from.players.size());

    // The longest move sets the pace. A distance that is not a number is taken as the
    // longest possible, so the duration stays finite and within its bounds.
    double longest = 0.0;
    for (const auto& player : to.players) {
        if (!targetIDs.insert(player.id).second) continue;
        auto found = fromPlayers.find(player.id);
        const Point start = found != fromPlayers.end() ? found->second->position : player.position;
        const double distance = aspectDistance(player.position, start);
        longest =
            std::isnan(distance) ? std::numeric_limits<double>::infinity() : std::max(longest, distance);

        Track track;
        track.player = player;
        track.start = start;
        track.end = player.position;
        track.toOpacity = 1.0;
        if (found != fromPlayers.end()) {
            auto opacity = from.opacities.find(player.id);
            track.fromOpacity = opacity == from.opacities.end() ? 1.0 : sanitisedOpacity(opacity->second);
        } else {
            track.fromOpacity = 0.0;
        }
        tracks.push_back(std::move(track));
    }
    duration = std::clamp(0.36 + 0.4 * longest, kMinimumDuration, kMaximumDuration);

    // Players who leave fade out where they stand.
    std::unordered_set<std::string_view> leavingIDs;
    for (const auto& player : from.players) {
        if (targetIDs.contains(player.id) || !leavingIDs.insert(player.id).second) continue;
        Track track;
        track.player = player;
        track.start = player.position;
        track.end = player.position;
        auto opacity = from.opacities.find(player.id);
        track.fromOpacity = opacity == from.opacities.end() ? 1.0 : sanitisedOpacity(opacity->second);
        track.toOpacity = 0.0;
        tracks.push_back(std::move(track));
    }

    for (auto& track : tracks) {
        auto velocity = from.velocities.find(track.player.id);
        if (velocity == from.velocities.end()) continue;
        track.velocity = {startVelocity(velocity->second.x, track.end.x - track.start.x, duration),
                          startVelocity(velocity->second.y, track.end.y - track.start.y, duration)};
    }
}

FormationLayoutFrame FormationTransition::sample(double elapsed) const {
    double p = elapsed / duration;
    if (!(p > 0.0)) p = 0.0;   // before the start, or not a number
    const bool finished = p >= 1.0;

    // Smoothstep eases the displacement; h carries the start velocity (h(0) = 0,
    // h'(0) = 1, h(1) = h'(1) = 0), so the curve leaves at that velocity and arrives at rest.
    const double e = smoothstep(p);
    const double h = p * (1.0 - p) * (1.0 - p);
    const double dh = 3.0 * p * p - 4.0 * p + 1.0;
    const double de = 6.0 * p * (1.0 - p) / duration;   // de/dt, per second

    FormationLayoutFrame frame;
    frame.players.reserve(tracks.size());
    std::optional<std::size_t> owner;   // index of the ball owner in frame.players
    for (const auto& track : tracks) {
        Player player = track.player;
        Point velocity;
        double opacity;
        if (finished) {
            player.position = track.end;   // exactly, not start + Δ rounded
            opacity = track.toOpacity;
        } else if (p == 0.0) {
            player.position = track.start;
            velocity = track.velocity;
            opacity = track.fromOpacity;
        } else {
            const double dx = track.end.x - track.start.x;
            const double dy = track.end.y - track.start.y;
            player.position = {track.start.x + e * dx + h * track.velocity.x * duration,
                               track.start.y + e * dy + h * track.velocity.y * duration};
            velocity = {de * dx + dh * track.velocity.x, de * dy + dh * track.velocity.y};
            opacity = track.fromOpacity + e * (track.toOpacity - track.fromOpacity);
        }
        if (keepBallAtFoot && ownerID && !owner && player.id == *ownerID) owner = frame.players.size();
        frame.opacities[player.id] = opacity;
        frame.velocities[player.id] = velocity;
        frame.players.push_back(std::move(player));
    }

    if (owner) {
        frame.ball = frame.players[*owner].position;
        frame.ownerID = ownerID;
    } else if (finished) {
        frame.ball = endBall;
    } else {
        frame.ball = {startBall.x + e * (endBall.x - startBall.x),
                      startBall.y + e * (endBall.y - startBall.y)};
    }
    return frame;
}

}  // namespace vantrel

// SPDX-License-Identifier: GPL-3.0-or-later
#include <benchmark/benchmark.h>

#include <vector>

#include "core/pitch/formation_transition.h"
#include "core/pitch/step_playback.h"
#include "core/pitch/vision_geometry.h"

namespace vantrel {
namespace {

// Two 4-4-2 line-ups facing each other, spread over the pitch.
std::vector<Player> elevenASide(double push) {
    const Point home[11] = {{0.05, 0.5}, {0.22, 0.15}, {0.2, 0.38},  {0.2, 0.62}, {0.22, 0.85}, {0.42, 0.12},
                            {0.4, 0.4},  {0.4, 0.6},   {0.42, 0.88}, {0.6, 0.42}, {0.6, 0.58}};
    std::vector<Player> players;
    for (int n = 1; n <= 11; ++n)
        players.push_back({playerID(0, n), n, 0, {home[n - 1].x + push, home[n - 1].y}});
    for (int n = 1; n <= 11; ++n)
        players.push_back({playerID(1, n), n, 1, {1.0 - home[n - 1].x + push, 1.0 - home[n - 1].y}});
    return players;
}

void BM_VisionPolygon21Blockers(benchmark::State& state) {
    const auto players = elevenASide(0.0);
    const Point origin = players[9].position;
    std::vector<Point> blockers;
    for (std::size_t i = 0; i < players.size(); ++i)
        if (i != 9) blockers.push_back(players[i].position);
    for (auto _ : state) {
        auto polygon =
            VisionGeometry::visiblePolygon(origin, blockers, kPitchAspect, VisionGeometry::kPlayerRadius);
        benchmark::DoNotOptimize(polygon.data());
    }
}
BENCHMARK(BM_VisionPolygon21Blockers);

void BM_FormationTransitionBuildAndSample22(benchmark::State& state) {
    BoardStep from;
    from.players = elevenASide(0.0);
    from.ball = from.players[9].position;
    from.ballOwner = from.players[9].id;
    BoardStep to = from;
    to.players = elevenASide(0.08);
    to.ball = to.players[9].position;
    const auto still = FormationLayoutFrame::still(from);
    for (auto _ : state) {
        FormationTransition transition(still, to);
        auto frame = transition.sample(0.5 * transition.duration);
        benchmark::DoNotOptimize(frame.players.data());
    }
}
BENCHMARK(BM_FormationTransitionBuildAndSample22);

void BM_FormationTransitionSample22(benchmark::State& state) {
    BoardStep from;
    from.players = elevenASide(0.0);
    BoardStep to = from;
    to.players = elevenASide(0.08);
    const FormationTransition transition(FormationLayoutFrame::still(from), to);
    double t = 0.0;
    for (auto _ : state) {
        auto frame = transition.sample(t);
        benchmark::DoNotOptimize(frame.players.data());
        t = t > 0.7 ? 0.0 : t + 1.0 / 60.0;
    }
}
BENCHMARK(BM_FormationTransitionSample22);

// One picture of an 11-a-side step transition with a pass, sampled at any moment (a seek):
// every run, the ball and its rolled distance, the direction and the interception scan.
void BM_StepPlaybackSample22(benchmark::State& state) {
    BoardStep from;
    from.players = elevenASide(0.0);
    from.ballOwner = "home-7";
    BoardStep to = from;
    to.players = elevenASide(0.08);
    to.ballOwner = "home-11";
    const StepPlayback playback(from, to, true);
    double t = 0.0;
    for (auto _ : state) {
        auto frame = playback.sample(t);
        benchmark::DoNotOptimize(frame.players.data());
        t = t > playback.duration() ? 0.0 : t + 1.0 / 60.0;
    }
}
BENCHMARK(BM_StepPlaybackSample22);

}  // namespace
}  // namespace vantrel

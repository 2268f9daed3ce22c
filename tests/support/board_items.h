// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Players, drawings and point checks the core and UI tests build their boards from.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/model/board.h"
#include "core/model/uuid.h"

namespace vantrel::testing {

inline Player home(int n, Point at) { return {playerID(0, n), n, 0, at}; }
inline Player away(int n, Point at) { return {playerID(1, n), n, 1, at}; }

// A drawing with a fresh id and a fixed seed, so its graphite is the same on every run.
inline BoardAnnotation drawing(AnnotationTool kind, std::vector<Point> points, AnnotationFill fill = AnnotationFill::none,
                               std::uint64_t seed = 42) {
    BoardAnnotation a;
    a.id = Uuid::random();
    a.kind = kind;
    a.points = std::move(points);
    a.style.fill = fill;
    a.seed = seed;
    return a;
}

// A step holding exactly `players`, for tests that place each one by hand. The ball sits at
// its owner's feet; with no owner, or one who is not on the board, it lies at the centre spot.
inline BoardStep stepOf(std::vector<Player> players, std::optional<std::string> owner = std::nullopt,
                        std::string title = "1 · 测试") {
    BoardStep step;
    step.id = Uuid::random();
    step.title = std::move(title);
    step.players = std::move(players);
    step.ballOwner = std::move(owner);
    const Player* carrier = step.ballOwner ? step.player(*step.ballOwner) : nullptr;
    step.ball = carrier ? carrier->position : Point{0.5, 0.5};
    return step;
}

// Whether `p` lies in the part of the pitch a player can be dragged to, 0.04 to 0.96 on
// both axes; a non-finite point never does.
inline bool onDraggableSquare(Point p) { return p.x >= 0.04 && p.x <= 0.96 && p.y >= 0.04 && p.y <= 0.96; }

inline void expectNear(Point actual, Point expected, const std::string& what = {}, double tolerance = 1e-12) {
    EXPECT_NEAR(actual.x, expected.x, tolerance) << what;
    EXPECT_NEAR(actual.y, expected.y, tolerance) << what;
}

}  // namespace vantrel::testing

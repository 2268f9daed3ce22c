// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Players, drawings and point checks the core and UI tests build their boards from.
#include <gtest/gtest.h>

#include <cstdint>
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

inline void expectNear(Point actual, Point expected, const std::string& what = {}, double tolerance = 1e-12) {
    EXPECT_NEAR(actual.x, expected.x, tolerance) << what;
    EXPECT_NEAR(actual.y, expected.y, tolerance) << what;
}

}  // namespace vantrel::testing

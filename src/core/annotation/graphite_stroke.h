// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "core/annotation/rect.h"
#include "core/annotation/render_path.h"

namespace vantrel {

// One graphite grain: an axis-aligned ellipse centred at (x, y), all in view points.
// Computed in double precision and stored in single: a stroke holds tens of thousands,
// and 1/4000 of a point is far below what a grain can show.
struct GraphiteGrain {
    float x = 0;
    float y = 0;
    float width = 0;
    float height = 0;

    bool operator==(const GraphiteGrain&) const = default;
};

// A pencil-textured stroke: a faint centreline and grains of graphite along it, placed by
// the seed alone, so the same path, width and seed always give the same grains.
//
// Painting (in this order): when a dash is used, clip to the centreline stroked at
// `clipWidth()` with round caps and that dash, so grains show only on the dashes; stroke the
// centreline at `width * kCenterlineWidthFactor` with opacity kCenterlineOpacity, round caps
// and joins; fill each deposit layer's ellipses with opacity kDepositOpacity[layer].
struct GraphiteStroke {
    RenderPath centerline;
    double width = 0;   // view points
    std::array<std::vector<GraphiteGrain>, 4> deposits;   // tone layers, lightest first

    bool operator==(const GraphiteStroke&) const = default;

    static constexpr std::array<double, 4> kDepositOpacity{0.3, 0.5, 0.75, 0.98};
    static constexpr double kCenterlineOpacity = 0.1;
    static constexpr double kCenterlineWidthFactor = 0.8;
    static constexpr double kColumnSpacing = 0.65;     // view points along the stroke
    static constexpr double kGrainsPerWidth = 2.3;     // grain slots per column per point of width
    static constexpr double kDropBelow = 0.22;         // share of slots left empty
    static constexpr double kMaxWidth = 64;            // wider strokes get this many grains
    // Grain slots per stroke beyond which no more grains are placed, so absurd sizes
    // cannot exhaust memory or time. A full-surface hatch on a 4K display stays below it.
    static constexpr std::size_t kMaxSlots = std::size_t{1} << 21;
    // On a known surface the slots are also held to 1024 per point of its height (at least
    // kMinSlots), as a slot costs about 25 ns: a hatch over the whole surface, the most
    // any drawing asks, takes about 730 per point of height at any width, as the hatch
    // spacing grows with the width.
    static constexpr double kSlotsPerPointOfHeight = 1024;
    static constexpr std::size_t kMinSlots = std::size_t{1} << 18;
    static std::size_t slotBudget(std::optional<Rect> visible);
    // Pieces walked that lay no grain (off the surface, or shorter than 0.001 points), after
    // which the walk stops. Pieces that lay grains are bounded by the slot budget; these only by
    // the path, and absurd paths are made of them. A drawing on the surface has hardly any.
    static constexpr std::size_t kMaxEmptyPieces = std::size_t{1} << 18;

    double clipWidth() const { return width + 1; }
    std::size_t grainCount() const;

    // Where a walk along a path stands between two of its elements: all that the grains of
    // the elements after depend on, so a path that grows at its end (a stroke being drawn)
    // need not be walked again from its start.
    struct Walk {
        std::size_t elements = 0;      // elements walked so far
        std::uint64_t counter = 0;     // grain slots passed, the seed's position
        std::uint64_t usedSlots = 0;   // grain slots used against the slot budget
        std::size_t emptyPieces = 0;   // pieces that laid no grain, against kMaxEmptyPieces
        Point current;
        Point start;                   // the subpath's first point, where a close returns

        bool operator==(const Walk&) const = default;
    };

    // Walks `path` (curves flattened into pieces about 2 points long) and lays grains along
    // every piece, until the slot budget is used or kMaxEmptyPieces pieces laid nothing.
    // `visible`, when given, is the surface in view points: columns whose grains could not
    // reach it are skipped without changing any other grain.
    static GraphiteStroke build(RenderPath path, double width, std::uint64_t seed,
                                std::optional<Rect> visible = std::nullopt);

    // The grains `build` lays for path.elements[walk.elements, end), given `walk` as it stood
    // after the elements before them; `walk` then stands at `end`. The centreline is left
    // empty. Each layer of a path built in pieces, joined in order, is `build`'s layer.
    static GraphiteStroke continueWalk(const RenderPath& path, std::size_t end, double width, std::uint64_t seed,
                                       std::optional<Rect> visible, Walk& walk);
};

}  // namespace vantrel

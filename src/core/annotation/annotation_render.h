// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "core/model/annotation.h"
#include "core/annotation/annotation_geometry.h"
#include "core/annotation/graphite_stroke.h"
#include "core/annotation/rect.h"
#include "core/annotation/render_path.h"
#include "core/pitch/pitch_perspective.h"

namespace vantrel {

// Everything needed to paint one annotation at one surface size and mode, in view points.
// A pure value: the same (annotation, size, is3D) always gives an equal item, grain for
// grain. The painter turns the paths into its own paths and the grains into ellipses.
//
// Paint order: a pencil stroke that is a single point is just `dot`; a text note is its text in
// `textBounds` at `fontSize`; otherwise `fillPath` (with `hatchGraphite` clipped to it for a
// hatch fill), then `graphite` with `dash`, then `arrowGraphite` without a dash.
struct AnnotationRenderItem {
    BoardAnnotation annotation;
    RenderPath outline;                        // the hand-drawn centreline
    GraphiteStroke graphite;                   // the outline as graphite
    GraphiteStroke hatchGraphite;              // hatch lines of a hatch fill; empty otherwise
    std::optional<GraphiteStroke> arrowGraphite;
    std::optional<RenderPath> fillPath;        // closed shapes with a fill other than none
    RenderPath hatching;                       // hatch line centrelines
    std::optional<RenderPath> arrowHead;       // the head's polyline
    RenderPath selection;                      // the projected bounds, closed
    std::array<Point, 4> selectionCorners{};   // projected corners 0…3 of the bounds (resize handles)
    Rect textBounds;                           // where a note's text is laid out
    double depth = 0.7;                        // perspective scale at the bounds' mid-depth

    double strokeWidth = 0.7;                  // outline width in view points
    std::vector<double> dash;                  // outline dash (dash, gap, …); empty: solid
    std::optional<Point> dot;                  // centre of a pencil stroke that is a single point
    double dotRadius = 0;
    double fontSize = 0;                       // a note's font size on this surface, in points

    bool operator==(const AnnotationRenderItem&) const = default;

    // Pencil samples used for the outline: a real stroke keeps 1.3 view points between
    // samples and stays far below this; longer lists are thinned evenly, first and last kept.
    static constexpr std::size_t kMaxPencilSamples = std::size_t{1} << 15;

    // Whether `build` lays the outline's grains. A painter that lays them itself, piece by
    // piece while a stroke grows, leaves them: `graphite` then holds the outline and width
    // and no grains, and the painter walks the outline with the same seed and `visibleArea`.
    enum class OutlineGrains { laid, left };

    // View points are kept within one surface size of the surface's edges.
    static AnnotationRenderItem build(const BoardAnnotation& annotation, ViewSize size, bool is3D,
                                      OutlineGrains outlineGrains = OutlineGrains::laid);
    // The surface's rectangle, beyond which no grain is laid.
    static Rect visibleArea(ViewSize size) { return {0, 0, size.width, size.height}; }

    // The hand-drawn centreline through view points: each point is pushed along its normal
    // by a seeded amount (up to 0.06 points on smooth curves, 0.12 on straight pieces),
    // fading in and out over the first and last three points of an open path. Interpolating
    // paths are Catmull–Rom curves through the points. The others are straight pieces when
    // open, and when closed run through the side midpoints with the points as quadratic
    // controls.
    static RenderPath pencilPath(std::span<const Point> points, bool closed, std::uint64_t seed,
                                 std::uint64_t variation, bool textured, bool interpolating);

    // Every segment split into clamp(⌊length / 12⌋, 1, 120) equal parts, all vertices
    // kept; with `close` the segment back to the first point too (the first point is not
    // repeated at the end).
    static std::vector<Point> sampleSegments(std::span<const Point> points, bool close);

    // The arrow head at `tip` pointing away from `reference`: two wings of
    // clamp(4 · lineWidth + 6, 9, 17) points at ±0.48 rad.
    static std::array<Point, 3> arrowHeadPoints(Point reference, Point tip, double lineWidth);
    static double arrowHeadLength(double lineWidth);

    // Distance between hatch lines on a surface of this width: 7/1000 of it, at least 4.
    static double hatchSpacing(ViewSize size);
};

// The annotations in paint order: the list, with the draft painted in place of the stored
// annotation with its id, or on top when it is new.
std::vector<BoardAnnotation> annotationsToPaint(std::span<const BoardAnnotation> annotations,
                                                const std::optional<BoardAnnotation>& draft);

// Keeps render items between frames, so that a pointer move that changes only the draft
// rebuilds one item. An item is reused when an equal annotation had one at the same size
// and mode in the previous call; everything else is built afresh.
class AnnotationRenderCache {
public:
    // Items for `annotations`, in the same order; valid until the next call.
    const std::vector<AnnotationRenderItem>& items(std::span<const BoardAnnotation> annotations, ViewSize size,
                                                   bool is3D);
    // Items built since the cache was made.
    std::size_t builds() const { return builds_; }

private:
    std::vector<AnnotationRenderItem> items_;
    ViewSize size_;
    bool is3D_ = false;
    std::size_t builds_ = 0;
};

}  // namespace vantrel

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "core/model/annotation.h"
#include "core/annotation/rect.h"
#include "core/model/point.h"
#include "core/model/uuid.h"
#include "core/pitch/pitch_perspective.h"

namespace vantrel {

// Model-space geometry of annotations (normalised pitch coordinates, no view size).
// Every function ignores points with a non-finite coordinate and tolerates any count.
namespace AnnotationGeometry {

// The points of an annotation whose x and y are both finite, in order.
std::vector<Point> finitePoints(const BoardAnnotation& annotation);

// Straight shapes and text use the box of the first and last finite point, pencil strokes
// the box of all of them; a text note with a single point is an anchor whose box follows
// from its text and font size. No finite point: the zero rectangle.
Rect bounds(const BoardAnnotation& annotation);

// `point` and `tolerance` in model units; a negative or non-finite tolerance counts as 0.
bool hitTest(const BoardAnnotation& annotation, Point point, double tolerance);

// Every point moved by `delta` (non-finite points included); a non-finite delta changes
// nothing.
BoardAnnotation translated(const BoardAnnotation& annotation, Point delta);

// Maps the annotation from one box to another; a non-finite box changes nothing. A text
// anchor becomes the two corners of the new box.
BoardAnnotation resized(const BoardAnnotation& annotation, Rect from, Rect to);

// Corners in the order resize handles are numbered: 0 (minX, minY), 1 (maxX, minY),
// 2 (minX, maxY), 3 (maxX, maxY).
std::array<Point, 4> corners(Rect rect);

// The font size the box rules use: the stored size when finite and at least 1, 1 below
// that, 18 when not finite.
double effectiveFontSize(double fontSize);

// The box a click with the text tool opens: 0.24 × 0.07 model units from `point`, kept
// inside the pitch.
std::vector<Point> newTextPoints(Point point);

// The box of a new note once its text is saved: as wide as its longest line (between
// 0.14 and 0.5), as tall as its lines wrapped into that width (at least 0.04). `text` is
// the trimmed note text.
std::vector<Point> committedTextPoints(Point anchor, std::string_view text, double fontSize);

}  // namespace AnnotationGeometry

// Model-to-view geometry of the annotation canvas: everything that needs the surface size
// or the 2D/3D flag. A plain value; the canvas builds one per layout.
struct AnnotationCanvasGeometry {
    ViewSize size;
    bool is3D = false;

    bool operator==(const AnnotationCanvasGeometry&) const = default;

    static constexpr double kHitRadius = 9;        // view points, on the shorter side
    static constexpr double kHandleRadius = 13;    // view points
    static constexpr double kMinimumResize = 0.012;   // model units on each axis
    static constexpr double kPencilMinimumStep = 1.3;   // view points between kept samples

    // View point to model point. 2D: clamped into 0…1; 3D: the perspective's inverse,
    // which lands in [0.04, 0.96]. An empty size gives (0.5, 0.5). Never NaN.
    Point normalise(Point viewPoint) const;
    // Model point to view point.
    Point project(Point modelPoint) const;

    // Hit tolerance in model units: 9 view points measured on the shorter side.
    double hitTolerance() const;

    // The topmost annotation (last in the list) hit at `viewPoint`, skipping the ids in
    // `skipped` (those erased earlier in the same stroke).
    std::optional<BoardAnnotation> hitAnnotation(Point viewPoint, std::span<const BoardAnnotation> annotations,
                                                 std::span<const Uuid> skipped = {}) const;

    // The resize handle (corner 0…3) within 13 view points of `viewPoint`, the nearest one;
    // on a tie the lower-numbered corner.
    std::optional<int> cornerHandle(const BoardAnnotation& selected, Point viewPoint) const;

    // The box while a corner is dragged: the opposite corner of `startBounds` stays, the
    // box keeps at least 0.012 on each axis and stays inside 0…1.
    Rect resizeBox(Rect startBounds, int corner, Point viewPointer) const;
    // `original` (the annotation at drag start) mapped from `startBounds` to `resizeBox`;
    // a text note scales its font size with the box, within 8…96. An invalid corner
    // returns `original`.
    BoardAnnotation resizing(const BoardAnnotation& original, Rect startBounds, int corner, Point viewPointer) const;

    // The drag delta in model units, limited so the box of `original` stays on the pitch.
    // A box already partly off the pitch may come back but never goes further out.
    Point moveDelta(const BoardAnnotation& original, Point viewStart, Point viewPointer) const;
    BoardAnnotation moving(const BoardAnnotation& original, Point viewStart, Point viewPointer) const;

    // The end point of a straight shape being drawn from model point `from` to the pointer
    // at `location`. With `shift` held, lines and arrows snap to 45° steps and ellipses and
    // rectangles to a square box, in view space.
    Point constrainedEndpoint(Point from, Point location, AnnotationTool kind, bool shift) const;

    // Whether a fresh drawing is kept: a pencil stroke with a point; boxes more than 4 view
    // points on both sides; lines longer than 5 view points.
    bool isLargeEnough(const BoardAnnotation& annotation) const;

    // Whether a pencil sample at `viewLocation` is far enough from the stroke's last model
    // point to be kept.
    bool isNewPencilSample(Point lastModelPoint, Point viewLocation) const;
};

// The light smoothing applied to a pencil stroke's last point while drawing: it is pulled
// toward the chord of its neighbours by at most 0.75 reference points (a 1000 × 645
// reference), and corners sharper than 60° are kept. Model points in, model point out.
namespace PencilStabilizer {
Point interior(Point a, Point b, Point c);
}

}  // namespace vantrel

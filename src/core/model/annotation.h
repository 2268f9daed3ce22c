// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/model/point.h"
#include "core/model/uuid.h"

namespace vantrel {

// What an annotation is, and which tool the drawing session has active.
// `select` and `eraser` are tools only; they are never created as annotations.
enum class AnnotationTool { select, pencil, line, arrow, ellipse, rectangle, text, eraser };

enum class AnnotationColor { white, black, yellow, blue, orange, red, mint, pink };

enum class AnnotationFill { none, solid, hatch, shadow };

enum class AnnotationLinePattern { solid, dashed, dotted };

struct Rgb {
    double red = 0;
    double green = 0;
    double blue = 0;
    bool operator==(const Rgb&) const = default;
};

// A custom ink chosen with the colour picker; sRGB components in 0…1.
struct AnnotationInk {
    double red = 0;
    double green = 0;
    double blue = 0;
    bool operator==(const AnnotationInk&) const = default;
};

struct AnnotationStyle {
    AnnotationColor color = AnnotationColor::white;
    double lineWidth = 2.4;   // view points at the reference scale
    double opacity = 1.0;     // 0…1 multiplier of the ink
    AnnotationFill fill = AnnotationFill::none;
    double fontSize = 18;     // points
    std::optional<AnnotationLinePattern> pattern;   // absent: solid
    std::optional<AnnotationInk> customInk;         // overrides `color` when present
    std::optional<bool> bold;                       // absent: regular

    bool operator==(const AnnotationStyle&) const = default;

    // The ink actually drawn: the custom ink when present, else the named colour.
    Rgb ink() const;
    AnnotationLinePattern effectivePattern() const { return pattern.value_or(AnnotationLinePattern::solid); }
    bool isBold() const { return bold.value_or(false); }
};

struct BoardAnnotation {
    Uuid id;
    AnnotationTool kind = AnnotationTool::pencil;
    std::vector<Point> points;   // normalised pitch coordinates, y downward as the 2D view shows it
    std::string text;            // only for `text`
    AnnotationStyle style;
    std::uint64_t seed = 0;      // drives the hand-drawn wobble; fixed at creation

    bool operator==(const BoardAnnotation&) const = default;
};

// Raw values as stored in JSON; parsing accepts exactly these strings.
std::string_view rawValue(AnnotationTool tool);
std::string_view rawValue(AnnotationColor color);
std::string_view rawValue(AnnotationFill fill);
std::string_view rawValue(AnnotationLinePattern pattern);
std::optional<AnnotationTool> annotationToolFromRaw(std::string_view raw);
std::optional<AnnotationColor> annotationColorFromRaw(std::string_view raw);
std::optional<AnnotationFill> annotationFillFromRaw(std::string_view raw);
std::optional<AnnotationLinePattern> annotationLinePatternFromRaw(std::string_view raw);

// Every case in declaration order (the order the toolbar lists them).
std::span<const AnnotationTool> allAnnotationTools();
std::span<const AnnotationColor> allAnnotationColors();
std::span<const AnnotationFill> allAnnotationFills();
std::span<const AnnotationLinePattern> allAnnotationLinePatterns();

// The fixed sRGB of a named ink (opacity 1).
Rgb rgb(AnnotationColor color);

// Interface name of a tool ("铅笔", "橡皮擦", …).
std::string_view displayName(AnnotationTool tool);

// Dash array (dash, gap, …) in view points for a stroke of width `width`; empty for solid.
std::vector<double> dashArray(AnnotationLinePattern pattern, double width);

}  // namespace vantrel

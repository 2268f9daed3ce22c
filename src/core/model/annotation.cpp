// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/model/annotation.h"

#include <algorithm>
#include <array>

namespace vantrel {

namespace {

constexpr std::array kTools{AnnotationTool::select, AnnotationTool::pencil,  AnnotationTool::line,
                            AnnotationTool::arrow,  AnnotationTool::ellipse, AnnotationTool::rectangle,
                            AnnotationTool::text,   AnnotationTool::eraser};
constexpr std::array<std::string_view, 8> kToolRaw{"select",  "pencil",    "line", "arrow",
                                                   "ellipse", "rectangle", "text", "eraser"};
constexpr std::array<std::string_view, 8> kToolNames{"选择", "铅笔", "直线", "箭头",
                                                     "圆圈", "矩形", "文字", "橡皮擦"};

constexpr std::array kColors{AnnotationColor::white, AnnotationColor::black, AnnotationColor::yellow,
                             AnnotationColor::blue,  AnnotationColor::orange, AnnotationColor::red,
                             AnnotationColor::mint,  AnnotationColor::pink};
constexpr std::array<std::string_view, 8> kColorRaw{"white",  "black", "yellow", "blue",
                                                    "orange", "red",   "mint",   "pink"};
constexpr std::array<Rgb, 8> kColorRgb{Rgb{0.97, 0.98, 0.96}, Rgb{0.12, 0.15, 0.14}, Rgb{0.96, 0.81, 0.33},
                                       Rgb{0.40, 0.66, 0.91}, Rgb{0.95, 0.57, 0.32}, Rgb{0.91, 0.38, 0.36},
                                       Rgb{0.48, 0.82, 0.70}, Rgb{0.95, 0.64, 0.63}};

constexpr std::array kFills{AnnotationFill::none, AnnotationFill::solid, AnnotationFill::hatch,
                            AnnotationFill::shadow};
constexpr std::array<std::string_view, 4> kFillRaw{"none", "solid", "hatch", "shadow"};

constexpr std::array kPatterns{AnnotationLinePattern::solid, AnnotationLinePattern::dashed,
                               AnnotationLinePattern::dotted};
constexpr std::array<std::string_view, 3> kPatternRaw{"solid", "dashed", "dotted"};

template <typename Enum, std::size_t N>
std::optional<Enum> fromRaw(const std::array<Enum, N>& cases, const std::array<std::string_view, N>& raws,
                            std::string_view raw) {
    for (std::size_t i = 0; i < N; ++i)
        if (raws[i] == raw) return cases[i];
    return std::nullopt;
}

}  // namespace

Rgb AnnotationStyle::ink() const {
    if (customInk) return {customInk->red, customInk->green, customInk->blue};
    return rgb(color);
}

std::string_view rawValue(AnnotationTool tool) { return kToolRaw[static_cast<std::size_t>(tool)]; }
std::string_view rawValue(AnnotationColor color) { return kColorRaw[static_cast<std::size_t>(color)]; }
std::string_view rawValue(AnnotationFill fill) { return kFillRaw[static_cast<std::size_t>(fill)]; }
std::string_view rawValue(AnnotationLinePattern pattern) { return kPatternRaw[static_cast<std::size_t>(pattern)]; }

std::optional<AnnotationTool> annotationToolFromRaw(std::string_view raw) { return fromRaw(kTools, kToolRaw, raw); }
std::optional<AnnotationColor> annotationColorFromRaw(std::string_view raw) {
    return fromRaw(kColors, kColorRaw, raw);
}
std::optional<AnnotationFill> annotationFillFromRaw(std::string_view raw) { return fromRaw(kFills, kFillRaw, raw); }
std::optional<AnnotationLinePattern> annotationLinePatternFromRaw(std::string_view raw) {
    return fromRaw(kPatterns, kPatternRaw, raw);
}

std::span<const AnnotationTool> allAnnotationTools() { return kTools; }
std::span<const AnnotationColor> allAnnotationColors() { return kColors; }
std::span<const AnnotationFill> allAnnotationFills() { return kFills; }
std::span<const AnnotationLinePattern> allAnnotationLinePatterns() { return kPatterns; }

Rgb rgb(AnnotationColor color) { return kColorRgb[static_cast<std::size_t>(color)]; }

std::string_view displayName(AnnotationTool tool) { return kToolNames[static_cast<std::size_t>(tool)]; }

std::vector<double> dashArray(AnnotationLinePattern pattern, double width) {
    switch (pattern) {
        case AnnotationLinePattern::solid: return {};
        case AnnotationLinePattern::dashed: return {std::max(3 * width, 6.0), std::max(2 * width, 4.0)};
        case AnnotationLinePattern::dotted: return {0.1, std::max(2.4 * width, 4.0)};
    }
    return {};
}

}  // namespace vantrel

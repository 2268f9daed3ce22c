// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <array>

#include "core/model/annotation.h"
#include "ui/style/quiet_hover_style.h"
#include "ui/style/studio_icons.h"

namespace vantrel {

// The names and symbols the drawing controls share.
namespace DrawingControls {

// One entry of the shapes panel; its identity is the tool's and the fill's raw values.
struct ShapeChoice {
    AnnotationTool tool;
    AnnotationFill fill;
    const char16_t* title;
    StudioIcons::Glyph symbol;
};
const std::array<ShapeChoice, 8>& shapeChoices();
// The choice matching a tool and fill, the plain ellipse when none does.
const ShapeChoice& shapeChoice(AnnotationTool tool, AnnotationFill fill);

QString toolName(AnnotationTool tool);
QString colorName(AnnotationColor color);
StudioIcons::Glyph toolGlyph(AnnotationTool tool);

// Symbols of the Material icon font not named by the workspace.
namespace Glyphs {
inline constexpr auto select = static_cast<StudioIcons::Glyph>(0xe569);      // near_me
inline constexpr auto pencil = static_cast<StudioIcons::Glyph>(0xe3c9);      // edit
inline constexpr auto line = static_cast<StudioIcons::Glyph>(0xe15b);        // remove (a bar)
inline constexpr auto arrow = static_cast<StudioIcons::Glyph>(0xe0b2);       // call_made
inline constexpr auto text = static_cast<StudioIcons::Glyph>(0xe262);        // text_fields
inline constexpr auto eraser = static_cast<StudioIcons::Glyph>(0xe14a);      // backspace
inline constexpr auto circle = static_cast<StudioIcons::Glyph>(0xe40c);      // panorama_fish_eye
inline constexpr auto square = static_cast<StudioIcons::Glyph>(0xe3c1);      // crop_square
inline constexpr auto disc = static_cast<StudioIcons::Glyph>(0xe3fa);        // brightness_1
inline constexpr auto filledSquare = static_cast<StudioIcons::Glyph>(0xe047);  // stop
inline constexpr auto halfCircle = static_cast<StudioIcons::Glyph>(0xe427);  // tonality
inline constexpr auto halfSquare = static_cast<StudioIcons::Glyph>(0xe3db);  // filter_b_and_w
inline constexpr auto insetCircle = static_cast<StudioIcons::Glyph>(0xe435); // vignette
inline constexpr auto insetSquare = static_cast<StudioIcons::Glyph>(0xe8aa); // picture_in_picture
inline constexpr auto unlocked = static_cast<StudioIcons::Glyph>(0xe898);    // lock_open
inline constexpr auto front = static_cast<StudioIcons::Glyph>(0xe882);       // flip_to_front
inline constexpr auto back = static_cast<StudioIcons::Glyph>(0xe881);        // flip_to_back
inline constexpr auto exit = static_cast<StudioIcons::Glyph>(0xe879);        // exit_to_app
}  // namespace Glyphs

// A quiet icon button of the drawing bar: dims when disabled, highlights on hover. `help`
// is its tooltip; `name` its accessible name.
QuietHoverStyle* controlButton(StudioIcons::Glyph glyph, const QString& name, const QString& help, QWidget* parent);

}  // namespace DrawingControls

}  // namespace vantrel

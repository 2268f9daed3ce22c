#pragma once

#include <QIcon>

#include "ui/style/studio_style.h"

namespace vantrel {

// Glyphs of the Material Icons font (Debian's fonts-material-design-icons-iconfont), by
// code point.
namespace MaterialGlyph {
inline constexpr char16_t skipPrevious = 0xE045;
inline constexpr char16_t skipNext = 0xE044;
inline constexpr char16_t playArrow = 0xE037;
inline constexpr char16_t pause = 0xE034;
inline constexpr char16_t close = 0xE5CD;
inline constexpr char16_t edit = 0xE3C9;
inline constexpr char16_t infoOutline = 0xE88F;
inline constexpr char16_t expandLess = 0xE5CE;
inline constexpr char16_t expandMore = 0xE5CF;
}  // namespace MaterialGlyph

// An icon that draws one Material glyph, filling its square, in a colour token resolved
// at paint time (so it follows light and dark); a disabled icon is drawn in
// textTertiary. A glyph the font lacks, or a missing font, draws nothing.
QIcon materialIcon(char16_t glyph, StudioStyle::ColorToken color = StudioStyle::textPrimary);

// True when the Material Icons font could be loaded.
bool materialIconsAvailable();

}  // namespace vantrel

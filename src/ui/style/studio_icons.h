// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>

#include "ui/style/studio_style.h"

namespace vantrel {

// The interface's symbols, drawn from the Material Design icon font that Debian
// packages. An icon follows the appearance: its colour token resolves at paint time,
// disabled icons use textTertiary. Without the font the icon is null and buttons show
// their text.
namespace StudioIcons {

enum class Glyph : char16_t {
    add = 0xe145,
    save = 0xe161,
    library = 0xe02f,
    sidebar = 0xf114,
    tune = 0xe429,
    more = 0xe5d3,
    moreVertical = 0xe5d4,
    help = 0xe8fd,
    star = 0xe838,
    starOutline = 0xe83a,
    filter = 0xe152,
    importFile = 0xe2c6,
    exportFile = 0xe2c4,
    remove = 0xe872,
    close = 0xe5cd,
    edit = 0xe3c9,
    copy = 0xe14d,
    expandMore = 0xe5cf,
    expandLess = 0xe5ce,
    chevronRight = 0xe5cc,
    person = 0xe7fd,
    visibility = 0xe8f4,
    layers = 0xe53b,
    ball = 0xea2f,
    previous = 0xe045,
    next = 0xe044,
    play = 0xe037,
    pause = 0xe034,
    note = 0xe873,
    draw = 0xe746,
    undo = 0xe166,
    redo = 0xe15a,
    lock = 0xe897,
    check = 0xe5ca,
    offside = 0xe155,
    info = 0xe88f,
    history = 0xe889,
    search = 0xe8b6,
    sort = 0xe164,
    label = 0xe892,
};

// The symbol in `token`'s colour (textSecondary unless given).
QIcon icon(Glyph glyph, StudioStyle::ColorToken token = StudioStyle::textSecondary);
// True when the icon font could be loaded.
bool available();

}  // namespace StudioIcons
}  // namespace vantrel

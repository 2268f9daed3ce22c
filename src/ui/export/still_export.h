// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSizeF>

#include <filesystem>
#include <vector>

#include "core/model/result.h"
#include "core/model/board.h"
#include "core/scene/board_scene.h"
#include "ui/export/export_frame.h"

namespace vantrel {

// A scene of the board as a PNG of `size` points at `devicePixelRatio`.
Status writeBoardImage(const BoardScene& scene, ExportView view, QSizeF size, qreal devicePixelRatio,
                       const std::filesystem::path& path);

// The same scene as an SVG of `size` points: pitch, tokens, arrows and text as vector
// shapes, the pencil drawings as fine images.
Status writeBoardVector(const BoardScene& scene, ExportView view, QSizeF size, const std::filesystem::path& path);

// An A4 landscape handout of one or more tactics. Each tactic begins with a summary page
// (name, format, stage count, then every stage as a small board with its title and
// note, continued on further pages when they do not fit), followed by one page per stage
// with the tactic's name, "阶段 N · 标题", the flat board and the note the coach wrote.
// Pages are numbered "i / N" through the whole document. Everything is vector, text
// included, set in a font whose characters copy out of the PDF as written.
Status writeHandout(const std::vector<Tactic>& tactics, ExportDisplay display, const std::filesystem::path& path);

}  // namespace vantrel

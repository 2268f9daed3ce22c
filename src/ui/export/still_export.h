// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSizeF>

#include <filesystem>

#include "core/model/result.h"
#include "core/model/board.h"
#include "core/scene/board_scene.h"
#include "ui/export/export_frame.h"

namespace vantrel {

// A scene of the board as a PNG of `size` points at `devicePixelRatio`.
Status writeBoardImage(const BoardScene& scene, ExportView view, QSizeF size, qreal devicePixelRatio,
                       const std::filesystem::path& path);

// An A4 landscape handout: one page per step with the tactic's name, "阶段 N · 标题",
// the flat board and the step's note beneath. Text and the board's drawn shapes stay
// vector; the cached pitch and tokens go in as fine images.
Status writeHandout(const Tactic& tactic, ExportDisplay display, const std::filesystem::path& path);

}  // namespace vantrel

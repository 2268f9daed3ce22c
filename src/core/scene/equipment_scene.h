// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

#include "core/model/equipment.h"
#include "core/scene/board_scene.h"

namespace vantrel {

// The equipment of a frame part way (`progress` 0 … 1) from one step to the next: a
// piece in both steps (the same id) glides from where it stood to where it stands,
// turning the short way round; a piece only in `to` fades in where it stands and one only
// in `from` fades out. `opacities` receives one value per piece returned.
std::vector<Equipment> glideEquipment(const std::vector<Equipment>& from, const std::vector<Equipment>& to,
                                      double progress, std::vector<double>& opacities);

// Fills the scene's equipment from the input, with labels, colours and depths, and adds
// them to the draw order (buildScene calls it).
void addEquipment(BoardScene& scene, SceneInput& input);

// The equipment of a step, or none.
inline const std::vector<Equipment>& stepEquipment(const BoardStep& step) {
    static const std::vector<Equipment> none;
    return step.equipment ? *step.equipment : none;
}

}  // namespace vantrel

// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/scene/equipment_scene.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace vantrel {

namespace {

unsigned parseColour(const std::optional<std::string>& colour, unsigned fallback) {
    if (!colour || !isEquipmentColour(*colour)) return fallback;
    return static_cast<unsigned>(std::strtoul(colour->c_str() + 1, nullptr, 16));
}

}  // namespace

std::vector<Equipment> glideEquipment(const std::vector<Equipment>& from, const std::vector<Equipment>& to,
                                      double progress, std::vector<double>& opacities) {
    const double t = std::isfinite(progress) ? std::clamp(progress, 0.0, 1.0) : 1.0;
    std::vector<Equipment> out;
    out.reserve(to.size() + from.size());
    opacities.clear();
    for (const Equipment& target : to) {
        const auto before = std::find_if(from.begin(), from.end(), [&](const Equipment& e) { return e.id == target.id; });
        Equipment piece = target;
        if (before != from.end()) {
            piece.position = {before->position.x + (target.position.x - before->position.x) * t,
                              before->position.y + (target.position.y - before->position.y) * t};
            double turn = std::fmod(target.degrees() - before->degrees(), 360.0);
            if (turn > 180) turn -= 360;
            if (turn < -180) turn += 360;
            if (turn != 0 || piece.angle) {
                double a = std::fmod(before->degrees() + turn * t, 360.0);
                if (a < 0) a += 360;
                piece.angle = a;
            }
            opacities.push_back(1.0);
        } else {
            opacities.push_back(t);
        }
        out.push_back(std::move(piece));
    }
    for (const Equipment& gone : from) {
        if (std::any_of(to.begin(), to.end(), [&](const Equipment& e) { return e.id == gone.id; })) continue;
        out.push_back(gone);
        opacities.push_back(1.0 - t);
    }
    return out;
}

void addEquipment(BoardScene& scene, SceneInput& in) {
    scene.pitchAreas = in.pitchAreas;
    if (in.equipment.empty()) return;
    scene.equipment.reserve(in.equipment.size());
    // Labels count pieces of each kind in order: one pass with a counter per kind.
    std::size_t counts[8] = {};
    for (std::size_t i = 0; i < in.equipment.size(); ++i) {
        SceneEquipment e;
        e.piece = std::move(in.equipment[i]);
        const auto kind = static_cast<std::size_t>(e.piece.kind);
        e.label = std::string(equipmentName(e.piece.kind)) + " " + std::to_string(++counts[kind % 8]);
        e.color = parseColour(e.piece.color, defaultEquipmentColor(e.piece.kind));
        const double opacity = i < in.equipmentOpacities.size() ? in.equipmentOpacities[i] : 1.0;
        e.opacity = std::isfinite(opacity) ? std::clamp(opacity, 0.0, 1.0) : 1.0;
        e.selected = in.selectedEquipment && *in.selectedEquipment == e.piece.id;
        e.depth = 100 * e.piece.position.y + 0.5;
        scene.order.push_back({BoardScene::Layer::equipment, static_cast<int>(scene.equipment.size()), e.depth});
        scene.equipment.push_back(std::move(e));
    }
}

}  // namespace vantrel

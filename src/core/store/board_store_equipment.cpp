// SPDX-License-Identifier: GPL-3.0-or-later
// The training equipment of the open tactic's steps, and its pitch areas.
#include <algorithm>
#include <cmath>

#include "core/store/board_store.h"

namespace vantrel {

namespace {

Equipment* findPiece(BoardStep* step, const Uuid& id) {
    if (!step || !step->equipment) return nullptr;
    for (auto& e : *step->equipment)
        if (e.id == id) return &e;
    return nullptr;
}

}  // namespace

std::optional<Uuid> BoardStore::addEquipment(EquipmentKind kind, Point at) {
    Batch batch(notifier_);
    if (!isFinite(at)) return std::nullopt;
    BoardStep* step = mutableCurrentStep();
    if (!step) return std::nullopt;
    if (step->equipment && step->equipment->size() >= EquipmentLimits::kMaxPerStep) {
        setStatus("器材已达上限（200 个）");
        return std::nullopt;
    }
    auto scope = editScope("放置器材");
    if (!step->equipment) step->equipment.emplace();
    Equipment piece{Uuid::random(), kind, clampToPitch(at), std::nullopt, std::nullopt};
    step->equipment->push_back(piece);
    recordEdit();
    selectEquipment(piece.id);
    setStatus("已放置" + equipmentLabel(*step->equipment, step->equipment->size() - 1));
    return piece.id;
}

void BoardStore::selectEquipment(std::optional<Uuid> id) {
    Batch batch(notifier_);
    if (selectedEquipment_ == id) return;
    selectedEquipment_ = id;
    if (id) setSelectedPlayer(std::nullopt);
    notifier_.mark(StoreChange::selection | StoreChange::frame);
}

void BoardStore::moveEquipment(const Uuid& id, Point to) {
    Batch batch(notifier_);
    if (!isFinite(to)) return;
    auto scope = editScope("移动器材", "equipment:" + id.string());
    Equipment* piece = findPiece(mutableCurrentStep(), id);
    if (!piece) return;
    const Point at = clampToPitch(to);
    if (piece->position == at) return;
    piece->position = at;
    recordEdit();
}

void BoardStore::rotateEquipment(const Uuid& id, double degrees) {
    Batch batch(notifier_);
    if (!std::isfinite(degrees)) return;
    auto scope = editScope("旋转器材", "equipment:" + id.string());
    Equipment* piece = findPiece(mutableCurrentStep(), id);
    if (!piece) return;
    Equipment turned = *piece;
    turned.angle = degrees;
    normaliseEquipment(turned);
    if (*turned.angle == 0) turned.angle.reset();   // unturned keeps the document as it was
    if (turned == *piece) return;
    *piece = turned;
    recordEdit();
}

void BoardStore::setEquipmentColor(const Uuid& id, std::optional<std::string> color) {
    Batch batch(notifier_);
    if (color && !isEquipmentColour(*color)) return;
    if (color) std::transform(color->begin(), color->end(), color->begin(), [](char c) { return std::toupper(static_cast<unsigned char>(c)); });
    Equipment* piece = findPiece(mutableCurrentStep(), id);
    if (!piece || piece->color == color || !recolourable(piece->kind)) return;
    auto scope = editScope("器材颜色");
    piece->color = std::move(color);
    recordEdit();
}

void BoardStore::removeEquipment(const Uuid& id) {
    Batch batch(notifier_);
    BoardStep* step = mutableCurrentStep();
    if (!findPiece(step, id)) return;
    auto scope = editScope("删除器材");
    const std::size_t index = static_cast<std::size_t>(
        std::find_if(step->equipment->begin(), step->equipment->end(), [&](const Equipment& e) { return e.id == id; }) -
        step->equipment->begin());
    const std::string label = equipmentLabel(*step->equipment, index);
    step->equipment->erase(step->equipment->begin() + static_cast<std::ptrdiff_t>(index));
    if (step->equipment->empty()) step->equipment.reset();   // none keeps the document as it was
    if (selectedEquipment_ == id) selectEquipment(std::nullopt);
    recordEdit();
    setStatus("已删除" + label);
}

void BoardStore::endEquipmentDrag() { history_.endMerge(); }

void BoardStore::setPitchAreas(std::optional<PitchAreas> pitch) {
    Batch batch(notifier_);
    if (pitch && *pitch == PitchAreas{}) pitch.reset();
    if (tactic_.pitch == pitch) return;
    auto scope = editScope("场地区域");
    tactic_.pitch = pitch;
    recordEdit();
}

void BoardStore::setShowPitchAreas(bool on) {
    Batch batch(notifier_);
    showPitchAreas_ = on;
    notifier_.mark(StoreChange::displayOptions | StoreChange::frame);
}

}  // namespace vantrel

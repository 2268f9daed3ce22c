// SPDX-License-Identifier: GPL-3.0-or-later
// The training equipment of the open tactic's steps, and its pitch areas.
#include <algorithm>
#include <cmath>

#include "core/store/board_equipment.h"

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

std::optional<Uuid> BoardEquipment::add(EquipmentKind kind, Point at) {
    BoardStore::Batch batch(store_.notifier_);
    if (!isFinite(at)) return std::nullopt;
    BoardStep* step = store_.mutableCurrentStep();
    if (!step) return std::nullopt;
    if (step->equipment && step->equipment->size() >= EquipmentLimits::kMaxPerStep) {
        store_.setStatus("器材已达上限（200 个）");
        return std::nullopt;
    }
    auto scope = store_.editScope("放置器材");
    if (!step->equipment) step->equipment.emplace();
    Equipment piece{Uuid::random(), kind, clampToPitch(at), std::nullopt, std::nullopt};
    step->equipment->push_back(piece);
    store_.recordEdit();
    select(piece.id);
    store_.setStatus("已放置" + equipmentLabel(*step->equipment, step->equipment->size() - 1));
    return piece.id;
}

void BoardEquipment::select(std::optional<Uuid> id) {
    BoardStore::Batch batch(store_.notifier_);
    if (selected_ == id) return;
    selected_ = id;
    if (id) store_.setSelectedPlayer(std::nullopt);
    store_.notifier_.mark(StoreChange::selection | StoreChange::frame);
}

void BoardEquipment::move(const Uuid& id, Point to) {
    BoardStore::Batch batch(store_.notifier_);
    if (!isFinite(to)) return;
    auto scope = store_.editScope("移动器材", "equipment:" + id.string());
    Equipment* piece = findPiece(store_.mutableCurrentStep(), id);
    if (!piece) return;
    const Point at = clampToPitch(to);
    if (piece->position == at) return;
    piece->position = at;
    store_.recordEdit();
}

void BoardEquipment::rotate(const Uuid& id, double degrees) {
    BoardStore::Batch batch(store_.notifier_);
    if (!std::isfinite(degrees)) return;
    auto scope = store_.editScope("旋转器材", "equipment:" + id.string());
    Equipment* piece = findPiece(store_.mutableCurrentStep(), id);
    if (!piece) return;
    Equipment turned = *piece;
    turned.angle = degrees;
    normaliseEquipment(turned);
    if (*turned.angle == 0) turned.angle.reset();   // unturned keeps the document as it was
    if (turned == *piece) return;
    *piece = turned;
    store_.recordEdit();
}

void BoardEquipment::setColor(const Uuid& id, std::optional<std::string> color) {
    BoardStore::Batch batch(store_.notifier_);
    if (color && !isEquipmentColour(*color)) return;
    if (color) std::transform(color->begin(), color->end(), color->begin(), [](char c) { return std::toupper(static_cast<unsigned char>(c)); });
    Equipment* piece = findPiece(store_.mutableCurrentStep(), id);
    if (!piece || piece->color == color || !recolourable(piece->kind)) return;
    auto scope = store_.editScope("器材颜色");
    piece->color = std::move(color);
    store_.recordEdit();
}

void BoardEquipment::remove(const Uuid& id) {
    BoardStore::Batch batch(store_.notifier_);
    BoardStep* step = store_.mutableCurrentStep();
    if (!findPiece(step, id)) return;
    auto scope = store_.editScope("删除器材");
    const std::size_t index = static_cast<std::size_t>(
        std::find_if(step->equipment->begin(), step->equipment->end(), [&](const Equipment& e) { return e.id == id; }) -
        step->equipment->begin());
    const std::string label = equipmentLabel(*step->equipment, index);
    step->equipment->erase(step->equipment->begin() + static_cast<std::ptrdiff_t>(index));
    if (step->equipment->empty()) step->equipment.reset();   // none keeps the document as it was
    if (selected_ == id) select(std::nullopt);
    store_.recordEdit();
    store_.setStatus("已删除" + label);
}

void BoardEquipment::endDrag() { store_.history_.endMerge(); }

void BoardEquipment::setPitchAreas(std::optional<PitchAreas> pitch) {
    BoardStore::Batch batch(store_.notifier_);
    if (pitch && *pitch == PitchAreas{}) pitch.reset();
    if (store_.tactic_.pitch == pitch) return;
    auto scope = store_.editScope("场地区域");
    store_.tactic_.pitch = pitch;
    store_.recordEdit();
}

void BoardEquipment::setShowPitchAreas(bool on) {
    BoardStore::Batch batch(store_.notifier_);
    showPitchAreas_ = on;
    store_.notifier_.mark(StoreChange::displayOptions | StoreChange::frame);
}

}  // namespace vantrel

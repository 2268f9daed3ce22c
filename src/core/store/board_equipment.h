// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>

#include "core/model/equipment.h"
#include "core/model/point.h"
#include "core/model/uuid.h"

namespace vantrel {

class BoardStore;

// The training equipment of the open tactic's steps and the tactic's pitch areas: a part
// of the store, reached as `store.equipment()`. Its commands edit the current step with
// the store's undo, status line and autosave.
class BoardEquipment {
public:
    explicit BoardEquipment(BoardStore& store) : store_(store) {}

    // A piece of `kind` placed in the current step where the coach put it (pulled onto
    // the pitch and its lines), selected; refused past 200 a step. One undo level each
    // command; a drag of one piece (moves and turns) is one level until `endDrag`.
    const std::optional<Uuid>& selected() const { return selected_; }
    std::optional<Uuid> add(EquipmentKind kind, Point at);
    void select(std::optional<Uuid> id);
    void move(const Uuid& id, Point to);
    void rotate(const Uuid& id, double degrees);
    void setColor(const Uuid& id, std::optional<std::string> color);
    void remove(const Uuid& id);
    void endDrag();
    // The tactic's pitch area and grid; the display option shows or hides them.
    void setPitchAreas(std::optional<PitchAreas> pitch);
    bool showPitchAreas() const { return showPitchAreas_; }
    void setShowPitchAreas(bool on);

private:
    friend class BoardStore;   // a player's selection lets go of the piece quietly

    BoardStore& store_;
    std::optional<Uuid> selected_;
    bool showPitchAreas_ = true;
};

}  // namespace vantrel

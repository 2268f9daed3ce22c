// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include "core/store/board_store.h"

namespace vantrel {

// The open tactic's state as the header badge and its library row say it. A built-in
// tactic is "示范战术"; an own tactic is "未保存修改" while the stage differs from its
// baseline (that outranks a pending autosave: the coach still has a question to answer),
// "保存失败" while the newest write of the own tactics failed (never "已保存" then),
// "保存中…" while an autosave waits or is being written, else "已保存".
inline QString tacticStateText(const BoardStore& store) {
    if (store.selectedTacticKey().starts_with("builtin-")) return QStringLiteral("示范战术");
    if (store.saveFailure()) return QStringLiteral("保存失败");
    if (store.hasStageChanges()) return QStringLiteral("未保存修改");
    if (store.autosavePending()) return QStringLiteral("保存中…");
    return QStringLiteral("已保存");
}

}  // namespace vantrel

// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/store/tactic_files.h"

#include "core/library/pressing.h"
#include "core/model/file_io.h"
#include "core/model/tactic_json.h"
#include "core/model/tactic_limits.h"
#include "core/store/board_store.h"

namespace vantrel {

std::string TacticFiles::importedStatus(const std::string& name, bool pressAdded) {
    return "已导入：" + name + (pressAdded ? " · 已补充对手高位逼抢" : "");
}

void TacticFiles::importFile() {
    if (!store_.canLeaveStage({.kind = StageDeparture::Kind::importDialog})) return;
    if (auto path = platform_.chooseJsonFileToOpen()) importFile(*path);
}

void TacticFiles::importFile(const std::filesystem::path& path) {
    // A file given on the command line or handed over by a later start asks first too.
    if (!store_.canLeaveStage({.kind = StageDeparture::Kind::importFile, .path = path})) return;
    auto text = readWholeFile(path, TacticJson::kMaxDocumentBytes);
    if (!text) {
        // The cause comes first: "找不到文件：…", "不是普通文件：…", "文件过大：…".
        store_.reportStatus("导入失败：" + text.error());
        return;
    }
    std::size_t listedSteps = 0;
    auto decoded = TacticJson::decodeTactic(text.value(), &listedSteps);
    if (!decoded) {
        store_.reportStatus("导入失败：JSON 格式不正确（" + decoded.error() + "）");
        return;
    }
    Tactic tactic = std::move(decoded).value();
    if (auto refused = admitTactic(tactic, LongText::refuse, listedSteps)) {
        store_.reportStatus("导入失败：" + *refused);
        return;
    }
    bool hasCurvedRuns = false;
    for (const auto& step : tactic.steps) hasCurvedRuns = hasCurvedRuns || step.hasPathControls();
    // A tactic whose runs were shaped by hand is kept exactly as read; otherwise the side
    // without the ball presses high, which the status line says only when it changed
    // something.
    bool pressAdded = false;
    if (!hasCurvedRuns) {
        Tactic pressed = withOpponentHighPress(tactic);
        pressAdded = !(pressed == tactic);
        tactic = std::move(pressed);
    }
    const std::string status = importedStatus(tactic.name, pressAdded);
    store_.openImportedTactic(std::move(tactic), status);
}

void TacticFiles::exportFile() {
    const Tactic& tactic = store_.tactic();
    auto path = platform_.chooseJsonFileToSave(tactic.name + ".json");
    if (!path) return;
    auto bytes = TacticJson::encodePretty(tactic);
    if (!bytes) {
        store_.reportStatus("导出失败：" + bytes.error());
        return;
    }
    auto written = writeFileAtomically(*path, bytes.value());
    if (!written) {
        store_.reportStatus("导出失败：" + written.error());
        return;
    }
    store_.reportStatus("已导出：" + path->filename().string());
}

}  // namespace vantrel

// Importing and exporting single tactics as JSON files.
#include "core/model/file_io.h"
#include "core/model/tactic_json.h"
#include "core/library/pressing.h"
#include "core/store/board_store.h"

namespace vantrel {

void BoardStore::importFile() {
    Batch batch(notifier_);
    // Asked before the dialog opens, so the coach answers the save question first.
    if (!canLeaveStage([this] { importFile(); })) return;
    if (auto path = platform_.chooseJsonFileToOpen()) importFile(*path);
}

void BoardStore::importFile(const std::filesystem::path& path) {
    Batch batch(notifier_);
    if (!canLeaveStage([this, path] { importFile(path); })) return;

    auto text = readWholeFile(path, TacticJson::kMaxDocumentBytes);
    if (!text) {
        setStatus("导入失败：JSON 格式不正确（" + text.error() + "）");
        return;
    }
    auto decoded = TacticJson::decodeTactic(text.value());
    if (!decoded) {
        setStatus("导入失败：JSON 格式不正确（" + decoded.error() + "）");
        return;
    }
    Tactic tactic = std::move(decoded).value();
    if (!passesImportChecks(tactic)) {
        setStatus("导入失败：需为 7 人制或 11 人制，且每步包含双方完整球员");
        return;
    }

    flushAutosave();
    stopMotionForDeparture();
    const std::string name = tactic.name;
    bool hasCurvedRuns = false;
    for (const auto& step : tactic.steps) hasCurvedRuns = hasCurvedRuns || step.hasPathControls();
    // A tactic whose runs were shaped by hand is kept exactly as read.
    if (!hasCurvedRuns) tactic = withOpponentHighPress(tactic);

    const SavedTactic saved{Uuid::random(), std::move(tactic), true};
    // Never store what start-up would refuse to read: the library stays as it was.
    if (Status added = library_.append(saved); !added) {
        setStatus("导入失败：" + added.error());
        return;
    }
    notifier_.mark(StoreChange::library);

    openTactic(saved.tactic, saved.key(), "已导入：" + name + " · 已补充对手高位逼抢");
    library_.persist();   // last: a failure replaces the status above
}

void BoardStore::exportFile() {
    Batch batch(notifier_);
    auto path = platform_.chooseJsonFileToSave(tactic_.name + ".json");
    if (!path) return;
    auto bytes = TacticJson::encodePretty(tactic_);
    if (!bytes) {
        setStatus("导出失败：" + bytes.error());
        return;
    }
    auto written = writeFileAtomically(*path, bytes.value());
    if (!written) {
        setStatus("导出失败：" + written.error());
        return;
    }
    setStatus("已导出：" + path->filename().string());
}

}  // namespace vantrel

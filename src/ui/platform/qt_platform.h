// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>
#include <QString>

#include "core/platform/platform.h"

class QWidget;

namespace vantrel {

// The platform of the interactive run: display-synchronised clocks, event-loop timers
// and the desktop's file dialogs.
class QtPlatform final : public Platform {
public:
    // `window` parents the dialogs and gives the clocks their screen; either may be set
    // later. Both are held weakly: a destroyed window is simply forgotten.
    explicit QtPlatform(QWidget* window = nullptr);

    void setDialogParent(QWidget* parent) { dialogParent_ = parent; }
    // Clocks made from now on tick at this widget's screen rate.
    void setRefreshWidget(QWidget* widget) { refreshWidget_ = widget; }

    std::unique_ptr<FrameClock> makeFrameClock() override;
    std::unique_ptr<OneShotTimer> makeOneShotTimer() override;
    // "导入战术": one existing JSON file.
    std::optional<std::filesystem::path> chooseJsonFileToOpen() override;
    // "导出战术": proposes `proposedName`; the chosen path always ends in ".json".
    std::optional<std::filesystem::path> chooseJsonFileToSave(std::string_view proposedName) override;
    // The own tactics' file storage of the run; without one they stay in the preferences.
    void setLibraryStorage(LibraryStorage* storage) { libraryStorage_ = storage; }
    LibraryStorage* libraryStorage() override { return libraryStorage_; }

private:
    QString startDirectory() const;

    QPointer<QWidget> dialogParent_;
    QPointer<QWidget> refreshWidget_;
    QString lastDirectory_;
    LibraryStorage* libraryStorage_ = nullptr;   // where the last dialog was confirmed, for the next one
};

// `name` ending in ".json" (any letter case), appending the suffix when it is missing.
QString withJsonSuffix(const QString& name);

}  // namespace vantrel

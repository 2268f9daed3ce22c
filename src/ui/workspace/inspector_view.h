// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

#include "core/store/board_store.h"
#include "core/store/workspace_preferences.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QSpinBox;
class QPlainTextEdit;
class QStackedWidget;
class QToolButton;
class QVBoxLayout;

namespace vantrel {

class FormationPickerButton;
class StudioSegmentedControl;
class QuietHoverStyle;


// The inspector column: the step settings (name, title, note, line-up slot, pass style,
// runs, display options, deletion) or, while a player is inspected, that player's panel.
// Text fields write through the store as the coach types; the store's values flow back
// only when they differ, so the cursor never jumps.
class InspectorView : public QWidget {
    Q_OBJECT
public:
    InspectorView(BoardStore& store, WorkspacePreferences& workspace, QWidget* parent = nullptr);

    // Shows the step settings (true) or the inspected player (false).
    void showStageSettings(bool on);
    bool showingStageSettings() const;

    QLineEdit* tacticNameField() const { return tacticName_; }
    QLineEdit* stepTitleField() const { return stepTitle_; }
    QPlainTextEdit* stepNoteField() const { return stepNote_; }
    StudioSegmentedControl* passStyleControl() const { return passStyle_; }
    QLabel* playerTitle() const { return playerTitle_; }
    // The inspected player's squad fields: "名字", "位置" and "号码" (0 shows "无").
    QLineEdit* playerNameField() const { return playerName_; }
    QLineEdit* playerRoleField() const { return playerRole_; }
    QSpinBox* shirtField() const { return shirt_; }
    QToolButton* focusButton() const { return focus_; }
    // Where the formation picker goes.
    QVBoxLayout* formationSlot() const { return formationSlot_; }
    QWidget* formationArea() const { return formationArea_; }
    FormationPickerButton* formationPicker() const { return formationPicker_; }
    QWidget* passArea() const { return passArea_; }
    QWidget* playerArea() const { return playerPage_; }

signals:
    void closeRequested();
    void deleteStepRequested();
    void stageSettingsRequested();

private:
    QWidget* buildStagePage();
    QWidget* buildPlayerPage();
    void refresh();
    void refreshDisplayExpansion();

    BoardStore& store_;
    WorkspacePreferences& workspace_;
    QStackedWidget* pages_ = nullptr;
    QWidget* stagePage_ = nullptr;
    QWidget* playerPage_ = nullptr;
    QLineEdit* tacticName_ = nullptr;
    QLineEdit* stepTitle_ = nullptr;
    QPlainTextEdit* stepNote_ = nullptr;
    QVBoxLayout* formationSlot_ = nullptr;
    QWidget* formationArea_ = nullptr;
    FormationPickerButton* formationPicker_ = nullptr;
    QWidget* passArea_ = nullptr;
    StudioSegmentedControl* passStyle_ = nullptr;
    QToolButton* displayHeader_ = nullptr;
    QWidget* displayOptions_ = nullptr;
    QCheckBox* vision_ = nullptr;
    QCheckBox* offside_ = nullptr;
    QCheckBox* routes_ = nullptr;
    QCheckBox* risk_ = nullptr;
    QLabel* playerTitle_ = nullptr;
    QLineEdit* playerName_ = nullptr;
    QLineEdit* playerRole_ = nullptr;
    QSpinBox* shirt_ = nullptr;
    QLabel* hasBall_ = nullptr;
    QToolButton* giveBall_ = nullptr;
    QToolButton* focus_ = nullptr;
    QCheckBox* playerRoutes_ = nullptr;
    bool writing_ = false;
    Subscription subscription_;
};

}  // namespace vantrel

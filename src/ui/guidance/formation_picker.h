// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractButton>
#include <QFrame>
#include <QPointer>
#include <QWidget>

#include <optional>
#include <vector>

#include "core/library/formation_preset.h"
#include "core/store/board_store.h"

class QLabel;
class QGridLayout;

namespace vantrel {

class StudioSegmentedControl;

// "蓝队" for team 0, "橙队" for any other.
QString formationTeamName(int team);

// A tiny pitch with one dot per position of `preset` for `team`, 80 × 46 points.
class FormationMiniPitch : public QWidget {
    Q_OBJECT
public:
    static constexpr QSize kSize{80, 46};

    FormationMiniPitch(FormationPreset preset, int team, QWidget* parent = nullptr);
    void setTeam(int team);
    QSize sizeHint() const override { return kSize; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    FormationPreset preset_;
    int team_;
};

// One preset in the picker: the mini pitch and the preset's name, a check mark and a
// brand outline while selected. Pressing shrinks it slightly unless reduce motion is on.
class FormationPreviewButton : public QAbstractButton {
    Q_OBJECT
public:
    FormationPreviewButton(FormationPreset preset, QWidget* parent = nullptr);

    const FormationPreset& preset() const { return preset_; }
    int team() const { return team_; }
    bool isSelected() const { return selected_; }
    void setTeam(int team);
    void setSelected(bool on);
    void setReduceMotion(bool on) { reduceMotion_ = on; }
    // The scale the button is drawn at: below 1 only while pressed with motion allowed.
    qreal drawnScale() const;
    QSize sizeHint() const override { return {94, 82}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;   // Return chooses, like Space

private:
    void describeSelf();

    FormationPreset preset_;
    int team_ = 0;
    bool selected_ = false;
    bool reduceMotion_ = false;
    bool hovered_ = false;
    FormationMiniPitch* pitch_ = nullptr;
};

// The picker's panel, 330 points wide: the header with the format and a close button,
// the team selector bound to the store's formation-team setting, the hint and one
// preview per preset of the tactic's format, in the table's order. Choosing a preset
// applies it to the current step and keeps the panel open; Esc or the close button
// closes it without changing anything. The arrow keys move the focus over the previews
// as they are laid out.
class FormationPickerPopover : public QFrame {
    Q_OBJECT
public:
    static constexpr int kWidth = 330;

    explicit FormationPickerPopover(BoardStore& store, QWidget* parent = nullptr);

    StudioSegmentedControl* teamSelector() const { return team_; }
    const std::vector<FormationPreviewButton*>& previews() const { return previews_; }
    QAbstractButton* closeButton() const { return close_; }

signals:
    void dismissed();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void rebuild();
    void refresh();

    BoardStore& store_;
    QLabel* format_ = nullptr;
    StudioSegmentedControl* team_ = nullptr;
    QAbstractButton* close_ = nullptr;
    QGridLayout* grid_ = nullptr;
    std::vector<FormationPreviewButton*> previews_;
    int builtFormat_ = -1;
    bool syncing_ = false;
    Subscription subscription_;
};

// The "阵容" trigger: a grid icon, the label (preceded by the team's name when bound to
// one team) and a chevron. Clicking it points the store's formation-team setting at the
// bound team, if any, and shows or hides the picker.
class FormationPickerButton : public QAbstractButton {
    Q_OBJECT
public:
    FormationPickerButton(BoardStore& store, std::optional<int> team = std::nullopt, QWidget* parent = nullptr);
    ~FormationPickerButton() override;

    bool isPresented() const;
    void setPresented(bool on);
    FormationPickerPopover* popover() const { return popover_; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void refreshEnabled();

    BoardStore& store_;
    std::optional<int> team_;
    bool hovered_ = false;
    QPointer<FormationPickerPopover> popover_;
    Subscription subscription_;
};

}  // namespace vantrel

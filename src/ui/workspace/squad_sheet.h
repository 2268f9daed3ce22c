// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <array>
#include <filesystem>
#include <functional>
#include <optional>

#include "core/store/board_store.h"
#include "ui/workspace/workspace_dialogs.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QToolButton;

namespace vantrel {

// "阵容名单": both teams side by side, each with its name, its kit colour and its players
// as the tactic names them ("10 号 陈晨 · 中场"), and a squad list to take from the
// clipboard ("粘贴名单") or a CSV file ("导入 CSV…"), matched to the players by the
// number they show. Every change is the store's, one undo level each, and shows at once.
class SquadSheet : public WorkspaceSheet {
    Q_OBJECT
public:
    SquadSheet(BoardStore& store, QWidget* parent);

    // Asks for the CSV file; the window asks with a file dialog, tests answer without one.
    using FileChooser = std::function<std::optional<std::filesystem::path>()>;
    void setFileChooser(FileChooser chooser) { chooser_ = std::move(chooser); }
    // Asks for a kit colour starting from the shown one; absent when cancelled.
    using ColorChooser = std::function<std::optional<QColor>(QColor shown)>;
    void setColorChooser(ColorChooser chooser) { colorChooser_ = std::move(chooser); }

    QLineEdit* nameField(int team) const { return teams_[std::size_t(team)].name; }
    QToolButton* colorButton(int team) const { return teams_[std::size_t(team)].color; }
    QListWidget* playerList(int team) const { return teams_[std::size_t(team)].players; }
    QToolButton* pasteButton(int team) const { return teams_[std::size_t(team)].paste; }
    QToolButton* importButton(int team) const { return teams_[std::size_t(team)].import; }
    QLabel* outcome() const { return outcome_; }

private:
    struct TeamColumn {
        QLineEdit* name = nullptr;
        QToolButton* color = nullptr;
        QToolButton* defaultColor = nullptr;
        QListWidget* players = nullptr;
        QToolButton* paste = nullptr;
        QToolButton* import = nullptr;
    };
    QWidget* buildColumn(int team);
    void takeRoster(int team, const std::string& text);
    void chooseColor(int team);
    void refresh();

    BoardStore& store_;
    std::array<TeamColumn, 2> teams_;
    QLabel* outcome_ = nullptr;
    FileChooser chooser_;
    ColorChooser colorChooser_;
    Subscription subscription_;
};

}  // namespace vantrel

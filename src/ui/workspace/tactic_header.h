// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

#include "core/store/board_store.h"

class QLabel;

namespace vantrel {

// The main column's header: the tactic's name, "N 个阶段", "  ·  进攻战术  ·  " and the
// state badge, with the store's status line beneath, always visible. The status label's
// accessible name is the status itself, and every change is announced, so a failed
// import or a refused pass reaches a screen reader too.
class TacticHeader : public QWidget {
    Q_OBJECT
public:
    explicit TacticHeader(BoardStore& store, QWidget* parent = nullptr);

    QLabel* nameLabel() const { return name_; }
    QLabel* badge() const { return badge_; }
    QLabel* statusLabel() const { return status_; }

private:
    void refresh();

    BoardStore& store_;
    QLabel* name_ = nullptr;
    QLabel* meta_ = nullptr;
    QLabel* badge_ = nullptr;
    QLabel* status_ = nullptr;
    Subscription subscription_;
};

}  // namespace vantrel

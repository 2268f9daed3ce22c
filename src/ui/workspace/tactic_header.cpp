// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/workspace/tactic_header.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "ui/style/studio_widgets.h"
#include "ui/workspace/tactic_state.h"

namespace vantrel {

using namespace StudioWidgets;

TacticHeader::TacticHeader(BoardStore& store, QWidget* parent) : QWidget(parent), store_(store) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    auto* row = new QHBoxLayout;
    row->setSpacing(0);
    name_ = label(QString(), 22, StudioStyle::textPrimary, true, this);
    name_->setObjectName(QStringLiteral("tacticTitle"));
    name_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    meta_ = label(QString(), 13, StudioStyle::textSecondary, false, this);
    badge_ = label(QString(), 12, StudioStyle::brand, true, this);
    badge_->setObjectName(QStringLiteral("stateBadge"));
    badge_->setContentsMargins(9, 3, 9, 3);
    badge_->setAutoFillBackground(false);
    row->addWidget(name_);
    row->addSpacing(14);
    row->addWidget(meta_);
    row->addWidget(badge_);
    row->addStretch();
    layout->addLayout(row);
    status_ = label(QString(), 13, StudioStyle::textSecondary, false, this);
    status_->setObjectName(QStringLiteral("statusLine"));
    status_->setAccessibleDescription(QStringLiteral("状态"));
    status_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(status_);

    // The badge is a pill: soft brand behind brand text, repainted with the appearance.
    auto styleBadge = [this] {
        const bool demo = store_.selectedTacticKey().starts_with("builtin-");
        const bool unsaved = (store_.hasStageChanges() || store_.saveFailure()) && !demo;
        const QColor ink = unsaved ? StudioStyle::destructive() : demo ? StudioStyle::textSecondary() : StudioStyle::brand();
        const QColor back = unsaved ? StudioStyle::withOpacity(StudioStyle::destructive(), 0.12)
                            : demo  ? StudioStyle::surfaceSecondary()
                                    : StudioStyle::brandSoft();
        badge_->setStyleSheet(QStringLiteral("QLabel{color:%1;background:%2;border-radius:10px;}")
                                  .arg(ink.name(QColor::HexArgb), back.name(QColor::HexArgb)));
    };
    connect(&StudioStyle::appearance(), &StudioAppearance::appearanceChanged, this, styleBadge);

    subscription_ = store_.subscribe([this, styleBadge](StoreChange change) {
        if (any(change & (StoreChange::tactic | StoreChange::library | StoreChange::status | StoreChange::confirmation))) {
            refresh();
            styleBadge();
        }
    });
    refresh();
    styleBadge();
}

void TacticHeader::refresh() {
    const Tactic& tactic = store_.tactic();
    announceText(name_, QString::fromStdString(tactic.name));
    meta_->setText(QStringLiteral("%1 个阶段").arg(tactic.steps.size()) + QStringLiteral("  ·  进攻战术  ·  "));
    meta_->setAccessibleName(meta_->text());
    const QString state = tacticStateText(store_);
    badge_->setText(state);
    badge_->setAccessibleName(state);
    // The reason of a failed save, for the pointer and for assistive technology.
    const QString reason = store_.saveFailure() ? QString::fromStdString(*store_.saveFailure()) : QString();
    badge_->setToolTip(reason);
    badge_->setAccessibleDescription(reason);
    announceText(status_, QString::fromStdString(store_.status()));
}

}  // namespace vantrel

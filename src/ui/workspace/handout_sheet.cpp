// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/workspace/handout_sheet.h"

#include <QListWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "core/library/builtin_tactics.h"
#include "core/store/board_store.h"
#include "ui/style/studio_style.h"
#include "ui/style/studio_widgets.h"

namespace vantrel {

HandoutSheet::HandoutSheet(const BoardStore& store, QWidget* parent)
    : WorkspaceSheet(QStringLiteral("导出多个战术的讲义"),
                     QStringLiteral("勾选要放进同一份 PDF 讲义的战术，按列表顺序排列；每个战术先有一页概览。"), parent) {
    setObjectName(QStringLiteral("handoutSheet"));
    list_ = new QListWidget(this);
    list_->setAccessibleName(QStringLiteral("讲义包含的战术"));
    list_->setMinimumSize(420, 320);
    auto add = [this](const Tactic& tactic, const QString& text, bool ticked) {
        auto* item = new QListWidgetItem(text, list_);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
        tactics_.push_back(tactic);
    };
    const QString open = QString::fromStdString(store.tactic().name);
    add(store.tactic(), QStringLiteral("当前战术：%1").arg(open), true);
    for (const auto& own : store.importedTactics())
        if (own.key() != store.selectedTacticKey())
            add(own.tactic, QStringLiteral("我的战术：%1").arg(QString::fromStdString(own.tactic.name)), false);
    for (int format : {7, 11})
        for (std::size_t i = 0; i < BuiltInTactics::library(format).size(); ++i) {
            const Tactic& play = BuiltInTactics::library(format)[i];
            if (store.selectedTacticKey() == "builtin-" + std::to_string(format) + "-" + std::to_string(i)) continue;
            add(play, QStringLiteral("示范战术（%1 人制）：%2").arg(format).arg(QString::fromStdString(play.name)), false);
        }
    body()->addWidget(list_);
    // The platform's tick boxes vanish on a dark list: drawn here in the studio colours,
    // an empty frame or a filled square.
    auto tickBoxes = [this] {
        list_->setStyleSheet(QStringLiteral("QListWidget::indicator { width: 12px; height: 12px; border: 1.5px solid %1;"
                                            " border-radius: 3px; background: %2; }"
                                            "QListWidget::indicator:checked { background: %3; border-color: %3; }")
                                 .arg(StudioStyle::textSecondary().name(), StudioStyle::surface().name(),
                                      StudioStyle::brand().name()));
    };
    tickBoxes();
    connect(&StudioStyle::appearance(), &StudioAppearance::appearanceChanged, list_, tickBoxes);
    addButton(QStringLiteral("取消"), QDialog::Rejected, false, false);
    export_ = addButton(QStringLiteral("导出…"), QDialog::Accepted, true, false);
    connect(list_, &QListWidget::itemChanged, this, &HandoutSheet::updateCount);
    list_->setCurrentRow(0);
    list_->setFocus();
    updateCount();
}

std::vector<Tactic> HandoutSheet::chosen() const {
    std::vector<Tactic> ticked;
    for (int i = 0; i < list_->count(); ++i)
        if (list_->item(i)->checkState() == Qt::Checked) ticked.push_back(tactics_[static_cast<std::size_t>(i)]);
    return ticked;
}

void HandoutSheet::updateCount() {
    const auto count = chosen().size();
    export_->setEnabled(count > 0);
    const QString text = QStringLiteral("已选 %1 个战术").arg(count);
    StudioWidgets::describe(export_, QStringLiteral("导出…"), text);
    setDefaultResult(count > 0 ? QDialog::Accepted : QDialog::Rejected);
}

}  // namespace vantrel

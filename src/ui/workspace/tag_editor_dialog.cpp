// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/workspace/tag_editor_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QRegularExpression>
#include <QVBoxLayout>

#include <algorithm>

#include "ui/style/studio_widgets.h"

namespace vantrel {

TagEditorDialog::TagEditorDialog(const std::vector<std::string>& current, const std::vector<std::string>& offered,
                                 QWidget* parent)
    : WorkspaceSheet(QStringLiteral("编辑标签"), QStringLiteral("至多 12 个标签，每个 1–16 个字。"), parent) {
    setObjectName(QStringLiteral("tagEditorSheet"));
    std::vector<std::string> shown = offered;
    for (const auto& tag : current)
        if (std::find(shown.begin(), shown.end(), tag) == shown.end()) shown.push_back(tag);
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(12);
    for (std::size_t i = 0; i < shown.size(); ++i) {
        const QString text = QString::fromStdString(shown[i]);
        auto* box = new QCheckBox(text, this);
        box->setAccessibleName(text);
        box->setChecked(std::find(current.begin(), current.end(), shown[i]) != current.end());
        grid->addWidget(box, int(i / 4), int(i % 4));
        boxes_.push_back(box);
    }
    body()->addLayout(grid);
    body()->addWidget(StudioWidgets::label(QStringLiteral("新标签"), 12, StudioStyle::textSecondary, true, this));
    typed_ = new QLineEdit(this);
    typed_->setPlaceholderText(QStringLiteral("用逗号或空格分隔"));
    typed_->setAccessibleName(QStringLiteral("新标签"));
    typed_->setAccessibleDescription(QStringLiteral("用逗号或空格分隔"));
    body()->addWidget(typed_);
    addButton(QStringLiteral("取消"), QDialog::Rejected, false, false);
    addButton(QStringLiteral("确定"), QDialog::Accepted, true, false);
}

std::vector<std::string> TagEditorDialog::tags() const {
    std::vector<std::string> tags;
    for (const QCheckBox* box : boxes_)
        if (box->isChecked()) tags.push_back(box->text().toStdString());
    static const QRegularExpression separators(QStringLiteral("[,，、;；\\s\\x{3000}]+"));
    for (const QString& part : typed_->text().split(separators, Qt::SkipEmptyParts)) tags.push_back(part.toStdString());
    return tags;
}

}  // namespace vantrel

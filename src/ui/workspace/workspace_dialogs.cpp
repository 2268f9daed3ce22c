// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/workspace/workspace_dialogs.h"

#include <QAbstractButton>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QToolButton>
#include <QVBoxLayout>

#include "ui/style/question_accessibility.h"
#include "ui/style/studio_segmented_control.h"
#include "ui/style/studio_widgets.h"

namespace vantrel {

using namespace StudioWidgets;

WorkspaceSheet::WorkspaceSheet(const QString& title, const QString& message, QWidget* parent) : QDialog(parent) {
    setWindowTitle(title);
    setModal(true);
    setAccessibleName(title);
    setAccessibleDescription(message);
    setMinimumWidth(400);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 22, 24, 20);
    layout->setSpacing(10);
    auto* titleLabel = label(title, 17, StudioStyle::textPrimary, true, this);
    titleLabel->setObjectName(QStringLiteral("sheetTitle"));
    layout->addWidget(titleLabel);
    message_ = label(message, 13, StudioStyle::textSecondary, false, this);
    message_->setWordWrap(true);
    message_->setAccessibleName(message);
    message_->setObjectName(QStringLiteral("sheetMessage"));
    layout->addWidget(message_);
    body_ = new QVBoxLayout;
    body_->setSpacing(8);
    layout->addLayout(body_);
    layout->addSpacing(6);
    buttons_ = new QHBoxLayout;
    buttons_->addStretch();
    buttons_->setSpacing(8);
    layout->addLayout(buttons_);
    connect(&StudioStyle::appearance(), &StudioAppearance::appearanceChanged, this, qOverload<>(&QWidget::update));
    exposeAsQuestion(this);
    holdFocusWhileAsking(this);
}

QToolButton* WorkspaceSheet::addButton(const QString& text, int result, bool prominent, bool destructive) {
    QToolButton* b = actionButton(text, prominent, destructive, this);
    b->setMinimumWidth(88);
    connect(b, &QToolButton::clicked, this, [this, result] { done(result); });
    buttons_->addWidget(b);
    if (prominent) prominent_ = b;
    return b;
}

void WorkspaceSheet::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Without this the first button in the row (often "放弃" or "取消") would take the
    // focus, and Return would give the answer that is not drawn as the default.
    if (prominent_ && !focusWidget()) prominent_->setFocus();
}

void WorkspaceSheet::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && event->modifiers() == Qt::NoModifier) {
        // A focused button is the answer; the default answers only when focus is elsewhere.
        if (auto* button = qobject_cast<QAbstractButton*>(focusWidget()); button && button->window() == this) {
            button->click();
            return;
        }
        done(defaultResult_);
        return;
    }
    QDialog::keyPressEvent(event);   // Esc rejects
}

void WorkspaceSheet::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), StudioStyle::surface());
}

NewTacticSheet::NewTacticSheet(int format, QWidget* parent)
    : WorkspaceSheet(QStringLiteral("新建战术"), QStringLiteral("从初始站位开始，逐步编排跑位与传球。"), parent) {
    setObjectName(QStringLiteral("newTacticSheet"));
    body()->addWidget(label(QStringLiteral("战术名称"), 12, StudioStyle::textSecondary, true, this));
    name_ = new QLineEdit(this);
    name_->setPlaceholderText(QStringLiteral("例如：边路二过一"));
    describe(name_, QStringLiteral("战术名称"));
    name_->setStyleSheet(QStringLiteral("background:%1;color:%2;border:1px solid %3;border-radius:7px;padding:6px 8px;")
                             .arg(StudioStyle::surface().name(), StudioStyle::textPrimary().name(), StudioStyle::border().name()));
    body()->addWidget(name_);
    body()->addWidget(label(QStringLiteral("赛制"), 12, StudioStyle::textSecondary, true, this));
    format_ = new StudioSegmentedControl(QStringLiteral("赛制"), {{QStringLiteral("7 人制"), 7}, {QStringLiteral("11 人制"), 11}}, this);
    format_->setSelection(format == 7 ? 7 : 11);
    format_->setFixedWidth(200);
    body()->addWidget(format_);
    addButton(QStringLiteral("取消"), QDialog::Rejected, false, false);
    addButton(QStringLiteral("创建战术"), QDialog::Accepted, true, false);
    setFocusProxy(name_);
    name_->setFocus();
}

QString NewTacticSheet::name() const { return name_->text(); }
int NewTacticSheet::format() const { return format_->selection().toInt(); }

}  // namespace vantrel

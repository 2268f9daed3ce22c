// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/annotation/annotation_text_editor.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/annotation/annotation_text.h"
#include "ui/style/studio_style.h"

namespace vantrel {

namespace {
constexpr int kFieldPadding = 12;
constexpr int kMinLines = 3;
constexpr int kMaxLines = 7;
}  // namespace

AnnotationTextEditor::AnnotationTextEditor(bool isNew, const QString& text, QWidget* parent) : QDialog(parent) {
    const QString title = isNew ? QStringLiteral("添加文字注释") : QStringLiteral("编辑文字注释");
    setWindowTitle(title);
    setAccessibleName(title);
    setModal(true);
    setWindowModality(Qt::WindowModal);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 18, 20, 16);
    layout->setSpacing(12);
    auto* heading = new QLabel(title, this);
    QFont headingFont = heading->font();
    headingFont.setPixelSize(16);
    headingFont.setWeight(QFont::DemiBold);
    heading->setFont(headingFont);
    layout->addWidget(heading);

    field_ = new QPlainTextEdit(this);
    field_->setPlaceholderText(QStringLiteral("输入战术说明"));
    field_->setAccessibleName(QStringLiteral("输入战术说明"));
    field_->setPlainText(text);
    QFont fieldFont = field_->font();
    fieldFont.setPixelSize(14);
    field_->setFont(fieldFont);
    field_->setFrameShape(QFrame::NoFrame);
    field_->document()->setDocumentMargin(kFieldPadding);
    field_->setTabChangesFocus(true);
    field_->installEventFilter(this);
    const int line = field_->fontMetrics().lineSpacing();
    field_->setMinimumHeight(line * kMinLines + 2 * kFieldPadding + 4);
    field_->setMaximumHeight(line * kMaxLines + 2 * kFieldPadding + 4);
    field_->setMinimumWidth(360);
    field_->setStyleSheet(QStringLiteral("QPlainTextEdit { background: %1; color: %2; border-radius: 8px; }")
                              .arg(StudioStyle::surfaceSecondary().name(), StudioStyle::textPrimary().name()));
    layout->addWidget(field_);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    cancel_ = new QPushButton(QStringLiteral("取消"), this);
    cancel_->setAccessibleName(QStringLiteral("取消"));
    done_ = new QPushButton(QStringLiteral("完成"), this);
    done_->setAccessibleName(QStringLiteral("完成"));
    done_->setDefault(true);
    buttons->addWidget(cancel_);
    buttons->addWidget(done_);
    layout->addLayout(buttons);

    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    connect(done_, &QPushButton::clicked, this, [this] {
        if (done_->isEnabled()) accept();
    });
    const auto refresh = [this] { done_->setEnabled(!AnnotationText::trimmed(this->text().toStdString()).empty()); };
    connect(field_, &QPlainTextEdit::textChanged, this, refresh);
    refresh();
    field_->setFocus();
}

QString AnnotationTextEditor::text() const { return field_->toPlainText(); }

bool AnnotationTextEditor::eventFilter(QObject* watched, QEvent* event) {
    if (watched == field_ && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && !(key->modifiers() & Qt::ShiftModifier)) {
            if (done_->isEnabled()) accept();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace vantrel

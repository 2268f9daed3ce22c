// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace vantrel {

// The sheet that writes a note: "添加文字注释" for a new note, "编辑文字注释" for an
// existing one. "完成" stays disabled while the trimmed text is empty; "取消" and Escape
// close it without saving. Return is the default action; Shift+Return starts a new line.
class AnnotationTextEditor : public QDialog {
    Q_OBJECT
public:
    AnnotationTextEditor(bool isNew, const QString& text, QWidget* parent);

    QString text() const;
    QPlainTextEdit* field() const { return field_; }
    QPushButton* doneButton() const { return done_; }
    QPushButton* cancelButton() const { return cancel_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPlainTextEdit* field_ = nullptr;
    QPushButton* done_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

}  // namespace vantrel

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QHBoxLayout;
class QLabel;
class QLineEdit;
class QToolButton;
class QVBoxLayout;

namespace vantrel {

class StudioSegmentedControl;

// A sheet of the workspace drawn on the surface token: a title, a message and a row of
// buttons, the last one the default (Return) and "取消" bound to Esc. Unless the sheet
// gives the focus to one of its own widgets, the prominent button takes it, so that the
// answer drawn as the default is the one Return gives. Modal to the
// window; it reports its answer through QDialog's result and the `answered` signal.
// Assistive technology sees a modal dialog named by the title and described by the
// message; it takes the keyboard while shown and gives it back when answered.
class WorkspaceSheet : public QDialog {
    Q_OBJECT
public:
    WorkspaceSheet(const QString& title, const QString& message, QWidget* parent);

    // Adds a button; `result` is what `done` receives when it is pressed.
    QToolButton* addButton(const QString& text, int result, bool prominent, bool destructive);
    // Widgets between the message and the buttons.
    QVBoxLayout* body() const { return body_; }
    QLabel* messageLabel() const { return message_; }
    void setDefaultResult(int result) { defaultResult_ = result; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QVBoxLayout* body_ = nullptr;
    QHBoxLayout* buttons_ = nullptr;
    QLabel* message_ = nullptr;
    QToolButton* prominent_ = nullptr;
    int defaultResult_ = QDialog::Accepted;
};

// "新建战术": a name (focused) and a format; Return creates, Esc cancels.
class NewTacticSheet : public WorkspaceSheet {
    Q_OBJECT
public:
    NewTacticSheet(int format, QWidget* parent);
    QString name() const;
    int format() const;
    QLineEdit* nameField() const { return name_; }

private:
    QLineEdit* name_ = nullptr;
    StudioSegmentedControl* format_ = nullptr;
};

}  // namespace vantrel

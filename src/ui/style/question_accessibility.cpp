// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/style/question_accessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QWidget>

namespace vantrel {

namespace {

class QuestionAccessible final : public QAccessibleWidget {
public:
    explicit QuestionAccessible(QWidget* question) : QAccessibleWidget(question, QAccessible::Dialog) {}

    // A question blocks what is under it until it is answered.
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.modal = true;
        return s;
    }
};

class FocusHolder final : public QObject {
public:
    explicit FocusHolder(QWidget* question) : QObject(question), question_(question) {
        question->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != question_) return false;
        if (event->type() == QEvent::Show) {
            // The opening window's focus widget has its keyboard, active or not.
            QWidget* opener =
                question_->parentWidget() ? question_->parentWidget()->window() : QApplication::activeWindow();
            QWidget* focus = opener && opener != question_ ? opener->focusWidget() : nullptr;
            before_ = focus && !question_->isAncestorOf(focus) ? focus : nullptr;
            question_->activateWindow();
        } else if (event->type() == QEvent::Hide) {
            // Only a question that held the keyboard gives it back: the coach may have
            // gone to another window meanwhile.
            const QWidget* active = QApplication::activeWindow();
            if (before_ && before_->isVisible() && before_->isEnabled() && (!active || active == question_)) {
                before_->activateWindow();
                before_->setFocus(Qt::ActiveWindowFocusReason);
            }
            before_ = nullptr;
        }
        return false;
    }

private:
    QWidget* question_;
    QPointer<QWidget> before_;
};

}  // namespace

void exposeAsQuestion(QWidget* question) {
    if (QAccessibleInterface* made = QAccessible::queryAccessibleInterface(question)) {
        if (dynamic_cast<QuestionAccessible*>(made)) return;
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
    }
    QAccessible::registerAccessibleInterface(new QuestionAccessible(question));
}

void holdFocusWhileAsking(QWidget* questionWindow) { new FocusHolder(questionWindow); }

}  // namespace vantrel

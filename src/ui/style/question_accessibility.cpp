#include "ui/style/question_accessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
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

}  // namespace

void exposeAsQuestion(QWidget* question) {
    if (QAccessibleInterface* made = QAccessible::queryAccessibleInterface(question)) {
        if (dynamic_cast<QuestionAccessible*>(made)) return;
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
    }
    QAccessible::registerAccessibleInterface(new QuestionAccessible(question));
}

}  // namespace vantrel

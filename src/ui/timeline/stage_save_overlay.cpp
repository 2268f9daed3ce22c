// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/timeline/stage_save_overlay.h"

#include <QEvent>
#include <QGraphicsOpacityEffect>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>
#include <QVariantAnimation>

#include <utility>

#include "core/model/step_title.h"
#include "ui/style/question_accessibility.h"
#include "ui/style/studio_style.h"
#include "ui/style/studio_icons.h"
#include "ui/timeline/timeline_buttons.h"

namespace vantrel {

namespace {

// The × button: the close glyph, quiet until hovered.
class CloseButton final : public StudioHoverButton {
public:
    explicit CloseButton(QWidget* parent) : StudioHoverButton(parent) {
        setFixedSize(26, 26);
        setIcon(StudioIcons::icon(StudioIcons::Glyph::close, StudioStyle::textSecondary));
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        if (hoverProgress() > 0) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(StudioStyle::withOpacity(StudioStyle::selection(), hoverProgress()));
            painter.drawEllipse(QRectF(rect()));
        }
        icon().paint(&painter, rect().adjusted(5, 5, -5, -5));
    }
};

void setTextAndName(QLabel* label, const QString& text) {
    label->setText(text);
    label->setAccessibleName(text);
    label->setVisible(!text.isEmpty());
}

void setHelp(QWidget* widget, const QString& help) {
    widget->setToolTip(help);
    widget->setAccessibleDescription(help);
}

}  // namespace

ConfirmationTexts stageSaveTexts(const QString& stageTitle) {
    return {
        .label = QStringLiteral("保存当前阶段的修改"),
        .title = QStringLiteral("保存这一步的修改？"),
        .detail = stageTitle,
        .explanation = QStringLiteral("保存后继续切换或播放。不保存会恢复修改前的站位、传球、路线和注释。"),
        .cancelText = QStringLiteral("取消"),
        .cancelHelp = QStringLiteral("继续编辑 · Esc"),
        .discardText = QStringLiteral("不保存"),
        .saveText = QStringLiteral("保存修改"),
        .closeHelp = QStringLiteral("关闭保存确认"),
    };
}

// --- StageSaveConfirmationView ----------------------------------------------------------

StageSaveConfirmationView::StageSaveConfirmationView(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setFixedWidth(sizeHint().width());

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(24, 18, 18, 20);
    column->setSpacing(6);

    auto* header = new QHBoxLayout;
    header->setSpacing(6);
    auto* pencil = new QLabel(this);
    pencil->setPixmap(StudioIcons::icon(StudioIcons::Glyph::edit, StudioStyle::brand).pixmap(QSize(14, 14), devicePixelRatioF()));
    pencil->setObjectName(QStringLiteral("pencil"));
    label_ = new QLabel(this);
    QFont small = label_->font();
    small.setPixelSize(12);
    small.setWeight(QFont::DemiBold);
    label_->setFont(small);
    closeButton_ = new CloseButton(this);
    closeButton_->setObjectName(QStringLiteral("closeButton"));
    header->addWidget(pencil);
    header->addWidget(label_, 1);
    header->addWidget(closeButton_, 0, Qt::AlignTop);
    column->addLayout(header);

    title_ = new QLabel(this);
    QFont titleFont = title_->font();
    titleFont.setPixelSize(18);
    titleFont.setWeight(QFont::DemiBold);
    title_->setFont(titleFont);
    detail_ = new QLabel(this);
    QFont detailFont = detail_->font();
    detailFont.setPixelSize(13);
    detailFont.setWeight(QFont::Medium);
    detail_->setFont(detailFont);
    explanation_ = new QLabel(this);
    QFont bodyFont = explanation_->font();
    bodyFont.setPixelSize(13);
    explanation_->setFont(bodyFont);
    explanation_->setWordWrap(true);
    for (QLabel* l : {label_, title_, detail_, explanation_}) l->setTextInteractionFlags(Qt::NoTextInteraction);
    column->addWidget(title_);
    column->addWidget(detail_);
    column->addSpacing(2);
    column->addWidget(explanation_);
    column->addSpacing(12);

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(8);
    cancelButton_ = new ConfirmationButtonStyle(QString(), false, false, this);
    discardButton_ = new ConfirmationButtonStyle(QString(), false, true, this);
    saveButton_ = new ConfirmationButtonStyle(QString(), true, false, this);
    cancelButton_->setObjectName(QStringLiteral("cancelButton"));
    discardButton_->setObjectName(QStringLiteral("discardButton"));
    saveButton_->setObjectName(QStringLiteral("saveButton"));
    buttons->addStretch(1);
    buttons->addWidget(cancelButton_);
    buttons->addWidget(discardButton_);
    buttons->addWidget(saveButton_);
    column->addLayout(buttons);

    connect(closeButton_, &QAbstractButton::clicked, this, [this] { answer(StageSaveDecision::cancel); });
    connect(cancelButton_, &QAbstractButton::clicked, this, [this] { answer(StageSaveDecision::cancel); });
    connect(discardButton_, &QAbstractButton::clicked, this, [this] { answer(StageSaveDecision::discard); });
    connect(saveButton_, &QAbstractButton::clicked, this, [this] { answer(StageSaveDecision::save); });
    connect(&StudioStyle::appearance(), &StudioAppearance::appearanceChanged, this, [this] {
        applyColors();
        update();
    });
    setTexts(stageSaveTexts(QString()));
    applyColors();
    exposeAsQuestion(this);
}

void StageSaveConfirmationView::setTexts(const ConfirmationTexts& texts) {
    setTextAndName(label_, texts.label);
    setTextAndName(title_, texts.title);
    setTextAndName(detail_, texts.detail);
    setTextAndName(explanation_, texts.explanation);
    setAccessibleName(texts.title);
    // What is asked about, then why: the detail line is empty for some questions.
    setAccessibleDescription(texts.detail.isEmpty() ? texts.explanation
                                                    : texts.detail + QLatin1Char('\n') + texts.explanation);
    for (auto [button, text] : {std::pair{cancelButton_, texts.cancelText}, std::pair{discardButton_, texts.discardText},
                                std::pair{saveButton_, texts.saveText}}) {
        button->setText(text);
        button->setAccessibleName(text);
        button->setMinimumWidth(button->sizeHint().width());
    }
    setHelp(cancelButton_, texts.cancelHelp);
    closeButton_->setAccessibleName(texts.closeHelp);
    setHelp(closeButton_, texts.closeHelp);
    adjustSize();
}

void StageSaveConfirmationView::setReduceMotion(bool on) {
    for (StudioHoverButton* b : findChildren<StudioHoverButton*>()) b->setReduceMotion(on);
}

void StageSaveConfirmationView::answer(StageSaveDecision decision) {
    auto deliver = std::move(decision_);
    decision_ = nullptr;
    if (deliver) deliver(decision);
}

// The answers are clicked, tabbed to and pressed (Space or Return), or given with Return
// and Esc on the card itself; Tab cycles through them and never takes the keyboard out of
// the question to the workspace under the veil.
bool StageSaveConfirmationView::focusNextPrevChild(bool next) {
    QList<QWidget*> answers;
    for (auto* button : findChildren<StudioHoverButton*>())
        if (button->isVisible() && button->isEnabled()) answers << button;
    if (answers.isEmpty()) return true;
    const qsizetype at = answers.indexOf(focusWidget());
    const qsizetype to = at < 0 ? (next ? 0 : answers.size() - 1) : (at + (next ? 1 : answers.size() - 1)) % answers.size();
    answers[to]->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    return true;
}

void StageSaveConfirmationView::keyPressEvent(QKeyEvent* event) {
    if (event->modifiers() & ~Qt::KeypadModifier) return QWidget::keyPressEvent(event);
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        answer(StageSaveDecision::save);
        break;
    case Qt::Key_Escape:
        answer(StageSaveDecision::cancel);
        break;
    default:
        return QWidget::keyPressEvent(event);
    }
    event->accept();
}

void StageSaveConfirmationView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(StudioStyle::border(), 1));
    painter.setBrush(StudioStyle::surface());
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 14, 14);
}

void StageSaveConfirmationView::applyColors() {
    auto paint = [](QLabel* label, QColor color) {
        QPalette p = label->palette();
        p.setColor(QPalette::WindowText, color);
        label->setPalette(p);
    };
    paint(label_, StudioStyle::brand());
    paint(title_, StudioStyle::textPrimary());
    paint(detail_, StudioStyle::textPrimary());
    paint(explanation_, StudioStyle::textSecondary());
}

// --- ConfirmationOverlay ----------------------------------------------------------------

ConfirmationOverlay::ConfirmationOverlay(QWidget* host) : QWidget(host) {
    setAttribute(Qt::WA_NoMousePropagation);
    dialog_ = new StageSaveConfirmationView(this);
    opacity_ = new QGraphicsOpacityEffect(this);
    opacity_->setEnabled(false);
    setGraphicsEffect(opacity_);
    fade_ = new QVariantAnimation(this);
    fade_->setDuration(StudioStyle::Motion::panel().durationMilliseconds);
    fade_->setEasingCurve(StudioStyle::Motion::panel().curve);
    connect(fade_, &QVariantAnimation::valueChanged, this, [this](const QVariant& v) { setPresence(v.toReal()); });
    connect(fade_, &QVariantAnimation::finished, this, [this] { setPresence(presented_ ? 1 : 0); });
    if (host) {
        host->installEventFilter(this);
        setGeometry(host->rect());
    }
    hide();
}

void ConfirmationOverlay::present(const ConfirmationTexts& texts, std::function<void(StageSaveDecision)> decision,
                                  bool reduceMotion) {
    dialog_->setTexts(texts);
    dialog_->setReduceMotion(reduceMotion);
    // The overlay leaves before the answer is delivered: the answer may close the window.
    dialog_->setDecision([this, decision = std::move(decision)](StageSaveDecision d) {
        dismiss(reduceMotion_);
        if (decision) decision(d);
    });
    presented_ = true;
    reduceMotion_ = reduceMotion;
    if (parentWidget()) setGeometry(parentWidget()->rect());
    dialog_->move((width() - dialog_->width()) / 2, (height() - dialog_->height()) / 2);
    raise();
    show();
    QWidget* focus = window()->focusWidget();
    if (focus && focus != this && !isAncestorOf(focus)) focusBefore_ = focus;
    dialog_->setFocus(Qt::OtherFocusReason);
    fadeTo(1, reduceMotion);
}

void ConfirmationOverlay::dismiss(bool reduceMotion) {
    if (!presented_) return;
    presented_ = false;
    dialog_->setDecision(nullptr);
    returnFocus();
    fadeTo(0, reduceMotion);
}

// Back to the widget that had the keyboard before the question, when it can still take
// it; else to the first widget of the window that takes Tab, outside the layer. The
// window's focus widget is the one that has the keyboard whenever the window is active.
void ConfirmationOverlay::returnFocus() {
    QPointer<QWidget> before = std::exchange(focusBefore_, nullptr);
    QWidget* focus = window()->focusWidget();
    if (focus && focus != this && !isAncestorOf(focus)) return;   // the answer already moved it
    auto usable = [this](QWidget* w) {
        return w && w != this && !isAncestorOf(w) && w->window() == window() && w->isVisible() && w->isEnabled();
    };
    if (usable(before)) {
        before->setFocus(Qt::OtherFocusReason);
        return;
    }
    for (QWidget* w = window()->nextInFocusChain(); w && w != window(); w = w->nextInFocusChain()) {
        if (usable(w) && (w->focusPolicy() & Qt::TabFocus)) {
            w->setFocus(Qt::TabFocusReason);
            return;
        }
    }
    dialog_->clearFocus();
}

bool ConfirmationOverlay::isAnimating() const { return fade_->state() == QAbstractAnimation::Running; }

void ConfirmationOverlay::fadeTo(qreal target, bool reduceMotion) {
    fade_->stop();
    if (reduceMotion || !isVisible()) {
        setPresence(target);
        return;
    }
    fade_->setStartValue(presence_);
    fade_->setEndValue(target);
    fade_->start();
}

void ConfirmationOverlay::setPresence(qreal value) {
    presence_ = value;
    // The effect renders through an offscreen pixmap; only pay for it mid-fade.
    opacity_->setEnabled(value < 1);
    opacity_->setOpacity(value);
    if (!presented_ && value <= 0) hide();
    update();
}

bool ConfirmationOverlay::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize) {
        setGeometry(parentWidget()->rect());
        dialog_->move((width() - dialog_->width()) / 2, (height() - dialog_->height()) / 2);
    }
    return QWidget::eventFilter(watched, event);
}

void ConfirmationOverlay::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), StudioStyle::withOpacity(StudioStyle::pitchShade(), StudioStyle::isDark() ? 0.45 : 0.22));
}

// A click beside the dialog does nothing, and nothing under the layer sees it.
void ConfirmationOverlay::mousePressEvent(QMouseEvent* event) { event->accept(); }

// --- StageSaveOverlay -------------------------------------------------------------------

StageSaveOverlay::StageSaveOverlay(BoardStore& store, QWidget* workspace) : ConfirmationOverlay(workspace), store_(store) {
    setObjectName(QStringLiteral("stageSaveOverlay"));
    subscription_ = store_.subscribe([this](StoreChange change) {
        if (any(change & StoreChange::confirmation)) sync();
    });
    sync();
}

void StageSaveOverlay::sync() {
    const bool asking = store_.showingStageSaveConfirmation();
    if (asking == isPresented()) return;
    if (!asking) return dismiss(store_.reduceMotion());
    const BoardStep* step = store_.currentStep();
    const QString title = step ? QString::fromStdString(cleanStepTitle(step->title)) : QString();
    present(stageSaveTexts(title), [this](StageSaveDecision d) { store_.resolveStageChanges(d); }, store_.reduceMotion());
}

}  // namespace vantrel

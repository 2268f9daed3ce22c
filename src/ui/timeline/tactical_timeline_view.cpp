// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/timeline/tactical_timeline_view.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>
#include <QVariantAnimation>

#include "core/model/step_title.h"
#include "ui/style/studio_style.h"
#include "ui/style/studio_icons.h"
#include "ui/timeline/timeline_buttons.h"

namespace vantrel {

namespace {

void setHelp(QWidget* widget, const QString& help) {
    widget->setToolTip(help);
    widget->setAccessibleDescription(help);
}

void setLabelColor(QLabel* label, QColor color) {
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, color);
    label->setPalette(p);
}

QLabel* makeLabel(QWidget* parent, int pixelSize, QFont::Weight weight) {
    auto* label = new QLabel(parent);
    QFont font = label->font();
    font.setPixelSize(pixelSize);
    font.setWeight(weight);
    label->setFont(font);
    return label;
}

}  // namespace

// The row of step nodes, spread evenly over the width on a thin rail; the rail is brand
// up to the current step.
class TacticalTimelineView::StepTrack final : public QWidget {
public:
    explicit StepTrack(QWidget* parent) : QWidget(parent) { setFixedHeight(TimelineNodeStyle::kDiameter + 12); }

    std::vector<TimelineNodeStyle*>* nodes = nullptr;
    int current = 0;

    void layoutNodes() {
        const int count = static_cast<int>(nodes->size());
        for (int i = 0; i < count; ++i) {
            TimelineNodeStyle* node = (*nodes)[static_cast<std::size_t>(i)];
            const QPointF c = centre(i, count);
            node->move(qRound(c.x() - node->width() / 2.0), qRound(c.y() - node->height() / 2.0));
        }
    }

protected:
    void resizeEvent(QResizeEvent*) override { layoutNodes(); }

    void paintEvent(QPaintEvent*) override {
        const int count = static_cast<int>(nodes->size());
        if (count < 2) return;
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(StudioStyle::border(), 2, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(centre(0, count), centre(count - 1, count));
        if (current > 0) {
            painter.setPen(QPen(StudioStyle::brand(), 2, Qt::SolidLine, Qt::RoundCap));
            painter.drawLine(centre(0, count), centre(std::min(current, count - 1), count));
        }
    }

private:
    QPointF centre(int index, int count) const {
        const qreal margin = TimelineNodeStyle::kDiameter / 2.0 + 4;
        const qreal span = width() - 2 * margin;
        const qreal x = count < 2 ? margin : margin + span * index / (count - 1);
        return {x, height() / 2.0};
    }
};

TacticalTimelineView::TacticalTimelineView(BoardStore& store, WorkspacePreferences& workspace, QWidget* parent)
    : QWidget(parent), store_(store), workspace_(workspace) {
    setObjectName(QStringLiteral("tacticalTimeline"));
    setAccessibleName(QStringLiteral("战术时间轴"));
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);

    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(14, 10, 14, 10);
    root->setSpacing(6);

    auto* header = new QHBoxLayout;
    header->setSpacing(4);
    previousButton_ = new TimelineControlStyle(false, this);
    playButton_ = new TimelineControlStyle(true, this);
    nextButton_ = new TimelineControlStyle(false, this);
    previousButton_->setIcon(StudioIcons::icon(StudioIcons::Glyph::previous, StudioStyle::textPrimary));
    playButton_->setIcon(StudioIcons::icon(StudioIcons::Glyph::play, StudioStyle::onBrand));
    nextButton_->setIcon(StudioIcons::icon(StudioIcons::Glyph::next, StudioStyle::textPrimary));
    const std::tuple<TimelineControlStyle*, const char*, QString, QString> transport[] = {
        {previousButton_, "previousButton", QStringLiteral("上一阶段"), QStringLiteral("上一阶段 · 时间轴聚焦时按 ←")},
        {playButton_, "playButton", QStringLiteral("播放"), QStringLiteral("播放或暂停 · 时间轴聚焦时按空格")},
        {nextButton_, "nextButton", QStringLiteral("下一阶段"), QStringLiteral("下一阶段 · 时间轴聚焦时按 →")},
    };
    for (const auto& [button, object, name, help] : transport) {
        button->setObjectName(QLatin1String(object));
        button->setAccessibleName(name);
        setHelp(button, help);
        header->addWidget(button);
    }
    header->addSpacing(12);
    summaryLabel_ = makeLabel(this, 12, QFont::DemiBold);
    summaryLabel_->setObjectName(QStringLiteral("timelineSummary"));
    titleLabel_ = makeLabel(this, 13, QFont::Medium);
    titleLabel_->setObjectName(QStringLiteral("timelineTitle"));
    header->addWidget(summaryLabel_);
    header->addSpacing(8);
    header->addWidget(titleLabel_, 1);

    detailsButton_ = new TimelineControlStyle(false, this);
    detailsButton_->setObjectName(QStringLiteral("detailsButton"));
    detailsButton_->setIcon(StudioIcons::icon(StudioIcons::Glyph::info, StudioStyle::textSecondary));
    detailsButton_->setCheckable(true);
    detailsButton_->setAccessibleName(QStringLiteral("阶段讲解与运行状态"));
    setHelp(detailsButton_, QStringLiteral("查看阶段讲解和运行状态"));
    expandButton_ = new TimelineControlStyle(false, this);
    expandButton_->setObjectName(QStringLiteral("expandButton"));
    expandButton_->setCheckable(true);
    expandButton_->setAccessibleName(QStringLiteral("展开时间轴"));
    expandButton_->setToolTip(QStringLiteral("展开时间轴"));
    header->addWidget(detailsButton_);
    header->addWidget(expandButton_);
    root->addLayout(header);

    body_ = new QWidget(this);
    auto* bodyLayout = new QVBoxLayout(body_);
    bodyLayout->setContentsMargins(0, 0, 0, 0);
    bodyLayout->setSpacing(6);
    track_ = new StepTrack(body_);
    track_->nodes = &nodes_;
    bodyLayout->addWidget(track_);

    detailsPanel_ = new QWidget(body_);
    detailsPanel_->setObjectName(QStringLiteral("detailsPanel"));
    auto* panel = new QHBoxLayout(detailsPanel_);
    panel->setContentsMargins(4, 2, 0, 2);
    auto* texts = new QVBoxLayout;
    texts->setSpacing(4);
    noteLabel_ = makeLabel(detailsPanel_, 13, QFont::Normal);
    noteLabel_->setObjectName(QStringLiteral("stageNote"));
    noteLabel_->setWordWrap(true);
    statusHeader_ = makeLabel(detailsPanel_, 11, QFont::DemiBold);
    statusHeader_->setText(QStringLiteral("运行状态"));
    statusHeader_->setAccessibleName(statusHeader_->text());
    statusLabel_ = makeLabel(detailsPanel_, 12, QFont::Normal);
    statusLabel_->setObjectName(QStringLiteral("stageStatus"));
    statusLabel_->setWordWrap(true);
    texts->addWidget(noteLabel_);
    texts->addSpacing(4);
    texts->addWidget(statusHeader_);
    texts->addWidget(statusLabel_);
    closeDetailsButton_ = new TimelineControlStyle(false, detailsPanel_);
    closeDetailsButton_->setObjectName(QStringLiteral("closeDetailsButton"));
    closeDetailsButton_->setIcon(StudioIcons::icon(StudioIcons::Glyph::close, StudioStyle::textSecondary));
    closeDetailsButton_->setAccessibleName(QStringLiteral("关闭阶段讲解"));
    setHelp(closeDetailsButton_, QStringLiteral("关闭阶段讲解 · Esc"));
    panel->addLayout(texts, 1);
    panel->addWidget(closeDetailsButton_, 0, Qt::AlignTop);
    detailsPanel_->hide();
    bodyLayout->addWidget(detailsPanel_);
    root->addWidget(body_);

    bodyAnimation_ = new QVariantAnimation(this);
    bodyAnimation_->setDuration(StudioStyle::Motion::panel().durationMilliseconds);
    bodyAnimation_->setEasingCurve(StudioStyle::Motion::panel().curve);
    connect(bodyAnimation_, &QVariantAnimation::valueChanged, this,
            [this](const QVariant& v) { body_->setMaximumHeight(v.toInt()); });
    connect(bodyAnimation_, &QVariantAnimation::finished, this, [this] {
        body_->setMaximumHeight(QWIDGETSIZE_MAX);
        body_->setVisible(expanded_);
    });

    // The buttons take no focus of their own: a click focuses the timeline, so the keys
    // work right after it.
    connect(previousButton_, &QAbstractButton::clicked, this, [this] {
        setFocus(Qt::MouseFocusReason);
        if (canGoBack()) store_.previous();
    });
    connect(playButton_, &QAbstractButton::clicked, this, [this] {
        setFocus(Qt::MouseFocusReason);
        if (canPlay()) store_.play();
    });
    connect(nextButton_, &QAbstractButton::clicked, this, [this] {
        setFocus(Qt::MouseFocusReason);
        if (canGoForward()) store_.next();
    });
    connect(detailsButton_, &QAbstractButton::clicked, this, [this] {
        setFocus(Qt::MouseFocusReason);
        setShowingDetails(!showingDetails_);
    });
    connect(closeDetailsButton_, &QAbstractButton::clicked, this, [this] { setShowingDetails(false); });
    connect(expandButton_, &QAbstractButton::clicked, this, [this] { setExpanded(!expanded_); });
    connect(&StudioStyle::appearance(), &StudioAppearance::appearanceChanged, this, [this] {
        applyColors();
        update();
    });

    subscription_ = store_.subscribe([this](StoreChange change) {
        if (any(change & (StoreChange::board | StoreChange::animation | StoreChange::status |
                          StoreChange::displayOptions | StoreChange::library)))
            refresh();
    });

    expanded_ = workspace_.tacticalTimelineExpanded();
    body_->setVisible(expanded_);
    expandButton_->setChecked(expanded_);
    expandButton_->setIcon(StudioIcons::icon(expanded_ ? StudioIcons::Glyph::expandMore : StudioIcons::Glyph::expandLess,
                                        StudioStyle::textSecondary));
    expandButton_->setAccessibleDescription(expanded_ ? QStringLiteral("已展开") : QStringLiteral("已收起"));
    applyColors();
    refresh();
}

TacticalTimelineView::~TacticalTimelineView() { subscription_.reset(); }

bool TacticalTimelineView::canPlay() const {
    return store_.tactic().steps.size() >= 2 && (!previewActive() || store_.playing());
}

bool TacticalTimelineView::canGoBack() const { return store_.stepIndex() >= 1 && !previewActive(); }

bool TacticalTimelineView::canGoForward() const {
    return store_.stepIndex() < static_cast<int>(store_.tactic().steps.size()) - 1 && !previewActive();
}

void TacticalTimelineView::setExpanded(bool on) {
    if (on == expanded_) return;
    expanded_ = on;
    workspace_.setTacticalTimelineExpanded(on);
    expandButton_->setChecked(on);
    expandButton_->setIcon(StudioIcons::icon(on ? StudioIcons::Glyph::expandMore : StudioIcons::Glyph::expandLess,
                                        StudioStyle::textSecondary));
    expandButton_->setAccessibleDescription(on ? QStringLiteral("已展开") : QStringLiteral("已收起"));
    animateBody(on);
    emit expandedChanged(on);
}

void TacticalTimelineView::animateBody(bool open) {
    bodyAnimation_->stop();
    if (store_.reduceMotion() || !isVisible()) {
        body_->setMaximumHeight(QWIDGETSIZE_MAX);
        body_->setVisible(open);
        return;
    }
    const int from = body_->isVisible() ? body_->height() : 0;
    body_->setMaximumHeight(from);
    body_->show();
    bodyAnimation_->setStartValue(from);
    bodyAnimation_->setEndValue(open ? body_->sizeHint().height() : 0);
    bodyAnimation_->start();
}

void TacticalTimelineView::setShowingDetails(bool on) {
    if (on == showingDetails_) return;
    showingDetails_ = on;
    detailsButton_->setChecked(on);
    detailsPanel_->setVisible(on);
    // The panel lives in the collapsible part: asking for it opens the strip.
    if (on && !expanded_) setExpanded(true);
}

void TacticalTimelineView::selectStage(int index) {
    if (previewActive()) return;
    if (index < 0 || index >= static_cast<int>(store_.tactic().steps.size())) return;
    setFocus(Qt::MouseFocusReason);
    store_.selectStep(index);
}

QString TacticalTimelineView::summaryText() const {
    const int count = static_cast<int>(store_.tactic().steps.size());
    return QStringLiteral("阶段 %1，共 %2 个阶段").arg(store_.stepIndex() + 1, 2, 10, QLatin1Char('0')).arg(count);
}

QString TacticalTimelineView::currentTitle() const {
    const BoardStep* step = store_.currentStep();
    return step ? QString::fromStdString(cleanStepTitle(step->title)) : QString();
}

void TacticalTimelineView::keyPressEvent(QKeyEvent* event) {
    if (event->modifiers() & ~Qt::KeypadModifier) return QWidget::keyPressEvent(event);
    switch (event->key()) {
    case Qt::Key_Space:
        if (!canPlay()) return event->ignore();
        store_.play();
        break;
    case Qt::Key_Left:
        if (!canGoBack()) return event->ignore();
        store_.previous();
        break;
    case Qt::Key_Right:
        if (!canGoForward()) return event->ignore();
        store_.next();
        break;
    case Qt::Key_Home:
    case Qt::Key_End: {
        const int last = static_cast<int>(store_.tactic().steps.size()) - 1;
        const int to = event->key() == Qt::Key_Home ? 0 : last;
        if (previewActive() || last < 0 || to == store_.stepIndex()) return event->ignore();
        store_.selectStep(to);
        break;
    }
    case Qt::Key_Escape:
        if (!showingDetails_) return event->ignore();
        setShowingDetails(false);
        break;
    default:
        return QWidget::keyPressEvent(event);
    }
    event->accept();
}

void TacticalTimelineView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(hasFocus() ? StudioStyle::withOpacity(StudioStyle::brand(), 0.55) : StudioStyle::border(), 1));
    painter.setBrush(StudioStyle::surface());
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 12, 12);
}

void TacticalTimelineView::rebuildNodes(int count) {
    setHoveredStep(std::nullopt);
    for (TimelineNodeStyle* node : nodes_) delete node;
    nodes_.clear();
    for (int i = 0; i < count; ++i) {
        auto* node = new TimelineNodeStyle(i, track_);
        const QString number = QString::number(i + 1);
        setHelp(node, QStringLiteral("前往阶段 ") + number);
        connect(node, &QAbstractButton::clicked, this, [this, i] { selectStage(i); });
        connect(node, &StudioHoverButton::hoveredChanged, this, [this, i](bool hovered) {
            if (hovered) setHoveredStep(i);
            else if (hoveredStep_ == i) setHoveredStep(std::nullopt);
        });
        node->show();
        nodes_.push_back(node);
    }
    track_->layoutNodes();
}

void TacticalTimelineView::setHoveredStep(std::optional<int> step) {
    if (step == hoveredStep_) return;
    hoveredStep_ = step;
    emit hoveredStepChanged(step);
}

void TacticalTimelineView::refresh() {
    const int count = static_cast<int>(store_.tactic().steps.size());
    if (count != static_cast<int>(nodes_.size())) rebuildNodes(count);
    const bool nodesEnabled = !previewActive();
    const bool reduceMotion = store_.reduceMotion();
    for (int i = 0; i < count; ++i) {
        TimelineNodeStyle* node = nodes_[static_cast<std::size_t>(i)];
        node->setCurrent(i == store_.stepIndex());
        // The stage's title with its number, as a screen reader reads the node.
        const QString title = QString::fromStdString(cleanStepTitle(store_.tactic().steps[std::size_t(i)].title));
        const QString name = title.isEmpty() ? QStringLiteral("阶段 %1").arg(i + 1) : QStringLiteral("阶段 %1：%2").arg(i + 1).arg(title);
        if (node->accessibleName() != name) node->setAccessibleName(name);
        node->setEnabled(nodesEnabled);
        node->setReduceMotion(reduceMotion);
    }
    track_->current = store_.stepIndex();
    track_->update();
    for (StudioHoverButton* b : {previousButton_, playButton_, nextButton_, detailsButton_, expandButton_,
                                 closeDetailsButton_})
        b->setReduceMotion(reduceMotion);
    previousButton_->setEnabled(canGoBack());
    playButton_->setEnabled(canPlay());
    nextButton_->setEnabled(canGoForward());
    if (store_.playing() != playingShown_) {
        playingShown_ = store_.playing();
        playButton_->setIcon(StudioIcons::icon(playingShown_ ? StudioIcons::Glyph::pause : StudioIcons::Glyph::play,
                                          StudioStyle::onBrand));
        // Its name says what a press does now.
        playButton_->setAccessibleName(playingShown_ ? QStringLiteral("暂停") : QStringLiteral("播放"));
        playButton_->update();
    }

    summaryLabel_->setText(summaryText());
    summaryLabel_->setAccessibleName(summaryText());
    titleLabel_->setText(currentTitle());
    titleLabel_->setAccessibleName(currentTitle());
    const BoardStep* step = store_.currentStep();
    const QString note = step && !step->note.empty() ? QString::fromStdString(step->note)
                                                     : QStringLiteral("此阶段暂无讲解。");
    noteLabel_->setText(note);
    noteLabel_->setAccessibleName(note);
    const QString status = QString::fromStdString(store_.status());
    statusLabel_->setText(status);
    statusLabel_->setAccessibleName(status);
}

void TacticalTimelineView::applyColors() {
    setLabelColor(summaryLabel_, StudioStyle::brand());
    setLabelColor(titleLabel_, StudioStyle::textPrimary());
    setLabelColor(noteLabel_, StudioStyle::textPrimary());
    setLabelColor(statusHeader_, StudioStyle::textTertiary());
    setLabelColor(statusLabel_, StudioStyle::textSecondary());
}

}  // namespace vantrel

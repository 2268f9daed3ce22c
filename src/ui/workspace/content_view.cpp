#include "ui/workspace/content_view.h"

#include <QPainter>
#include <QVBoxLayout>

#include "ui/pitch/pitch_view.h"
#include "ui/style/studio_style.h"

namespace vantrel {

ContentView::ContentView(PreferenceStore& defaults, Platform& platform, QWidget* parent)
    : QWidget(parent),
      store_(std::make_unique<BoardStore>(defaults, platform)),
      session_(std::make_unique<DrawingSession>(*store_)),
      workspace_(defaults) {
    setMinimumSize(1080, 720);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 18, 24, 24);
    layout->setSpacing(10);

    titleLabel_ = new QLabel(this);
    QFont titleFont = titleLabel_->font();
    titleFont.setPixelSize(20);
    titleFont.setWeight(QFont::DemiBold);
    titleLabel_->setFont(titleFont);
    titleLabel_->setObjectName(QStringLiteral("tacticTitle"));

    statusLabel_ = new QLabel(this);
    QFont statusFont = statusLabel_->font();
    statusFont.setPixelSize(13);
    statusLabel_->setFont(statusFont);
    statusLabel_->setObjectName(QStringLiteral("statusLine"));
    statusLabel_->setAccessibleName(QStringLiteral("状态"));

    pitchView_ = new PitchView(*store_, this);
    layout->addWidget(titleLabel_);
    layout->addWidget(statusLabel_);
    layout->addWidget(pitchView_, 1);

    subscription_ = store_->subscribe([this](StoreChange change) {
        if (any(change & (StoreChange::tactic | StoreChange::status | StoreChange::library))) refreshLabels();
    });
    // Colours change only with the appearance, not with every animation tick.
    connect(&StudioStyle::appearance(), &StudioAppearance::appearanceChanged, this, [this] {
        applyColors();
        update();
    });
    applyColors();
    refreshLabels();
}

ContentView::~ContentView() {
    subscription_.reset();
    // The pitch view subscribes to the store: it goes before the store does.
    delete pitchView_;
    pitchView_ = nullptr;
    session_.reset();
}

void ContentView::refreshLabels() {
    const auto& tactic = store_->tactic();
    QString title = QString::fromStdString(tactic.name);
    if (const BoardStep* step = store_->currentStep())
        title += QStringLiteral("  ·  ") + QString::fromStdString(step->title);
    titleLabel_->setText(title);
    statusLabel_->setText(QString::fromStdString(store_->status()));
}

void ContentView::applyColors() {
    QPalette palette = titleLabel_->palette();
    palette.setColor(QPalette::WindowText, StudioStyle::textPrimary());
    titleLabel_->setPalette(palette);
    palette.setColor(QPalette::WindowText, StudioStyle::textSecondary());
    statusLabel_->setPalette(palette);
}

void ContentView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (shownOnce_) return;
    shownOnce_ = true;
    workspace_.startTutorialIfFirstRun(*store_);
}

void ContentView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), StudioStyle::workspace());
}

}  // namespace vantrel

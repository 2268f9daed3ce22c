// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/annotation/drawing_panels_overlay.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QSlider>
#include <QVBoxLayout>
#include <QVariantAnimation>

#include <cmath>

#include "ui/annotation/drawing_controls.h"
#include "ui/style/studio_icons.h"
#include "ui/style/studio_style.h"

namespace vantrel {

using namespace DrawingControls;

namespace {

constexpr int kSwatchSize = 23;
constexpr int kSlideDistance = 8;   // points the panel rises while it opens
// Slider positions per unit: widths in tenths of a point, opacity in hundredths.
constexpr int kWidthSteps = 10;
constexpr int kOpacitySteps = 100;

QLabel* caption(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    QFont f = label->font();
    f.setPixelSize(12);
    f.setWeight(QFont::DemiBold);
    label->setFont(f);
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, StudioStyle::textSecondary());
    label->setPalette(pal);
    return label;
}

// A round ink swatch; the current ink wears a ring.
class Swatch : public QToolButton {
public:
    Swatch(AnnotationColor color, QWidget* parent) : QToolButton(parent), color_(color) {
        setFixedSize(kSwatchSize + 6, kSwatchSize + 6);
        setCheckable(true);
        setCursor(Qt::PointingHandCursor);
        setFocusPolicy(Qt::TabFocus);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const Rgb c = rgb(color_);
        const QPointF centre = QRectF(rect()).center();
        if (isChecked()) {
            p.setPen(QPen(StudioStyle::brand(), 2));
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(centre, kSwatchSize / 2.0 + 1.5, kSwatchSize / 2.0 + 1.5);
        }
        p.setPen(QPen(StudioStyle::border(), 1));
        p.setBrush(QColor::fromRgbF(float(c.red), float(c.green), float(c.blue)));
        const qreal r = kSwatchSize / 2.0 - (isChecked() ? 2.5 : 0.5);
        p.drawEllipse(centre, r, r);
    }

private:
    AnnotationColor color_;
};

}  // namespace

// --- DrawingPanelSurface ------------------------------------------------------------------

DrawingPanelSurface::DrawingPanelSurface(const QString& title, QWidget* content, QWidget* parent) : QWidget(parent) {
    setFixedWidth(kWidth);
    setAccessibleName(QStringLiteral("绘图") + title + QStringLiteral("面板"));
    setFocusPolicy(Qt::StrongFocus);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 10, 14, 14);
    layout->setSpacing(10);
    auto* row = new QHBoxLayout;
    auto* heading = new QLabel(title, this);
    QFont f = heading->font();
    f.setPixelSize(13);
    f.setWeight(QFont::DemiBold);
    heading->setFont(f);
    QPalette pal = heading->palette();
    pal.setColor(QPalette::WindowText, StudioStyle::textPrimary());
    heading->setPalette(pal);
    row->addWidget(heading);
    row->addStretch();
    const QString closeName = QStringLiteral("关闭") + title + QStringLiteral("面板");
    close_ = controlButton(StudioIcons::Glyph::close, closeName, closeName, this);
    close_->setFixedSize(26, 24);
    connect(close_, &QToolButton::clicked, this, &DrawingPanelSurface::closeRequested);
    row->addWidget(close_);
    layout->addLayout(row);
    content->setParent(this);
    layout->addWidget(content);
}

void DrawingPanelSurface::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(StudioStyle::border(), 1));
    p.setBrush(StudioStyle::surface());
    p.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 12, 12);
}

void DrawingPanelSurface::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        emit closeRequested();
        return;
    }
    QWidget::keyPressEvent(event);
}

// --- DrawingPanelsOverlay -----------------------------------------------------------------

DrawingPanelsOverlay::DrawingPanelsOverlay(BoardStore& store, DrawingSession& session, QWidget* parent)
    : QWidget(parent), store_(store), session_(session) {
    setAttribute(Qt::WA_NoSystemBackground);
    setAttribute(Qt::WA_TranslucentBackground);
    shapesPanel_ = new DrawingPanelSurface(QStringLiteral("图形"), makeShapesContent(), this);
    inkPanel_ = new DrawingPanelSurface(QStringLiteral("笔触"), makeInkContent(), this);
    for (DrawingPanelSurface* panel : {shapesPanel_, inkPanel_}) {
        panel->hide();
        connect(panel, &DrawingPanelSurface::closeRequested, this, [this] { session_.setPanel(std::nullopt); });
    }
    motion_ = new QVariantAnimation(this);
    connect(motion_, &QVariantAnimation::valueChanged, this, [this](const QVariant& v) {
        slide_ = v.toReal();
        place();
    });
    if (parent) parent->installEventFilter(this);
    sessionSubscription_ = session_.subscribe([this](DrawingChange change) {
        if (any(change & (DrawingChange::panel | DrawingChange::style | DrawingChange::editing))) refresh();
    });
    hide();
    refresh();
}

DrawingPanelsOverlay::~DrawingPanelsOverlay() { sessionSubscription_.reset(); }

void DrawingPanelsOverlay::setAnchor(QPoint topLeft) {
    anchor_ = topLeft;
    place();
}

QWidget* DrawingPanelsOverlay::makeShapesContent() {
    auto* content = new QWidget;
    auto* grid = new QGridLayout(content);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(6);
    const auto& choices = shapeChoices();
    for (std::size_t i = 0; i < choices.size(); ++i) {
        const ShapeChoice choice = choices[i];
        const QString title = QString::fromUtf16(choice.title);
        auto* b = new QuietHoverStyle(8, content);
        b->setIcon(StudioIcons::icon(choice.symbol));
        b->setIconSize(QSize(18, 18));
        b->setText(title);
        b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        b->setLeadingAligned(true);
        b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        b->setFixedHeight(34);
        b->setAccessibleName(title);
        b->setToolTip(title);
        b->setCheckable(true);
        QFont f = b->font();
        f.setPixelSize(13);
        b->setFont(f);
        connect(b, &QToolButton::clicked, this, [this, choice] {
            // The selection is left as it is: a shape choice styles the next drawing only.
            session_.setSelectedID(std::nullopt);
            session_.setTool(choice.tool);
            AnnotationStyle style = session_.style();
            style.fill = choice.fill;
            style.pattern = AnnotationLinePattern::solid;
            session_.setStyle(style);
            session_.setVisible(true);
            session_.setPanel(std::nullopt);
        });
        shapeButtons_[i] = b;
        grid->addWidget(b, int(i / 2), int(i % 2));
    }
    return content;
}

QWidget* DrawingPanelsOverlay::makeInkContent() {
    auto* content = new QWidget;
    auto* layout = new QVBoxLayout(content);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);

    layout->addWidget(caption(QStringLiteral("颜色"), content));
    auto* row = new QHBoxLayout;
    row->setSpacing(6);
    for (AnnotationColor color : allAnnotationColors()) {
        auto* swatch = new Swatch(color, content);
        const QString name = colorName(color);
        swatch->setText(name);
        swatch->setToolTip(name);
        swatch->setAccessibleName(QStringLiteral("绘图颜色：") + name);
        connect(swatch, &QToolButton::clicked, this, [this, color] {
            AnnotationStyle style = session_.style();
            style.color = color;
            style.customInk.reset();
            session_.setStyle(style);
            applyStyleToSelection();
        });
        swatches_[color] = swatch;
        row->addWidget(swatch);
    }
    row->addStretch();
    layout->addLayout(row);

    const auto sliderRow = [&](const QString& title, const QString& name, int from, int to, QSlider*& slider, QLabel*& value) {
        auto* header = new QHBoxLayout;
        header->addWidget(caption(title, content));
        header->addStretch();
        value = caption(QString(), content);
        header->addWidget(value);
        layout->addLayout(header);
        slider = new QSlider(Qt::Horizontal, content);
        slider->setRange(from, to);
        slider->setAccessibleName(name);
        slider->setToolTip(name);
        layout->addWidget(slider);
        // Dragging previews on the selection; the selection takes the style once, at the end.
        connect(slider, &QSlider::sliderReleased, this, [this] { applyStyleToSelection(); });
    };
    sliderRow(QStringLiteral("粗细"), QStringLiteral("绘图粗细"), 1 * kWidthSteps, 10 * kWidthSteps, width_, widthValue_);
    sliderRow(QStringLiteral("透明度"), QStringLiteral("绘图透明度"), 5, kOpacitySteps, opacity_, opacityValue_);
    connect(width_, &QSlider::valueChanged, this, [this](int v) {
        AnnotationStyle style = session_.style();
        const double width = double(v) / kWidthSteps;
        if (std::lround(style.lineWidth * kWidthSteps) == v) return;
        style.lineWidth = width;
        session_.setStyle(style);
        if (!width_->isSliderDown()) applyStyleToSelection();
    });
    connect(opacity_, &QSlider::valueChanged, this, [this](int v) {
        AnnotationStyle style = session_.style();
        if (std::lround(style.opacity * kOpacitySteps) == v) return;
        style.opacity = double(v) / kOpacitySteps;
        session_.setStyle(style);
        if (!opacity_->isSliderDown()) applyStyleToSelection();
    });
    return content;
}

void DrawingPanelsOverlay::applyStyleToSelection() {
    auto selected = session_.selection();
    if (!selected) return;
    selected->style = session_.style();
    session_.commit(*selected);
}

void DrawingPanelsOverlay::refresh() {
    const AnnotationStyle& style = session_.style();
    for (auto [color, swatch] : swatches_) {
        const bool current = !style.customInk && style.color == color;
        swatch->setChecked(current);
        swatch->setAccessibleDescription(current ? QString() : QStringLiteral("未选中"));
        swatch->update();
    }
    const bool shapeTool = session_.tool() == AnnotationTool::ellipse || session_.tool() == AnnotationTool::rectangle;
    for (std::size_t i = 0; i < shapeButtons_.size(); ++i) {
        const auto& choice = shapeChoices()[i];
        shapeButtons_[i]->setChecked(shapeTool && choice.tool == session_.tool() && choice.fill == style.fill);
    }
    {
        const QSignalBlocker block(width_);
        if (!width_->isSliderDown()) width_->setValue(int(std::lround(style.lineWidth * kWidthSteps)));
    }
    {
        const QSignalBlocker block(opacity_);
        if (!opacity_->isSliderDown()) opacity_->setValue(int(std::lround(style.opacity * kOpacitySteps)));
    }
    widthValue_->setText(QString::number(style.lineWidth, 'f', 1));
    opacityValue_->setText(QStringLiteral("%1%").arg(std::lround(style.opacity * 100)));
    width_->setAccessibleDescription(widthValue_->text());
    opacity_->setAccessibleDescription(opacityValue_->text());

    const std::optional<DrawingPanel> panel = session_.editing() ? session_.panel() : std::nullopt;
    if (panel == shownPanel_) return;
    shownPanel_ = panel;
    shapesPanel_->setVisible(panel == DrawingPanel::shapes);
    inkPanel_->setVisible(panel == DrawingPanel::ink);
    setVisible(panel.has_value());
    if (!panel) return;
    if (parentWidget()) setGeometry(parentWidget()->rect());
    raise();
    motion_->stop();
    if (store_.reduceMotion()) {
        slide_ = 1;
    } else {
        const auto motion = StudioStyle::Motion::panel();
        motion_->setDuration(motion.durationMilliseconds);
        motion_->setEasingCurve(motion.curve);
        motion_->setStartValue(0.0);
        motion_->setEndValue(1.0);
        slide_ = 0;
        motion_->start();
    }
    place();
    (panel == DrawingPanel::shapes ? shapesPanel_ : inkPanel_)->setFocus(Qt::OtherFocusReason);
}

void DrawingPanelsOverlay::place() {
    for (DrawingPanelSurface* panel : {shapesPanel_, inkPanel_}) {
        panel->adjustSize();
        panel->move(anchor_ + QPoint(0, int(std::lround((1 - slide_) * kSlideDistance))));
    }
}

void DrawingPanelsOverlay::mousePressEvent(QMouseEvent* event) {
    // Only the catcher receives this: the click landed outside the panel.
    session_.setPanel(std::nullopt);
    event->accept();
}

bool DrawingPanelsOverlay::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize && isVisible()) setGeometry(parentWidget()->rect());
    return QWidget::eventFilter(watched, event);
}

}  // namespace vantrel

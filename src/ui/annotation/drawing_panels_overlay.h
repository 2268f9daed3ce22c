// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>
#include <QWidget>

#include <array>
#include <map>

#include "core/annotation/drawing_session.h"
#include "core/store/board_store.h"

class QLabel;
class QSlider;
class QToolButton;
class QVariantAnimation;

namespace vantrel {

// A floating panel beside the drawing toolbar: 324 points wide, a title row with a close
// button, the content below. Escape closes it.
class DrawingPanelSurface : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 324;

    DrawingPanelSurface(const QString& title, QWidget* content, QWidget* parent);
    QToolButton* closeButton() const { return close_; }

signals:
    void closeRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QToolButton* close_ = nullptr;
};

// The shapes and ink panels, shown while the session has one open. The overlay covers its
// parent with a transparent catcher: a click outside the panel closes it.
class DrawingPanelsOverlay : public QWidget {
    Q_OBJECT
public:
    DrawingPanelsOverlay(BoardStore& store, DrawingSession& session, QWidget* parent);
    ~DrawingPanelsOverlay() override;

    // Where the panels appear, in the parent's coordinates (their top-left corner).
    void setAnchor(QPoint topLeft);

    DrawingPanelSurface* shapesPanel() const { return shapesPanel_; }
    DrawingPanelSurface* inkPanel() const { return inkPanel_; }
    QToolButton* shapeButton(int index) const { return shapeButtons_.at(std::size_t(index)); }
    QToolButton* swatch(AnnotationColor color) const { return swatches_.at(color); }
    QSlider* widthSlider() const { return width_; }
    QSlider* opacitySlider() const { return opacity_; }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* makeShapesContent();
    QWidget* makeInkContent();
    void refresh();
    void place();
    // The selection takes the session's style: one undo step.
    void applyStyleToSelection();

    BoardStore& store_;
    DrawingSession& session_;
    QPoint anchor_{16, 56};
    DrawingPanelSurface* shapesPanel_ = nullptr;
    DrawingPanelSurface* inkPanel_ = nullptr;
    std::array<QToolButton*, 8> shapeButtons_{};
    std::map<AnnotationColor, QToolButton*> swatches_;
    QSlider* width_ = nullptr;
    QSlider* opacity_ = nullptr;
    QLabel* widthValue_ = nullptr;
    QLabel* opacityValue_ = nullptr;
    QVariantAnimation* motion_ = nullptr;
    std::optional<DrawingPanel> shownPanel_;
    qreal slide_ = 0;   // 0 … 1 of the panel's entrance
    Subscription sessionSubscription_;
};

}  // namespace vantrel

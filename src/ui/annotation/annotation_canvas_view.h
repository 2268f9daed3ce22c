// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>
#include <QRegion>
#include <QWidget>

#include <optional>
#include <variant>
#include <vector>

#include "core/annotation/drawing_session.h"
#include "core/store/board_store.h"
#include "ui/render/annotation_drawing.h"
#include "ui/annotation/annotation_text_editor.h"
#include "ui/render/annotation_surface.h"

namespace vantrel {



// The transparent layer over the pitch views that turns pointer and key input into
// annotation edits while drawing mode is on and the layer is unlocked; otherwise the
// pointer passes through to the pitch below. It holds only the gesture in progress and
// hands every finished edit to the drawing session.
//
// It paints nothing itself: it keeps the `AnnotationDrawing` that the pitch views paint
// after the board in their own painter (so an exported frame carries the drawings too),
// and repaints them when what they show changes. Its coordinates are the pitch view's.
class AnnotationCanvasView : public QWidget {
    Q_OBJECT
public:
    AnnotationCanvasView(BoardStore& store, DrawingSession& session, QWidget* parent = nullptr);
    ~AnnotationCanvasView() override;

    // Where the annotation coordinates lie in a view of this size: the flat view's pitch
    // rectangle unless the 3D view is shown. A change abandons any gesture.
    void setPerspective(bool is3D);
    bool perspective() const { return is3D_; }
    AnnotationSurface surface() const;

    AnnotationDrawing& drawing() { return drawing_; }
    // A view that paints `drawing()`; it is repainted when the layer changes.
    void addPaintTarget(QWidget* view);

    // Input is taken (drawing mode on, layer unlocked).
    bool active() const;
    const std::optional<BoardAnnotation>& draft() const { return draft_; }
    AnnotationTextEditor* textEditor() const { return editor_; }

signals:
    // What the layer shows changed inside `dirty` (view points); a null rectangle means
    // everywhere. The pitch views repaint that much.
    void sceneChanged(const QRegion& dirty);   // empty: everything

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;

private:
    struct Drawing {};
    struct Moving { BoardAnnotation original; Point viewStart; };
    struct Resizing { BoardAnnotation original; Rect startBounds; int corner; };
    struct TextAt { Point point; };
    struct Empty {};
    struct Erasing {};
    using Interaction = std::variant<Drawing, Moving, Resizing, TextAt, Empty, Erasing>;

    void beginGesture(Point view, Qt::KeyboardModifiers modifiers);
    void updateGesture(Point view, Qt::KeyboardModifiers modifiers);
    void finishGesture(Point view, Qt::KeyboardModifiers modifiers);
    void resetGesture();
    void requestText(const BoardAnnotation& annotation, bool isNew);
    void commitText(BoardAnnotation annotation, bool isNew, const QString& text);

    std::vector<BoardAnnotation> shown() const;
    void sessionChanged(DrawingChange change);
    void storeChanged(StoreChange change);
    void syncInput();
    void refreshScene();
    // Where an annotation's drawing can reach in the view, with room for its selection.
    QRectF reach(const BoardAnnotation& annotation) const;
    // The strips along an annotation's selection frame, with its handles.
    QRegion frameEdges(const BoardAnnotation& annotation) const;
    // How many leading samples of a pencil draft painted `before` still paint the same
    // in `after`, which grew from it; 0 when it did not just grow.
    static std::size_t grownFrom(const std::optional<BoardAnnotation>& before, const std::optional<BoardAnnotation>& after);

    BoardStore& store_;
    DrawingSession& session_;
    AnnotationDrawing drawing_;
    std::vector<QPointer<QWidget>> targets_;
    bool is3D_ = false;

    std::optional<BoardAnnotation> draft_;
    std::optional<Interaction> interaction_;
    std::vector<Uuid> erasedIDs_;
    std::optional<Point> previousRawPencilPoint_;
    QPointer<AnnotationTextEditor> editor_;

    int seenStepIndex_ = -1;
    std::string seenTacticKey_;
    Subscription storeSubscription_;
    Subscription sessionSubscription_;
};

}  // namespace vantrel

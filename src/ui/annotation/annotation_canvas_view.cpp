// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/annotation/annotation_canvas_view.h"

#include <QKeyEvent>
#include <QMouseEvent>

#include <algorithm>
#include <array>
#include <cmath>

#include "core/model/tactic_limits.h"
#include "core/annotation/annotation_render.h"
#include "core/annotation/annotation_text.h"
#include "core/store/edit_commands.h"
#include "ui/annotation/annotation_text_editor.h"

namespace vantrel {

AnnotationCanvasView::AnnotationCanvasView(BoardStore& store, DrawingSession& session, QWidget* parent)
    : QWidget(parent), store_(store), session_(session) {
    setAttribute(Qt::WA_NoSystemBackground);
    setAttribute(Qt::WA_TranslucentBackground);
    setMouseTracking(false);
    seenStepIndex_ = store_.stepIndex();
    seenTacticKey_ = store_.selectedTacticKey();
    storeSubscription_ = store_.subscribe([this](StoreChange change) { storeChanged(change); });
    sessionSubscription_ = session_.subscribe([this](DrawingChange change) { sessionChanged(change); });
    syncInput();
    refreshScene();
}

AnnotationCanvasView::~AnnotationCanvasView() {
    storeSubscription_.reset();
    sessionSubscription_.reset();
}

void AnnotationCanvasView::setPerspective(bool is3D) {
    if (is3D == is3D_) return;
    is3D_ = is3D;
    resetGesture();
    refreshScene();
    emit sceneChanged({});
}

AnnotationSurface AnnotationCanvasView::surface() const {
    if (is3D_) return AnnotationSurface::perspective(QSizeF(size()));
    // The flat board shows the tactic's half or final third turned to fill it.
    const auto& pitch = store_.tactic().pitch;
    return AnnotationSurface::flat(QSizeF(size()), store_.equipment().showPitchAreas() && pitch ? pitch->effectiveArea() : PitchArea::full);
}

void AnnotationCanvasView::addPaintTarget(QWidget* view) {
    targets_.emplace_back(view);
    connect(this, &AnnotationCanvasView::sceneChanged, view, [view](const QRegion& dirty) {
        if (dirty.isEmpty()) view->update();
        else view->update(dirty);
    });
}

bool AnnotationCanvasView::active() const { return session_.editing() && !session_.locked(); }

std::vector<BoardAnnotation> AnnotationCanvasView::shown() const {
    if (!session_.visible()) return {};
    std::vector<BoardAnnotation> list = session_.displayAnnotations();
    if (!erasedIDs_.empty())
        std::erase_if(list, [&](const BoardAnnotation& a) {
            return std::find(erasedIDs_.begin(), erasedIDs_.end(), a.id) != erasedIDs_.end();
        });
    return list;
}

// --- Following the session and the store ----------------------------------------------

void AnnotationCanvasView::sessionChanged(DrawingChange change) {
    // A new tool, mode or lock abandons the gesture in progress without committing it.
    if (any(change & (DrawingChange::tool | DrawingChange::editing | DrawingChange::layer))) resetGesture();
    if (any(change & (DrawingChange::editing | DrawingChange::layer | DrawingChange::tool))) syncInput();
    refreshScene();
}

void AnnotationCanvasView::storeChanged(StoreChange change) {
    if (!any(change & (StoreChange::tactic | StoreChange::library))) return;
    if (store_.stepIndex() != seenStepIndex_ || store_.selectedTacticKey() != seenTacticKey_) {
        seenStepIndex_ = store_.stepIndex();
        seenTacticKey_ = store_.selectedTacticKey();
        resetGesture();
    }
    refreshScene();
}

void AnnotationCanvasView::syncInput() {
    const bool on = active();
    setAttribute(Qt::WA_TransparentForMouseEvents, !on);
    setFocusPolicy(on ? Qt::ClickFocus : Qt::NoFocus);
    if (!on && hasFocus()) clearFocus();
    if (on) {
        switch (session_.tool()) {
            case AnnotationTool::text: setCursor(Qt::IBeamCursor); break;
            case AnnotationTool::select: setCursor(Qt::ArrowCursor); break;
            default: setCursor(Qt::CrossCursor); break;
        }
        setAccessibleName(QStringLiteral("战术注释画板，") + QString::fromUtf8(displayName(session_.tool()).data(),
                                                                          qsizetype(displayName(session_.tool()).size())));
    } else {
        unsetCursor();
        setAccessibleName(QStringLiteral("战术注释图层"));
    }
}

void AnnotationCanvasView::refreshScene() {
    AnnotationScene scene;
    scene.annotations = shown();
    if (session_.visible()) scene.draft = draft_;
    scene.selectedID = session_.selectedID();
    scene.showSelection = session_.editing() && session_.visible();
    setAccessibleDescription(QStringLiteral("%1 个注释").arg(session_.annotations().size()));
    const AnnotationScene& old = drawing_.scene();
    if (scene == old) return;
    // While only the draft moves, only where it was and where it is now need painting.
    QRegion dirty;
    if (scene.annotations == old.annotations && scene.selectedID == old.selectedID &&
        scene.showSelection == old.showSelection) {
        QRectF area;
        if (const std::size_t kept = grownFrom(old.draft, scene.draft)) {
            // A pencil stroke that grew changes only near its end (the last samples' wobble
            // and the curve pieces through them) and, when it is selected, along its frame.
            for (const BoardAnnotation* draft : std::array<const BoardAnnotation*, 2>{&*old.draft, &*scene.draft}) {
                BoardAnnotation end = *draft;
                end.points.erase(end.points.begin(), end.points.begin() + std::ptrdiff_t(kept));
                area |= reach(end);
                if (scene.showSelection && scene.selectedID == draft->id) dirty += frameEdges(*draft);
            }
        } else {
            for (const std::optional<BoardAnnotation>* draft : std::array{&old.draft, static_cast<const std::optional<BoardAnnotation>*>(&scene.draft)}) {
                if (!*draft) continue;
                area |= reach(**draft);
                if (QRectF painted = drawing_.paintedRect((*draft)->id); !painted.isEmpty()) {
                    // Kept in the surface's own frame when the surface is turned.
                    if (const AnnotationSurface s = surface(); s.turned)
                        painted = QRectF(s.toView({painted.left(), painted.top()}), s.toView({painted.right(), painted.bottom()})).normalized();
                    area |= painted.adjusted(-6, -6, 6, 6);
                }
            }
        }
        dirty += area.toAlignedRect().adjusted(-1, -1, 1, 1);
        if (dirty.isEmpty()) dirty = QRect(0, 0, 1, 1);
    }
    drawing_.setScene(std::move(scene));
    emit sceneChanged(dirty);
}

std::size_t AnnotationCanvasView::grownFrom(const std::optional<BoardAnnotation>& before,
                                            const std::optional<BoardAnnotation>& after) {
    // A sample's wobble depends on its neighbours and on how near the end it lies (three
    // samples), and a curve piece on the two samples either side of it: seven samples from
    // the old end cover every piece that can move.
    constexpr std::size_t kMoving = 7;
    if (!before || !after || before->kind != AnnotationTool::pencil || after->kind != AnnotationTool::pencil ||
        before->id != after->id || !(before->style == after->style) || before->seed != after->seed)
        return 0;
    const auto& a = before->points;
    const auto& b = after->points;
    // Long strokes are thinned evenly for painting, which moves every sample.
    if (a.size() <= kMoving || b.size() < a.size() || b.size() > AnnotationRenderItem::kMaxPencilSamples) return 0;
    const std::size_t kept = a.size() - kMoving;
    return std::equal(a.begin(), a.begin() + std::ptrdiff_t(kept), b.begin()) ? kept : 0;
}

QRegion AnnotationCanvasView::frameEdges(const BoardAnnotation& annotation) const {
    const AnnotationSurface s = surface();
    const auto c = AnnotationGeometry::corners(AnnotationGeometry::bounds(annotation));
    const std::array<QPointF, 4> ring{s.fromPitch(c[0]), s.fromPitch(c[1]), s.fromPitch(c[3]), s.fromPitch(c[2])};
    QRegion edges;
    for (std::size_t i = 0; i < 4; ++i) {
        const QPointF a = ring[i], b = ring[(i + 1) % 4];
        if (!std::isfinite(a.x()) || !std::isfinite(a.y()) || !std::isfinite(b.x()) || !std::isfinite(b.y())) return rect();
        // The dashed edge and the corner handles (7 points) on it.
        edges += QRectF(a, b).normalized().adjusted(-6, -6, 6, 6).toAlignedRect() & rect();
    }
    return edges;
}

QRectF AnnotationCanvasView::reach(const BoardAnnotation& annotation) const {
    const AnnotationSurface s = surface();
    const auto corners = AnnotationGeometry::corners(AnnotationGeometry::bounds(annotation));
    QRectF box;
    for (const Point& c : corners) {
        const QPointF v = s.fromPitch(c);
        if (!std::isfinite(v.x()) || !std::isfinite(v.y())) return rect();
        box |= QRectF(v, QSizeF(0.01, 0.01));
    }
    // The stroke's half width, the grains' jitter, an arrow head and the selection handles;
    // a note's text may wrap below its box.
    const double pad = std::clamp(annotation.style.lineWidth, 0.7, 64.0) / 2 + 24;
    box.adjust(-pad, -pad, pad, pad);
    if (annotation.kind == AnnotationTool::text) box.adjust(-20, 0, 40, std::clamp(annotation.style.fontSize, 1.0, 96.0) * 10 + 40);
    return box & QRectF(rect());
}

// --- Pointer --------------------------------------------------------------------------

void AnnotationCanvasView::mousePressEvent(QMouseEvent* event) {
    // A stroke tried on a locked layer is told why nothing draws.
    if (session_.editing() && session_.locked() && event->button() == Qt::LeftButton)
        store_.reportStatus("注释层已锁定");
    if (!active() || event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    setFocus(Qt::MouseFocusReason);
    resetGesture();
    const Point v = surface().toSurface(event->position());
    beginGesture(v, event->modifiers());
    updateGesture(v, event->modifiers());
    refreshScene();
}

void AnnotationCanvasView::mouseMoveEvent(QMouseEvent* event) {
    if (!interaction_ || !(event->buttons() & Qt::LeftButton)) return;
    updateGesture(surface().toSurface(event->position()), event->modifiers());
    refreshScene();
}

void AnnotationCanvasView::mouseReleaseEvent(QMouseEvent* event) {
    if (!interaction_ || event->button() != Qt::LeftButton) return;
    finishGesture(surface().toSurface(event->position()), event->modifiers());
    refreshScene();
}

void AnnotationCanvasView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (!active() || event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    if (session_.tool() == AnnotationTool::select) {
        const auto hit = surface().geometry().hitAnnotation(surface().toSurface(event->position()), shown());
        if (hit && hit->kind == AnnotationTool::text) {
            resetGesture();
            requestText(*hit, false);
            refreshScene();
            return;
        }
    }
    // The second press of a double-click is an ordinary press for every other tool.
    mousePressEvent(event);
}

void AnnotationCanvasView::beginGesture(Point view, Qt::KeyboardModifiers) {
    const AnnotationCanvasGeometry geometry = surface().geometry();
    const Point p = geometry.normalise(view);
    const AnnotationTool tool = session_.tool();
    switch (tool) {
        case AnnotationTool::text: interaction_ = TextAt{p}; return;
        case AnnotationTool::eraser: interaction_ = Erasing{}; return;
        case AnnotationTool::select: {
            if (auto selected = session_.selection()) {
                if (auto corner = geometry.cornerHandle(*selected, view)) {
                    interaction_ = Resizing{*selected, AnnotationGeometry::bounds(*selected), *corner};
                    draft_ = *selected;
                    return;
                }
            }
            if (auto hit = geometry.hitAnnotation(view, shown())) {
                session_.setSelectedID(hit->id);
                interaction_ = Moving{*hit, view};
                draft_ = *hit;
            } else {
                session_.setSelectedID(std::nullopt);
                interaction_ = Empty{};
            }
            return;
        }
        case AnnotationTool::pencil:
        case AnnotationTool::line:
        case AnnotationTool::arrow:
        case AnnotationTool::ellipse:
        case AnnotationTool::rectangle: {
            BoardAnnotation fresh;
            fresh.id = Uuid::random();
            fresh.kind = tool;
            fresh.points = tool == AnnotationTool::pencil ? std::vector<Point>{p} : std::vector<Point>{p, p};
            fresh.style = session_.style();
            fresh.seed = randomUInt64();
            draft_ = fresh;
            interaction_ = Drawing{};
            session_.setSelectedID(fresh.id);
            return;
        }
    }
}

void AnnotationCanvasView::updateGesture(Point view, Qt::KeyboardModifiers modifiers) {
    if (!interaction_) return;
    const AnnotationCanvasGeometry geometry = surface().geometry();
    const Point p = geometry.normalise(view);
    if (std::holds_alternative<Erasing>(*interaction_)) {
        // One annotation per pointer sample, the topmost first; nothing is deleted yet.
        if (auto hit = geometry.hitAnnotation(view, shown())) erasedIDs_.push_back(hit->id);
    } else if (std::holds_alternative<Drawing>(*interaction_) && draft_) {
        auto& points = draft_->points;
        if (draft_->kind != AnnotationTool::pencil) {
            points = {points.front(), geometry.constrainedEndpoint(points.front(), view, draft_->kind,
                                                                   modifiers & Qt::ShiftModifier)};
            return;
        }
        if (!geometry.isNewPencilSample(points.back(), view)) return;
        if (points.size() >= 2) {
            const Point c = points.back();
            const Point previous = previousRawPencilPoint_.value_or(points[points.size() - 2]);
            points.back() = PencilStabilizer::interior(previous, c, p);
            previousRawPencilPoint_ = c;
        }
        points.push_back(p);
    } else if (auto* moving = std::get_if<Moving>(&*interaction_)) {
        draft_ = geometry.moving(moving->original, moving->viewStart, view);
    } else if (auto* resizing = std::get_if<Resizing>(&*interaction_)) {
        draft_ = geometry.resizing(resizing->original, resizing->startBounds, resizing->corner, view);
    }
}

void AnnotationCanvasView::finishGesture(Point view, Qt::KeyboardModifiers modifiers) {
    updateGesture(view, modifiers);
    const AnnotationCanvasGeometry geometry = surface().geometry();
    if (draft_ && draft_->kind == AnnotationTool::pencil && std::holds_alternative<Drawing>(*interaction_)) {
        const Point p = geometry.normalise(view);
        const Point last = draft_->points.back();
        if (std::hypot(p.x - last.x, p.y - last.y) > 1e-6) draft_->points.push_back(p);
    }
    const Interaction interaction = *interaction_;
    const std::optional<BoardAnnotation> draft = draft_;
    const std::vector<Uuid> erased = erasedIDs_;
    resetGesture();

    if (std::holds_alternative<Drawing>(interaction)) {
        if (draft && geometry.isLargeEnough(*draft)) session_.commit(*draft);
        else session_.setSelectedID(std::nullopt);
    } else if (auto* moving = std::get_if<Moving>(&interaction)) {
        if (draft && !(*draft == moving->original)) session_.commit(*draft);
    } else if (auto* resizing = std::get_if<Resizing>(&interaction)) {
        if (draft && !(*draft == resizing->original)) session_.commit(*draft);
    } else if (auto* text = std::get_if<TextAt>(&interaction)) {
        const auto hit = geometry.hitAnnotation(view, shown());
        if (hit && hit->kind == AnnotationTool::text) {
            requestText(*hit, false);
        } else {
            BoardAnnotation note;
            note.id = Uuid::random();
            note.kind = AnnotationTool::text;
            note.points = AnnotationGeometry::newTextPoints(text->point);
            note.style = session_.style();
            note.seed = randomUInt64();
            requestText(note, true);
        }
    } else if (std::holds_alternative<Erasing>(interaction)) {
        // Each erased annotation is its own undo step, deleted in drawing order.
        for (const BoardAnnotation& a : session_.annotations())
            if (std::find(erased.begin(), erased.end(), a.id) != erased.end()) session_.deleteAnnotation(a.id);
    }
}

void AnnotationCanvasView::resetGesture() {
    draft_.reset();
    interaction_.reset();
    erasedIDs_.clear();
    previousRawPencilPoint_.reset();
}

// --- Text notes -----------------------------------------------------------------------

void AnnotationCanvasView::requestText(const BoardAnnotation& annotation, bool isNew) {
    session_.setSelectedID(annotation.id);
    if (editor_) editor_->deleteLater();
    editor_ = new AnnotationTextEditor(isNew, QString::fromStdString(annotation.text), this);
    editor_->setAttribute(Qt::WA_DeleteOnClose);
    connect(editor_, &QDialog::accepted, this, [this, annotation, isNew] {
        commitText(annotation, isNew, editor_ ? editor_->text() : QString());
    });
    connect(editor_, &QDialog::finished, this, [this] {
        if (editor_) editor_->close();
    });
    editor_->open();
}

void AnnotationCanvasView::commitText(BoardAnnotation annotation, bool isNew, const QString& text) {
    std::string trimmed = AnnotationText::trimmed(text.toStdString());
    TacticLimits::cutText(trimmed, TacticLimits::kMaxTextCharacters);
    if (trimmed.empty()) return;
    annotation.text = trimmed;
    if (isNew && !annotation.points.empty())
        annotation.points =
            AnnotationGeometry::committedTextPoints(annotation.points.front(), trimmed, annotation.style.fontSize);
    session_.commit(annotation);
}

// --- Keys -----------------------------------------------------------------------------

namespace {

enum class CanvasKey { none, undo, redo, remove, escape };

CanvasKey canvasKey(const QKeyEvent* event) {
    const auto mods = event->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier | Qt::MetaModifier);
    if (event->key() == Qt::Key_Z && mods == Qt::ControlModifier) return CanvasKey::undo;
    if (event->key() == Qt::Key_Z && mods == (Qt::ControlModifier | Qt::ShiftModifier)) return CanvasKey::redo;
    if ((event->key() == Qt::Key_Delete || event->key() == Qt::Key_Backspace) && mods == Qt::NoModifier)
        return CanvasKey::remove;
    if (event->key() == Qt::Key_Escape) return CanvasKey::escape;
    return CanvasKey::none;
}

}  // namespace

bool AnnotationCanvasView::event(QEvent* event) {
    // The canvas's keys come before the window's shortcuts while it takes input.
    // Esc leaves drawing mode even on a locked layer.
    if (event->type() == QEvent::ShortcutOverride) {
        const CanvasKey key = canvasKey(static_cast<QKeyEvent*>(event));
        if (key == CanvasKey::none || !(active() || (key == CanvasKey::escape && session_.editing()))) return QWidget::event(event);
        event->accept();
        return true;
    }
    return QWidget::event(event);
}

void AnnotationCanvasView::keyPressEvent(QKeyEvent* event) {
    const CanvasKey key = canvasKey(event);
    if (key == CanvasKey::escape && session_.editing() && !draft_ && !interaction_ && !session_.selectedID()) {
        // Nothing under way and nothing selected: Esc ends drawing mode.
        resetGesture();
        session_.setEditing(false);
        return refreshScene();
    }
    if (!active() || key == CanvasKey::none) {
        event->ignore();
        return;
    }
    switch (key) {
        case CanvasKey::undo: EditCommands::undo(store_, session_); break;
        case CanvasKey::redo: EditCommands::redo(store_, session_); break;
        case CanvasKey::remove:
            EditCommands::deleteSelection(session_);
            session_.setSelectedID(std::nullopt);
            break;
        case CanvasKey::escape:
            resetGesture();
            session_.setSelectedID(std::nullopt);
            break;
        case CanvasKey::none: break;
    }
    refreshScene();
}

}  // namespace vantrel

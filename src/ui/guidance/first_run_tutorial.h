// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QPointer>
#include <QRectF>
#include <QWidget>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "core/annotation/graphite_stroke.h"
#include "core/platform/platform.h"
#include "core/store/board_store.h"
#include "core/store/tutorial_lessons.h"
#include "core/store/workspace_preferences.h"

class QAbstractButton;
class QLabel;

namespace vantrel {

// Target → rectangle in the overlay's coordinates, for the targets whose area is shown.
using TutorialAnchors = std::map<TutorialTarget, QRectF>;

// The widgets that mark themselves as a tour target. A target may be marked by several
// widgets (the view switch with its toggles); its anchor is the union of those shown.
// A mark whose widget is hidden or gone does not count.
class TutorialAnchorMarks {
public:
    void mark(TutorialTarget target, QWidget* widget);
    // The anchors of the shown marks, mapped into `frame` and kept inside it.
    TutorialAnchors collect(const QWidget* frame) const;

private:
    std::vector<std::pair<TutorialTarget, QPointer<QWidget>>> marks_;
};

// The pencil mark of one lesson in view points: the loop around the target, the bowed
// leader from the note card to it and the arrow's two wings at the leader's end.
struct TutorialPencilPoints {
    std::vector<Point> loop;
    std::vector<Point> leader;
    std::vector<std::vector<Point>> wings;

    static TutorialPencilPoints make(const QRectF& target, const QRectF& note);
};

// The first-run tour over the whole workspace: a dark veil with a rounded hole over the
// lesson's target, the note card, and a white graphite pencil mark from the card to the
// target. It explains only; it never operates the workspace. Esc skips, ← and → page,
// Return takes the card's forward action; the four keys go no further. The lesson index
// is the workspace's; `finish` ends the tour (the workspace hides and deletes the overlay).
class FirstRunTutorial : public QWidget {
    Q_OBJECT
public:
    static constexpr double kStrokeWidth = 2.7;
    static constexpr double kHoleGrowX = 7, kHoleGrowY = 6, kHoleRadius = 12;
    static constexpr double kCardWidth = 320;
    // Seconds: the hole and card glide, then the pencil mark fades in.
    static constexpr double kGlideSeconds = 0.24, kPencilFadeSeconds = 0.18;

    FirstRunTutorial(TutorialAnchorMarks marks, WorkspacePreferences& workspace, BoardStore& store,
                     Platform& platform, std::function<void()> finish, QWidget* parent);
    ~FirstRunTutorial() override;

    int index() const;
    void setIndex(int index);
    // Called with each lesson's target before the lesson is shown, so the workspace can
    // show what it points at (the step settings for the formation and pass lessons); the
    // targets are measured again after it. Applied to the lesson shown at once.
    void setArrangement(std::function<void(TutorialTarget)> arrange);
    void forward();   // next lesson, or finish on the last

    const TutorialAnchors& anchors() const { return anchors_; }
    // Where the hole and card are drawn now (mid-glide while a lesson change animates);
    // no hole when the lesson's target is not shown.
    std::optional<QRectF> holeRect() const;
    QRectF noteRect() const;
    bool animating() const { return clock_ != nullptr && progress_ < 1; }
    qreal pencilOpacity() const;

    QWidget* card() const { return card_; }
    QAbstractButton* skipButton() const { return skip_; }
    QAbstractButton* backButton() const { return back_; }
    QAbstractButton* forwardButton() const { return forward_; }
    QLabel* counterLabel() const { return counter_; }

    // The card beside its target: below or above when it fits, else to one side, else
    // centred; always inside the frame.
    static QRectF placeNote(const std::optional<QRectF>& target, QSizeF card, QSizeF frame);
    // The handwriting face of the counter: Comic Neue from the system's fonts when
    // installed, else the nearest handwriting face the font system offers.
    static QFont handwritingFont();

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    struct Scene {
        std::optional<QRectF> hole;
        QRectF note;
    };
    Scene sceneFor(int index) const;
    void showLesson(bool animate);
    void reanchor();
    void tick(double elapsed);
    void applyCard(const QRectF& note);
    const QImage& pencilImage();

    WorkspacePreferences& workspace_;
    BoardStore& store_;
    Platform& platform_;
    std::function<void()> finish_;
    std::function<void(TutorialTarget)> arrange_;
    TutorialAnchorMarks marks_;
    TutorialAnchors anchors_;

    QWidget* card_ = nullptr;
    QLabel* counter_ = nullptr;
    QLabel* title_ = nullptr;
    QLabel* text_ = nullptr;
    QAbstractButton* skip_ = nullptr;
    QAbstractButton* back_ = nullptr;
    QAbstractButton* forward_ = nullptr;

    Scene from_;
    Scene to_;
    double progress_ = 1;   // 0 … 1 over the glide and the pencil's fade
    std::unique_ptr<FrameClock> clock_;

    // The pencil mark painted once per lesson, size and target.
    QImage pencil_;
    struct PencilKey {
        int index = -1;
        QSize size;
        QRectF target;
        QRectF note;
        bool operator==(const PencilKey&) const = default;
    } pencilKey_;
};

}  // namespace vantrel

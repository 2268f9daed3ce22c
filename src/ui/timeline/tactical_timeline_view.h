// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

#include <optional>
#include <vector>

#include "core/store/board_store.h"
#include "core/store/workspace_preferences.h"

class QLabel;
class QVariantAnimation;

namespace vantrel {

class TimelineControlStyle;
class TimelineNodeStyle;

// The strip under the pitch: the transport controls (previous, play or pause, next),
// where the user is ("阶段 03，共 7 个阶段" and the step's clean title), one node per
// step, and a panel with the step's explanation and the store's status line.
//
// It reads the store and sends only selectStep, play, previous and next; whether a
// departure first asks to save is the store's decision. Space, ← and → work only while
// the timeline has the keyboard focus and their command is allowed; otherwise the key
// is passed on. While the store shows transition positions (a step transition or a
// formation glide) the nodes and the step arrows rest; play still pauses.
//
// The expanded state is the preference "tacticalTimelineExpanded"; collapsed, only the
// transport row shows.
class TacticalTimelineView : public QWidget {
    Q_OBJECT
public:
    TacticalTimelineView(BoardStore& store, WorkspacePreferences& workspace, QWidget* parent = nullptr);
    ~TacticalTimelineView() override;

    bool canPlay() const;
    bool canGoBack() const;
    bool canGoForward() const;

    // The step under the pointer, for the workspace.
    std::optional<int> hoveredStep() const { return hoveredStep_; }

    bool isExpanded() const { return expanded_; }
    void setExpanded(bool on);
    bool showingDetails() const { return showingDetails_; }
    void setShowingDetails(bool on);
    // The keyboard focus is on the timeline.
    bool timelineFocused() const { return hasFocus(); }

    // Moves to step `index` and focuses the timeline; nothing while a transition shows
    // positions or for an index outside the steps.
    void selectStage(int index);

    QString summaryText() const;
    QString currentTitle() const;

signals:
    void hoveredStepChanged(std::optional<int> step);
    void expandedChanged(bool expanded);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    class StepTrack;

    bool previewActive() const { return store_.transitionRunning(); }
    void refresh();
    void rebuildNodes(int count);
    void setHoveredStep(std::optional<int> step);
    void applyColors();
    void animateBody(bool open);

    BoardStore& store_;
    WorkspacePreferences& workspace_;
    Subscription subscription_;

    TimelineControlStyle* previousButton_ = nullptr;
    TimelineControlStyle* playButton_ = nullptr;
    TimelineControlStyle* nextButton_ = nullptr;
    TimelineControlStyle* detailsButton_ = nullptr;
    TimelineControlStyle* expandButton_ = nullptr;
    QLabel* summaryLabel_ = nullptr;
    QLabel* titleLabel_ = nullptr;
    QWidget* body_ = nullptr;            // the step track and the panel: hidden while collapsed
    StepTrack* track_ = nullptr;
    std::vector<TimelineNodeStyle*> nodes_;
    QWidget* detailsPanel_ = nullptr;
    QLabel* noteLabel_ = nullptr;
    QLabel* statusHeader_ = nullptr;
    QLabel* statusLabel_ = nullptr;
    TimelineControlStyle* closeDetailsButton_ = nullptr;
    QVariantAnimation* bodyAnimation_ = nullptr;

    bool expanded_ = true;
    bool showingDetails_ = false;
    bool playingShown_ = false;
    std::optional<int> hoveredStep_;
};

}  // namespace vantrel

#pragma once

#include <QLabel>
#include <QWidget>

#include <memory>

#include "core/annotation/drawing_session.h"
#include "core/platform/platform.h"
#include "core/store/board_store.h"
#include "core/store/workspace_preferences.h"

namespace vantrel {

class PitchView;

// The window's content: it owns the board store for the window's life and lays out
// the tactic's name, the status line and the pitch.
class ContentView : public QWidget {
    Q_OBJECT
public:
    ContentView(PreferenceStore& defaults, Platform& platform, QWidget* parent = nullptr);
    ~ContentView() override;

    BoardStore& store() { return *store_; }
    DrawingSession& drawingSession() { return *session_; }
    WorkspacePreferences& workspace() { return workspace_; }
    PitchView& pitchView() { return *pitchView_; }

    QSize sizeHint() const override { return {1500, 900}; }

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void refreshLabels();
    void applyColors();

    std::unique_ptr<BoardStore> store_;
    std::unique_ptr<DrawingSession> session_;   // after the store: it writes through it
    WorkspacePreferences workspace_;
    PitchView* pitchView_ = nullptr;
    QLabel* titleLabel_ = nullptr;
    QLabel* statusLabel_ = nullptr;
    Subscription subscription_;
    bool shownOnce_ = false;
};

}  // namespace vantrel

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

#include <string>
#include <vector>

#include <unordered_map>

#include "core/library/tactic_search.h"
#include "core/store/board_store.h"
#include "core/store/library_entries.h"
#include "core/store/workspace_preferences.h"

class QListWidget;
class QListWidgetItem;
class QLabel;
class QMenu;
class QToolButton;
class QVBoxLayout;
class QHBoxLayout;

namespace vantrel {

class StudioSegmentedControl;
class QuietHoverStyle;
class LibrarySearchField;
class ThumbnailCache;

// The library column: the format, the scope, the built-in group and the coach's own
// tactics, then the open tactic's stages. It reads the store and the workspace
// preferences and sends commands; the few commands that open a sheet or a question go
// to the workspace through signals.
class LibrarySidebar : public QWidget {
    Q_OBJECT
public:
    LibrarySidebar(BoardStore& store, WorkspacePreferences& workspace, QWidget* parent = nullptr);
    ~LibrarySidebar() override;

    // "all", "favorites" or "mine".
    const std::string& scope() const { return scope_; }
    void setScope(std::string scope);
    // The entries as listed, built-in first.
    const std::vector<LibraryEntry>& entries() const { return entries_; }
    // The built-in group follows "builtinLibraryExpanded"; call after it changes.
    void refreshExpansion();
    // Rebuilds the rows from the store (after favourites or the library changed).
    void refresh();

    QListWidget* builtinList() const { return builtinList_; }
    QListWidget* ownList() const { return ownList_; }
    // While own tactics are grouped by a tag: those without it.
    QListWidget* otherList() const { return otherList_; }
    LibrarySearchField* searchField() const { return search_; }
    ThumbnailCache* thumbnails() const { return thumbnails_; }
    // The own tactics carrying `tag` first, then the others; empty: all in one list.
    void setGroupTag(std::string tag);
    // Where the rows' pictures are kept between starts (beside the library).
    void setThumbnailFolder(const QString& folder);
    // "编辑标签…" for an own tactic.
    void editTags(const std::string& key);
    QLabel* emptyHint() const { return emptyHint_; }
    QWidget* stageList() const { return stageRows_; }
    // The row's context menu, built for the entry with `key` (tests open it directly).
    void execEntryMenuAt(const std::string& key, QPoint globalPos);

signals:
    void newTacticRequested();
    void editStepRequested(int index);
    void deleteStepRequested(int index);
    void scopeChanged();
    void copyRequested(const std::string& key);
    // An own tactic's rename and delete questions belong to the workspace.
    void renameRequested(const std::string& key);
    void deleteRequested(const std::string& key);
    void historyRequested(const std::string& key);

private:
    void rebuildEntries();
    void rebuildStages();
    void addStageRow(int index);
    QMenu* stageMenu(int step);
    // `looks`: each row's look, indexed as entries_.
    void fillList(QListWidget* list, const std::vector<const LibraryEntry*>& rows,
                  std::vector<std::string>& looks);
    void activate(QListWidgetItem* item);
    const LibraryEntry* entryFor(const std::string& key) const;
    QMenu* entryMenu(const std::string& key);
    QListWidget* makeList();
    static QString scopeTitle(const std::string& scope);
    void buildViewMenus(QWidget* content, QHBoxLayout* row);
    void setSearchText(const QString& text);
    void applySearch();

    BoardStore& store_;
    WorkspacePreferences& workspace_;
    std::string scope_ = "all";
    std::vector<LibraryEntry> entries_;
    std::string shownSignature_;
    std::uint64_t shownRevision_ = 0;   // the store's library revision the rows were built from
    std::unordered_map<const QListWidget*, std::vector<std::string>> shownLooks_;   // each list's rows as last written
    std::unordered_map<std::string, std::size_t> entryIndex_;   // key -> entries_ index
    std::vector<std::u32string> haystacks_;   // folded searchable text of entries_, made when searched
    TacticSearch::Query query_;
    std::string groupTag_;
    int shownFormat_ = 0;   // the format whose rows are shown
    LibrarySearchField* search_ = nullptr;
    QToolButton* sortButton_ = nullptr;
    QToolButton* groupButton_ = nullptr;
    QLabel* otherTitle_ = nullptr;
    QListWidget* otherList_ = nullptr;
    ThumbnailCache* thumbnails_ = nullptr;
    struct StageRow {
        QWidget* row;
        QToolButton* select;
    };
    std::vector<StageRow> stageRowWidgets_;
    std::vector<QString> stageTexts_;
    QMenu* stageMenu_ = nullptr;
    int stageMenuStep_ = 0;
    bool stageRowsPending_ = false;

    StudioSegmentedControl* formatControl_ = nullptr;
    QToolButton* scopeButton_ = nullptr;
    QuietHoverStyle* builtinHeader_ = nullptr;
    QListWidget* builtinList_ = nullptr;
    QLabel* ownTitle_ = nullptr;
    QListWidget* ownList_ = nullptr;
    QLabel* emptyHint_ = nullptr;
    QWidget* stageRows_ = nullptr;
    QVBoxLayout* stageLayout_ = nullptr;
    Subscription subscription_;
};

}  // namespace vantrel

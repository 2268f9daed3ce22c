// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/workspace/library_sidebar.h"

#include <QAccessible>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QPointer>
#include <QTimer>
#include <QScrollArea>
#include <QVBoxLayout>

#include "core/model/step_title.h"
#include "ui/style/quiet_hover_style.h"
#include "ui/style/studio_segmented_control.h"
#include "ui/style/studio_widgets.h"
#include "ui/workspace/library_row_delegate.h"
#include "ui/workspace/library_search_field.h"
#include "ui/workspace/thumbnail_cache.h"

namespace vantrel {

namespace {

using namespace StudioWidgets;

// A stage row: the step's number and clean title; a click selects the step.
QString stageText(int index, const BoardStep& step) {
    return QStringLiteral("%1  %2").arg(index + 1, 2, 10, QLatin1Char('0')).arg(QString::fromStdString(cleanStepTitle(step.title)));
}

}  // namespace

LibrarySidebar::LibrarySidebar(BoardStore& store, WorkspacePreferences& workspace, QWidget* parent)
    : QWidget(parent), store_(store), workspace_(workspace), groupTag_(workspace.libraryGroupTag()) {
    setObjectName(QStringLiteral("librarySidebar"));
    setAccessibleName(QStringLiteral("战术库"));
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* scroll = new QScrollArea(this);
    scroll->setFocusPolicy(Qt::NoFocus);   // its rows take the focus, not the frame around them
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->viewport()->setAutoFillBackground(false);
    auto* content = new QWidget(scroll);
    scroll->setWidget(content);
    content->setAutoFillBackground(false);   // setWidget turns it on; the column paints the surface
    outer->addWidget(scroll);

    auto* layout = new QVBoxLayout(content);
    layout->setContentsMargins(14, 16, 14, 16);
    layout->setSpacing(8);

    auto* titleRow = new QHBoxLayout;
    titleRow->addWidget(label(QStringLiteral("战术库"), 17, StudioStyle::textPrimary, true, content));
    titleRow->addStretch();
    auto* newButton = button(QStringLiteral("新建我的战术"), QStringLiteral("新建自己的战术 · Ctrl+N"),
                             StudioIcons::Glyph::add, false, content);
    connect(newButton, &QToolButton::clicked, this, &LibrarySidebar::newTacticRequested);
    titleRow->addWidget(newButton);
    layout->addLayout(titleRow);

    // Made before the lists, whose rows paint its pictures.
    thumbnails_ = new ThumbnailCache(QString(), devicePixelRatioF(), this);
    connect(thumbnails_, &ThumbnailCache::ready, this, [this] {
        for (QListWidget* list : {builtinList_, ownList_, otherList_}) list->viewport()->update();
    });
    search_ = new LibrarySearchField(content);
    connect(search_, &QLineEdit::textChanged, this, [this](const QString& text) { setSearchText(text); });
    layout->addWidget(search_);

    formatControl_ = new StudioSegmentedControl(QStringLiteral("赛制"),
                                                {{QStringLiteral("7 人制"), 7}, {QStringLiteral("11 人制"), 11}}, content);
    formatControl_->setSelection(store_.tactic().format == 7 ? 7 : 11);
    connect(formatControl_, &StudioSegmentedControl::selectionChanged, this, [this](const QVariant& value) {
        const int format = value.toInt();
        if (format != (store_.tactic().format == 7 ? 7 : 11)) store_.changeFormat(format);
        // A held change (the save question) or a refused one shows the format actually open.
        formatControl_->setSelection(store_.tactic().format == 7 ? 7 : 11);
    });
    layout->addWidget(formatControl_);

    scopeButton_ = new QToolButton(content);
    scopeButton_->setPopupMode(QToolButton::InstantPopup);
    scopeButton_->setStyleSheet(QStringLiteral("QToolButton::menu-indicator{image:none;width:0px;}"));
    scopeButton_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    scopeButton_->setIcon(StudioIcons::icon(StudioIcons::Glyph::filter));
    scopeButton_->setAutoRaise(true);
    scopeButton_->setCursor(Qt::PointingHandCursor);
    describe(scopeButton_, QStringLiteral("战术范围"), QStringLiteral("切换战术范围"));
    auto* scopeMenu = new QMenu(QStringLiteral("战术范围"), scopeButton_);
    for (std::string_view scope : {kLibraryScopeAll, kLibraryScopeFavorites, kLibraryScopeMine}) {
        QAction* action = scopeMenu->addAction(scopeTitle(std::string(scope)));
        action->setCheckable(true);
        action->setData(QString::fromLatin1(scope.data(), qsizetype(scope.size())));
        connect(action, &QAction::triggered, this, [this, scope] { setScope(std::string(scope)); });
    }
    scopeButton_->setMenu(scopeMenu);
    keepColor(scopeButton_, StudioStyle::textSecondary, QPalette::ButtonText);
    auto* viewRow = new QHBoxLayout;
    viewRow->setSpacing(2);
    viewRow->addWidget(scopeButton_);
    viewRow->addStretch();
    buildViewMenus(content, viewRow);
    layout->addLayout(viewRow);

    builtinHeader_ = button(QStringLiteral("示范战术"), QStringLiteral("展开或收起示范战术"),
                            StudioIcons::Glyph::expandMore, true, content);
    builtinHeader_->setCheckable(true);
    connect(builtinHeader_, &QToolButton::clicked, this, [this](bool on) {
        workspace_.setBuiltinLibraryExpanded(on);
        refreshExpansion();
    });
    layout->addWidget(builtinHeader_);
    builtinList_ = makeList();
    builtinList_->setAccessibleName(QStringLiteral("示范战术"));
    layout->addWidget(builtinList_);

    ownTitle_ = sectionTitle(QStringLiteral("我的战术"), content);
    layout->addWidget(ownTitle_);
    ownList_ = makeList();
    ownList_->setAccessibleName(QStringLiteral("我的战术"));
    layout->addWidget(ownList_);
    otherTitle_ = sectionTitle(QStringLiteral("其他"), content);
    layout->addWidget(otherTitle_);
    otherList_ = makeList();
    otherList_->setAccessibleName(QStringLiteral("其他"));
    layout->addWidget(otherList_);
    emptyHint_ = hint(QString(), content);
    emptyHint_->setObjectName(QStringLiteral("libraryEmptyHint"));
    layout->addWidget(emptyHint_);

    layout->addSpacing(10);
    auto* stageTitleRow = new QHBoxLayout;
    stageTitleRow->addWidget(label(QStringLiteral("阶段"), 15, StudioStyle::textPrimary, true, content));
    stageTitleRow->addStretch();
    auto* addStage = button(QStringLiteral("添加阶段"), QStringLiteral("在当前阶段后添加一个阶段"),
                            StudioIcons::Glyph::add, true, content);
    addStage->setObjectName(QStringLiteral("addStageButton"));
    connect(addStage, &QToolButton::clicked, this, [this] { store_.addStep(); });
    stageTitleRow->addWidget(addStage);
    layout->addLayout(stageTitleRow);
    stageRows_ = new QWidget(content);
    stageRows_->setAccessibleName(QStringLiteral("阶段"));
    stageLayout_ = new QVBoxLayout(stageRows_);
    stageLayout_->setContentsMargins(0, 0, 0, 0);
    stageLayout_->setSpacing(2);
    layout->addWidget(stageRows_);
    layout->addStretch();

    subscription_ = store_.subscribe([this](StoreChange change) {
        if (any(change & (StoreChange::library | StoreChange::tactic))) {
            const int format = store_.tactic().format == 7 ? 7 : 11;
            formatControl_->setSelection(format);
            // The rows follow the library and the open format: a step edit, a drag's every
            // move, leaves them as they are (a season's thousand rows are not walked again).
            // A write's notice leaves the list as it was: only a change to it is shown again.
            const bool listChanged = any(change & StoreChange::library) && store_.libraryRevision() != shownRevision_;
            if (listChanged || format != shownFormat_) {
                shownFormat_ = format;
                rebuildEntries();
            }
            rebuildStages();
        }
        if (any(change & (StoreChange::confirmation | StoreChange::status | StoreChange::library))) {
            for (QListWidget* list : {builtinList_, ownList_, otherList_}) list->viewport()->update();
        }
    });
    refresh();
    refreshExpansion();
}

LibrarySidebar::~LibrarySidebar() = default;

QListWidget* LibrarySidebar::makeList() {
    auto* list = new QListWidget(this);
    list->setItemDelegate(new LibraryRowDelegate(
        {store_, query_, thumbnails_, [this](const std::string& key) {
             const LibraryEntry* entry = entryFor(key);
             return entry ? entry->tactic : nullptr;
         }},
        list));
    list->setFrameShape(QFrame::NoFrame);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    list->setMouseTracking(true);
    list->setSelectionMode(QAbstractItemView::NoSelection);
    list->setContextMenuPolicy(Qt::CustomContextMenu);
    list->viewport()->setAutoFillBackground(false);
    list->setAutoFillBackground(false);
    list->setCursor(Qt::PointingHandCursor);
    connect(list, &QListWidget::itemClicked, this, &LibrarySidebar::activate);
    connect(list, &QListWidget::itemActivated, this, &LibrarySidebar::activate);
    connect(list, &QWidget::customContextMenuRequested, this, [this, list](QPoint pos) {
        // Shift+F10 or the Menu key ask at the list's middle: the menu is the current row's.
        QListWidgetItem* item = list->itemAt(pos);
        if (QGuiApplication::mouseButtons() == Qt::NoButton && list->hasFocus() && list->currentItem()) {
            item = list->currentItem();
            pos = list->visualItemRect(item).bottomLeft();
        }
        if (item) execEntryMenuAt(item->data(libraryKeyRole).toString().toStdString(), list->viewport()->mapToGlobal(pos));
    });
    return list;
}

void LibrarySidebar::setScope(std::string scope) {
    if (scope != kLibraryScopeFavorites && scope != kLibraryScopeMine) scope = std::string(kLibraryScopeAll);
    scope_ = std::move(scope);
    refresh();
    emit scopeChanged();
}

void LibrarySidebar::refresh() {
    shownSignature_.clear();
    shownLooks_.clear();   // the rows are all written again, e.g. after a new star
    rebuildEntries();
    for (QString& text : stageTexts_) text.clear();
    rebuildStages();
}

void LibrarySidebar::activate(QListWidgetItem* item) {
    if (!item) return;
    const LibraryEntry* entry = entryFor(item->data(libraryKeyRole).toString().toStdString());
    if (!entry) return;
    if (entry->saved) store_.selectImported(SavedTactic(*entry->saved));
    else store_.selectBuiltIn(*entry->builtinIndex);
}

QMenu* LibrarySidebar::entryMenu(const std::string& key) {
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    const bool favorite = workspace_.favorites().contains(key);
    QAction* star = menu->addAction(StudioIcons::icon(favorite ? StudioIcons::Glyph::starOutline : StudioIcons::Glyph::star),
                                    favorite ? QStringLiteral("取消收藏") : QStringLiteral("加入收藏"));
    connect(star, &QAction::triggered, this, [this, key] {
        workspace_.toggleFavorite(key);
        refresh();
    });
    QAction* copy = menu->addAction(StudioIcons::icon(StudioIcons::Glyph::copy), QStringLiteral("复制到我的战术"));
    connect(copy, &QAction::triggered, this, [this, key] { emit copyRequested(key); });
    if (OwnTacticLibrary::isOwnKey(key)) {
        menu->addSeparator();
        QAction* rename = menu->addAction(StudioIcons::icon(StudioIcons::Glyph::edit), QStringLiteral("重命名"));
        connect(rename, &QAction::triggered, this, [this, key] { emit renameRequested(key); });
        QAction* tags = menu->addAction(StudioIcons::icon(StudioIcons::Glyph::label), QStringLiteral("编辑标签…"));
        connect(tags, &QAction::triggered, this, [this, key] { editTags(key); });
        QAction* duplicate = menu->addAction(StudioIcons::icon(StudioIcons::Glyph::copy), QStringLiteral("创建副本"));
        connect(duplicate, &QAction::triggered, this, [this, key] { store_.ownTactics().duplicate(key); });
        QAction* history = menu->addAction(StudioIcons::icon(StudioIcons::Glyph::history), QStringLiteral("历史版本…"));
        connect(history, &QAction::triggered, this, [this, key] { emit historyRequested(key); });
        QAction* remove = menu->addAction(StudioIcons::icon(StudioIcons::Glyph::remove, StudioStyle::destructive),
                                          QStringLiteral("删除战术"));
        connect(remove, &QAction::triggered, this, [this, key] { emit deleteRequested(key); });
    }
    return menu;
}

void LibrarySidebar::execEntryMenuAt(const std::string& key, QPoint globalPos) {
    entryMenu(key)->popup(globalPos);
}

void LibrarySidebar::rebuildStages() {
    const auto& steps = store_.tactic().steps;
    const int count = int(steps.size());
    const int current = store_.stepIndex();
    // Rows are kept and only told what changed: moving between steps touches the checked
    // marks, not 200 rows of widgets. Surplus rows go once the click that removed a step
    // has returned (it may be one of their own).
    while (int(stageRowWidgets_.size()) > count) {
        QWidget* old = stageRowWidgets_.back().row;
        stageRowWidgets_.pop_back();
        stageTexts_.pop_back();
        stageLayout_->removeWidget(old);
        old->hide();
        old->deleteLater();
    }
    // A long tactic gets its rows a few dozen per turn of the event loop, so opening one
    // never holds the window still for long.
    constexpr int kRowsPerTurn = 40;
    for (int made = 0; int(stageRowWidgets_.size()) < count && made < kRowsPerTurn; ++made)
        addStageRow(int(stageRowWidgets_.size()));
    if (int(stageRowWidgets_.size()) < count && !stageRowsPending_) {
        stageRowsPending_ = true;
        QTimer::singleShot(0, this, [this] {
            stageRowsPending_ = false;
            rebuildStages();
        });
    }
    for (int i = 0; i < int(stageRowWidgets_.size()); ++i) {
        StageRow& row = stageRowWidgets_[std::size_t(i)];
        QString text = stageText(i, steps[std::size_t(i)]);
        if (stageTexts_[std::size_t(i)] != text) {
            row.select->setText(text);
            describe(row.select,
                     QStringLiteral("阶段 %1 · %2").arg(i + 1).arg(QString::fromStdString(cleanStepTitle(steps[std::size_t(i)].title))),
                     QStringLiteral("前往阶段 %1").arg(i + 1));
            stageTexts_[std::size_t(i)] = std::move(text);
        }
        row.select->setChecked(i == current);
    }
}

void LibrarySidebar::addStageRow(int i) {
    auto* row = new QWidget(stageRows_);
    auto* h = new QHBoxLayout(row);
    h->setContentsMargins(0, 0, 0, 0);
    h->setSpacing(2);
    auto* select = new QuietHoverStyle(8, row);
    select->setToolButtonStyle(Qt::ToolButtonTextOnly);
    select->setLeadingAligned(true);
    select->setCheckable(true);
    select->setLabelColor(StudioStyle::textPrimary);
    select->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    select->setMinimumHeight(32);
    select->setCursor(Qt::PointingHandCursor);
    select->setFocusPolicy(Qt::StrongFocus);
    connect(select, &QToolButton::clicked, this, [this, i, select] {
        select->setChecked(i == store_.stepIndex());
        store_.selectStep(i);
    });
    // The row's own menu on a right click, Shift+F10 or the Menu key.
    select->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(select, &QWidget::customContextMenuRequested, this,
            [this, i, select](QPoint pos) { stageMenu(i)->exec(select->mapToGlobal(pos)); });
    h->addWidget(select, 1);
    auto* more = new QToolButton(row);
    more->setAutoRaise(true);
    more->setIcon(StudioIcons::icon(StudioIcons::Glyph::moreVertical));
    more->setText(QStringLiteral("阶段操作"));
    more->setCursor(Qt::PointingHandCursor);
    describe(more, QStringLiteral("阶段操作"), QStringLiteral("阶段操作"));
    // One menu serves every row, made when it is first asked for.
    connect(more, &QToolButton::clicked, this, [this, i, more] {
        QPointer<QToolButton> shown(more);
        more->setDown(true);
        stageMenu(i)->exec(more->mapToGlobal(QPoint(0, more->height())));
        if (shown) shown->setDown(false);
    });
    h->addWidget(more);
    stageLayout_->addWidget(row);
    stageRowWidgets_.push_back({row, select});
    stageTexts_.emplace_back();
}

QMenu* LibrarySidebar::stageMenu(int i) {
    if (!stageMenu_) {
        stageMenu_ = new QMenu(QStringLiteral("阶段操作"), this);
        connect(stageMenu_->addAction(StudioIcons::icon(StudioIcons::Glyph::copy), QStringLiteral("复制阶段")),
                &QAction::triggered, this, [this] {
                    const int step = stageMenuStep_;
                    store_.selectStep(step);
                    if (store_.stepIndex() == step && !store_.showingStageSaveConfirmation()) store_.addStep();
                });
        connect(stageMenu_->addAction(StudioIcons::icon(StudioIcons::Glyph::edit), QStringLiteral("编辑阶段")),
                &QAction::triggered, this, [this] { emit editStepRequested(stageMenuStep_); });
        connect(stageMenu_->addAction(StudioIcons::icon(StudioIcons::Glyph::remove), QStringLiteral("删除阶段")),
                &QAction::triggered, this, [this] { emit deleteStepRequested(stageMenuStep_); });
    }
    stageMenuStep_ = i;
    return stageMenu_;
}

}  // namespace vantrel

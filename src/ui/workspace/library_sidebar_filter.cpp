// SPDX-License-Identifier: GPL-3.0-or-later
// The library's rows: which entries they list, in what order and groups, and which of
// them the search keeps.
#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QToolButton>

#include "core/store/library_order.h"
#include "ui/style/quiet_hover_style.h"
#include "ui/style/studio_widgets.h"
#include "ui/workspace/library_row_delegate.h"
#include "ui/workspace/library_search_field.h"
#include "ui/workspace/library_sidebar.h"
#include "ui/workspace/tag_editor_dialog.h"
#include "ui/workspace/thumbnail_cache.h"

namespace vantrel {

namespace {

// The menu's item, and the shorter text the button shows for it (the column is narrow).
QString orderTitle(LibraryOrder order) {
    switch (order) {
    case LibraryOrder::name: return QStringLiteral("按名称");
    case LibraryOrder::lastChange: return QStringLiteral("按最近修改");
    case LibraryOrder::creation: break;
    }
    return QStringLiteral("按创建顺序");
}
QString orderButtonText(LibraryOrder order) { return orderTitle(order).mid(1); }

QToolButton* menuButton(const QString& name, const QString& help, StudioIcons::Glyph glyph, QWidget* parent) {
    auto* b = new QToolButton(parent);
    b->setPopupMode(QToolButton::InstantPopup);
    b->setStyleSheet(QStringLiteral("QToolButton::menu-indicator{image:none;width:0px;}"));
    b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    b->setIcon(StudioIcons::icon(glyph));
    b->setAutoRaise(true);
    b->setCursor(Qt::PointingHandCursor);
    StudioWidgets::describe(b, name, help);
    StudioWidgets::keepColor(b, StudioStyle::textSecondary, QPalette::ButtonText);
    b->setMenu(new QMenu(name, b));
    return b;
}

}  // namespace

QString LibrarySidebar::scopeTitle(const std::string& scope) {
    if (scope == kLibraryScopeFavorites) return QStringLiteral("收藏");
    if (scope == kLibraryScopeMine) return QStringLiteral("我的战术");
    return QStringLiteral("所有战术");
}

void LibrarySidebar::buildViewMenus(QWidget* content, QHBoxLayout* row) {
    sortButton_ = menuButton(QStringLiteral("排序方式"), QStringLiteral("我的战术的排列顺序"), StudioIcons::Glyph::sort, content);
    for (LibraryOrder order : {LibraryOrder::name, LibraryOrder::lastChange, LibraryOrder::creation}) {
        QAction* action = sortButton_->menu()->addAction(orderTitle(order));
        action->setCheckable(true);
        action->setData(QString::fromLatin1(libraryOrderKey(order).data(), qsizetype(libraryOrderKey(order).size())));
        connect(action, &QAction::triggered, this, [this, order] {
            workspace_.setLibrarySortOrder(libraryOrderKey(order));
            refresh();
        });
    }
    row->addWidget(sortButton_);
    groupButton_ = menuButton(QStringLiteral("按标签分组"), QStringLiteral("按所选标签分组我的战术，或全部显示"),
                              StudioIcons::Glyph::label, content);
    // The tags change with the library: the menu lists them when it opens.
    connect(groupButton_->menu(), &QMenu::aboutToShow, this, [this] {
        QMenu* menu = groupButton_->menu();
        menu->clear();
        std::vector<std::string> choices{""};
        for (auto& tag : tagsInUse(entries_)) choices.push_back(std::move(tag));
        for (const std::string& tag : choices) {
            QAction* action = menu->addAction(tag.empty() ? QStringLiteral("全部显示") : QString::fromStdString(tag));
            action->setCheckable(true);
            action->setChecked(tag == groupTag_);
            connect(action, &QAction::triggered, this, [this, tag] { setGroupTag(tag); });
        }
    });
    row->addWidget(groupButton_);
}

void LibrarySidebar::setGroupTag(std::string tag) {
    workspace_.setLibraryGroupTag(tag);
    groupTag_ = std::move(tag);
    refresh();
}

void LibrarySidebar::setSearchText(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    query_ = TacticSearch::parse(std::string_view(utf8.constData(), std::size_t(utf8.size())));
    applySearch();
}

void LibrarySidebar::setThumbnailFolder(const QString& folder) { thumbnails_->setFolder(folder); }

void LibrarySidebar::editTags(const std::string& key) {
    const LibraryEntry* entry = entryFor(key);
    if (!entry) return;
    // The entries may be rebuilt while the sheet is open: it works on copies.
    TagEditorDialog sheet(entry->tactic->tags, tagsInUse(entries_), this);
    if (sheet.exec() == QDialog::Accepted) store_.ownTactics().setTags(key, sheet.tags());
}

void LibrarySidebar::refreshExpansion() {
    const bool expanded = workspace_.builtinLibraryExpanded();
    builtinHeader_->setChecked(expanded);
    builtinHeader_->setIcon(StudioIcons::icon(expanded ? StudioIcons::Glyph::expandMore : StudioIcons::Glyph::chevronRight));
    builtinHeader_->setAccessibleDescription(expanded ? QStringLiteral("已展开") : QStringLiteral("已收起"));
    applySearch();
}

void LibrarySidebar::rebuildEntries() {
    const auto favorites = workspace_.favorites();
    entries_ = libraryEntries(store_, favorites, scope_);
    shownRevision_ = store_.libraryRevision();
    entryIndex_.clear();
    for (std::size_t i = 0; i < entries_.size(); ++i) entryIndex_.emplace(entries_[i].id, i);
    haystacks_.clear();   // folded again when the next search needs them
    const LibraryOrder order = parseLibraryOrder(workspace_.librarySortOrder());
    // Rows are rebuilt only when what they show changed; a step edit or an autosave
    // that leaves names, counts, stars, tags and the order alone repaints them instead.
    // Each row's look in one string: a rename or a new star changes one of them.
    // Indexed as entries_.
    std::vector<std::string> rowLooks;
    rowLooks.reserve(entries_.size());
    std::string signature = scope_ + "|" + std::string(libraryOrderKey(order)) + "|" + groupTag_;
    for (const auto& e : entries_) {
        std::string look = e.id + "/" + e.tactic->name + "/" + std::to_string(e.tactic->steps.size()) +
                           (favorites.contains(e.id) ? "*" : "");
        for (const auto& tag : e.tactic->tags) look.append("#").append(tag);
        signature.append("|").append(look);
        if (order == LibraryOrder::lastChange && e.saved)
            signature.append("@").append(std::to_string(e.saved->changedAt.value_or(0)));
        rowLooks.push_back(std::move(look));
    }
    for (QAction* action : scopeButton_->menu()->actions())
        action->setChecked(action->data().toString().toStdString() == scope_);
    scopeButton_->setText(scopeTitle(scope_));
    for (QAction* action : sortButton_->menu()->actions())
        action->setChecked(parseLibraryOrder(action->data().toString().toStdString()) == order);
    sortButton_->setText(orderButtonText(order));
    // A long tag is cut on the button (the column is narrow); the menu shows it whole.
    const QString tag = QString::fromStdString(groupTag_);
    groupButton_->setText(tag.isEmpty() ? QStringLiteral("全部") : tag.size() > 6 ? tag.left(5) + QStringLiteral("…") : tag);
    if (signature == shownSignature_) {
        applySearch();
        return;
    }
    shownSignature_ = std::move(signature);

    std::vector<const LibraryEntry*> builtIns, own, other;
    for (const auto& e : entries_) (e.builtinIndex ? builtIns : own).push_back(&e);
    orderOwnEntries(own, order);
    if (!groupTag_.empty()) {
        const auto untagged = std::stable_partition(own.begin(), own.end(), [this](const LibraryEntry* e) {
            return std::find(e->tactic->tags.begin(), e->tactic->tags.end(), groupTag_) != e->tactic->tags.end();
        });
        other.assign(untagged, own.end());
        own.erase(untagged, own.end());
    }
    fillList(builtinList_, builtIns, rowLooks);
    fillList(ownList_, own, rowLooks);
    fillList(otherList_, other, rowLooks);
    builtinHeader_->setAccessibleName(QStringLiteral("示范战术"));
    ownTitle_->setText(groupTag_.empty() ? QStringLiteral("我的战术") : QStringLiteral("我的战术 · %1").arg(QString::fromStdString(groupTag_)));
    ownTitle_->setAccessibleName(ownTitle_->text());
    ownList_->setAccessibleName(ownTitle_->text());
    refreshExpansion();
}

void LibrarySidebar::fillList(QListWidget* list, const std::vector<const LibraryEntry*>& rows,
                              std::vector<std::string>& looks) {
    const auto favorites = workspace_.favorites();
    // Rows are reused, and a row whose look is what it shows is not touched at all: a
    // rename or a new star rewrites one row of a thousand.
    std::vector<std::string>& shown = shownLooks_[list];
    while (list->count() > int(rows.size())) delete list->takeItem(list->count() - 1);
    shown.resize(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const LibraryEntry* e = rows[i];
        const bool existing = int(i) < list->count();
        std::string& look = looks[static_cast<std::size_t>(e - entries_.data())];
        if (existing && shown[i] == look) continue;
        shown[i] = std::move(look);
        QListWidgetItem* item = existing ? list->item(int(i)) : new QListWidgetItem(list);
        const bool favorite = favorites.contains(e->id);
        const QString meta = QStringLiteral("%1 个阶段").arg(e->tactic->steps.size());
        QString tags;
        for (const auto& tag : e->tactic->tags) tags += (tags.isEmpty() ? QString() : QStringLiteral("、")) + QString::fromStdString(tag);
        item->setText(QString::fromStdString(e->tactic->name));
        item->setData(libraryKeyRole, QString::fromStdString(e->id));
        item->setData(libraryMetaRole, meta);
        item->setData(libraryFavoriteRole, favorite);
        item->setData(libraryTagsRole, tags);
        QString description = favorite ? meta + QStringLiteral("，已收藏") : meta;
        if (!tags.isEmpty()) description += QStringLiteral("，标签：") + tags;
        item->setData(Qt::AccessibleDescriptionRole, description);
        item->setSizeHint(QSize(200, kLibraryRowHeight));
    }
}

void LibrarySidebar::applySearch() {
    const bool searching = !query_.empty();
    if (searching && haystacks_.size() != entries_.size()) {
        haystacks_.clear();
        haystacks_.reserve(entries_.size());
        for (const auto& e : entries_) haystacks_.push_back(TacticSearch::searchableText(*e.tactic));
    }
    // Rows stay and are hidden: a keystroke touches flags, not a thousand items. The rows
    // of a collapsed list are hidden too: a hidden list's rows would still tell a screen
    // reader they are showing. Returns the matches, listed or not.
    const auto filter = [&](QListWidget* list, bool listed) {
        int shown = 0;
        for (int row = 0; row < list->count(); ++row) {
            bool match = true;
            if (searching) {
                const auto it = entryIndex_.find(list->item(row)->data(libraryKeyRole).toString().toStdString());
                match = it != entryIndex_.end() && TacticSearch::matches(query_, haystacks_[it->second]);
            }
            const bool hidden = !match || !listed;
            if (list->isRowHidden(row) != hidden) list->setRowHidden(row, hidden);
            shown += match ? 1 : 0;
        }
        // A season's list scrolls in itself past a dozen rows, so the stages below stay in reach.
        list->setFixedHeight(std::min(shown, kMaxListedRows) * kLibraryRowHeight + 2);
        return shown;
    };
    const bool expanded = workspace_.builtinLibraryExpanded();
    const int builtIns = filter(builtinList_, expanded || searching), own = filter(ownList_, true),
              other = filter(otherList_, true);
    builtinHeader_->setText(QStringLiteral("示范战术  %1").arg(builtIns));
    builtinHeader_->setVisible(builtIns > 0);
    builtinList_->setVisible((expanded || searching) && builtIns > 0);
    ownTitle_->setVisible(own > 0);
    ownList_->setVisible(own > 0);
    otherTitle_->setVisible(other > 0);
    otherList_->setVisible(other > 0);
    QString hintText;
    if (searching && builtIns + own + other == 0) hintText = QStringLiteral("没有匹配的战术");
    if (!searching && entries_.empty() && scope_ == kLibraryScopeMine) hintText = QStringLiteral("点击 + 创建自己的战术");
    if (!searching && entries_.empty() && scope_ == kLibraryScopeFavorites) hintText = QStringLiteral("右键战术可加入收藏");
    emptyHint_->setText(hintText);
    emptyHint_->setAccessibleName(hintText);
    emptyHint_->setVisible(!hintText.isEmpty());
    for (QListWidget* list : {builtinList_, ownList_, otherList_}) list->viewport()->update();
}

const LibraryEntry* LibrarySidebar::entryFor(const std::string& key) const {
    const auto it = entryIndex_.find(key);
    return it == entryIndex_.end() ? nullptr : &entries_[it->second];
}

}  // namespace vantrel

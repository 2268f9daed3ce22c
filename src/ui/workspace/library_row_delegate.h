// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStyledItemDelegate>

#include <functional>
#include <string>

#include "core/library/tactic_search.h"
#include "core/store/board_store.h"

namespace vantrel {

class ThumbnailCache;

// The data a library row carries besides its name (Qt::DisplayRole).
enum LibraryRowRole { libraryKeyRole = Qt::UserRole + 1, libraryMetaRole, libraryFavoriteRole, libraryTagsRole };

inline constexpr int kLibraryRowHeight = 56;
// Rows a library list shows before it scrolls in itself.
inline constexpr int kMaxListedRows = 12;

// One library row: the first stage's picture, the name (the search's words highlighted)
// over "N 个阶段 · state · tags", a star for a favourite, and the open tactic marked with
// a brand bar on a soft brand fill.
class LibraryRowDelegate final : public QStyledItemDelegate {
public:
    struct Context {
        const BoardStore& store;
        const TacticSearch::Query& query;
        ThumbnailCache* thumbnails;   // null: no pictures
        std::function<const Tactic*(const std::string& key)> tactic;
    };
    LibraryRowDelegate(Context context, QObject* parent);

    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override { return {200, kLibraryRowHeight}; }
    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    QString rowState(const std::string& key, bool open) const;
    void paintName(QPainter* p, const QRectF& box, const QString& name, const QFont& font, const QColor& color) const;

    Context context_;
};

}  // namespace vantrel

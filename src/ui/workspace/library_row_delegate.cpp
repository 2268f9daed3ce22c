// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/workspace/library_row_delegate.h"

#include <QPainter>

#include "ui/style/studio_icons.h"
#include "ui/style/studio_style.h"
#include "ui/workspace/tactic_state.h"
#include "ui/workspace/thumbnail_cache.h"

namespace vantrel {

LibraryRowDelegate::LibraryRowDelegate(Context context, QObject* parent)
    : QStyledItemDelegate(parent), context_(std::move(context)) {}

QString LibraryRowDelegate::rowState(const std::string& key, bool open) const {
    if (key.starts_with("builtin-")) return QStringLiteral("示范战术");
    return open ? tacticStateText(context_.store) : QStringLiteral("已保存");
}

void LibraryRowDelegate::paintName(QPainter* p, const QRectF& box, const QString& name, const QFont& font,
                                   const QColor& color) const {
    const QFontMetricsF metrics(font);
    const QString shown = metrics.elidedText(name, Qt::ElideRight, box.width());
    if (!context_.query.empty()) {
        // Highlights are in code points of the name; the painted text counts UTF-16 units.
        const QByteArray utf8 = name.toUtf8();
        const auto ranges = TacticSearch::highlights(context_.query, std::string_view(utf8.constData(), std::size_t(utf8.size())));
        std::vector<qsizetype> unitOf{0};
        for (qsizetype i = 0; i < name.size(); ++i)
            if (!name.at(i).isLowSurrogate()) unitOf.push_back(i + 1 < name.size() && name.at(i).isHighSurrogate() ? i + 2 : i + 1);
        p->setPen(Qt::NoPen);
        p->setBrush(StudioStyle::withOpacity(StudioStyle::brand(), 0.22));
        for (const auto& r : ranges) {
            if (r.end >= unitOf.size()) continue;
            const qsizetype from = unitOf[r.begin], to = unitOf[r.end];
            if (to > shown.size()) continue;   // elided away
            const qreal x0 = metrics.horizontalAdvance(shown.left(from)), x1 = metrics.horizontalAdvance(shown.left(to));
            p->drawRoundedRect(QRectF(box.left() + x0 - 1, box.center().y() - metrics.height() / 2, x1 - x0 + 2, metrics.height()), 3, 3);
        }
    }
    p->setFont(font);
    p->setPen(color);
    p->drawText(box, Qt::AlignLeft | Qt::AlignVCenter, shown);
}

void LibraryRowDelegate::paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    p->save();
    p->setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(option.rect).adjusted(4, 2, -4, -2);
    const std::string key = index.data(libraryKeyRole).toString().toStdString();
    const bool open = key == context_.store.selectedTacticKey();
    const bool hover = option.state & QStyle::State_MouseOver;
    if (open || hover) {
        p->setPen(Qt::NoPen);
        p->setBrush(open ? StudioStyle::brandSoft() : StudioStyle::withOpacity(StudioStyle::brand(), 0.05));
        p->drawRoundedRect(r, 8, 8);
    }
    if (open) {
        p->setBrush(StudioStyle::brand());
        p->drawRoundedRect(QRectF(r.left() + 3, r.top() + 10, 3, r.height() - 20), 1.5, 1.5);
    }
    if (option.state & QStyle::State_HasFocus) {
        p->setPen(QPen(StudioStyle::withOpacity(StudioStyle::brand(), 0.6), 1.5));
        p->setBrush(Qt::NoBrush);
        p->drawRoundedRect(r.adjusted(1, 1, -1, -1), 7, 7);
    }
    qreal textLeft = r.left() + 14;
    if (context_.thumbnails) {
        const QRectF box(r.left() + 12, r.center().y() - ThumbnailCache::kHeight / 2.0, ThumbnailCache::kWidth,
                         ThumbnailCache::kHeight);
        const Tactic* tactic = context_.tactic(key);
        const QImage picture = tactic ? context_.thumbnails->image(*tactic) : QImage();
        p->setPen(Qt::NoPen);
        p->setBrush(StudioStyle::withOpacity(StudioStyle::textSecondary(), 0.10));
        p->drawRoundedRect(box, 4, 4);   // the place holder while the picture is painted
        if (!picture.isNull()) p->drawImage(box, picture);
        textLeft = box.right() + 10;
    }
    const bool favorite = index.data(libraryFavoriteRole).toBool();
    const QRectF text(textLeft, r.top() + 6, r.right() - (favorite ? 30 : 10) - textLeft, r.height() - 12);
    QFont nameFont = option.font;
    nameFont.setPixelSize(13);
    nameFont.setWeight(open ? QFont::DemiBold : QFont::Medium);
    paintName(p, QRectF(text.left(), text.top(), text.width(), text.height() / 2 + 2),
              index.data(Qt::DisplayRole).toString(), nameFont, open ? StudioStyle::brand() : StudioStyle::textPrimary());
    QFont metaFont = option.font;
    metaFont.setPixelSize(11);
    p->setFont(metaFont);
    p->setPen(StudioStyle::textSecondary());
    QString meta = index.data(libraryMetaRole).toString() + QStringLiteral(" · ") + rowState(key, open);
    if (const QString tags = index.data(libraryTagsRole).toString(); !tags.isEmpty()) meta += QStringLiteral(" · ") + tags;
    p->drawText(QRectF(text.left(), text.center().y(), text.width(), text.height() / 2), Qt::AlignLeft | Qt::AlignVCenter,
                QFontMetrics(metaFont).elidedText(meta, Qt::ElideRight, int(text.width())));
    if (favorite) {
        const QIcon star = StudioIcons::icon(StudioIcons::Glyph::star, StudioStyle::brand);
        const QRectF box(r.right() - 26, r.center().y() - 8, 16, 16);
        if (!star.isNull()) star.paint(p, box.toRect());
        else { p->setPen(StudioStyle::brand()); p->drawText(box, Qt::AlignCenter, QStringLiteral("★")); }
    }
    p->restore();
}

}  // namespace vantrel

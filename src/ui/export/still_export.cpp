// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/export/still_export.h"
#include "ui/export/handout_text.h"

#include <QFile>
#include <QFont>
#include <QFontMetricsF>
#include <QImageWriter>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

#include "core/model/step_title.h"
#include "ui/export/pending_file.h"

namespace vantrel {

namespace {

QString qt(const std::string& s) { return QString::fromStdString(s); }

constexpr qreal kMargin = kPageMargin;
// The pencil drawings, which stay images, are drawn this many pixels per point: 288 dpi,
// sharp in print (a summary's small boards share them).
constexpr qreal kHandoutImageRatio = 4;
constexpr qreal kWidth = kPageWidth - 2 * kMargin;
// The flat board of a stage page; a summary cell keeps its proportions.
constexpr qreal kBoardHeight = 392;
// The summary's stages: four to a row, two rows under the header, three on a page that
// continues it.
constexpr int kSummaryColumns = 4;
constexpr int kFirstSummaryStages = 2 * kSummaryColumns;
constexpr int kMoreSummaryStages = 3 * kSummaryColumns;
constexpr qreal kCellGap = 14;
constexpr qreal kCellWidth = (kWidth - (kSummaryColumns - 1) * kCellGap) / kSummaryColumns;
constexpr qreal kCellBoardHeight = kCellWidth * kBoardHeight / kWidth;
constexpr qreal kCellHeight = kCellBoardHeight + 4 + 14 + 2 * 12 + 10;

}  // namespace

// Droid Sans Fallback has no CJK radical characters, so every glyph of the PDF maps back
// to the character written: with Noto Sans CJK, "一" shares its glyph with the Kangxi
// radical "⼀", and text copied out of the PDF gets the radical. Noto serves where Droid
// is missing.
QFont handoutFont(qreal points, bool bold) {
    QFont font;
    font.setFamilies({QStringLiteral("Droid Sans Fallback"), QStringLiteral("Noto Sans CJK SC")});
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

namespace {

int summaryPages(std::size_t stages) {
    const int n = static_cast<int>(stages);
    return n <= kFirstSummaryStages ? 1 : 1 + (n - kFirstSummaryStages + kMoreSummaryStages - 1) / kMoreSummaryStages;
}

}  // namespace

void setUpPages(QPdfWriter& pdf, const QString& title) {
    pdf.setTitle(title);
    pdf.setCreator(QStringLiteral("Vantrel"));
    pdf.setResolution(72);   // one device unit per point
    pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF()));
}

QStringList wrapLines(const QString& text, const QFont& font, qreal width, int maxLines) {
    const QFontMetricsF metrics(font);
    QStringList lines;
    QString rest = text.simplified();
    while (!rest.isEmpty() && lines.size() < maxLines) {
        int fit = rest.size();
        while (fit > 1 && metrics.horizontalAdvance(rest.left(fit)) > width) --fit;
        if (lines.size() + 1 == maxLines && fit < rest.size()) {
            lines << metrics.elidedText(rest, Qt::ElideRight, width);
            break;
        }
        lines << rest.left(fit);
        rest = rest.mid(fit).trimmed();
    }
    return lines;
}

namespace {

class HandoutPages {
public:
    HandoutPages(QPdfWriter& pdf, QPainter& painter, ExportDisplay display, int total)
        : pdf_(pdf), painter_(painter), display_(display), total_(total) {}

    void tactic(const Tactic& tactic) {
        summary(tactic);
        for (int i = 0; i < static_cast<int>(tactic.steps.size()); ++i) stage(tactic, i);
    }

private:
    void newPage() {
        if (page_++ > 0) pdf_.newPage();
    }
    void footer() {
        painter_.setPen(QColor(0x8e, 0x8e, 0x93));
        painter_.setFont(handoutFont(9, false));
        painter_.drawText(QRectF(kMargin, kPageHeight - kMargin + 4, kWidth, 16), Qt::AlignRight | Qt::AlignVCenter,
                          QStringLiteral("%1 / %2").arg(page_).arg(total_));
    }
    void text(const QRectF& rect, const QString& s, qreal points, bool bold, QColor colour,
              int flags = Qt::AlignLeft | Qt::AlignVCenter) {
        painter_.setPen(colour);
        painter_.setFont(handoutFont(points, bold));
        painter_.drawText(rect, flags, s);
    }

    void summary(const Tactic& tactic) {
        const int count = static_cast<int>(tactic.steps.size());
        const QColor primary(0x1c, 0x1c, 0x1e), secondary(0x6e, 0x6e, 0x73);
        int shown = 0;
        for (int page = 0; shown < count; ++page) {
            newPage();
            qreal top = kMargin;
            if (page == 0) {
                text(QRectF(kMargin, top - 6, kWidth, 30), qt(tactic.name), 20, true, primary);
                text(QRectF(kMargin, top + 26, kWidth, 20),
                     QStringLiteral("%1 人制 · %2 个阶段").arg(tactic.format).arg(count), 12, false, secondary);
                top += 60;
            } else {
                text(QRectF(kMargin, top - 6, kWidth, 24), qt(tactic.name) + QStringLiteral("（续）"), 13, true, primary);
                top += 28;
            }
            const int onPage = std::min(count - shown, page == 0 ? kFirstSummaryStages : kMoreSummaryStages);
            for (int k = 0; k < onPage; ++k, ++shown) {
                const QPointF at(kMargin + (k % kSummaryColumns) * (kCellWidth + kCellGap),
                                 top + (k / kSummaryColumns) * kCellHeight);
                cell(tactic, shown, at);
            }
            footer();
        }
    }

    void cell(const Tactic& tactic, int i, QPointF at) {
        const BoardStep& step = tactic.steps[static_cast<std::size_t>(i)];
        painter_.save();
        painter_.translate(at);
        // The stage page's board made small: tokens and arrows keep their share of the pitch.
        painter_.scale(kCellWidth / kWidth, kCellWidth / kWidth);
        frame_.paintBoard(painter_, stepScene(tactic, i, display_), QSizeF(kWidth, kBoardHeight), kHandoutImageRatio / 2);
        painter_.restore();
        qreal y = at.y() + kCellBoardHeight + 4;
        const QString caption = QStringLiteral("阶段 %1 · %2").arg(i + 1).arg(qt(cleanStepTitle(step.title)));
        const QFont captionFont = handoutFont(9.5, true);
        text(QRectF(at.x(), y, kCellWidth, 14),
             QFontMetricsF(captionFont).elidedText(caption, Qt::ElideRight, kCellWidth), 9.5, true, QColor(0x1c, 0x1c, 0x1e));
        y += 14;
        const QFont noteFont = handoutFont(8.5, false);
        for (const QString& line : wrapLines(qt(writtenNote(step.note)), noteFont, kCellWidth, 2)) {
            text(QRectF(at.x(), y, kCellWidth, 12), line, 8.5, false, QColor(0x3a, 0x3a, 0x3c));
            y += 12;
        }
    }

    void stage(const Tactic& tactic, int i) {
        newPage();
        const BoardStep& step = tactic.steps[static_cast<std::size_t>(i)];
        text(QRectF(kMargin, kMargin - 6, kWidth, 28), qt(tactic.name), 18, true, QColor(0x1c, 0x1c, 0x1e));
        text(QRectF(kMargin, kMargin + 24, kWidth, 22),
             QStringLiteral("阶段 %1 · %2").arg(i + 1).arg(qt(cleanStepTitle(step.title))), 13, false, QColor(0x1c, 0x1c, 0x1e));
        painter_.save();
        painter_.translate(kMargin, kMargin + 54);
        frame_.paintBoard(painter_, stepScene(tactic, i, display_), QSizeF(kWidth, kBoardHeight), kHandoutImageRatio);
        painter_.restore();
        const QRectF noteRect(kMargin, kMargin + 54 + kBoardHeight + 10, kWidth,
                              kPageHeight - kMargin - (kMargin + 64 + kBoardHeight) - 14);
        text(noteRect, qt(writtenNote(step.note)), 11, false, QColor(0x3a, 0x3a, 0x3c),
             Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap);
        footer();
    }

    QPdfWriter& pdf_;
    QPainter& painter_;
    ExportDisplay display_;
    ExportFrame frame_{ExportView::flat};
    const int total_;
    int page_ = 0;
};

}  // namespace

Status writeBoardImage(const BoardScene& scene, ExportView view, QSizeF size, qreal dpr, const std::filesystem::path& path) {
    auto pending = PendingFile::create(path);
    if (!pending) return Status::failure(pending.error());
    const QImage image = ExportFrame(view).image(scene, size, dpr);
    auto device = pending.value().open();
    if (!device) return Status::failure(device.error());
    QImageWriter writer(device.value().get(), "png");
    // zlib level 2 instead of 6: a board of flat fills packs almost as small, three times faster.
    writer.setQuality(70);
    const bool encoded = writer.write(image);
    // The device knows why a write failed (a full disk); libpng only that one did.
    if (Status finished = device.value()->finish(path); !finished) return finished;
    if (!encoded) return Status::failure("无法写入 " + path.string() + "：" + writer.errorString().toStdString());
    return pending.value().commit();
}

Status writeBoardVector(const BoardScene& scene, ExportView view, QSizeF size, const std::filesystem::path& path) {
    auto pending = PendingFile::create(path);
    if (!pending) return Status::failure(pending.error());
    auto device = pending.value().open();
    if (!device) return Status::failure(device.error());
    {
        QSvgGenerator svg;
        svg.setOutputDevice(device.value().get());
        svg.setSize(size.toSize());
        svg.setViewBox(QRectF(QPointF(0, 0), size));
        svg.setTitle(QStringLiteral("Vantrel"));
        QPainter painter;
        if (!painter.begin(&svg)) return Status::failure("无法创建 SVG");
        // The pencil drawings, which stay images, at twice the points: sharp on a 4K screen.
        ExportFrame(view).paint(painter, scene, size, 2);
        if (!painter.end()) return Status::failure("无法写完 SVG");
    }
    if (Status finished = device.value()->finish(path); !finished) return finished;
    return pending.value().commit();
}

Status writeHandout(const std::vector<Tactic>& tactics, ExportDisplay display, const std::filesystem::path& path) {
    if (tactics.empty()) return Status::failure("没有要导出的战术");
    int total = 0;
    for (const Tactic& tactic : tactics) {
        if (tactic.steps.empty()) return Status::failure("战术没有阶段：" + tactic.name);
        total += summaryPages(tactic.steps.size()) + static_cast<int>(tactic.steps.size());
    }
    auto pending = PendingFile::create(path);
    if (!pending) return Status::failure(pending.error());

    auto device = pending.value().open();
    if (!device) return Status::failure(device.error());
    {
        QPdfWriter pdf(device.value().get());
        setUpPages(pdf, qt(tactics.front().name));
        QPainter painter;
        if (!painter.begin(&pdf)) return Status::failure("无法创建 PDF");
        HandoutPages pages(pdf, painter, display, total);
        for (const Tactic& tactic : tactics) pages.tactic(tactic);
        if (!painter.end()) return Status::failure("无法写完 PDF");
    }
    // QPdfWriter ignores failed writes: the device has kept the first one.
    if (Status finished = device.value()->finish(path); !finished) return finished;
    return pending.value().commit();
}

}  // namespace vantrel

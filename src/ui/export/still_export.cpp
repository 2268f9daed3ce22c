// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/export/still_export.h"

#include <QFile>
#include <QFont>
#include <QImageWriter>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include "core/model/step_title.h"
#include "ui/export/pending_file.h"

namespace vantrel {

namespace {

QString qt(const std::string& s) { return QString::fromStdString(s); }

// The handout's page, in points (1/72 inch) of A4 landscape.
constexpr qreal kPageWidth = 841.89;
constexpr qreal kPageHeight = 595.28;
constexpr qreal kMargin = 36;
// The cached pitch and tokens are drawn this many pixels per point: 288 dpi, sharp in print.
constexpr qreal kHandoutImageRatio = 4;

QFont handoutFont(qreal points, bool bold) {
    QFont font(QStringLiteral("Noto Sans CJK SC"));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

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

Status writeHandout(const Tactic& tactic, ExportDisplay display, const std::filesystem::path& path) {
    if (tactic.steps.empty()) return Status::failure("战术没有阶段");
    auto pending = PendingFile::create(path);
    if (!pending) return Status::failure(pending.error());

    auto device = pending.value().open();
    if (!device) return Status::failure(device.error());
    {
        QPdfWriter pdf(device.value().get());
        pdf.setTitle(qt(tactic.name));
        pdf.setCreator(QStringLiteral("Vantrel"));
        pdf.setResolution(72);   // one device unit per point
        pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF()));
        QPainter painter;
        if (!painter.begin(&pdf)) return Status::failure("无法创建 PDF");

        ExportFrame frame(ExportView::flat);
        const qreal width = kPageWidth - 2 * kMargin;
        const QSizeF boardSize(width, 392);
        const int count = static_cast<int>(tactic.steps.size());
        for (int i = 0; i < count; ++i) {
            if (i > 0) pdf.newPage();
            const BoardStep& step = tactic.steps[static_cast<std::size_t>(i)];
            painter.setPen(QColor(0x1c, 0x1c, 0x1e));
            painter.setFont(handoutFont(18, true));
            painter.drawText(QRectF(kMargin, kMargin - 6, width, 28), Qt::AlignLeft | Qt::AlignVCenter, qt(tactic.name));
            painter.setFont(handoutFont(13, false));
            const QString stage = QStringLiteral("阶段 %1 · %2").arg(i + 1).arg(qt(cleanStepTitle(step.title)));
            painter.drawText(QRectF(kMargin, kMargin + 24, width, 22), Qt::AlignLeft | Qt::AlignVCenter, stage);

            painter.save();
            painter.translate(kMargin, kMargin + 54);
            frame.paintBoard(painter, stepScene(tactic, i, display), boardSize, kHandoutImageRatio);
            painter.restore();

            painter.setPen(QColor(0x3a, 0x3a, 0x3c));
            painter.setFont(handoutFont(11, false));
            const QRectF noteRect(kMargin, kMargin + 54 + boardSize.height() + 10, width,
                                  kPageHeight - kMargin - (kMargin + 64 + boardSize.height()) - 14);
            painter.drawText(noteRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, qt(writtenNote(step.note)));
            painter.setPen(QColor(0x8e, 0x8e, 0x93));
            painter.setFont(handoutFont(9, false));
            painter.drawText(QRectF(kMargin, kPageHeight - kMargin + 4, width, 16), Qt::AlignRight | Qt::AlignVCenter,
                             QStringLiteral("%1 / %2").arg(i + 1).arg(count));
        }
        if (!painter.end()) return Status::failure("无法写完 PDF");
    }
    // QPdfWriter ignores failed writes: the device has kept the first one.
    if (Status finished = device.value()->finish(path); !finished) return finished;
    return pending.value().commit();
}

}  // namespace vantrel

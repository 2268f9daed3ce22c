// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/export/job_sheets.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>
#include <system_error>

#include "core/model/step_title.h"
#include "ui/export/handout_text.h"
#include "ui/export/pending_file.h"

namespace vantrel {

namespace {

QString qt(const std::string& s) { return QString::fromStdString(s); }

// The board keeps the handout's stage-page proportions.
constexpr qreal kMargin = kPageMargin;
constexpr qreal kWidth = kPageWidth - 2 * kMargin;
constexpr qreal kBoardWidth = 500;
constexpr qreal kBoardHeight = kBoardWidth * 392 / kWidth;
constexpr qreal kColumnGap = 20;
constexpr qreal kImageRatio = 4;   // pencil drawings, in pixels per point

const QColor kPrimary(0x1c, 0x1c, 0x1e), kSecondary(0x6e, 0x6e, 0x73), kBody(0x3a, 0x3a, 0x3c);

void text(QPainter& p, const QRectF& rect, const QString& s, qreal points, bool bold, QColor colour,
          int flags = Qt::AlignLeft | Qt::AlignVCenter) {
    p.setPen(colour);
    p.setFont(handoutFont(points, bold));
    p.drawText(rect, flags, s);
}

// "10 号 陈晨", the file's name and the page's title.
QString heading(const Tactic& tactic, const Player& player) {
    QString s = QStringLiteral("%1 号").arg(shirtNumber(tactic, player));
    if (const SquadPlayer* named = squadPlayer(tactic, player); named && named->name) s += u' ' + qt(*named->name);
    return s;
}

void paintSheet(QPainter& p, const Tactic& tactic, const Player& player, ExportDisplay display) {
    const SquadPlayer* named = squadPlayer(tactic, player);
    text(p, QRectF(kMargin, kMargin - 6, kWidth, 30), heading(tactic, player), 20, true, kPrimary);
    QStringList about;
    if (named && named->role) about << qt(*named->role);
    about << qt(teamName(tactic, player.team)) << qt(tactic.name) << QStringLiteral("个人任务");
    text(p, QRectF(kMargin, kMargin + 26, kWidth, 20), about.join(QStringLiteral(" · ")), 12, false, kSecondary);

    // His path over the first stage; the arrows into it would be someone else's job.
    display.focusPlayer = player.id;
    display.showMoves = false;
    display.showInterceptionRisk = false;
    const qreal top = kMargin + 60;
    p.save();
    p.translate(kMargin, top);
    ExportFrame(ExportView::flat).paintBoard(p, stepScene(tactic, 0, display), QSizeF(kBoardWidth, kBoardHeight), kImageRatio);
    p.restore();

    // The stages beside the board: his numbered stops match these numbers.
    const qreal x = kMargin + kBoardWidth + kColumnGap, width = kPageWidth - kMargin - x;
    const qreal bottom = kPageHeight - kMargin;
    const QFont titleFont = handoutFont(10, true), noteFont = handoutFont(9, false);
    qreal y = top;
    const int count = static_cast<int>(tactic.steps.size());
    for (int i = 0; i < count; ++i) {
        const BoardStep& step = tactic.steps[static_cast<std::size_t>(i)];
        const QStringList note = wrapLines(qt(writtenNote(step.note)), noteFont, width, 3);
        if (y + 16 + 13 * note.size() > bottom - 16) {
            text(p, QRectF(x, y, width, 16), QStringLiteral("……共 %1 个阶段").arg(count), 9, false, kSecondary);
            break;
        }
        const QString title = QStringLiteral("阶段 %1 · %2").arg(i + 1).arg(qt(cleanStepTitle(step.title)));
        text(p, QRectF(x, y, width, 16), QFontMetricsF(titleFont).elidedText(title, Qt::ElideRight, width), 10, true, kPrimary);
        y += 17;
        for (const QString& line : note) {
            text(p, QRectF(x, y, width, 13), line, 9, false, kBody);
            y += 13;
        }
        y += 8;
    }
}

Status writeSheet(const Tactic& tactic, const Player& player, ExportDisplay display, const std::filesystem::path& path) {
    auto pending = PendingFile::create(path);
    if (!pending) return Status::failure(pending.error());
    auto device = pending.value().open();
    if (!device) return Status::failure(device.error());
    {
        QPdfWriter pdf(device.value().get());
        setUpPages(pdf, heading(tactic, player) + QStringLiteral(" · ") + qt(tactic.name));
        QPainter painter;
        if (!painter.begin(&pdf)) return Status::failure("无法创建 PDF");
        painter.setRenderHint(QPainter::Antialiasing);
        paintSheet(painter, tactic, player, display);
        if (!painter.end()) return Status::failure("无法写完 PDF");
    }
    if (Status finished = device.value()->finish(path); !finished) return finished;
    return pending.value().commit();
}

}  // namespace

Result<std::vector<std::filesystem::path>> writeJobSheets(const Tactic& tactic, ExportDisplay display,
                                                          const std::filesystem::path& folder) {
    using R = Result<std::vector<std::filesystem::path>>;
    if (tactic.steps.empty()) return R::failure("战术没有阶段：" + tactic.name);
    std::vector<Player> squad;
    for (const Player& player : tactic.steps.front().players)
        if (player.team == 0) squad.push_back(player);
    std::sort(squad.begin(), squad.end(),
              [&](const Player& a, const Player& b) { return shirtNumber(tactic, a) < shirtNumber(tactic, b); });
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (!std::filesystem::is_directory(folder, error)) return R::failure("不是文件夹：" + folder.string());

    std::vector<std::filesystem::path> written;
    for (const Player& player : squad) {
        QString name = heading(tactic, player);
        name.replace(u'/', u'-');
        std::filesystem::path path = folder / (name + QStringLiteral(".pdf")).toStdString();
        if (Status done = writeSheet(tactic, player, display, path); !done) {
            for (const auto& earlier : written) std::filesystem::remove(earlier, error);
            return R::failure(done.error());
        }
        written.push_back(std::move(path));
    }
    return written;
}

}  // namespace vantrel

// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/workspace/squad_sheet.h"

#include <QApplication>
#include <QClipboard>
#include <QColorDialog>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPixmap>
#include <QVBoxLayout>

#include <algorithm>

#include "core/library/roster_csv.h"
#include "core/model/file_io.h"
#include "core/model/tactic_limits.h"
#include "ui/style/studio_style.h"
#include "ui/style/studio_widgets.h"

namespace vantrel {

using namespace StudioWidgets;

namespace {

constexpr std::size_t kMaxRosterFileBytes = 256 * 1024;

QString qt(const std::string& s) { return QString::fromStdString(s); }

QColor defaultKit(int team) { return team == 0 ? StudioStyle::blueTeam() : StudioStyle::orangeTeam(); }

QColor shownKit(const Tactic& tactic, int team) {
    const auto index = static_cast<std::size_t>(team);
    if (index < tactic.teams.size() && tactic.teams[index].color) return QColor(qt(*tactic.teams[index].color));
    return defaultKit(team);
}

QIcon swatch(QColor colour) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(StudioStyle::border(), 1));
    p.setBrush(colour);
    p.drawEllipse(QRectF(1, 1, 14, 14));
    return QIcon(pixmap);
}

std::optional<std::filesystem::path> chooseRosterFile(QWidget* parent) {
    QFileDialog dialog(parent, QStringLiteral("导入 CSV 名单"), QString(),
                       QStringLiteral("表格名单 (*.csv *.tsv *.txt);;所有文件 (*)"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (QGuiApplication::platformName() == QStringLiteral("offscreen")) dialog.setOption(QFileDialog::DontUseNativeDialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return std::filesystem::path(dialog.selectedFiles().constFirst().toStdString());
}

}  // namespace

SquadSheet::SquadSheet(BoardStore& store, QWidget* parent)
    : WorkspaceSheet(QStringLiteral("阵容名单"),
                     QStringLiteral("球队名称、队服颜色和球员名单。名单可从表格粘贴或导入 CSV（号码、姓名、位置），按号码对应球员。"),
                     parent),
      store_(store) {
    setObjectName(QStringLiteral("squadSheet"));
    auto* columns = new QHBoxLayout;
    columns->setSpacing(20);
    columns->addWidget(buildColumn(0));
    columns->addWidget(buildColumn(1));
    body()->addLayout(columns);
    outcome_ = label(QString(), 12, StudioStyle::textSecondary, false, this);
    outcome_->setWordWrap(true);
    body()->addWidget(outcome_);
    addButton(QStringLiteral("完成"), QDialog::Accepted, true, false);
    subscription_ = store_.subscribe([this](StoreChange change) {
        if (any(change & StoreChange::tactic)) refresh();
    });
    refresh();
    teams_[0].name->setFocus();
}

QWidget* SquadSheet::buildColumn(int team) {
    auto* column = new QWidget(this);
    auto* v = new QVBoxLayout(column);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(6);
    TeamColumn& c = teams_[std::size_t(team)];
    const QString side = qt(teamName(team));
    column->setAccessibleName(side);   // the buttons of both columns share their texts
    v->addWidget(sectionTitle(side, column));

    auto* identity = new QHBoxLayout;
    c.name = new QLineEdit(column);
    c.name->setPlaceholderText(side);
    c.name->setMaxLength(int(TacticLimits::kMaxSquadNameCharacters));
    describe(c.name, side + QStringLiteral("队名"), QStringLiteral("替换“%1”显示在球场和导出中").arg(side));
    connect(c.name, &QLineEdit::editingFinished, this, [this, team] {
        const Tactic& tactic = store_.tactic();
        const auto index = static_cast<std::size_t>(team);
        std::optional<std::string> kit = index < tactic.teams.size() ? tactic.teams[index].color : std::nullopt;
        store_.squad().setTeamIdentity(team, teams_[index].name->text().toStdString(), kit);
    });
    identity->addWidget(c.name, 1);
    c.color = button(side + QStringLiteral("队服颜色"), QStringLiteral("选择%1的队服颜色").arg(side), StudioIcons::Glyph::tune, true, column);
    c.color->setText(QStringLiteral("队服颜色"));
    connect(c.color, &QToolButton::clicked, this, [this, team] { chooseColor(team); });
    identity->addWidget(c.color);
    c.defaultColor = button(QStringLiteral("默认颜色"), QStringLiteral("恢复%1的默认颜色").arg(side), StudioIcons::Glyph::undo, false, column);
    connect(c.defaultColor, &QToolButton::clicked, this, [this, team] {
        store_.squad().setTeamIdentity(team, teams_[std::size_t(team)].name->text().toStdString(), std::nullopt);
    });
    identity->addWidget(c.defaultColor);
    v->addLayout(identity);

    c.players = new QListWidget(column);
    c.players->setAccessibleName(side + QStringLiteral("球员"));
    c.players->setMinimumSize(260, 220);
    c.players->setSelectionMode(QAbstractItemView::SingleSelection);
    v->addWidget(c.players);

    auto* roster = new QHBoxLayout;
    c.paste = button(QStringLiteral("粘贴名单"), QStringLiteral("从剪贴板读取表格名单（号码、姓名、位置）到%1").arg(side),
                     StudioIcons::Glyph::importFile, true, column);
    connect(c.paste, &QToolButton::clicked, this, [this, team] {
        takeRoster(team, QApplication::clipboard()->text().toStdString());
    });
    c.import = button(QStringLiteral("导入 CSV…"), QStringLiteral("从 CSV 文件导入%1的名单").arg(side), StudioIcons::Glyph::importFile,
                      true, column);
    connect(c.import, &QToolButton::clicked, this, [this, team] {
        const auto path = chooser_ ? chooser_() : chooseRosterFile(this);
        if (!path) return;
        auto text = readWholeFile(*path, kMaxRosterFileBytes);
        if (!text) {
            store_.reportStatus("名单无法导入：" + text.error());
            announceText(outcome_, qt(store_.status()));
            return;
        }
        takeRoster(team, text.value());
    });
    for (QToolButton* b : {c.color, c.defaultColor, c.paste, c.import}) b->setFocusPolicy(Qt::StrongFocus);
    roster->addWidget(c.paste);
    roster->addWidget(c.import);
    roster->addStretch();
    v->addLayout(roster);
    return column;
}

void SquadSheet::takeRoster(int team, const std::string& text) {
    auto roster = parseRoster(text);
    if (roster) store_.squad().applyRoster(team, roster.value());
    else store_.reportStatus("名单无法导入：" + roster.error());
    // The outcome stays in the sheet, where the coach is looking, as on the status line.
    announceText(outcome_, qt(store_.status()));
}

void SquadSheet::chooseColor(int team) {
    const QColor shown = shownKit(store_.tactic(), team);
    std::optional<QColor> chosen;
    if (colorChooser_) {
        chosen = colorChooser_(shown);
    } else {
        const QColor picked = QColorDialog::getColor(shown, this, QStringLiteral("%1队服颜色").arg(qt(teamName(team))),
                                                     QColorDialog::DontUseNativeDialog);
        if (picked.isValid()) chosen = picked;
    }
    if (!chosen) return;
    store_.squad().setTeamIdentity(team, teams_[std::size_t(team)].name->text().toStdString(),
                           chosen->name(QColor::HexRgb).toUpper().toStdString());
}

void SquadSheet::refresh() {
    const Tactic& tactic = store_.tactic();
    const BoardStep* step = store_.currentStep();
    for (int team = 0; team < 2; ++team) {
        TeamColumn& c = teams_[std::size_t(team)];
        const auto index = static_cast<std::size_t>(team);
        const QString name = index < tactic.teams.size() && tactic.teams[index].name ? qt(*tactic.teams[index].name) : QString();
        if (!c.name->hasFocus() && c.name->text() != name) c.name->setText(name);
        const QColor kit = shownKit(tactic, team);
        c.color->setIcon(swatch(kit));
        c.color->setAccessibleDescription(QStringLiteral("当前颜色 %1").arg(kit.name(QColor::HexRgb).toUpper()));
        c.defaultColor->setEnabled(index < tactic.teams.size() && tactic.teams[index].color.has_value());

        std::vector<const Player*> players;
        if (step)
            for (const Player& p : step->players)
                if (p.team == team) players.push_back(&p);
        std::sort(players.begin(), players.end(),
                  [&](const Player* a, const Player* b) { return shirtNumber(tactic, *a) < shirtNumber(tactic, *b); });
        const int current = c.players->currentRow();
        c.players->clear();
        for (const Player* p : players) {
            QString row = QStringLiteral("%1 号").arg(shirtNumber(tactic, *p));
            const SquadPlayer* named = squadPlayer(tactic, *p);
            row += u' ' + (named && named->name ? qt(*named->name) : QStringLiteral("（未命名）"));
            if (named && named->role) row += QStringLiteral(" · ") + qt(*named->role);
            c.players->addItem(row);
        }
        if (current >= 0 && current < c.players->count()) c.players->setCurrentRow(current);
    }
}

}  // namespace vantrel

// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/workspace/version_history_sheet.h"

#include <QDateTime>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QToolButton>
#include <QVBoxLayout>

#include "core/model/step_title.h"
#include "core/scene/board_scene.h"
#include "ui/render/board_painter.h"
#include "ui/style/studio_style.h"
#include "ui/style/studio_widgets.h"

namespace vantrel {

using namespace StudioWidgets;

// One stage of a version, painted by the board's own painter; it takes no input.
class VersionPreview : public QWidget {
public:
    explicit VersionPreview(QWidget* parent) : QWidget(parent), painter_(BoardPainter::make(BoardPainter::Projection::flat)) {
        setMinimumSize(420, 270);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        setAttribute(Qt::WA_OpaquePaintEvent);
    }
    void setStage(const Tactic* tactic, int step) {
        tactic_ = tactic;
        step_ = step;
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), StudioStyle::surface());
        if (!tactic_) return;
        p.setRenderHint(QPainter::Antialiasing);
        painter_->paint(p, stepScene(*tactic_, step_, SceneDisplay{}), size(), devicePixelRatioF());
    }

private:
    std::unique_ptr<BoardPainter> painter_;
    const Tactic* tactic_ = nullptr;
    int step_ = 0;
};

namespace {

QString versionRow(const TacticVersion& version) {
    const QString when = QDateTime::fromSecsSinceEpoch(version.savedAt).toString(QStringLiteral("yyyy-MM-dd HH:mm"));
    return QStringLiteral("%1 · %2 个阶段").arg(when).arg(version.tactic.steps.size());
}

}  // namespace

VersionHistorySheet::VersionHistorySheet(const QString& tacticName, std::vector<TacticVersion> versions, QWidget* parent)
    : WorkspaceSheet(QStringLiteral("“%1”的历史版本").arg(tacticName),
                     versions.empty() ? QStringLiteral("还没有历史版本。每次保存都会留下之前的版本，最多 20 个，保留 30 天。")
                                      : QStringLiteral("时间是该版本被保存替换的时刻。恢复后，当前版本也会留在历史中。"),
                     parent),
      versions_(std::move(versions)) {
    setObjectName(QStringLiteral("versionHistory"));
    QToolButton* close = addButton(QStringLiteral("关闭"), QDialog::Rejected, false, false);
    if (versions_.empty()) {
        setDefaultResult(QDialog::Rejected);
        close->setFocus();
        return;
    }
    restore_ = addButton(QStringLiteral("恢复此版本"), QDialog::Accepted, true, false);
    describe(restore_, QStringLiteral("恢复此版本"), QStringLiteral("用所选版本替换当前版本"));

    auto* row = new QHBoxLayout;
    row->setSpacing(14);
    list_ = new QListWidget(this);
    list_->setAccessibleName(QStringLiteral("历史版本"));
    list_->setFixedWidth(230);
    for (const auto& version : versions_) {
        auto* item = new QListWidgetItem(versionRow(version), list_);
        item->setData(Qt::AccessibleTextRole, versionRow(version));
    }
    row->addWidget(list_);

    auto* column = new QVBoxLayout;
    preview_ = new VersionPreview(this);
    preview_->setAccessibleName(QStringLiteral("只读预览"));
    column->addWidget(preview_, 1);
    auto* steps = new QHBoxLayout;
    previous_ = actionButton(QStringLiteral("上一阶段"), false, false, this);
    next_ = actionButton(QStringLiteral("下一阶段"), false, false, this);
    stepLabel_ = label(QString(), 13, StudioStyle::textSecondary, false, this);
    steps->addWidget(previous_);
    steps->addWidget(stepLabel_, 1);
    steps->addWidget(next_);
    column->addLayout(steps);
    row->addLayout(column, 1);
    body()->addLayout(row);
    setMinimumWidth(760);

    connect(list_, &QListWidget::currentRowChanged, this, [this] { showStep(0); });
    connect(previous_, &QToolButton::clicked, this, [this] { showStep(step_ - 1); });
    connect(next_, &QToolButton::clicked, this, [this] { showStep(step_ + 1); });
    list_->setCurrentRow(0);
    list_->setFocus();
}

const TacticVersion* VersionHistorySheet::chosen() const {
    if (!list_ || list_->currentRow() < 0) return nullptr;
    return &versions_[static_cast<std::size_t>(list_->currentRow())];
}

void VersionHistorySheet::showStep(int step) {
    const TacticVersion* version = chosen();
    if (!version) return;
    const int count = static_cast<int>(version->tactic.steps.size());
    step_ = std::clamp(step, 0, count - 1);
    preview_->setStage(&version->tactic, step_);
    const QString title = QString::fromStdString(cleanStepTitle(version->tactic.steps[static_cast<std::size_t>(step_)].title));
    const QString text = QStringLiteral("阶段 %1 / %2：%3").arg(step_ + 1).arg(count).arg(title);
    stepLabel_->setText(text);
    stepLabel_->setAccessibleName(text);
    previous_->setEnabled(step_ > 0);
    next_->setEnabled(step_ + 1 < count);
}

}  // namespace vantrel

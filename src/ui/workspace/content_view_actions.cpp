// SPDX-License-Identifier: GPL-3.0-or-later
// The workspace's commands: every menu entry, toolbar button and shortcut, wired to the
// store, the drawing session, the exports and the sheets.
#include <QAction>
#include <QActionGroup>

#include "core/store/edit_commands.h"
#include "ui/export/export_commands.h"
#include "ui/style/studio_icons.h"
#include "ui/workspace/canvas_panel.h"
#include "ui/workspace/content_view.h"
#include "ui/workspace/handout_sheet.h"
#include "ui/workspace/squad_sheet.h"

namespace vantrel {

namespace {

QAction* makeAction(QObject* parent, const QString& text, const QString& help, StudioIcons::Glyph glyph,
                    const QKeySequence& shortcut = {}, bool checkable = false) {
    auto* action = new QAction(StudioIcons::icon(glyph), text, parent);
    action->setShortcut(shortcut);
    action->setCheckable(checkable);
    action->setToolTip(help);
    action->setStatusTip(help);
    action->setShortcutVisibleInContextMenu(true);
    return action;
}


}  // namespace

void ContentView::createActions() {
    using G = StudioIcons::Glyph;
    actions_.newTactic = makeAction(this, QStringLiteral("新建战术"), QStringLiteral("新建自己的战术 · Ctrl+N"), G::add,
                                    QKeySequence(Qt::CTRL | Qt::Key_N));
    actions_.save = makeAction(this, QStringLiteral("保存到我的战术"), QStringLiteral("保存到我的战术 · Ctrl+S"), G::save,
                               QKeySequence(Qt::CTRL | Qt::Key_S));
    actions_.toggleLibrary = makeAction(this, QStringLiteral("显示战术库"), QStringLiteral("显示或隐藏战术库 · Ctrl+Alt+L"),
                                        G::sidebar, QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_L), true);
    actions_.toggleInspector = makeAction(this, QStringLiteral("显示步骤设置"), QStringLiteral("显示步骤设置 · Ctrl+Alt+I"),
                                          G::tune, QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_I), true);
    actions_.importJson = makeAction(this, QStringLiteral("导入 JSON 战术"), QStringLiteral("导入 JSON 战术"), G::importFile);
    actions_.exportJson = makeAction(this, QStringLiteral("导出 JSON 战术"), QStringLiteral("导出 JSON 战术"), G::exportFile);
    actions_.exportImage = makeAction(this, QStringLiteral("导出图片…"), QStringLiteral("把当前阶段导出为 PNG 图片"), G::exportFile);
    actions_.exportHandout = makeAction(this, QStringLiteral("导出讲义 PDF…"), QStringLiteral("每个阶段一页的 PDF 讲义"), G::note);
    actions_.exportHandouts = makeAction(this, QStringLiteral("导出多个战术的讲义…"),
                                         QStringLiteral("把勾选的多个战术合成一份 PDF 讲义"), G::note);
    actions_.exportVideo = makeAction(this, QStringLiteral("导出视频…"), QStringLiteral("把整个战术的演示导出为 MP4 或 GIF"), G::play);
    actions_.exportJobSheets = makeAction(this, QStringLiteral("每名球员的任务单…"),
                                          QStringLiteral("为本队每名球员导出一页 PDF：他在每个阶段的跑位与讲解"), G::note);
    actions_.squad = makeAction(this, QStringLiteral("阵容名单…"), QStringLiteral("球队名称、队服颜色与球员名单"), G::tune);
    actions_.focusPlayer = makeAction(this, QStringLiteral("聚焦球员"), QStringLiteral("只突出所选球员，显示他在每个阶段的跑位 · F"),
                                      G::visibility, QKeySequence(Qt::Key_F), true);
    actions_.tutorial = makeAction(this, QStringLiteral("新手教程"), QStringLiteral("新手教程"), G::help);
    actions_.view2D = makeAction(this, QStringLiteral("2D 视角"), QStringLiteral("平面战术板"), G::layers, {}, true);
    actions_.view3D = makeAction(this, QStringLiteral("3D 视角"), QStringLiteral("透视球场"), G::ball, {}, true);
    auto* views = new QActionGroup(this);
    views->addAction(actions_.view2D);
    views->addAction(actions_.view3D);
    actions_.showVision = makeAction(this, QStringLiteral("视野"), QStringLiteral("持球队员视野"), G::visibility, {}, true);
    actions_.showOffside = makeAction(this, QStringLiteral("越位线"), QStringLiteral("越位线"), G::offside, {}, true);
    actions_.showRoutes = makeAction(this, QStringLiteral("所选球员跑位路线"), QStringLiteral("所选球员跑位路线"), G::draw, {}, true);
    actions_.showMoves = makeAction(this, QStringLiteral("显示跑位箭头"), QStringLiteral("每名球员的跑位、带球和传球箭头"), G::draw, {}, true);
    actions_.showAnnotations = makeAction(this, QStringLiteral("显示注释层"), QStringLiteral("显示注释层"), G::layers, {}, true);
    actions_.lockAnnotations = makeAction(this, QStringLiteral("锁定注释层"), QStringLiteral("锁定注释层"), G::lock, {}, true);

    actions_.showInterceptionRisk = makeAction(this, QStringLiteral("拦截风险"), QStringLiteral("标出演示会在哪里被对手拦截"),
                                               G::info, {}, true);
    actions_.undo = makeAction(this, QStringLiteral("撤销"), QStringLiteral("撤销 · Ctrl+Z"), G::undo,
                               QKeySequence(Qt::CTRL | Qt::Key_Z));
    actions_.redo = makeAction(this, QStringLiteral("重做"), QStringLiteral("重做 · Ctrl+Shift+Z"), G::redo,
                               QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    actions_.presenter = makeAction(this, QStringLiteral("演示模式"), QStringLiteral("全屏演示 · F5；Esc 退出"), G::play,
                                    QKeySequence(Qt::Key_F5));

    // Shortcuts work wherever the workspace is, with or without a menu bar around it.
    for (QAction* a : {actions_.newTactic, actions_.save, actions_.toggleLibrary, actions_.toggleInspector, actions_.undo,
                       actions_.redo, actions_.presenter, actions_.focusPlayer})
        addAction(a);
    // Drawing mode keeps the keys for its annotations; a locked layer takes no edit.
    connect(actions_.undo, &QAction::triggered, this, [this] { EditCommands::undo(*store_, *session_); });
    connect(actions_.redo, &QAction::triggered, this, [this] { EditCommands::redo(*store_, *session_); });
    connect(actions_.presenter, &QAction::triggered, this, &ContentView::startPresenter);
    connect(actions_.showInterceptionRisk, &QAction::triggered, this,
            [this](bool on) { store_->setShowInterceptionRisk(on); });

    connect(actions_.newTactic, &QAction::triggered, this, &ContentView::startNewTactic);
    connect(actions_.save, &QAction::triggered, this, [this] { store_->saveCurrentTactic(); });
    connect(actions_.toggleLibrary, &QAction::triggered, this, &ContentView::toggleLibrary);
    connect(actions_.toggleInspector, &QAction::triggered, this, &ContentView::toggleStageSettings);
    connect(actions_.importJson, &QAction::triggered, this, [this] { store_->importFile(); });
    connect(actions_.exportJson, &QAction::triggered, this, [this] { store_->exportFile(); });
    exports_ = new ExportCommands(
        *store_, this, [this] { return workspace_.is3D() ? ExportView::perspective : ExportView::flat; },
        [this] { return canvas_ ? QSizeF(canvas_->pitchArea()->size()) : QSizeF(); });
    connect(actions_.exportImage, &QAction::triggered, exports_, &ExportCommands::exportImage);
    connect(actions_.exportHandout, &QAction::triggered, exports_, qOverload<>(&ExportCommands::exportHandout));
    connect(actions_.exportVideo, &QAction::triggered, exports_, &ExportCommands::exportVideo);
    connect(actions_.exportHandouts, &QAction::triggered, this, [this] {
        if (sheet_) return;
        auto* sheet = new HandoutSheet(*store_, this);
        present(sheet, [this, sheet] { exports_->exportHandout(sheet->chosen()); });
    });
    connect(actions_.exportJobSheets, &QAction::triggered, exports_, &ExportCommands::exportJobSheets);
    connect(actions_.squad, &QAction::triggered, this, &ContentView::openSquad);
    connect(actions_.focusPlayer, &QAction::triggered, this, [this] {
        const auto& chosen = store_->selectedPlayer() ? store_->selectedPlayer() : store_->inspectedPlayerID();
        store_->squad().setFocused(store_->squad().focused() ? std::nullopt : chosen);
        actions_.focusPlayer->setChecked(store_->squad().focused().has_value());
    });
    connect(actions_.tutorial, &QAction::triggered, this, &ContentView::startTutorial);
    auto setMode = [this](const char* mode) {
        workspace_.setPitchViewMode(mode);
        canvas_->refreshMode();
        applyLayout();
        emit viewStateChanged();
    };
    connect(actions_.view2D, &QAction::triggered, this, [setMode] { setMode("2D"); });
    connect(actions_.view3D, &QAction::triggered, this, [setMode] { setMode("3D"); });
    connect(actions_.showVision, &QAction::triggered, this, [this](bool on) { store_->setShowVision(on); });
    connect(actions_.showOffside, &QAction::triggered, this, [this](bool on) { store_->setShowOffside(on); });
    connect(actions_.showRoutes, &QAction::triggered, this, [this](bool on) { store_->setShowRoutes(on); });
    store_->setShowMoves(workspace_.showMoves());
    connect(actions_.showMoves, &QAction::triggered, this, [this](bool on) {
        workspace_.setShowMoves(on);
        store_->setShowMoves(on);
    });
    connect(actions_.showAnnotations, &QAction::triggered, this, [this](bool on) { session_->setVisible(on); });
    connect(actions_.lockAnnotations, &QAction::triggered, this, [this](bool on) { session_->setLocked(on); });
}

void ContentView::openSquad() {
    if (sheet_) return;
    auto* sheet = new SquadSheet(*store_, this);
    present(sheet, [] {});
}

}  // namespace vantrel


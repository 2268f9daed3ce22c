// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/workspace/inspector_view.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QStackedWidget>
#include <QVBoxLayout>

#include "core/model/tactic_limits.h"
#include "ui/guidance/formation_picker.h"
#include "ui/style/quiet_hover_style.h"
#include "ui/style/studio_segmented_control.h"
#include "ui/style/studio_widgets.h"

namespace vantrel {

using namespace StudioWidgets;

namespace {

QLabel* fieldLabel(const QString& text, QWidget* parent) { return label(text, 12, StudioStyle::textSecondary, true, parent); }

// Fields drawn on the surface with a token border; the palette follows the appearance.
void styleField(QWidget* field) {
    auto apply = [field] {
        field->setStyleSheet(QStringLiteral("background:%1;color:%2;border:1px solid %3;border-radius:7px;padding:5px 7px;"
                                            "selection-background-color:%4;")
                                 .arg(StudioStyle::surface().name(), StudioStyle::textPrimary().name(),
                                      StudioStyle::border().name(), StudioStyle::brandSoft().name()));
    };
    apply();
    QObject::connect(&StudioStyle::appearance(), &StudioAppearance::appearanceChanged, field, apply);
}

QCheckBox* toggle(const QString& text, const QString& help, QWidget* parent) {
    auto* box = new QCheckBox(text, parent);
    describe(box, text, help);
    box->setCursor(Qt::PointingHandCursor);
    keepColor(box, StudioStyle::textPrimary);
    return box;
}

QWidget* divider(QWidget* parent) {
    auto* line = new QWidget(parent);
    line->setFixedHeight(1);
    line->setAutoFillBackground(true);
    keepColor(line, StudioStyle::border, QPalette::Window);
    return line;
}

}  // namespace

InspectorView::InspectorView(BoardStore& store, WorkspacePreferences& workspace, QWidget* parent)
    : QWidget(parent), store_(store), workspace_(workspace) {
    setObjectName(QStringLiteral("inspector"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    pages_ = new QStackedWidget(this);
    stagePage_ = buildStagePage();
    playerPage_ = buildPlayerPage();
    pages_->addWidget(stagePage_);
    pages_->addWidget(playerPage_);
    layout->addWidget(pages_);
    subscription_ = store_.subscribe([this](StoreChange change) {
        if (any(change & (StoreChange::tactic | StoreChange::selection | StoreChange::displayOptions | StoreChange::library)))
            refresh();
    });
    refresh();
}

void InspectorView::showStageSettings(bool on) { pages_->setCurrentWidget(on ? stagePage_ : playerPage_); }
bool InspectorView::showingStageSettings() const { return pages_->currentWidget() == stagePage_; }

QWidget* InspectorView::buildStagePage() {
    auto* scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->viewport()->setAutoFillBackground(false);
    auto* page = new QWidget(scroll);
    scroll->setWidget(page);
    page->setAutoFillBackground(false);   // setWidget turns it on; the column paints the surface
    auto* v = new QVBoxLayout(page);
    v->setContentsMargins(18, 16, 18, 18);
    v->setSpacing(8);

    auto* head = new QHBoxLayout;
    auto* titles = new QVBoxLayout;
    titles->setSpacing(2);
    titles->addWidget(label(QStringLiteral("阶段设置"), 17, StudioStyle::textPrimary, true, page));
    titles->addWidget(label(QStringLiteral("站位、讲解与演示"), 12, StudioStyle::textSecondary, false, page));
    head->addLayout(titles, 1);
    auto* close = button(QStringLiteral("关闭阶段设置"), QStringLiteral("关闭阶段设置 · Ctrl+Alt+I"), StudioIcons::Glyph::close,
                         false, page);
    connect(close, &QToolButton::clicked, this, &InspectorView::closeRequested);
    head->addWidget(close, 0, Qt::AlignTop);
    v->addLayout(head);
    v->addSpacing(6);

    v->addWidget(fieldLabel(QStringLiteral("战术名称"), page));
    tacticName_ = new QLineEdit(page);
    describe(tacticName_, QStringLiteral("战术名称"));
    styleField(tacticName_);
    // UTF-16 units, never fewer than the code points the store keeps.
    tacticName_->setMaxLength(int(TacticLimits::kMaxNameCharacters));
    // The name is committed when the coach leaves the field or presses Return: an
    // empty name in mid-typing must not flash back to the old one.
    connect(tacticName_, &QLineEdit::editingFinished, this, [this] {
        if (writing_) return;
        store_.setTacticName(tacticName_->text().toStdString());
        refresh();
    });
    v->addWidget(tacticName_);

    v->addWidget(fieldLabel(QStringLiteral("步骤标题"), page));
    stepTitle_ = new QLineEdit(page);
    describe(stepTitle_, QStringLiteral("步骤标题"));
    styleField(stepTitle_);
    stepTitle_->setMaxLength(int(TacticLimits::kMaxTitleCharacters));
    connect(stepTitle_, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (!writing_) store_.setStepTitle(text.toStdString());
    });
    v->addWidget(stepTitle_);

    v->addWidget(fieldLabel(QStringLiteral("讲解备注"), page));
    stepNote_ = new QPlainTextEdit(page);
    describe(stepNote_, QStringLiteral("讲解备注"));
    styleField(stepNote_);
    stepNote_->setFixedHeight(96);
    stepNote_->setTabChangesFocus(true);
    connect(stepNote_, &QPlainTextEdit::textChanged, this, [this] {
        if (!writing_) store_.setStepNote(stepNote_->toPlainText().toStdString());
    });
    v->addWidget(stepNote_);

    v->addSpacing(6);
    v->addWidget(divider(page));
    formationArea_ = new QWidget(page);
    auto* formation = new QVBoxLayout(formationArea_);
    formation->setContentsMargins(0, 6, 0, 0);
    formation->setSpacing(6);
    formation->addWidget(sectionTitle(QStringLiteral("阵容"), formationArea_));
    formationSlot_ = new QVBoxLayout;
    formation->addLayout(formationSlot_);
    formationPicker_ = new FormationPickerButton(store_, std::nullopt, formationArea_);
    formationSlot_->addWidget(formationPicker_, 0, Qt::AlignLeft);
    formation->addWidget(hint(QStringLiteral("点击阵型查看站位；只调整当前阶段。"), formationArea_));
    v->addWidget(formationArea_);

    v->addWidget(divider(page));
    passArea_ = new QWidget(page);
    auto* pass = new QVBoxLayout(passArea_);
    pass->setContentsMargins(0, 6, 0, 0);
    pass->setSpacing(6);
    pass->addWidget(sectionTitle(QStringLiteral("传球与跑位"), passArea_));
    passStyle_ = new StudioSegmentedControl(
        QStringLiteral("当前阶段传球方式"),
        {{QStringLiteral("地面球"), int(PassStyle::ground)}, {QStringLiteral("高空球"), int(PassStyle::loft)}}, passArea_);
    passStyle_->setObjectName(QStringLiteral("PassStyleControl"));
    passStyle_->setFixedWidth(168);
    passStyle_->setSelectedFill(StudioStyle::brandFill);
    passStyle_->setSelectedText(StudioStyle::onBrand);
    passStyle_->setToolTip(QStringLiteral("仅设置当前阶段的传球方式；新阶段默认地面球"));
    passStyle_->setAccessibleDescription(passStyle_->toolTip());
    connect(passStyle_, &StudioSegmentedControl::selectionChanged, this, [this](const QVariant& value) {
        if (!writing_) store_.setPassStyle(static_cast<PassStyle>(value.toInt()));
    });
    pass->addWidget(passStyle_);
    pass->addWidget(hint(QStringLiteral("从上一步进入本步时使用。"), passArea_));
    pass->addWidget(hint(QStringLiteral("拖动球场上的白色控制点，调整弯曲跑位。"), passArea_));
    auto* reset = button(QStringLiteral("恢复自动路线"), QStringLiteral("恢复所选球员的自动跑位路线"),
                         StudioIcons::Glyph::undo, true, passArea_);
    connect(reset, &QToolButton::clicked, this, [this] { store_.resetSelectedRoute(); });
    pass->addWidget(reset, 0, Qt::AlignLeft);
    v->addWidget(passArea_);

    v->addWidget(divider(page));
    displayHeader_ = button(QStringLiteral("球场显示"), QStringLiteral("展开或收起球场显示"), StudioIcons::Glyph::expandMore,
                            true, page);
    displayHeader_->setCheckable(true);
    connect(displayHeader_, &QToolButton::clicked, this, [this](bool on) {
        workspace_.setDisplayOptionsExpanded(on);
        refreshDisplayExpansion();
    });
    v->addWidget(displayHeader_, 0, Qt::AlignLeft);
    displayOptions_ = new QWidget(page);
    auto* display = new QVBoxLayout(displayOptions_);
    display->setContentsMargins(8, 0, 0, 0);
    vision_ = toggle(QStringLiteral("视野"), QStringLiteral("持球队员视野"), displayOptions_);
    offside_ = toggle(QStringLiteral("越位线"), QStringLiteral("越位线"), displayOptions_);
    routes_ = toggle(QStringLiteral("所选球员跑位路线"), QStringLiteral("所选球员跑位路线"), displayOptions_);
    connect(vision_, &QCheckBox::toggled, this, [this](bool on) { if (!writing_) store_.setShowVision(on); });
    connect(offside_, &QCheckBox::toggled, this, [this](bool on) { if (!writing_) store_.setShowOffside(on); });
    connect(routes_, &QCheckBox::toggled, this, [this](bool on) { if (!writing_) store_.setShowRoutes(on); });
    risk_ = toggle(QStringLiteral("拦截风险"), QStringLiteral("标出演示会在哪里被对手拦截"), displayOptions_);
    connect(risk_, &QCheckBox::toggled, this, [this](bool on) { if (!writing_) store_.setShowInterceptionRisk(on); });
    display->addWidget(vision_);
    display->addWidget(offside_);
    display->addWidget(routes_);
    display->addWidget(risk_);
    v->addWidget(displayOptions_);
    refreshDisplayExpansion();

    v->addWidget(divider(page));
    v->addWidget(hint(QStringLiteral("双击接球队员传球；对手碰到传球或带球路线时，演示会停在抢断画面。"), page));
    auto* remove = actionButton(QStringLiteral("删除当前步骤"), false, true, page);
    remove->setIcon(StudioIcons::icon(StudioIcons::Glyph::remove, StudioStyle::destructive));
    connect(remove, &QToolButton::clicked, this, &InspectorView::deleteStepRequested);
    v->addWidget(remove, 0, Qt::AlignLeft);
    v->addStretch();
    return scroll;
}

QWidget* InspectorView::buildPlayerPage() {
    auto* page = new QWidget(this);
    auto* v = new QVBoxLayout(page);
    v->setContentsMargins(18, 16, 18, 18);
    v->setSpacing(8);
    auto* head = new QHBoxLayout;
    playerTitle_ = label(QString(), 17, StudioStyle::textPrimary, true, page);
    playerTitle_->setObjectName(QStringLiteral("playerTitle"));
    head->addWidget(playerTitle_, 1);
    auto* deselect = button(QStringLiteral("取消选择"), QStringLiteral("取消选择"), StudioIcons::Glyph::close, false, page);
    connect(deselect, &QToolButton::clicked, this, [this] { store_.clearSelectedPlayer(); });
    head->addWidget(deselect);
    v->addLayout(head);

    // The squad: committed when a field is left or Return pressed, as the tactic's name.
    auto commitSquad = [this] {
        if (writing_) return;
        if (const auto& id = store_.inspectedPlayerID())
            store_.squad().setPlayer(*id, playerName_->text().toStdString(), playerRole_->text().toStdString(),
                                  shirt_->value() > 0 ? std::optional<int>(shirt_->value()) : std::nullopt);
        refresh();
    };
    auto squadField = [&](QLineEdit*& field, const QString& name, const QString& help, int limit) {
        v->addWidget(fieldLabel(name, page));
        field = new QLineEdit(page);
        describe(field, name, help);
        styleField(field);
        field->setMaxLength(limit);
        connect(field, &QLineEdit::editingFinished, this, commitSquad);
        v->addWidget(field);
    };
    squadField(playerName_, QStringLiteral("名字"), QStringLiteral("显示在球员旁边"), int(TacticLimits::kMaxSquadNameCharacters));
    squadField(playerRole_, QStringLiteral("位置"), QStringLiteral("例如：右后卫"), int(TacticLimits::kMaxRoleCharacters));
    v->addWidget(fieldLabel(QStringLiteral("号码"), page));
    shirt_ = new QSpinBox(page);
    shirt_->setRange(0, TacticLimits::kMaxShirt);
    shirt_->setSpecialValueText(QStringLiteral("无"));
    describe(shirt_, QStringLiteral("号码"), QStringLiteral("球衣号码，1–99；无则显示默认号码"));
    connect(shirt_, &QSpinBox::editingFinished, this, commitSquad);
    v->addWidget(shirt_, 0, Qt::AlignLeft);

    hasBall_ = label(QStringLiteral("当前持球球员"), 13, StudioStyle::brand, true, page);
    v->addWidget(hasBall_);
    giveBall_ = actionButton(QStringLiteral("让他持球"), true, false, page);
    connect(giveBall_, &QToolButton::clicked, this, [this] {
        if (const auto& id = store_.inspectedPlayerID()) store_.giveBall(*id);
    });
    v->addWidget(giveBall_, 0, Qt::AlignLeft);
    focus_ = button(QStringLiteral("聚焦球员"), QStringLiteral("只突出这名球员，显示他在每个阶段的跑位 · F"),
                    StudioIcons::Glyph::visibility, true, page);
    focus_->setCheckable(true);
    connect(focus_, &QToolButton::clicked, this, [this] {
        if (const auto& id = store_.inspectedPlayerID())
            store_.squad().setFocused(store_.squad().focused() == id ? std::nullopt : id);
        refresh();
    });
    v->addWidget(focus_, 0, Qt::AlignLeft);
    v->addWidget(hint(QStringLiteral("双击队友传球"), page));
    v->addSpacing(6);
    v->addWidget(divider(page));
    v->addWidget(sectionTitle(QStringLiteral("跑位路线"), page));
    playerRoutes_ = toggle(QStringLiteral("显示路线"), QStringLiteral("显示所选球员的跑位路线"), page);
    connect(playerRoutes_, &QCheckBox::toggled, this, [this](bool on) { if (!writing_) store_.setShowRoutes(on); });
    v->addWidget(playerRoutes_);
    v->addWidget(hint(QStringLiteral("拖动球场上的控制点调整弧线。"), page));
    auto* reset = button(QStringLiteral("恢复自动路线"), QStringLiteral("恢复这名球员的自动跑位路线"), StudioIcons::Glyph::undo,
                         true, page);
    connect(reset, &QToolButton::clicked, this, [this] { store_.resetSelectedRoute(); });
    v->addWidget(reset, 0, Qt::AlignLeft);
    v->addWidget(divider(page));
    auto* toStage = button(QStringLiteral("切换到阶段设置"), QStringLiteral("切换到阶段设置"), StudioIcons::Glyph::tune, true, page);
    connect(toStage, &QToolButton::clicked, this, &InspectorView::stageSettingsRequested);
    v->addWidget(toStage, 0, Qt::AlignLeft);
    v->addStretch();
    return page;
}

void InspectorView::refreshDisplayExpansion() {
    const bool expanded = workspace_.displayOptionsExpanded();
    displayHeader_->setChecked(expanded);
    displayHeader_->setIcon(StudioIcons::icon(expanded ? StudioIcons::Glyph::expandMore : StudioIcons::Glyph::chevronRight));
    displayOptions_->setVisible(expanded);
}

void InspectorView::refresh() {
    writing_ = true;
    const Tactic& tactic = store_.tactic();
    if (!tacticName_->hasFocus() && tacticName_->text().toStdString() != tactic.name)
        tacticName_->setText(QString::fromStdString(tactic.name));
    const bool editable = !store_.transitionRunning();
    if (const BoardStep* step = store_.currentStep()) {
        if (stepTitle_->text().toStdString() != step->title) stepTitle_->setText(QString::fromStdString(step->title));
        if (stepNote_->toPlainText().toStdString() != step->note) stepNote_->setPlainText(QString::fromStdString(step->note));
        passStyle_->setSelection(int(step->effectivePassStyle()));
    }
    stepTitle_->setEnabled(editable);
    stepNote_->setEnabled(editable);
    vision_->setChecked(store_.showVision());
    offside_->setChecked(store_.showOffside());
    routes_->setChecked(store_.showRoutes());
    risk_->setChecked(store_.showInterceptionRisk());
    playerRoutes_->setChecked(store_.showRoutes());
    if (const auto& id = store_.inspectedPlayerID()) {
        const BoardStep* step = store_.currentStep();
        const Player* player = step ? step->player(*id) : nullptr;
        if (player) {
            const QString title = QString::fromStdString(playerLabel(store_.tactic(), *player));
            announceText(playerTitle_, title);
            const SquadPlayer* named = squadPlayer(store_.tactic(), *player);
            // A field being typed in keeps what the coach types.
            if (!playerName_->hasFocus()) playerName_->setText(QString::fromStdString(named && named->name ? *named->name : ""));
            if (!playerRole_->hasFocus()) playerRole_->setText(QString::fromStdString(named && named->role ? *named->role : ""));
            if (!shirt_->hasFocus()) shirt_->setValue(named && named->shirt ? *named->shirt : 0);
            focus_->setChecked(store_.squad().focused() == id);
            const bool owns = step->ballOwner == *id;
            hasBall_->setVisible(owns);
            giveBall_->setVisible(!owns);
        }
    }
    writing_ = false;
}

}  // namespace vantrel

// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/annotation/drawing_toolbar_view.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>

#include "core/store/edit_commands.h"
#include "ui/annotation/drawing_controls.h"
#include "ui/style/question_accessibility.h"
#include "ui/style/studio_icons.h"
#include "ui/style/studio_style.h"

namespace vantrel {

using namespace DrawingControls;

namespace {

// The ink button's face: a small disc in the current ink over the usual quiet button.
class InkButton : public QuietHoverStyle {
public:
    InkButton(DrawingSession& session, QWidget* parent) : QuietHoverStyle(7, parent), session_(session) {}

protected:
    void paintEvent(QPaintEvent* event) override {
        QuietHoverStyle::paintEvent(event);
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const Rgb c = session_.style().ink();
        QColor ink = QColor::fromRgbF(float(c.red), float(c.green), float(c.blue));
        if (!isEnabled()) ink.setAlphaF(0.4f);
        p.setPen(QPen(StudioStyle::border(), 1));
        p.setBrush(ink);
        p.drawEllipse(QRectF(rect()).center(), 7, 7);
    }

private:
    DrawingSession& session_;
};

QFrame* separator(QWidget* parent) {
    auto* line = new QFrame(parent);
    line->setFixedSize(1, 18);
    line->setAutoFillBackground(true);
    QPalette pal = line->palette();
    pal.setColor(QPalette::Window, StudioStyle::border());
    line->setPalette(pal);
    return line;
}

}  // namespace

// --- DrawingToggleButton ----------------------------------------------------------------

DrawingToggleButton::DrawingToggleButton(DrawingSession& session, QWidget* parent)
    : QuietHoverStyle(8, parent), session_(session) {
    setIcon(StudioIcons::icon(StudioIcons::Glyph::draw));
    setIconSize(QSize(18, 18));
    setToolButtonStyle(Qt::ToolButtonIconOnly);
    setCheckable(true);
    setFixedSize(32, 30);
    setFocusPolicy(Qt::StrongFocus);
    setLabelColor(StudioStyle::textSecondary);
    connect(this, &QToolButton::clicked, this, [this] { session_.setEditing(!session_.editing()); });
    subscription_ = session_.subscribe([this](DrawingChange change) {
        if (any(change & DrawingChange::editing)) refresh();
    });
    refresh();
}

DrawingToggleButton::~DrawingToggleButton() { subscription_.reset(); }

void DrawingToggleButton::refresh() {
    const QString help = session_.editing() ? QStringLiteral("退出注释模式") : QStringLiteral("绘画与注释");
    setChecked(session_.editing());
    setText(help);
    setToolTip(help);
    setAccessibleName(help);
    setAccessibleDescription(help);
}

// --- DrawingToolbarView -----------------------------------------------------------------

DrawingToolbarView::DrawingToolbarView(BoardStore& store, DrawingSession& session, QWidget* parent)
    : QWidget(parent), store_(store), session_(session) {
    setAttribute(Qt::WA_StyledBackground, false);
    setAccessibleName(QStringLiteral("绘图工具栏"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 4, 6, 4);
    layout->setSpacing(2);

    for (AnnotationTool tool : allAnnotationTools()) {
        if (tool == AnnotationTool::ellipse || tool == AnnotationTool::rectangle) continue;
        if (tool == AnnotationTool::text) {
            shapes_ = controlButton(Glyphs::circle, QStringLiteral("注释工具：图形"), QStringLiteral("图形"), this);
            shapes_->setCheckable(true);
            connect(shapes_, &QToolButton::clicked, this, [this] {
                session_.setPanel(session_.panel() == DrawingPanel::shapes ? std::nullopt
                                                                            : std::optional(DrawingPanel::shapes));
            });
            layout->addWidget(shapes_);
        }
        auto* b = controlButton(toolGlyph(tool), QStringLiteral("注释工具：") + toolName(tool), toolName(tool), this);
        b->setCheckable(true);
        connect(b, &QToolButton::clicked, this, [this, tool] {
            session_.setTool(tool);
            refresh();
        });
        tools_[tool] = b;
        layout->addWidget(b);
    }
    layout->addSpacing(4);
    layout->addWidget(separator(this));
    layout->addSpacing(4);

    auto* inkButton = new InkButton(session_, this);
    inkButton->setFixedSize(32, 30);
    inkButton->setToolButtonStyle(Qt::ToolButtonIconOnly);
    // The disc is the face: no text beside or over it.
    inkButton->setAccessibleName(QStringLiteral("绘图颜色与笔触"));
    inkButton->setToolTip(QStringLiteral("颜色、粗细与透明度"));
    inkButton->setAccessibleDescription(QStringLiteral("颜色、粗细与透明度"));
    inkButton->setFocusPolicy(Qt::TabFocus);
    connect(inkButton, &QToolButton::clicked, this, [this] {
        session_.setPanel(session_.panel() == DrawingPanel::ink ? std::nullopt : std::optional(DrawingPanel::ink));
    });
    ink_ = inkButton;
    layout->addWidget(ink_);

    layout->addSpacing(4);
    layout->addWidget(separator(this));
    layout->addSpacing(4);
    undo_ = controlButton(StudioIcons::Glyph::undo, QStringLiteral("撤销注释"), QStringLiteral("撤销注释"), this);
    redo_ = controlButton(StudioIcons::Glyph::redo, QStringLiteral("重做注释"), QStringLiteral("重做注释"), this);
    delete_ = controlButton(StudioIcons::Glyph::remove, QStringLiteral("删除选中注释"), QStringLiteral("删除选中注释"), this);
    lock_ = controlButton(StudioIcons::Glyph::lock, QStringLiteral("锁定注释层"), QStringLiteral("锁定注释层"), this);
    lock_->setCheckable(true);
    connect(undo_, &QToolButton::clicked, this, [this] { EditCommands::undo(store_, session_); });
    connect(redo_, &QToolButton::clicked, this, [this] { EditCommands::redo(store_, session_); });
    connect(delete_, &QToolButton::clicked, this, [this] {
        EditCommands::deleteSelection(session_);
    });
    connect(lock_, &QToolButton::clicked, this, [this] { session_.setLocked(!session_.locked()); });
    for (QToolButton* b : {undo_, redo_, delete_, lock_}) layout->addWidget(b);

    layerMenu_ = controlButton(StudioIcons::Glyph::more, QStringLiteral("注释层操作"), QStringLiteral("注释层操作"), this);
    layerMenu_->setPopupMode(QToolButton::InstantPopup);
    auto* menu = new QMenu(QStringLiteral("注释层操作"), layerMenu_);
    showLayer_ = menu->addAction(StudioIcons::icon(StudioIcons::Glyph::visibility), QStringLiteral("显示注释层"));
    showLayer_->setCheckable(true);
    front_ = menu->addAction(StudioIcons::icon(Glyphs::front), QStringLiteral("置于顶层"));
    back_ = menu->addAction(StudioIcons::icon(Glyphs::back), QStringLiteral("置于底层"));
    menu->addSeparator();
    clear_ = menu->addAction(StudioIcons::icon(StudioIcons::Glyph::remove, StudioStyle::destructive),
                             QStringLiteral("清空本步注释"));
    connect(showLayer_, &QAction::triggered, this, [this](bool on) { session_.setVisible(on); });
    connect(front_, &QAction::triggered, this, [this] { session_.bringToFront(); });
    connect(back_, &QAction::triggered, this, [this] { session_.sendToBack(); });
    connect(clear_, &QAction::triggered, this, [this] { askToClear(); });
    layerMenu_->setMenu(menu);
    layout->addWidget(layerMenu_);

    layout->addSpacing(4);
    layout->addWidget(separator(this));
    layout->addSpacing(4);
    exit_ = controlButton(Glyphs::exit, QStringLiteral("退出注释模式"), QStringLiteral("退出注释模式"), this);
    connect(exit_, &QToolButton::clicked, this, [this] { session_.setEditing(false); });
    layout->addWidget(exit_);

    storeSubscription_ = store_.subscribe([this](StoreChange change) {
        if (any(change & (StoreChange::tactic | StoreChange::library))) refresh();
    });
    sessionSubscription_ = session_.subscribe([this](DrawingChange) { refresh(); });
    connect(&StudioStyle::appearance(), &StudioAppearance::appearanceChanged, this, [this] { update(); });
    refresh();
}

DrawingToolbarView::~DrawingToolbarView() {
    storeSubscription_.reset();
    sessionSubscription_.reset();
}

QToolButton* DrawingToolbarView::toolButton(AnnotationTool tool) const {
    auto it = tools_.find(tool);
    return it == tools_.end() ? nullptr : it->second;
}

void DrawingToolbarView::refresh() {
    const AnnotationTool tool = session_.tool();
    // A locked layer shows it: its tools are disabled and say why.
    const bool locked = session_.locked();
    std::vector<QToolButton*> toolButtons{shapes_};
    for (auto [t, b] : tools_) {
        b->setChecked(t == tool);
        b->setAccessibleDescription(t == tool ? QString() : QStringLiteral("未选中"));
        toolButtons.push_back(b);
    }
    for (QToolButton* b : toolButtons) {
        if (!b) continue;
        if (!b->property("unlockedHelp").isValid()) b->setProperty("unlockedHelp", b->toolTip());
        b->setEnabled(!locked);
        b->setToolTip(locked ? QStringLiteral("注释层已锁定") : b->property("unlockedHelp").toString());
    }
    const bool shapeActive = tool == AnnotationTool::ellipse || tool == AnnotationTool::rectangle;
    const ShapeChoice& shape = shapeChoice(shapeActive ? tool : AnnotationTool::ellipse,
                                           shapeActive ? session_.style().fill : AnnotationFill::none);
    shapes_->setIcon(StudioIcons::icon(shape.symbol));
    shapes_->setChecked(shapeActive || session_.panel() == DrawingPanel::shapes);
    shapes_->setAccessibleDescription(session_.panel() == DrawingPanel::shapes ? QStringLiteral("已展开")
                                                                                : QStringLiteral("已收起"));
    ink_->update();
    undo_->setEnabled(EditCommands::canUndo(store_, session_));
    redo_->setEnabled(EditCommands::canRedo(store_, session_));
    // A locked layer takes no edit of its drawings, from here as from the keys.
    const bool editable = EditCommands::canDeleteSelection(session_);
    delete_->setEnabled(editable);
    front_->setEnabled(editable);
    back_->setEnabled(editable);
    lock_->setChecked(session_.locked());
    lock_->setIcon(StudioIcons::icon(session_.locked() ? StudioIcons::Glyph::lock : Glyphs::unlocked));
    const QString lockHelp = session_.locked() ? QStringLiteral("解锁注释层") : QStringLiteral("锁定注释层");
    lock_->setToolTip(lockHelp);
    lock_->setAccessibleDescription(lockHelp);
    showLayer_->setChecked(session_.visible());
    clear_->setEnabled(!session_.annotations().empty());
}

void DrawingToolbarView::askToClear() {
    if (session_.annotations().empty() || (confirmation_ && confirmation_->isVisible())) return;
    auto* box = new QMessageBox(QMessageBox::Warning, QStringLiteral("清空当前阶段的全部注释？"),
                                QStringLiteral("清空当前阶段的全部注释？"), QMessageBox::NoButton, this);
    box->setInformativeText(QStringLiteral("清空后仍可通过撤销恢复。"));
    box->setAccessibleName(QStringLiteral("清空当前阶段的全部注释？"));
    box->setAccessibleDescription(QStringLiteral("清空后仍可通过撤销恢复。"));
    QPushButton* clear = box->addButton(QStringLiteral("清空注释"), QMessageBox::DestructiveRole);
    QPushButton* cancel = box->addButton(QStringLiteral("取消"), QMessageBox::RejectRole);
    clear->setAccessibleName(QStringLiteral("清空注释"));
    cancel->setAccessibleName(QStringLiteral("取消"));
    box->setDefaultButton(cancel);
    box->setEscapeButton(cancel);
    box->setAttribute(Qt::WA_DeleteOnClose);
    // A question with two answers, not an alert: a dialog to assistive technology.
    exposeAsQuestion(box);
    holdFocusWhileAsking(box);
    connect(clear, &QPushButton::clicked, this, [this] { session_.replace({}); });
    confirmation_ = box;
    box->open();
}

void DrawingToolbarView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(StudioStyle::border(), 1));
    p.setBrush(StudioStyle::surface());
    p.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 10, 10);
}

}  // namespace vantrel

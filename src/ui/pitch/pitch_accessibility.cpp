// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/pitch/pitch_accessibility.h"

#include <QWidget>
#include <QWindow>

namespace vantrel {

namespace {

QAccessibleInterface* tokenViewFactory(const QString&, QObject* object) {
    auto* widget = qobject_cast<QWidget*>(object);
    auto* host = dynamic_cast<PlayerTokenHost*>(object);
    if (widget && host) return new TokenViewAccessible(widget, host);
    return nullptr;
}

const QString kBallName = QStringLiteral("足球");
const QString kBallHelp = QStringLiteral("足球 · 拖动调整位置");
const QString kEquipmentHelp = QStringLiteral(
    "器材 · 拖动调整位置\n空格 选中 · Alt+方向键 移动 1 米（加 Shift 5 米）· [ ] 旋转 15° · Delete 删除 · Esc 取消选中");

}  // namespace

// --- Host ----------------------------------------------------------------------------

PlayerTokenHost::~PlayerTokenHost() {
    for (const auto& [id, accessibleID] : tokenAccessibleIDs_) QAccessible::deleteAccessibleInterface(accessibleID);
}

QAccessibleInterface* PlayerTokenHost::tokenAccessible(const std::string& playerID) {
    auto it = tokenAccessibleIDs_.find(playerID);
    if (it != tokenAccessibleIDs_.end()) return QAccessible::accessibleInterface(it->second);
    auto* token = new PlayerTokenAccessible(this, playerID);
    const auto id = QAccessible::registerAccessibleInterface(token);
    tokenAccessibleIDs_.emplace(playerID, id);
    return token;
}

void PlayerTokenHost::installAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(&tokenViewFactory);
        return true;
    }();
    (void)installed;
}

// --- Token ---------------------------------------------------------------------------

const QString& PlayerTokenAccessible::inspectAction() {
    static const QString name = QStringLiteral("查看球员信息");
    return name;
}

PlayerTokenAccessible::PlayerTokenAccessible(PlayerTokenHost* host, std::string playerID)
    : host_(host), view_(host->tokenView()), playerID_(std::move(playerID)) {}

const BoardScene* PlayerTokenAccessible::scene() const {
    const PlayerTokenHost* host = liveHost();
    return host ? host->tokenScene() : nullptr;
}

const SceneToken* PlayerTokenAccessible::token() const {
    const BoardScene* s = scene();
    return s && !isBall() ? s->token(playerID_) : nullptr;
}

const SceneEquipment* PlayerTokenAccessible::piece() const {
    const BoardScene* s = scene();
    if (!s || !isEquipment()) return nullptr;
    for (const auto& e : s->equipment)
        if (PlayerTokenHost::equipmentKey(e.piece.id) == playerID_) return &e;
    return nullptr;
}

bool PlayerTokenAccessible::isValid() const {
    if (isEquipment()) return piece() != nullptr;
    return isBall() ? scene() != nullptr : token() != nullptr;
}

QWindow* PlayerTokenAccessible::window() const {
    return view_ && view_->window() ? view_->window()->windowHandle() : nullptr;
}

QAccessibleInterface* PlayerTokenAccessible::parent() const {
    return view_ ? QAccessible::queryAccessibleInterface(view_.data()) : nullptr;
}

QString PlayerTokenAccessible::text(QAccessible::Text t) const {
    if (isEquipment()) {
        const SceneEquipment* e = piece();
        if (!e) return {};
        if (t == QAccessible::Name) return QString::fromStdString(e->label);
        if (t == QAccessible::Description || t == QAccessible::Help) return kEquipmentHelp;
        return {};
    }
    if (isBall()) {
        if (!scene()) return {};
        if (t == QAccessible::Name) return kBallName;
        if (t == QAccessible::Description || t == QAccessible::Help) return kBallHelp;
        return {};
    }
    const SceneToken* tok = token();
    if (!tok) return {};
    const Player& p = tok->player;
    const auto& named = scene()->teamNames[p.team == 1 ? 1 : 0];
    const QString team = QString::fromStdString(named ? *named : teamName(p.team));
    switch (t) {
        case QAccessible::Name:
            return team + QStringLiteral(" %1号").arg(p.number) +
                   (tok->name.empty() ? QString() : QStringLiteral(" ") + QString::fromStdString(tok->name));
        case QAccessible::Description:
        case QAccessible::Help: return QStringLiteral("#%1 · %2\nControl + 点击查看球员信息").arg(p.number).arg(team);
        default: return {};
    }
}

QRect PlayerTokenAccessible::rect() const {
    QRectF local;
    if (isEquipment()) {
        const SceneEquipment* e = piece();
        if (!e) return {};
        local = liveHost()->equipmentRect(*e);
    } else if (isBall()) {
        if (!scene()) return {};
        local = liveHost()->tokenBallRect();
    } else {
        const SceneToken* tok = token();
        if (!tok) return {};
        local = liveHost()->tokenRect(*tok);
    }
    const QRect r = local.toAlignedRect();
    return QRect(view_->mapToGlobal(r.topLeft()), r.size());
}

QAccessible::State PlayerTokenAccessible::state() const {
    QAccessible::State s;
    s.focusable = true;
    if (!isBall()) s.selectable = true;
    if (const SceneToken* tok = token(); tok && tok->selected) s.selected = true;
    if (const SceneEquipment* e = piece(); e && e->selected) s.selected = true;
    if (!isValid()) s.invisible = true;
    // A half or the final third leaves pieces outside the board: off screen, not showing.
    else if (!QRect(view_->mapToGlobal(QPoint(0, 0)), view_->size()).intersects(rect())) s.invisible = s.offscreen = true;
    return s;
}

void* PlayerTokenAccessible::interface_cast(QAccessible::InterfaceType type) {
    return type == QAccessible::ActionInterface && !isBall() && !isEquipment() ? static_cast<QAccessibleActionInterface*>(this)
                                                                                : nullptr;
}

QStringList PlayerTokenAccessible::actionNames() const {
    if (isBall() || isEquipment()) return {};
    return {pressAction(), inspectAction()};
}

void PlayerTokenAccessible::doAction(const QString& actionName) {
    PlayerTokenHost* host = liveHost();
    if (!host || isBall() || isEquipment() || !token()) return;
    if (actionName == pressAction()) host->tokenPress(playerID_, false);
    else if (actionName == inspectAction()) host->tokenPress(playerID_, true);
}

// --- View ----------------------------------------------------------------------------

TokenViewAccessible::TokenViewAccessible(QWidget* view, PlayerTokenHost* host)
    : QAccessibleWidget(view, QAccessible::Graphic), host_(host) {}

int TokenViewAccessible::childCount() const {
    const BoardScene* scene = host_->tokenScene();
    // The players, then the ball, then the equipment.
    return scene ? static_cast<int>(scene->players.size() + 1 + scene->equipment.size()) : 0;
}

QAccessibleInterface* TokenViewAccessible::child(int index) const {
    const BoardScene* scene = host_->tokenScene();
    if (!scene || index < 0) return nullptr;
    const int players = static_cast<int>(scene->players.size());
    if (index < players) return host_->tokenAccessible(scene->players[static_cast<std::size_t>(index)].player.id);
    if (index == players) return host_->tokenAccessible({});
    const auto piece = static_cast<std::size_t>(index - players - 1);
    if (piece < scene->equipment.size())
        return host_->tokenAccessible(PlayerTokenHost::equipmentKey(scene->equipment[piece].piece.id));
    return nullptr;
}

int TokenViewAccessible::indexOfChild(const QAccessibleInterface* child) const {
    auto* token = dynamic_cast<const PlayerTokenAccessible*>(child);
    const BoardScene* scene = host_->tokenScene();
    if (!token || !scene) return -1;
    if (token->isBall()) return static_cast<int>(scene->players.size());
    if (token->isEquipment()) {
        for (std::size_t i = 0; i < scene->equipment.size(); ++i)
            if (PlayerTokenHost::equipmentKey(scene->equipment[i].piece.id) == token->playerID())
                return static_cast<int>(scene->players.size() + 1 + i);
        return -1;
    }
    for (std::size_t i = 0; i < scene->players.size(); ++i)
        if (scene->players[i].player.id == token->playerID()) return static_cast<int>(i);
    return -1;
}

QAccessibleInterface* TokenViewAccessible::childAt(int x, int y) const {
    if (!host_->tokenScene()) return nullptr;
    const QPointF at = widget()->mapFromGlobal(QPoint(x, y));
    if (host_->tokenBallRect().contains(at)) return host_->tokenAccessible({});
    auto id = host_->tokenAt(at);
    return id ? host_->tokenAccessible(*id) : nullptr;
}

}  // namespace vantrel

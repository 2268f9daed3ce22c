#include "ui/pitch/pitch_accessibility.h"

#include <QWidget>
#include <QWindow>

#include "core/store/board_store.h"
#include "ui/render/pitch_painting.h"

namespace vantrel {

namespace {

std::optional<Player> displayedPlayer(const BoardStore& store, const std::string& id) {
    for (const auto& p : store.displayPlayers())
        if (p.id == id) return p;
    return std::nullopt;
}

QAccessibleInterface* tokenViewFactory(const QString&, QObject* object) {
    auto* widget = qobject_cast<QWidget*>(object);
    auto* host = dynamic_cast<PlayerTokenHost*>(object);
    if (widget && host) return new TokenViewAccessible(widget, host);
    return nullptr;
}

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

std::optional<Player> PlayerTokenAccessible::player() const {
    const PlayerTokenHost* host = liveHost();
    return host ? displayedPlayer(host->tokenStore(), playerID_) : std::nullopt;
}

bool PlayerTokenAccessible::isValid() const { return player().has_value(); }

QWindow* PlayerTokenAccessible::window() const {
    return view_ && view_->window() ? view_->window()->windowHandle() : nullptr;
}

QAccessibleInterface* PlayerTokenAccessible::parent() const {
    return view_ ? QAccessible::queryAccessibleInterface(view_.data()) : nullptr;
}

QString PlayerTokenAccessible::text(QAccessible::Text t) const {
    const auto p = player();
    if (!p) return {};
    const QString team = QString::fromStdString(teamName(p->team));
    switch (t) {
        case QAccessible::Name: return team + QStringLiteral(" %1号").arg(p->number);
        case QAccessible::Description:
        case QAccessible::Help: return QStringLiteral("#%1 · %2\nControl + 点击查看球员信息").arg(p->number).arg(team);
        default: return {};
    }
}

QRect PlayerTokenAccessible::rect() const {
    const auto p = player();
    if (!p) return {};
    const QRect local = liveHost()->tokenRect(*p).toAlignedRect();
    return QRect(view_->mapToGlobal(local.topLeft()), local.size());
}

QAccessible::State PlayerTokenAccessible::state() const {
    QAccessible::State s;
    s.focusable = true;
    s.selectable = true;
    if (const PlayerTokenHost* host = liveHost(); host && host->tokenStore().selectedPlayer() == playerID_) s.selected = true;
    if (!isValid()) s.invisible = true;
    return s;
}

void* PlayerTokenAccessible::interface_cast(QAccessible::InterfaceType type) {
    return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
}

QStringList PlayerTokenAccessible::actionNames() const { return {pressAction(), inspectAction()}; }

void PlayerTokenAccessible::doAction(const QString& actionName) {
    PlayerTokenHost* host = liveHost();
    if (!host) return;
    if (actionName == pressAction()) host->tokenStore().selectPlayer(playerID_, false);
    else if (actionName == inspectAction()) host->tokenStore().selectPlayer(playerID_, true);
}

// --- View ----------------------------------------------------------------------------

TokenViewAccessible::TokenViewAccessible(QWidget* view, PlayerTokenHost* host)
    : QAccessibleWidget(view, QAccessible::Graphic), host_(host) {}

int TokenViewAccessible::childCount() const { return static_cast<int>(host_->tokenStore().displayPlayers().size()); }

QAccessibleInterface* TokenViewAccessible::child(int index) const {
    const auto players = host_->tokenStore().displayPlayers();
    if (index < 0 || index >= static_cast<int>(players.size())) return nullptr;
    return host_->tokenAccessible(players[static_cast<std::size_t>(index)].id);
}

int TokenViewAccessible::indexOfChild(const QAccessibleInterface* child) const {
    auto* token = dynamic_cast<const PlayerTokenAccessible*>(child);
    if (!token) return -1;
    const auto players = host_->tokenStore().displayPlayers();
    for (std::size_t i = 0; i < players.size(); ++i)
        if (players[i].id == token->playerID()) return static_cast<int>(i);
    return -1;
}

QAccessibleInterface* TokenViewAccessible::childAt(int x, int y) const {
    auto id = host_->tokenAt(widget()->mapFromGlobal(QPoint(x, y)));
    return id ? host_->tokenAccessible(*id) : nullptr;
}

}  // namespace vantrel

#include "ui/pitch/pitch_accessibility.h"

#include <QWidget>
#include <QWindow>

#include "ui/render/pitch_painting.h"
#include "ui/pitch/pitch_view.h"

namespace vantrel {

namespace {

const Player* displayedPlayer(const PitchView* view, const std::string& id, std::vector<Player>& storage) {
    storage = view->store().displayPlayers();
    for (const auto& p : storage)
        if (p.id == id) return &p;
    return nullptr;
}

}  // namespace

const QString& PlayerTokenAccessible::inspectAction() {
    static const QString name = QStringLiteral("查看球员信息");
    return name;
}

PlayerTokenAccessible::PlayerTokenAccessible(PitchView* view, std::string playerID)
    : view_(view), playerID_(std::move(playerID)) {}

bool PlayerTokenAccessible::isValid() const {
    std::vector<Player> players;
    return view_ && displayedPlayer(view_, playerID_, players);
}

QWindow* PlayerTokenAccessible::window() const {
    return view_ && view_->window() ? view_->window()->windowHandle() : nullptr;
}

QAccessibleInterface* PlayerTokenAccessible::parent() const {
    return view_ ? QAccessible::queryAccessibleInterface(view_.data()) : nullptr;
}

QString PlayerTokenAccessible::text(QAccessible::Text t) const {
    std::vector<Player> players;
    const Player* p = view_ ? displayedPlayer(view_, playerID_, players) : nullptr;
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
    std::vector<Player> players;
    const Player* p = view_ ? displayedPlayer(view_, playerID_, players) : nullptr;
    if (!p) return {};
    const QPointF centre = view_->toView(p->position);
    const qreal r = PitchPainting::kTokenDiameter / 2;
    const QRect local = QRectF(centre.x() - r, centre.y() - r, 2 * r, 2 * r).toAlignedRect();
    return QRect(view_->mapToGlobal(local.topLeft()), local.size());
}

QAccessible::State PlayerTokenAccessible::state() const {
    QAccessible::State s;
    s.focusable = true;
    s.selectable = true;
    if (view_ && view_->store().selectedPlayer() == playerID_) s.selected = true;
    if (!isValid()) s.invisible = true;
    return s;
}

void* PlayerTokenAccessible::interface_cast(QAccessible::InterfaceType type) {
    return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
}

QStringList PlayerTokenAccessible::actionNames() const { return {pressAction(), inspectAction()}; }

void PlayerTokenAccessible::doAction(const QString& actionName) {
    if (!view_) return;
    if (actionName == pressAction()) view_->store().selectPlayer(playerID_, false);
    else if (actionName == inspectAction()) view_->store().selectPlayer(playerID_, true);
}

PitchViewAccessible::PitchViewAccessible(PitchView* view) : QAccessibleWidget(view, QAccessible::Graphic) {}

int PitchViewAccessible::childCount() const {
    return static_cast<int>(static_cast<PitchView*>(widget())->store().displayPlayers().size());
}

QAccessibleInterface* PitchViewAccessible::child(int index) const {
    auto* view = static_cast<PitchView*>(widget());
    const auto players = view->store().displayPlayers();
    if (index < 0 || index >= static_cast<int>(players.size())) return nullptr;
    return view->tokenAccessible(players[static_cast<std::size_t>(index)].id);
}

int PitchViewAccessible::indexOfChild(const QAccessibleInterface* child) const {
    auto* token = dynamic_cast<const PlayerTokenAccessible*>(child);
    if (!token) return -1;
    const auto players = static_cast<PitchView*>(widget())->store().displayPlayers();
    for (std::size_t i = 0; i < players.size(); ++i)
        if (players[i].id == token->playerID()) return static_cast<int>(i);
    return -1;
}

QAccessibleInterface* PitchViewAccessible::childAt(int x, int y) const {
    auto* view = static_cast<PitchView*>(widget());
    auto id = view->playerAt(view->mapFromGlobal(QPoint(x, y)));
    return id ? view->tokenAccessible(*id) : nullptr;
}

QAccessibleInterface* PitchViewAccessible::factory(const QString&, QObject* object) {
    if (auto* view = qobject_cast<PitchView*>(object)) return new PitchViewAccessible(view);
    return nullptr;
}

}  // namespace vantrel

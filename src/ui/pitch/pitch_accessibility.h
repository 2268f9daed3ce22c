#pragma once

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPointer>
#include <QRectF>

#include <map>
#include <optional>
#include <string>

#include "core/model/board.h"

namespace vantrel {

class BoardStore;

// A view that paints player tokens (the flat board's discs, the 3D board's pucks) and
// shows each to assistive technology as a button of its own.
class PlayerTokenHost {
public:
    virtual ~PlayerTokenHost();

    virtual QWidget* tokenView() = 0;
    virtual BoardStore& tokenStore() const = 0;
    // Where the player's token is drawn now, in the view's coordinates.
    virtual QRectF tokenRect(const Player& player) const = 0;
    // The topmost token at a point of the view.
    virtual std::optional<std::string> tokenAt(QPointF viewPoint) const = 0;

    // The accessibility interface of a player's token, made on first request and kept
    // (assistive technology holds it by id) until the view goes.
    QAccessibleInterface* tokenAccessible(const std::string& playerID);

    // Installs the factory that gives such views their interface; idempotent.
    static void installAccessibility();

private:
    std::map<std::string, unsigned> tokenAccessibleIDs_;
};

// Player tokens are painted, not widgets; assistive technology sees each one as a
// button named "蓝队 7号" with the press and "查看球员信息" actions.
class PlayerTokenAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    static const QString& inspectAction();

    PlayerTokenAccessible(PlayerTokenHost* host, std::string playerID);

    bool isValid() const override;
    QObject* object() const override { return nullptr; }
    QWindow* window() const override;
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override;
    QAccessible::Role role() const override { return QAccessible::Button; }
    QAccessible::State state() const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

    const std::string& playerID() const { return playerID_; }

private:
    // The host while its view lives; the view's pointer says whether it still does.
    PlayerTokenHost* liveHost() const { return view_ ? host_ : nullptr; }
    std::optional<Player> player() const;

    PlayerTokenHost* host_;
    QPointer<QWidget> view_;
    std::string playerID_;
};

// A token view as a graphic whose children are its tokens, in the store's display order.
class TokenViewAccessible : public QAccessibleWidget {
public:
    TokenViewAccessible(QWidget* view, PlayerTokenHost* host);
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;

private:
    PlayerTokenHost* host_;
};

}  // namespace vantrel

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPointer>
#include <QRectF>

#include <map>
#include <optional>
#include <string>

#include "core/scene/board_scene.h"

namespace vantrel {

// A view that paints a board scene and shows its players (the flat board's discs, the 3D
// board's pucks) and its ball to assistive technology as objects of their own, at the
// places where they are drawn.
class PlayerTokenHost {
public:
    virtual ~PlayerTokenHost();

    virtual QWidget* tokenView() = 0;
    // The scene shown now; null while the view shows nothing (hidden).
    virtual const BoardScene* tokenScene() const = 0;
    // Where a token and the ball are drawn now, in the view's coordinates.
    virtual QRectF tokenRect(const SceneToken& token) const = 0;
    virtual QRectF tokenBallRect() const = 0;
    // The topmost token at a point of the view.
    virtual std::optional<std::string> tokenAt(QPointF viewPoint) const = 0;
    // A token's press ("查看球员信息" when `inspect`).
    virtual void tokenPress(const std::string& playerID, bool inspect) = 0;
    // Where a piece of training equipment is drawn now; a view that draws none says so.
    virtual QRectF equipmentRect(const SceneEquipment&) const { return {}; }
    // The accessible key of a piece of equipment ("equipment:" and its id).
    static std::string equipmentKey(const Uuid& id) { return "equipment:" + id.string(); }
    static bool isEquipmentKey(const std::string& key) { return key.rfind("equipment:", 0) == 0; }

    // The accessibility interface of a player's token (an empty id: the ball), made on
    // first request and kept (assistive technology holds it by id) until the view goes.
    QAccessibleInterface* tokenAccessible(const std::string& playerID);

    // Installs the factory that gives such views their interface; idempotent.
    static void installAccessibility();

private:
    std::map<std::string, unsigned> tokenAccessibleIDs_;
};

// Player tokens are painted, not widgets; assistive technology sees each one as a
// button named "蓝队 7号" with the press and "查看球员信息" actions, and the ball as a
// graphic named "足球".
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
    QAccessible::Role role() const override { return isBall() ? QAccessible::Graphic : QAccessible::Button; }
    QAccessible::State state() const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

    const std::string& playerID() const { return playerID_; }
    bool isBall() const { return playerID_.empty(); }
    // A piece of training equipment, named by kind and number ("标志桶 3").
    bool isEquipment() const { return PlayerTokenHost::isEquipmentKey(playerID_); }

private:
    // The host while its view lives and shows a scene.
    PlayerTokenHost* liveHost() const { return view_ ? host_ : nullptr; }
    const BoardScene* scene() const;
    const SceneToken* token() const;
    const SceneEquipment* piece() const;

    PlayerTokenHost* host_;
    QPointer<QWidget> view_;
    std::string playerID_;
};

// A board view as a graphic whose children are its tokens, in the scene's order, then
// the ball, then the step's training equipment.
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

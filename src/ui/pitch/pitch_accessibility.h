#pragma once

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPointer>

#include <map>
#include <string>

namespace vantrel {

class PitchView;

// Player tokens are painted, not widgets; assistive technology sees each one as a
// button named "蓝队 7号" with the press and "查看球员信息" actions.
class PlayerTokenAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    static const QString& inspectAction();

    PlayerTokenAccessible(PitchView* view, std::string playerID);

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
    QPointer<PitchView> view_;
    std::string playerID_;
};

class PitchViewAccessible : public QAccessibleWidget {
public:
    explicit PitchViewAccessible(PitchView* view);
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;

    static QAccessibleInterface* factory(const QString& className, QObject* object);
};

}  // namespace vantrel

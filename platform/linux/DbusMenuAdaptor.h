#pragma once

#include <QDBusAbstractAdaptor>
#include <QDBusArgument>
#include <QDBusVariant>
#include <QList>
#include <QMetaType>
#include <QStringList>
#include <QVariantMap>

class DbusMenu;

// (ia{sv}av): an entry, its properties and its children, each child a variant of the same.
struct DbusMenuLayout {
    int id = 0;
    QVariantMap properties;
    QList<DbusMenuLayout> children;
};
// (ia{sv}): an entry's properties.
struct DbusMenuProperties {
    int id = 0;
    QVariantMap properties;
};
using DbusMenuPropertiesList = QList<DbusMenuProperties>;
// (ias): the names of properties an entry lost.
struct DbusMenuRemoved {
    int id = 0;
    QStringList names;
};
using DbusMenuRemovedList = QList<DbusMenuRemoved>;
// (isvu): one event of EventGroup.
struct DbusMenuEvent {
    int id = 0;
    QString eventId;
    QDBusVariant data;
    uint timestamp = 0;
};
using DbusMenuEventList = QList<DbusMenuEvent>;

Q_DECLARE_METATYPE(DbusMenuLayout)
Q_DECLARE_METATYPE(DbusMenuProperties)
Q_DECLARE_METATYPE(DbusMenuRemoved)
Q_DECLARE_METATYPE(DbusMenuEvent)

QDBusArgument& operator<<(QDBusArgument& out, const DbusMenuLayout& item);
const QDBusArgument& operator>>(const QDBusArgument& in, DbusMenuLayout& item);
QDBusArgument& operator<<(QDBusArgument& out, const DbusMenuProperties& item);
const QDBusArgument& operator>>(const QDBusArgument& in, DbusMenuProperties& item);
QDBusArgument& operator<<(QDBusArgument& out, const DbusMenuRemoved& item);
const QDBusArgument& operator>>(const QDBusArgument& in, DbusMenuRemoved& item);
QDBusArgument& operator<<(QDBusArgument& out, const DbusMenuEvent& event);
const QDBusArgument& operator>>(const QDBusArgument& in, DbusMenuEvent& event);

// The menu's face on the bus: com.canonical.dbusmenu, version 3. Every call is answered from
// the menu it belongs to; a bad one gets an error reply, never a crash.
class DbusMenuAdaptor final : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.canonical.dbusmenu")
    Q_CLASSINFO("D-Bus Introspection",
                "  <interface name=\"com.canonical.dbusmenu\">\n"
                "    <property name=\"Version\" type=\"u\" access=\"read\"/>\n"
                "    <property name=\"TextDirection\" type=\"s\" access=\"read\"/>\n"
                "    <property name=\"Status\" type=\"s\" access=\"read\"/>\n"
                "    <property name=\"IconThemePath\" type=\"as\" access=\"read\"/>\n"
                "    <method name=\"GetLayout\">\n"
                "      <arg type=\"i\" name=\"parentId\" direction=\"in\"/>\n"
                "      <arg type=\"i\" name=\"recursionDepth\" direction=\"in\"/>\n"
                "      <arg type=\"as\" name=\"propertyNames\" direction=\"in\"/>\n"
                "      <arg type=\"u\" name=\"revision\" direction=\"out\"/>\n"
                "      <arg type=\"(ia{sv}av)\" name=\"layout\" direction=\"out\"/>\n"
                "    </method>\n"
                "    <method name=\"GetGroupProperties\">\n"
                "      <arg type=\"ai\" name=\"ids\" direction=\"in\"/>\n"
                "      <arg type=\"as\" name=\"propertyNames\" direction=\"in\"/>\n"
                "      <arg type=\"a(ia{sv})\" name=\"properties\" direction=\"out\"/>\n"
                "    </method>\n"
                "    <method name=\"GetProperty\">\n"
                "      <arg type=\"i\" name=\"id\" direction=\"in\"/>\n"
                "      <arg type=\"s\" name=\"name\" direction=\"in\"/>\n"
                "      <arg type=\"v\" name=\"value\" direction=\"out\"/>\n"
                "    </method>\n"
                "    <method name=\"Event\">\n"
                "      <arg type=\"i\" name=\"id\" direction=\"in\"/>\n"
                "      <arg type=\"s\" name=\"eventId\" direction=\"in\"/>\n"
                "      <arg type=\"v\" name=\"data\" direction=\"in\"/>\n"
                "      <arg type=\"u\" name=\"timestamp\" direction=\"in\"/>\n"
                "    </method>\n"
                "    <method name=\"EventGroup\">\n"
                "      <arg type=\"a(isvu)\" name=\"events\" direction=\"in\"/>\n"
                "      <arg type=\"ai\" name=\"idErrors\" direction=\"out\"/>\n"
                "    </method>\n"
                "    <method name=\"AboutToShow\">\n"
                "      <arg type=\"i\" name=\"id\" direction=\"in\"/>\n"
                "      <arg type=\"b\" name=\"needUpdate\" direction=\"out\"/>\n"
                "    </method>\n"
                "    <method name=\"AboutToShowGroup\">\n"
                "      <arg type=\"ai\" name=\"ids\" direction=\"in\"/>\n"
                "      <arg type=\"ai\" name=\"updatesNeeded\" direction=\"out\"/>\n"
                "      <arg type=\"ai\" name=\"idErrors\" direction=\"out\"/>\n"
                "    </method>\n"
                "    <signal name=\"ItemsPropertiesUpdated\">\n"
                "      <arg type=\"a(ia{sv})\" name=\"updatedProps\" direction=\"out\"/>\n"
                "      <arg type=\"a(ias)\" name=\"removedProps\" direction=\"out\"/>\n"
                "    </signal>\n"
                "    <signal name=\"LayoutUpdated\">\n"
                "      <arg type=\"u\" name=\"revision\" direction=\"out\"/>\n"
                "      <arg type=\"i\" name=\"parent\" direction=\"out\"/>\n"
                "    </signal>\n"
                "    <signal name=\"ItemActivationRequested\">\n"
                "      <arg type=\"i\" name=\"id\" direction=\"out\"/>\n"
                "      <arg type=\"u\" name=\"timestamp\" direction=\"out\"/>\n"
                "    </signal>\n"
                "  </interface>\n")
    Q_PROPERTY(uint Version READ version)
    Q_PROPERTY(QString TextDirection READ textDirection)
    Q_PROPERTY(QString Status READ status)
    Q_PROPERTY(QStringList IconThemePath READ iconThemePath)

  public:
    DbusMenuAdaptor(DbusMenu& menu);
    static void registerTypes();

    uint version() const { return 3; }
    QString textDirection() const;
    QString status() const { return QStringLiteral("normal"); }
    QStringList iconThemePath() const { return {}; }

  public slots:
    uint GetLayout(int parentId, int recursionDepth, const QStringList& propertyNames,
                   DbusMenuLayout& layout);
    DbusMenuPropertiesList GetGroupProperties(const QList<int>& ids,
                                              const QStringList& propertyNames);
    QDBusVariant GetProperty(int id, const QString& name);
    void Event(int id, const QString& eventId, const QDBusVariant& data, uint timestamp);
    QList<int> EventGroup(const DbusMenuEventList& events);
    bool AboutToShow(int id);
    QList<int> AboutToShowGroup(const QList<int>& ids, QList<int>& idErrors);

  signals:
    void ItemsPropertiesUpdated(const DbusMenuPropertiesList& updatedProps,
                                const DbusMenuRemovedList& removedProps);
    void LayoutUpdated(uint revision, int parent);
    void ItemActivationRequested(int id, uint timestamp);

  private:
    void refuse(const QString& why);

    DbusMenu& menu_;
};

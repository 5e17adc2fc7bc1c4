#include "platform/linux/DbusMenuAdaptor.h"

#include "platform/linux/DbusMenu.h"

#include <QDBusMetaType>
#include <QGuiApplication>

QDBusArgument& operator<<(QDBusArgument& out, const DbusMenuLayout& item) {
    out.beginStructure();
    out << item.id << item.properties;
    out.beginArray(QMetaType::fromType<QDBusVariant>());
    for (const DbusMenuLayout& child : item.children)
        out << QDBusVariant(QVariant::fromValue(child));
    out.endArray();
    out.endStructure();
    return out;
}

const QDBusArgument& operator>>(const QDBusArgument& in, DbusMenuLayout& item) {
    in.beginStructure();
    in >> item.id >> item.properties;
    in.beginArray();
    item.children.clear();
    while (!in.atEnd()) {
        QDBusVariant child;
        in >> child;
        const QVariant v = child.variant();
        if (v.canConvert<QDBusArgument>())
            item.children.append(qdbus_cast<DbusMenuLayout>(v.value<QDBusArgument>()));
        else
            item.children.append(v.value<DbusMenuLayout>());
    }
    in.endArray();
    in.endStructure();
    return in;
}

QDBusArgument& operator<<(QDBusArgument& out, const DbusMenuProperties& item) {
    out.beginStructure();
    out << item.id << item.properties;
    out.endStructure();
    return out;
}

const QDBusArgument& operator>>(const QDBusArgument& in, DbusMenuProperties& item) {
    in.beginStructure();
    in >> item.id >> item.properties;
    in.endStructure();
    return in;
}

QDBusArgument& operator<<(QDBusArgument& out, const DbusMenuRemoved& item) {
    out.beginStructure();
    out << item.id << item.names;
    out.endStructure();
    return out;
}

const QDBusArgument& operator>>(const QDBusArgument& in, DbusMenuRemoved& item) {
    in.beginStructure();
    in >> item.id >> item.names;
    in.endStructure();
    return in;
}

QDBusArgument& operator<<(QDBusArgument& out, const DbusMenuEvent& event) {
    out.beginStructure();
    out << event.id << event.eventId << event.data << event.timestamp;
    out.endStructure();
    return out;
}

const QDBusArgument& operator>>(const QDBusArgument& in, DbusMenuEvent& event) {
    in.beginStructure();
    in >> event.id >> event.eventId >> event.data >> event.timestamp;
    in.endStructure();
    return in;
}

DbusMenuAdaptor::DbusMenuAdaptor(DbusMenu& menu) : QDBusAbstractAdaptor(&menu), menu_(menu) {
    // Hosts read the layout when the item appears, before any change is signalled.
    setAutoRelaySignals(false);
}

void DbusMenuAdaptor::registerTypes() {
    qDBusRegisterMetaType<DbusMenuLayout>();
    qDBusRegisterMetaType<DbusMenuProperties>();
    qDBusRegisterMetaType<DbusMenuPropertiesList>();
    qDBusRegisterMetaType<DbusMenuRemoved>();
    qDBusRegisterMetaType<DbusMenuRemovedList>();
    qDBusRegisterMetaType<DbusMenuEvent>();
    qDBusRegisterMetaType<DbusMenuEventList>();
    qDBusRegisterMetaType<QList<int>>();
    // The signals' and slots' signatures name the lists by their aliases.
    qRegisterMetaType<DbusMenuPropertiesList>("DbusMenuPropertiesList");
    qRegisterMetaType<DbusMenuRemovedList>("DbusMenuRemovedList");
    qRegisterMetaType<DbusMenuEventList>("DbusMenuEventList");
}

QString DbusMenuAdaptor::textDirection() const {
    return QGuiApplication::layoutDirection() == Qt::RightToLeft ? QStringLiteral("rtl")
                                                                 : QStringLiteral("ltr");
}

void DbusMenuAdaptor::refuse(const QString& why) {
    menu_.tell(QStringLiteral("the tray's menu host %1; ignored").arg(why));
    menu_.replyError(why);
}

uint DbusMenuAdaptor::GetLayout(int parentId, int recursionDepth, const QStringList& propertyNames,
                                DbusMenuLayout& layout) {
    menu_.countCall();
    menu_.refresh();
    layout = {};
    if (!menu_.has(parentId)) {
        refuse(QStringLiteral("asked for the layout under entry %1, which is not there")
                   .arg(parentId));
        return menu_.revision();
    }
    layout.id = parentId;
    layout.properties = menu_.properties(parentId, propertyNames);
    // The menu is one level deep: only the root has children.
    if (parentId == 0 && recursionDepth != 0) {
        for (const DbusMenu::Entry& entry : menu_.entries())
            layout.children.append({entry.id, menu_.properties(entry.id, propertyNames), {}});
        menu_.layoutRead();
    }
    return menu_.revision();
}

DbusMenuPropertiesList DbusMenuAdaptor::GetGroupProperties(const QList<int>& ids,
                                                           const QStringList& propertyNames) {
    menu_.countCall();
    menu_.refresh();
    DbusMenuPropertiesList found;
    int missing = 0;
    // An empty list asks for every entry.
    QList<int> wanted = ids;
    if (wanted.isEmpty()) {
        wanted.append(0);
        for (const DbusMenu::Entry& entry : menu_.entries())
            wanted.append(entry.id);
    }
    for (int id : wanted) {
        if (!menu_.has(id)) {
            ++missing;
            continue;
        }
        found.append({id, menu_.properties(id, propertyNames)});
    }
    // The ones that are there still get their answer.
    if (missing)
        menu_.tell(QStringLiteral("the tray's menu host asked for %1 entries that are not "
                                  "there; answered for the rest")
                       .arg(missing));
    return found;
}

QDBusVariant DbusMenuAdaptor::GetProperty(int id, const QString& name) {
    menu_.countCall();
    menu_.refresh();
    if (!menu_.has(id)) {
        refuse(QStringLiteral("asked for a property of entry %1, which is not there").arg(id));
        return QDBusVariant(QString());
    }
    const QVariantMap properties = menu_.properties(id, {name});
    if (!properties.contains(name)) {
        // Not an error the host can help: the property has its default.
        menu_.replyError(QStringLiteral("entry %1 has no property %2").arg(id).arg(name));
        return QDBusVariant(QString());
    }
    return QDBusVariant(properties.value(name));
}

void DbusMenuAdaptor::Event(int id, const QString& eventId, const QDBusVariant&, uint) {
    menu_.countCall();
    if (!menu_.event(id, eventId))
        refuse(QStringLiteral("sent \"%1\" to entry %2, which is not in the menu now")
                   .arg(eventId.left(40))
                   .arg(id));
}

QList<int> DbusMenuAdaptor::EventGroup(const DbusMenuEventList& events) {
    menu_.countCall();
    QList<int> errors;
    for (const DbusMenuEvent& event : events)
        if (!menu_.event(event.id, event.eventId)) errors.append(event.id);
    if (!errors.isEmpty())
        menu_.tell(QStringLiteral("the tray's menu host sent %1 events to entries not in the "
                                  "menu now; ignored")
                       .arg(errors.size()));
    // All of them failing is an error, as for one Event.
    if (!events.isEmpty() && errors.size() == events.size())
        menu_.replyError(QStringLiteral("no such entries"));
    return errors;
}

bool DbusMenuAdaptor::AboutToShow(int id) {
    menu_.countCall();
    if (!menu_.has(id)) {
        refuse(QStringLiteral("is about to show entry %1, which is not there").arg(id));
        return false;
    }
    return menu_.aboutToShow();
}

QList<int> DbusMenuAdaptor::AboutToShowGroup(const QList<int>& ids, QList<int>& idErrors) {
    menu_.countCall();
    QList<int> updates;
    idErrors.clear();
    bool changed = false;
    bool asked = false;
    for (int id : ids) {
        if (!menu_.has(id)) {
            idErrors.append(id);
            continue;
        }
        if (!asked) {
            changed = menu_.aboutToShow();
            asked = true;
        }
        if (changed) updates.append(id);
    }
    if (!idErrors.isEmpty())
        menu_.tell(QStringLiteral("the tray's menu host is about to show %1 entries that are "
                                  "not there; ignored")
                       .arg(idErrors.size()));
    return updates;
}

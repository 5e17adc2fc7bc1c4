#include "platform/linux/DbusMenu.h"

#include "base/Log.h"
#include "platform/linux/DbusMenuAdaptor.h"

#include <QTimer>

namespace {

// More calls than this in a second is no host showing a menu to a person.
constexpr int floodCalls = 200;
// Lines about a host's mistakes in one second.
constexpr int toldPerSecond = 3;
// A host that said "opened" and never "closed" (it went away) stops counting as showing.
constexpr qint64 shownAtMostMs = 5 * 60 * 1000;

// dbusmenu labels mark a mnemonic with '_'; ours have none, so each '_' is doubled.
QString escaped(const QString& label) {
    QString out = label;
    return out.replace(u'_', QStringLiteral("__"));
}

bool sameShape(const QList<DbusMenu::Entry>& a, const QList<DbusMenu::Entry>& b) {
    if (a.size() != b.size()) return false;
    for (qsizetype i = 0; i < a.size(); ++i)
        if (a[i].id != b[i].id || a[i].separator != b[i].separator) return false;
    return true;
}

} // namespace

DbusMenu::DbusMenu(QDBusConnection bus, QObject* parent)
    : QObject(parent), bus_(std::move(bus)), adaptor_(new DbusMenuAdaptor(*this)) {
    DbusMenuAdaptor::registerTypes();
    exported_ = bus_.registerObject(path, this, QDBusConnection::ExportAdaptors);
    if (!exported_)
        Log::error(QStringLiteral("cannot put the tray's menu on the session bus: %1")
                       .arg(bus_.lastError().message()));
}

DbusMenu::~DbusMenu() {
    if (exported_) bus_.unregisterObject(path);
}

void DbusMenu::setEntries(QList<Entry> entries) {
    if (entries == entries_) return;
    if (!sameShape(entries, entries_)) {
        entries_ = std::move(entries);
        ++revision_;
        emit adaptor_->LayoutUpdated(revision_, 0);
        return;
    }
    DbusMenuPropertiesList changed;
    DbusMenuRemovedList removed;
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const Entry& now = entries[i];
        const Entry& before = entries_[i];
        if (now == before) continue;
        DbusMenuProperties p{now.id, {}};
        if (now.label != before.label) p.properties.insert("label", escaped(now.label));
        if (now.enabled != before.enabled) {
            // Back to its default: the property goes, as the description says.
            if (now.enabled)
                removed.append({now.id, {QStringLiteral("enabled")}});
            else
                p.properties.insert("enabled", false);
        }
        if (!p.properties.isEmpty()) changed.append(p);
    }
    entries_ = std::move(entries);
    emit adaptor_->ItemsPropertiesUpdated(changed, removed);
}

bool DbusMenu::has(int id) const {
    if (id == 0) return true;
    return std::any_of(entries_.begin(), entries_.end(),
                       [id](const Entry& e) { return e.id == id; });
}

QVariantMap DbusMenu::properties(int id, const QStringList& names) const {
    QVariantMap all;
    if (id == 0) {
        all.insert("children-display", QStringLiteral("submenu"));
    } else {
        for (const Entry& e : entries_) {
            if (e.id != id) continue;
            if (e.separator) {
                all.insert("type", QStringLiteral("separator"));
            } else {
                all.insert("label", escaped(e.label));
                if (!e.enabled) all.insert("enabled", false);
            }
        }
    }
    if (names.isEmpty()) return all;
    QVariantMap some;
    for (const QString& name : names)
        if (all.contains(name)) some.insert(name, all.value(name));
    return some;
}

bool DbusMenu::event(int id, const QString& eventId) {
    if (!has(id)) return false;
    if (eventId == QLatin1String("opened")) {
        openedFor_.start();
        // From here the labels are sent as they change; the first at once.
        if (entriesNow) setEntries(entriesNow());
    } else if (eventId == QLatin1String("closed")) {
        openedFor_.invalidate();
        if (onHidden) onHidden();
    } else if (eventId == QLatin1String("clicked") && id != 0) {
        const auto entry = std::find_if(entries_.begin(), entries_.end(),
                                        [id](const Entry& e) { return e.id == id; });
        if (entry->separator || !entry->enabled) return true;
        // After the reply: a click on Quit must not end the process under the host's call.
        QTimer::singleShot(0, this, [this, id] {
            if (onClicked && has(id)) onClicked(id);
        });
    }
    return true;
}

void DbusMenu::refresh() {
    if (!entriesNow) return;
    QList<Entry> now = entriesNow();
    if (sameShape(now, entries_))
        entries_ = std::move(now);
    else
        setEntries(std::move(now));
}

bool DbusMenu::aboutToShow() {
    refresh();
    return entries_ != lastRead_;
}

bool DbusMenu::shownByHost() const {
    return openedFor_.isValid() && openedFor_.elapsed() < shownAtMostMs;
}

void DbusMenu::countCall() {
    if (!callWindow_.isValid() || callWindow_.elapsed() >= 1000) {
        // A calm second ends a flood.
        if (callsInWindow_ <= floodCalls) floodTold_ = false;
        callWindow_.start();
        callsInWindow_ = 0;
        toldInWindow_ = 0;
    }
    if (++callsInWindow_ == floodCalls + 1 && !floodTold_) {
        floodTold_ = true;
        Log::notice(QStringLiteral("a tray host calls the menu more than %1 times a second; "
                                   "its calls are answered, its mistakes no longer logged")
                        .arg(floodCalls));
    }
}

void DbusMenu::tell(const QString& line) {
    if (floodTold_) return;
    // A host that errs on every call gets a few lines a second, not one per call.
    if (++toldInWindow_ > toldPerSecond) return;
    Log::notice(line);
    if (toldInWindow_ == toldPerSecond)
        Log::notice(QStringLiteral("the tray's menu host errs often; its further mistakes this "
                                   "second are not logged"));
}

void DbusMenu::replyError(const QString& why) {
    if (calledFromDBus()) sendErrorReply(QDBusError::InvalidArgs, why);
}

#include "platform/wayland/MutterIdle.h"

#include "base/Log.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <algorithm>

namespace {

const QString kService = QStringLiteral("org.gnome.Mutter.IdleMonitor");
const QString kPath = QStringLiteral("/org/gnome/Mutter/IdleMonitor/Core");
const QString kInterface = QStringLiteral("org.gnome.Mutter.IdleMonitor");
constexpr quint64 kStillMs = 1000; // input quiet this long counts as idle

} // namespace

MutterIdle::MutterIdle(InputIdle& xwayland, QDBusConnection bus) : xwayland_(xwayland), bus_(bus) {
    clock_.start();
}

void MutterIdle::start() {
    bus_.connect(QString(), kPath, kInterface, QStringLiteral("WatchFired"), this,
                 SLOT(watchFired(QDBusMessage)));
    auto* names =
        new QDBusServiceWatcher(kService, bus_, QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(names, &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString&, const QString&, const QString& owner) { ownerIs(owner); });
    QDBusMessage ask = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("GetNameOwner"));
    auto* call = new QDBusPendingCallWatcher(bus_.asyncCall(ask << kService), this);
    connect(call, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        const QDBusPendingReply<QString> reply = *w;
        if (owner_.isEmpty()) ownerIs(reply.isError() ? QString() : reply.value());
    });
}

void MutterIdle::ownerIs(const QString& owner) {
    owner_ = owner;
    available_ = false;
    idleSince_.reset();
    idleWatch_ = activeWatch_ = 0;
    activePending_ = false;
    if (owner.isEmpty()) {
        unavailable(QStringLiteral("it is not on the session bus"));
        return;
    }
    // The idle time now, then a lasting watch for each quiet second.
    const QDBusMessage ask =
        QDBusMessage::createMethodCall(owner, kPath, kInterface, QStringLiteral("GetIdletime"));
    auto* call = new QDBusPendingCallWatcher(bus_.asyncCall(ask), this);
    connect(call, &QDBusPendingCallWatcher::finished, this,
            [this, owner](QDBusPendingCallWatcher* w) {
                w->deleteLater();
                if (owner != owner_) return;
                const QDBusPendingReply<quint64> reply = *w;
                if (reply.isError()) {
                    unavailable(reply.error().message());
                    return;
                }
                if (!available_)
                    Log::notice(QStringLiteral("idle times from GNOME's idle monitor"));
                available_ = true;
                unavailableTold_ = false;
                const quint64 ms = reply.value();
                if (ms >= kStillMs) {
                    idleSince_ = now() - double(ms) / 1000;
                    addWatch(true);
                }
                addWatch(false);
            });
}

void MutterIdle::addWatch(bool active) {
    QDBusMessage ask = QDBusMessage::createMethodCall(owner_, kPath, kInterface,
                                                      active ? QStringLiteral("AddUserActiveWatch")
                                                             : QStringLiteral("AddIdleWatch"));
    if (!active) ask << quint64(kStillMs);
    if (active) activePending_ = true;
    const QString owner = owner_;
    auto* call = new QDBusPendingCallWatcher(bus_.asyncCall(ask), this);
    connect(call, &QDBusPendingCallWatcher::finished, this,
            [this, owner, active](QDBusPendingCallWatcher* w) {
                w->deleteLater();
                if (owner != owner_) return;
                const QDBusPendingReply<quint32> reply = *w;
                if (reply.isError()) {
                    unavailable(reply.error().message());
                    return;
                }
                if (!active) {
                    idleWatch_ = reply.value();
                } else if (activePending_) {
                    activePending_ = false;
                    activeWatch_ = reply.value();
                }
            });
}

void MutterIdle::watchFired(const QDBusMessage& message) {
    if (message.service() != owner_ || message.arguments().size() != 1) return;
    const quint32 id = message.arguments().first().toUInt();
    if (id != 0 && id == idleWatch_) {
        // A second without input: counted from when it began. One-shot watch for its end.
        idleSince_ = now() - double(kStillMs) / 1000;
        if (!activePending_ && !activeWatch_) addWatch(true);
        if (onQuiet) onQuiet();
        return;
    }
    // Our only other watch is the one-shot one for input coming back (its id may be on its way
    // still when it fires).
    if (id == activeWatch_ || activePending_) {
        activeWatch_ = 0;
        activePending_ = false;
        idleSince_.reset();
        if (onActive) onActive();
        if (onPointer) onPointer();
    }
}

void MutterIdle::unavailable(const QString& why) {
    available_ = false;
    if (unavailableTold_) return;
    unavailableTold_ = true;
    Log::notice(QStringLiteral("no idle time from GNOME's idle monitor (%1); the cat does not "
                               "hunt the pointer")
                    .arg(why));
}

double MutterIdle::secondsSinceAnyInput() const {
    if (!available_) return xwayland_.secondsSinceAnyInput();
    return idleSince_ ? now() - *idleSince_ : 0.0;
}

double MutterIdle::secondsSinceKeyDown() const {
    // A key press is input too, so it is never longer ago than the last input of any kind.
    return std::max(xwayland_.secondsSinceKeyDown(), secondsSinceAnyInput());
}

double MutterIdle::secondsSinceMouseMoved() const {
    // A still pointer is what the cat hunts; without the monitor none is ever known to be still.
    return available_ ? secondsSinceAnyInput() : 0.0;
}

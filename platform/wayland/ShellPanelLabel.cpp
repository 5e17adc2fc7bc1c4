#include "platform/wayland/ShellPanelLabel.h"

#include "base/Log.h"

#include <QDBusConnectionInterface>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <algorithm>

ShellPanelLabel::ShellPanelLabel(QDBusConnection bus, QObject* parent)
    : QObject(parent), bus_(std::move(bus)) {
    if (!bus_.isConnected()) return;
    exported_ = bus_.registerObject(path, this,
                                    QDBusConnection::ExportScriptableSlots |
                                        QDBusConnection::ExportScriptableSignals) &&
                bus_.registerService(service);
    if (!exported_) {
        Log::notice(QStringLiteral("cannot offer the paw to GNOME Shell's top bar: %1")
                        .arg(bus_.lastError().message()));
        return;
    }
    const QString watcher = QStringLiteral("org.kde.StatusNotifierWatcher");
    trayHost_ = bus_.interface() && bus_.interface()->isServiceRegistered(watcher).value();
    trayHosts_ =
        new QDBusServiceWatcher(watcher, bus_, QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(trayHosts_, &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString&, const QString&, const QString& owner) {
                trayHost_ = !owner.isEmpty();
            });
}

ShellPanelLabel::~ShellPanelLabel() {
    if (!exported_) return;
    bus_.unregisterService(service);
    bus_.unregisterObject(path);
}

void ShellPanelLabel::setText(const QString& text) {
    if (text == text_) return;
    text_ = text;
    if (exported_ && !trayHost_) emit LabelChanged(text_);
}

void ShellPanelLabel::askShown(std::function<void(bool)> answer) {
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.gnome.Shell"), QStringLiteral("/org/gnome/Shell"),
        QStringLiteral("org.gnome.Shell.Extensions"), QStringLiteral("GetExtensionInfo"));
    call << QStringLiteral("purrlox@purrlox.app");
    auto* pending = new QDBusPendingCallWatcher(bus_.asyncCall(call, 3000), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this,
            [answer = std::move(answer)](QDBusPendingCallWatcher* w) {
                w->deleteLater();
                const QDBusPendingReply<QVariantMap> reply = *w;
                // 1 is ENABLED in the Shell's extension states.
                answer(!reply.isError() &&
                       reply.value().value(QStringLiteral("state")).toInt() == 1);
            });
}

void ShellPanelLabel::Open(int x, int y) {
    // Bounded, so no mapping of a confused caller's point overflows.
    constexpr int far = 1 << 20;
    if (onOpen) onOpen(QPoint(std::clamp(x, -far, far), std::clamp(y, -far, far)));
}

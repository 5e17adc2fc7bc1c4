#include "system/LaunchAtLogin.h"

#include "base/Log.h"
#include "platform/Settings.h"

LaunchAtLogin::LaunchAtLogin(LoginItem& item, Settings& defaults, QObject* parent)
    : QObject(parent), item_(item), status_(item.status()) {
    const QString key = QString::fromLatin1(configuredKey);
    if (!defaults.boolean(key).value_or(false)) {
        set(true);
        defaults.setBoolean(key, true);
    }
}

void LaunchAtLogin::set(bool enabled) {
    const QString error = enabled ? item_.enable() : item_.disable();
    if (!error.isEmpty())
        Log::error(
            QStringLiteral("login item %1 failed: %2")
                .arg(enabled ? QStringLiteral("register") : QStringLiteral("unregister"), error));
    const LoginItem::Status now = item_.status();
    if (now != status_) {
        status_ = now;
        emit statusChanged();
    }
    Log::info(QStringLiteral("login item status: %1").arg(printed(status_)));
}

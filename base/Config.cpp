#include "base/Config.h"

#include <QtGlobal>

namespace Config {

const QUrl& shop() {
    static const QUrl url = [] {
        const QString fromEnv = qEnvironmentVariable("PURRLOX_UPDATE_URL");
        QUrl u(fromEnv.isEmpty() ? QStringLiteral("https://purrlox.app/") : fromEnv);
        if (!u.isValid()) u = QUrl(QStringLiteral("https://purrlox.app/"));
        return u;
    }();
    return url;
}

const QString& site() {
    static const QString host = shop().host().isEmpty() ? shop().toString() : shop().host();
    return host;
}

} // namespace Config

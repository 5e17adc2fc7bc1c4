#include "base/Log.h"

#include <QtGlobal>

Q_LOGGING_CATEGORY(lcApp, "app.purrlox.Purrlox.app", QtInfoMsg)

namespace Log {

void info(const QString& message) {
    qCDebug(lcApp).noquote() << message;
}
void notice(const QString& message) {
    qCInfo(lcApp).noquote() << message;
}
void error(const QString& message) {
    qCWarning(lcApp).noquote() << message;
}

bool showsPrivate() {
    static const bool shown = qEnvironmentVariable("PURRLOX_LOG_PRIVATE") == QLatin1String("1");
    return shown;
}

QString priv(const QString& value) {
    return showsPrivate() ? value : QStringLiteral("<private>");
}

} // namespace Log

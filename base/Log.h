#pragma once

#include <QLoggingCategory>
#include <QString>

// The one shared logger: category "app.purrlox.Purrlox.app", three levels.
// info maps to Qt's debug, default to info, error to warning.
Q_DECLARE_LOGGING_CATEGORY(lcApp)

namespace Log {

void info(const QString& message);
void notice(const QString& message); // the "default" level
void error(const QString& message);

// Private arguments (activity names, file paths) print as "<private>" unless
// PURRLOX_LOG_PRIVATE=1 is set in the environment.
QString priv(const QString& value);
bool showsPrivate();

} // namespace Log

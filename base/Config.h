#pragma once

#include <QString>
#include <QUrl>

// Process-wide constants, each computed once.
namespace Config {

inline constexpr const char* bundleId = "app.purrlox.Purrlox";

// The product web site; PURRLOX_UPDATE_URL points it elsewhere (tests use a local server).
const QUrl& shop();
// The host of shop(), or its whole string when it has no host.
const QString& site();

} // namespace Config

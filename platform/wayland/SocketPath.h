#pragma once

#include <QString>

// A compositor's IPC socket named by the environment is talked to only when it is a socket
// and this user's: anything else could be someone's trap.
namespace SocketPath {

enum class Verdict { ours, absent, notSocket, notOurs };

Verdict check(const QString& path);
QString describe(Verdict v); // "not a socket", "another user's"…

} // namespace SocketPath

#pragma once

#include <QString>
#include <cstdio>

// A start with a command (--status, --focus, --open) as the running Purrlox's client: it finds
// the instance by its lock, sends the command over the instance socket and prints the answer.
// Plain sockets and no event loop: it runs without a display, from a bar or a shortcut.
namespace InstanceClient {

enum class Result {
    done,       // answered (and printed)
    notRunning, // no Purrlox holds the lock
    failed,     // one runs but did not answer (said on standard error)
};

// Sends "!<command>" to the running instance and copies its lines to `out` ("ok" is not
// printed). With `follow` the lines keep coming until the instance goes.
Result ask(const QString& command, bool follow, std::FILE* out);

} // namespace InstanceClient

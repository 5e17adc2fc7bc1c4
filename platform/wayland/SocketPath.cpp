#include "platform/wayland/SocketPath.h"

#include <QFile>
#include <sys/stat.h>
#include <unistd.h>

namespace SocketPath {

Verdict check(const QString& path) {
    struct stat st {};
    // lstat: a link to a socket is not the socket the compositor made.
    if (path.isEmpty() || ::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return Verdict::absent;
    if (!S_ISSOCK(st.st_mode)) return Verdict::notSocket;
    if (st.st_uid != ::getuid()) return Verdict::notOurs;
    return Verdict::ours;
}

QString describe(Verdict v) {
    switch (v) {
    case Verdict::ours:
        return QStringLiteral("this user's socket");
    case Verdict::absent:
        return QStringLiteral("not there");
    case Verdict::notSocket:
        return QStringLiteral("not a socket");
    case Verdict::notOurs:
        return QStringLiteral("another user's");
    }
    return {};
}

} // namespace SocketPath

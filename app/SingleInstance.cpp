#include "app/SingleInstance.h"

#include "app/Config.h"
#include "base/Log.h"

#include <QLocalSocket>
#include <QStandardPaths>

namespace {
constexpr int waitMs = 2000;
}

SingleInstance::SingleInstance(QString socketPath, QObject* parent)
    : QObject(parent), path_(std::move(socketPath)) {
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_.nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, this, [this, socket] {
                read(socket);
                socket->deleteLater();
            });
            if (socket->state() != QLocalSocket::ConnectedState) {
                read(socket);
                socket->deleteLater();
            }
        }
    });
}

QString SingleInstance::defaultPath() {
    // Qt falls back to a private /tmp/runtime-$USER when XDG_RUNTIME_DIR is unset.
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation) + "/" +
           Config::bundleId + ".instance";
}

bool SingleInstance::claim(const QList<QUrl>& urls) {
    // Two starts racing for the socket: the loser finds the winner on its second look.
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (handTo(urls)) return false;
        if (listen()) return true;
    }
    Log::error(QStringLiteral("could not listen for other starts on %1: %2")
                   .arg(Log::priv(path_), server_.errorString()));
    return true;
}

bool SingleInstance::handTo(const QList<QUrl>& urls) {
    QLocalSocket socket;
    socket.connectToServer(path_);
    if (!socket.waitForConnected(waitMs)) return false;
    QByteArray lines;
    for (const QUrl& url : urls)
        lines += url.toEncoded() + '\n';
    socket.write(lines);
    socket.flush();
    while (socket.bytesToWrite() > 0 && socket.waitForBytesWritten(waitMs)) {
    }
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState) socket.waitForDisconnected(waitMs);
    return true;
}

bool SingleInstance::listen() {
    if (server_.listen(path_)) return true;
    if (server_.serverError() != QAbstractSocket::AddressInUseError) return false;
    // A socket file nobody answers on is left over from a crash.
    QLocalSocket probe;
    probe.connectToServer(path_);
    if (probe.waitForConnected(200)) return false;
    QLocalServer::removeServer(path_);
    return server_.listen(path_);
}

void SingleInstance::read(QLocalSocket* socket) {
    const QByteArray data = socket->readAll();
    QList<QUrl> urls;
    for (const QByteArray& line : data.split('\n')) {
        if (line.trimmed().isEmpty()) continue;
        const QUrl url = QUrl::fromEncoded(line.trimmed(), QUrl::StrictMode);
        if (!url.isValid()) {
            Log::error(QStringLiteral("another start sent an unreadable link"));
            continue;
        }
        urls.append(url);
    }
    if (urls.isEmpty() && data.trimmed().isEmpty())
        emit startedAgain();
    else if (!urls.isEmpty())
        emit linksArrived(urls);
}

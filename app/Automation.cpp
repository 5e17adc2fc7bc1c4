#include "app/Automation.h"

#include "base/Log.h"

#include <QJsonDocument>
#include <QLocalSocket>

Automation::Automation(Handler handler, QObject* parent)
    : QObject(parent), handler_(std::move(handler)) {
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_.nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, socket, [this, socket] {
                while (socket->canReadLine())
                    socket->write(answer(socket->readLine()));
            });
        }
    });
}

bool Automation::listen(const QString& socketPath) {
    QLocalServer::removeServer(socketPath);
    if (!server_.listen(socketPath)) {
        Log::error(QStringLiteral("automation: cannot listen on %1: %2")
                       .arg(Log::priv(socketPath), server_.errorString()));
        return false;
    }
    Log::notice(QStringLiteral("automation: listening"));
    return true;
}

QByteArray Automation::answer(const QByteArray& line) const {
    QJsonParseError error;
    const QJsonDocument request = QJsonDocument::fromJson(line, &error);
    QJsonObject reply;
    if (error.error != QJsonParseError::NoError || !request.isObject())
        reply = {{"error", QStringLiteral("expected one JSON object per line")}};
    else
        reply = handler_(request.object());
    return QJsonDocument(reply).toJson(QJsonDocument::Compact) + '\n';
}

#pragma once

#include <QHash>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>

// A small HTTP/1.1 server on 127.0.0.1 for the updater's tests: each path answers with a fixed
// status and body, or never answers at all. It counts the requests per path.
class LocalHttp : public QObject {
  public:
    struct Answer {
        int status = 200;
        QByteArray body;
        bool hang = false; // accept the request and send nothing
    };

    LocalHttp() {
        server_.listen(QHostAddress::LocalHost);
        QObject::connect(&server_, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = server_.nextPendingConnection()) {
                QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
                QObject::connect(socket, &QTcpSocket::readyRead, this,
                                 [this, socket] { serve(socket); });
            }
        });
    }

    QUrl base() const {
        return QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(server_.serverPort()));
    }
    void set(const QString& path, Answer answer) { answers_[path] = std::move(answer); }
    int requests(const QString& path) const { return counts_.value(path); }
    int requests() const {
        int all = 0;
        for (int n : counts_)
            all += n;
        return all;
    }

  private:
    void serve(QTcpSocket* socket) {
        QByteArray& buffer = pending_[socket];
        buffer += socket->readAll();
        const qsizetype end = buffer.indexOf("\r\n\r\n");
        if (end < 0) return;
        const QList<QByteArray> requestLine = buffer.left(buffer.indexOf("\r\n")).split(' ');
        pending_.remove(socket);
        const QString path = QString::fromLatin1(requestLine.value(1));
        ++counts_[path];
        const auto it = answers_.find(path);
        const Answer answer = it == answers_.end() ? Answer{404, "not here"} : *it;
        if (answer.hang) return;
        QByteArray reply = "HTTP/1.1 " + QByteArray::number(answer.status) + " X\r\n" +
                           "Content-Length: " + QByteArray::number(answer.body.size()) +
                           "\r\nConnection: close\r\n\r\n" + answer.body;
        socket->write(reply);
        socket->disconnectFromHost();
    }

    QTcpServer server_;
    QHash<QString, Answer> answers_;
    QHash<QString, int> counts_;
    QHash<QTcpSocket*, QByteArray> pending_;
};

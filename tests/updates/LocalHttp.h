#pragma once

#include <QHash>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <memory>

// A small HTTP/1.1 server on 127.0.0.1 for the updater's tests: each path answers with a fixed
// status and body, or never answers at all, or as a hostile server would: a huge body made as
// the socket drains (never held), a body that trickles in, a redirect. It counts the requests
// per path.
class LocalHttp : public QObject {
  public:
    struct Answer {
        Answer(int status = 200, QByteArray body = {}, bool hang = false)
            : status(status), body(std::move(body)), hang(hang) {}
        int status;
        QByteArray body;
        bool hang;            // accept the request and send nothing
        QByteArray location;  // a Location header (with a 3xx status: a redirect)
        qint64 filler = 0;    // this many more bytes of body, made a chunk at a time
        bool announce = true; // send Content-Length; else the body ends when the connection does
        int trickleMs = 0;    // send the body one byte every this many milliseconds
    };
    static Answer redirect(int status, QByteArray to) {
        Answer a(status);
        a.location = std::move(to);
        return a;
    }
    static Answer huge(qint64 bytes, bool announce) {
        Answer a;
        a.filler = bytes;
        a.announce = announce;
        return a;
    }
    static Answer trickle(QByteArray body, int everyMs) {
        Answer a(200, std::move(body));
        a.trickleMs = everyMs;
        return a;
    }

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
        QByteArray head = "HTTP/1.1 " + QByteArray::number(answer.status) + " X\r\n";
        if (answer.announce)
            head += "Content-Length: " + QByteArray::number(answer.body.size() + answer.filler) +
                    "\r\n";
        if (!answer.location.isEmpty()) head += "Location: " + answer.location + "\r\n";
        socket->write(head + "Connection: close\r\n\r\n");
        if (answer.trickleMs > 0) return trickle(socket, answer);
        socket->write(answer.body);
        if (answer.filler == 0) return socket->disconnectFromHost();
        // Made as the client takes it, so the server's own memory stays small.
        auto left = std::make_shared<qint64>(answer.filler);
        const auto more = [socket, left] {
            static const QByteArray chunk(64 * 1024, 'z');
            while (*left > 0 && socket->bytesToWrite() < 4 * chunk.size()) {
                const qint64 n = std::min<qint64>(*left, chunk.size());
                if (socket->write(chunk.constData(), n) != n) return socket->abort();
                *left -= n;
            }
            if (*left == 0) socket->disconnectFromHost();
        };
        QObject::connect(socket, &QTcpSocket::bytesWritten, socket, more);
        more();
    }

    void trickle(QTcpSocket* socket, const Answer& answer) {
        auto* timer = new QTimer(socket);
        auto sent = std::make_shared<qint64>(0);
        const QByteArray body = answer.body;
        const qint64 size = answer.body.size() + answer.filler;
        QObject::connect(timer, &QTimer::timeout, socket, [socket, timer, sent, body, size] {
            socket->write(*sent < body.size() ? body.mid(*sent, 1) : QByteArray("z"));
            if (++*sent >= size) {
                timer->stop();
                socket->disconnectFromHost();
            }
        });
        timer->start(answer.trickleMs);
    }

    QTcpServer server_;
    QHash<QString, Answer> answers_;
    QHash<QString, int> counts_;
    QHash<QTcpSocket*, QByteArray> pending_;
};

// The test server on a thread of its own, as a real server is: it sends as fast as the
// connection takes it, whatever the updater's thread is doing.
class FarHttp {
  public:
    FarHttp() {
        thread_.start();
        context_.moveToThread(&thread_);
        on([this] {
            http_ = std::make_unique<LocalHttp>();
            base_ = http_->base();
        });
    }
    ~FarHttp() {
        on([this] { http_.reset(); });
        thread_.quit();
        thread_.wait();
    }
    void set(const QString& path, const LocalHttp::Answer& answer) {
        on([&] { http_->set(path, answer); });
    }
    QUrl base() const { return base_; }

  private:
    template <typename F> void on(F f) {
        QMetaObject::invokeMethod(&context_, f, Qt::BlockingQueuedConnection);
    }
    QThread thread_;
    QObject context_;
    std::unique_ptr<LocalHttp> http_;
    QUrl base_;
};

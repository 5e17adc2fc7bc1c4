#include "wayland/FakeIpcServer.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QLocalSocket>
#include <QThread>
#include <gtest/gtest.h>

FakeIpcServer::FakeIpcServer(const QString& path) {
    QLocalServer::removeServer(path);
    EXPECT_TRUE(server_.listen(path)) << path.toStdString();
    QObject::connect(&server_, &QLocalServer::newConnection, [this] {
        while (QLocalSocket* s = server_.nextPendingConnection()) {
            connections_.append(s);
            latest_ = s;
            QObject::connect(s, &QLocalSocket::readyRead, [this, s] {
                if (onRead) onRead(s);
            });
        }
    });
}

void FakeIpcServer::send(const QByteArray& bytes) {
    if (!latest_) return;
    latest_->write(bytes);
    latest_->flush();
}

int FakeIpcServer::openConnections() const {
    int n = 0;
    for (const auto& s : connections_)
        if (s && s->state() == QLocalSocket::ConnectedState) ++n;
    return n;
}

bool spinUntil(const std::function<bool()>& done, int ms) {
    QDeadlineTimer deadline(ms);
    while (!done() && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(1);
    }
    return done();
}

namespace {

// Qt's handler is a plain function: one counter for the process, as there is one log.
QStringList countedWords;
int countedLines = 0;
QtMessageHandler previousHandler = nullptr;

void countLine(QtMsgType, const QMessageLogContext&, const QString& msg) {
    for (const QString& w : countedWords)
        if (msg.contains(w)) {
            ++countedLines;
            return;
        }
}

} // namespace

LogLines::LogLines(QStringList words) {
    countedWords = std::move(words);
    countedLines = 0;
    previousHandler = qInstallMessageHandler(countLine);
}

LogLines::~LogLines() {
    qInstallMessageHandler(previousHandler);
    countedWords.clear();
}

int LogLines::count() const {
    return countedLines;
}

void LogLines::reset() {
    countedLines = 0;
}

Heard::Heard(CompositorChannel& channel) {
    channel.onWindows = [this](CompositorWindows l) { got.push_back(std::move(l)); };
    channel.onLost = [this](const QString&) { ++lost; };
    channel.start();
}

QString keys(const CompositorWindows& list) {
    QStringList out;
    for (const CompositorWindow& w : list.windows)
        out << w.key + (w.onScreen ? QString() : QStringLiteral("(hidden)"));
    return out.join(u' ');
}

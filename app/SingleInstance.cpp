#include "app/SingleInstance.h"

#include "app/Config.h"
#include "base/Log.h"
#include "platform/Defaults.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {
constexpr int waitMs = 2000;
// Written into the lock file by an instance that could not listen.
const QByteArray deaf = "-";
} // namespace

SingleInstance::SingleInstance(QString socketPath, QString lockPath, QObject* parent)
    : QObject(parent), path_(std::move(socketPath)), lockPath_(std::move(lockPath)) {
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

SingleInstance::~SingleInstance() {
    if (lockFd_ >= 0) ::close(lockFd_);
}

QString SingleInstance::defaultPath() {
    // Qt falls back to a private /tmp/runtime-$USER when XDG_RUNTIME_DIR is unset.
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation) + "/" +
           Config::bundleId + ".instance";
}

QString SingleInstance::defaultLockPath() {
    // Beside the stores it guards, so every start that would share them shares the lock.
    return Defaults::dataHomeFromEnvironment() + QStringLiteral("/purrlox/instance.lock");
}

bool SingleInstance::claim(const QList<QUrl>& urls) {
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        switch (lock()) {
        case Lock::taken: {
            const bool listening = listen();
            if (!listening)
                Log::error(QStringLiteral("could not listen for other starts on %1: %2; their "
                                          "links cannot reach this instance")
                               .arg(Log::priv(path_), server_.errorString()));
            publishSocket(listening);
            return true;
        }
        case Lock::unavailable:
            // Without the lock only the socket can tell whether another instance runs.
            if ((handedOver_ = handTo(path_, urls))) return false;
            listen();
            return true;
        case Lock::busy:
            break;
        }
        const QString socket = holderSocket();
        if (!socket.isEmpty() && (handedOver_ = handTo(socket, urls))) return false;
        // The holder may have only just taken the lock and not be listening yet.
        if (socket.isEmpty() || waited.elapsed() > answerWaitMs) {
            Log::error(QStringLiteral("Purrlox already runs but does not answer; this start ends "
                                      "without opening %1 link(s)")
                           .arg(urls.size()));
            return false;
        }
        QThread::msleep(50);
    }
}

SingleInstance::Lock SingleInstance::lock() {
    if (lockFd_ < 0) {
        if (!Defaults::makeFolder(QFileInfo(lockPath_).absolutePath())) {
            Log::error(QStringLiteral("cannot make the folder of %1").arg(Log::priv(lockPath_)));
            return Lock::unavailable;
        }
        // Close-on-exec: a program started from here must never keep the lock alive.
        lockFd_ =
            ::open(QFile::encodeName(lockPath_).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (lockFd_ < 0) {
            Log::error(QStringLiteral("cannot open %1 (%2)")
                           .arg(Log::priv(lockPath_), QString::fromLocal8Bit(strerror(errno))));
            return Lock::unavailable;
        }
    }
    if (::flock(lockFd_, LOCK_EX | LOCK_NB) == 0) return Lock::taken;
    if (errno == EWOULDBLOCK) return Lock::busy;
    Log::error(QStringLiteral("cannot lock %1 (%2)")
                   .arg(Log::priv(lockPath_), QString::fromLocal8Bit(strerror(errno))));
    return Lock::unavailable;
}

QString SingleInstance::holderSocket() const {
    QFile file(lockPath_);
    if (!file.open(QIODevice::ReadOnly)) return path_;
    const QByteArray written = file.readAll().trimmed();
    if (written == deaf) return {};
    return written.isEmpty() ? path_ : QFile::decodeName(written);
}

void SingleInstance::publishSocket(bool listening) {
    const QByteArray text = (listening ? QFile::encodeName(path_) : deaf) + '\n';
    if (::ftruncate(lockFd_, 0) != 0 ||
        ::pwrite(lockFd_, text.constData(), text.size(), 0) != ssize_t(text.size()))
        Log::error(QStringLiteral("cannot write %1").arg(Log::priv(lockPath_)));
}

bool SingleInstance::handTo(const QString& socketPath, const QList<QUrl>& urls) {
    QLocalSocket socket;
    socket.connectToServer(socketPath);
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
    // Only the lock holder gets here, so a socket file already there is left over.
    if (server_.listen(path_)) return true;
    if (server_.serverError() != QAbstractSocket::AddressInUseError) return false;
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

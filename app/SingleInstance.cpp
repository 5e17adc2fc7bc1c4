#include "app/SingleInstance.h"

#include "base/Config.h"
#include "base/Log.h"
#include "platform/AtomicFile.h"
#include "platform/SettingsStore.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QThread>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr int waitMs = 2000;
// Written into the lock file by an instance that could not listen.
const QByteArray deaf = "-";
} // namespace

SingleInstance::SingleInstance(QString socketPath, QString lockPath, QObject* parent)
    : QObject(parent), path_(std::move(socketPath)), lockPath_(std::move(lockPath)) {
    if (path_.isEmpty()) path_ = defaultPath(&madeFolder_);
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_.nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, this, [this, socket] {
                read(socket);
                socket->deleteLater();
            });
            // A command (a line that starts with '!') waits for its answer on the connection.
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                if (socket->peek(1) != "!" || !socket->canReadLine()) return;
                socket->disconnect(this);
                emit commandArrived(socket);
            });
            if (socket->state() != QLocalSocket::ConnectedState) {
                read(socket);
                socket->deleteLater();
            }
        }
    });
}

SingleInstance::~SingleInstance() {
    if (!madeFolder_.isEmpty()) {
        server_.close();
        ::rmdir(QFile::encodeName(madeFolder_).constData());
    }
    if (lockFd_ >= 0) ::close(lockFd_);
}

QString SingleInstance::defaultPath(QString* made) {
    QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (folder.isEmpty() || !QDir::isAbsolutePath(folder)) {
        QString ours;
        folder = runtimeFolder(QDir::tempPath(), &ours);
        if (made) {
            *made = ours;
        } else if (!ours.isEmpty()) {
            ::rmdir(QFile::encodeName(ours).constData()); // only the path was asked for
        }
    }
    if (folder.isEmpty()) return {};
    return folder + "/" + Config::bundleId + ".instance";
}

QString SingleInstance::runtimeFolder(const QString& tempFolder, QString* made) {
    const uid_t uid = ::getuid();
    QString user = QString::number(uid);
    if (const passwd* pw = ::getpwuid(uid); pw && pw->pw_name && *pw->pw_name)
        user = QFile::decodeName(pw->pw_name);
    // Where Qt and earlier starts put it, so they keep meeting.
    const QString shared = tempFolder + QStringLiteral("/runtime-") + user;
    const QByteArray name = QFile::encodeName(shared);
    if (::mkdir(name.constData(), 0700) != 0 && errno != EEXIST) {
        Log::error(QStringLiteral("cannot make %1 (%2)")
                       .arg(Log::priv(shared), QString::fromLocal8Bit(strerror(errno))));
    } else {
        struct stat st {};
        // Another user may have made it first, to read or block what goes in it.
        if (::lstat(name.constData(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == uid) {
            if ((st.st_mode & 0777) == 0700 || ::chmod(name.constData(), 0700) == 0) return shared;
        }
        Log::error(QStringLiteral("%1 is not a folder of this user's that only they can enter; "
                                  "the instance socket goes into a private folder of its own")
                       .arg(Log::priv(shared)));
    }
    QByteArray pattern = QFile::encodeName(tempFolder + QStringLiteral("/purrlox-") + user +
                                           QStringLiteral("-XXXXXX"));
    if (!::mkdtemp(pattern.data())) {
        Log::error(QStringLiteral("cannot make a private folder for the instance socket (%1)")
                       .arg(QString::fromLocal8Bit(strerror(errno))));
        return {};
    }
    *made = QFile::decodeName(pattern);
    return *made;
}

QString SingleInstance::defaultLockPath() {
    // Beside the stores it guards, so every start that would share them shares the lock.
    return SettingsStore::dataHomeFromEnvironment() + QStringLiteral("/purrlox/instance.lock");
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
        if (!AtomicFile::makeFolder(QFileInfo(lockPath_).absolutePath())) {
            Log::error(QStringLiteral("cannot make the folder of %1").arg(Log::priv(lockPath_)));
            return Lock::unavailable;
        }
        // Close-on-exec: a program started from here must never keep the lock alive. Never
        // through a symbolic link (its target would be truncated), never waiting on a FIFO.
        lockFd_ = ::open(QFile::encodeName(lockPath_).constData(),
                         O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
        if (lockFd_ < 0) {
            const QString why = errno == ELOOP ? QStringLiteral("it is a symbolic link")
                                               : QString::fromLocal8Bit(strerror(errno));
            Log::error(QStringLiteral("cannot use %1 as the instance lock (%2); it is left as it "
                                      "is and this start runs without it")
                           .arg(Log::priv(lockPath_), why));
            return Lock::unavailable;
        }
        struct stat st {};
        if (::fstat(lockFd_, &st) != 0 || !S_ISREG(st.st_mode)) {
            ::close(lockFd_);
            lockFd_ = -1;
            Log::error(QStringLiteral("cannot use %1 as the instance lock (not a regular file); "
                                      "it is left as it is and this start runs without it")
                           .arg(Log::priv(lockPath_)));
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
    // Read through the descriptor that was checked, not the path again.
    QByteArray written(4096, '\0');
    const ssize_t n = ::pread(lockFd_, written.data(), written.size(), 0);
    if (n < 0) return path_;
    written.truncate(n);
    written = written.trimmed();
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
    if (path_.isEmpty()) return false; // no safe folder for it (logged)
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

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
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
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
        while (QLocalSocket* socket = server_.nextPendingConnection())
            accept(socket);
    });
    // The folders are watched rather than looked at every second: a sitting cat would wake
    // for nothing. A removal reports each file it takes, so the look waits for it to be over
    // (a lock taken again inside a folder being removed would stop the removal).
    guard_.setInterval(guardIntervalMs);
    connect(&guard_, &QTimer::timeout, this, &SingleInstance::guard);
    settle_.setSingleShot(true);
    settle_.setInterval(300);
    connect(&settle_, &QTimer::timeout, this, &SingleInstance::guard);
    connect(&folders_, &QFileSystemWatcher::directoryChanged, this, [this] { settle_.start(); });
}

void SingleInstance::watchFolders() {
    // A file's folder tells of the file going; the lock folder's own folder of that folder
    // going (removed or moved: a watch hears nothing of its own folder's move). The socket
    // folder's is not watched: it may be the busy temporary folder.
    QStringList wanted;
    if (!lockPath_.isEmpty()) {
        const QString lockFolder = QFileInfo(lockPath_).absolutePath();
        wanted << lockFolder << QFileInfo(lockFolder).absolutePath();
    }
    if (!path_.isEmpty()) wanted << QFileInfo(path_).absolutePath();
    for (const QString& folder : std::as_const(wanted))
        if (!folders_.directories().contains(folder) && QFileInfo(folder).isDir())
            folders_.addPath(folder);
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
            // A new lock file where an instance runs whose file was removed: it still answers
            // on the socket, and it stays the one instance.
            if (!path_.isEmpty() && QFileInfo::exists(path_) && handTo(path_, urls)) {
                Log::notice(QStringLiteral("Purrlox answers on %1 though its lock file was gone; "
                                           "this start handed over to it")
                                .arg(Log::priv(path_)));
                ::close(lockFd_);
                lockFd_ = -1;
                handedOver_ = true;
                return false;
            }
            const bool listening = listen();
            if (!listening)
                Log::error(QStringLiteral("could not listen for other starts on %1: %2; their "
                                          "links cannot reach this instance")
                               .arg(Log::priv(path_), server_.errorString()));
            publishSocket(listening);
            watchFolders();
            guard_.start();
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

SingleInstance::Lock SingleInstance::lock(bool quiet) {
    if (lockFd_ < 0) {
        if (!AtomicFile::makeFolder(QFileInfo(lockPath_).absolutePath())) {
            if (!quiet)
                Log::error(
                    QStringLiteral("cannot make the folder of %1").arg(Log::priv(lockPath_)));
            return Lock::unavailable;
        }
        // Close-on-exec: a program started from here must never keep the lock alive. Never
        // through a symbolic link (its target would be truncated), never waiting on a FIFO.
        lockFd_ = ::open(QFile::encodeName(lockPath_).constData(),
                         O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
        if (lockFd_ < 0) {
            const QString why = errno == ELOOP ? QStringLiteral("it is a symbolic link")
                                               : QString::fromLocal8Bit(strerror(errno));
            if (!quiet)
                Log::error(
                    QStringLiteral("cannot use %1 as the instance lock (%2); it is left as it "
                                   "is and this start runs without it")
                        .arg(Log::priv(lockPath_), why));
            return Lock::unavailable;
        }
        struct stat st {};
        if (::fstat(lockFd_, &st) != 0 || !S_ISREG(st.st_mode)) {
            ::close(lockFd_);
            lockFd_ = -1;
            if (!quiet)
                Log::error(
                    QStringLiteral("cannot use %1 as the instance lock (not a regular file); "
                                   "it is left as it is and this start runs without it")
                        .arg(Log::priv(lockPath_)));
            return Lock::unavailable;
        }
    }
    if (::flock(lockFd_, LOCK_EX | LOCK_NB) == 0) return Lock::taken;
    if (errno == EWOULDBLOCK) return Lock::busy;
    if (!quiet)
        Log::error(QStringLiteral("cannot lock %1 (%2)")
                       .arg(Log::priv(lockPath_), QString::fromLocal8Bit(strerror(errno))));
    return Lock::unavailable;
}

bool SingleInstance::lockStillThere() const {
    struct stat held {};
    struct stat named {};
    if (::fstat(lockFd_, &held) != 0 || held.st_nlink == 0) return false;
    if (::lstat(QFile::encodeName(lockPath_).constData(), &named) != 0) return false;
    return held.st_dev == named.st_dev && held.st_ino == named.st_ino;
}

void SingleInstance::guard() {
    watchFolders();
    // The socket file went (its folder was cleaned): listen again, so later starts find us.
    if (!path_.isEmpty() && server_.isListening() && !QFileInfo::exists(path_)) {
        server_.close();
        if (server_.listen(path_))
            Log::notice(QStringLiteral("the instance socket %1 was gone; listening on it again")
                            .arg(Log::priv(path_)));
    }
    if (lockFd_ >= 0 && lockStillThere()) {
        guardFailing_ = false;
        guard_.setInterval(guardIntervalMs);
        return;
    }
    // The lock file went with its folder (removed, or dropped on the cat): take a new one, or a
    // later start would take it and run beside this instance.
    const int old = lockFd_;
    lockFd_ = -1;
    switch (lock(true)) {
    case Lock::taken:
        if (old >= 0) ::close(old);
        publishSocket(server_.isListening());
        guardFailing_ = false;
        guard_.setInterval(guardIntervalMs);
        watchFolders();
        Log::notice(QStringLiteral("the instance lock %1 was gone; it is taken again")
                        .arg(Log::priv(lockPath_)));
        return;
    case Lock::busy:
        // A start took the new file first: it finds this instance on the socket, hands over
        // and ends, and the next look takes the lock.
        ::close(lockFd_);
        break;
    case Lock::unavailable:
        if (!guardFailing_)
            Log::error(QStringLiteral("the instance lock %1 is gone and cannot be taken again; "
                                      "tried again every second")
                           .arg(Log::priv(lockPath_)));
        guardFailing_ = true;
        break;
    }
    guard_.setInterval(retryIntervalMs); // until it is taken again
    lockFd_ = old;
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
    if (server_.listen(path_)) return true;
    if (server_.serverError() != QAbstractSocket::AddressInUseError) return false;
    // Left over only when nobody answers on it (an instance that does was handed over to).
    QLocalSocket probe;
    probe.connectToServer(path_);
    if (probe.waitForConnected(waitMs)) {
        probe.abort();
        return false;
    }
    QLocalServer::removeServer(path_);
    return server_.listen(path_);
}

void SingleInstance::accept(QLocalSocket* socket) {
    if (peers_ >= mostPeers) {
        dropped(QStringLiteral("more starts talk at once than are taken"));
        socket->abort();
        socket->deleteLater();
        return;
    }
    ++peers_;
    connect(socket, &QObject::destroyed, this, [this] { --peers_; });
    // Qt stops reading from the kernel once this much waits; it is read out as it comes.
    socket->setReadBufferSize(messageCap);
    struct Peer {
        QByteArray message;
        bool done = false;
    };
    auto peer = std::make_shared<Peer>();
    // The socket's own timer: it goes with the socket, and what it holds with it.
    auto* patience = new QTimer(socket);
    patience->setSingleShot(true);
    const auto drop = [this, socket, peer](const QString& why) {
        if (peer->done) return;
        peer->done = true;
        peer->message = {};
        dropped(why);
        socket->abort();
        socket->deleteLater();
    };
    // False when the peer sent more than a message may hold.
    const auto take = [socket, peer] {
        while (socket->bytesAvailable() > 0) {
            const qint64 room = messageCap + 1 - peer->message.size();
            peer->message += socket->read(std::min(socket->bytesAvailable(), room));
            if (peer->message.size() > messageCap) return false;
        }
        return true;
    };
    const auto finish = [this, socket, peer, take, drop] {
        if (peer->done) return;
        if (!take()) {
            drop(QStringLiteral("sent more than %1 KB").arg(messageCap / 1024));
            return;
        }
        peer->done = true;
        socket->deleteLater();
        read(peer->message);
    };
    // A command (one line that starts with '!') is answered on its connection, which stays
    // open while its peer follows the timer: it is handed on and no longer counts as a start.
    const auto command = [this, socket, peer, patience] {
        const qsizetype end = peer->message.indexOf('\n');
        if (!peer->message.startsWith('!') || end < 0) return false;
        peer->done = true;
        patience->stop();
        socket->disconnect(this);
        --peers_;
        emit commandArrived(socket, peer->message.left(end));
        return true;
    };
    connect(socket, &QLocalSocket::readyRead, this, [take, drop, command] {
        if (!take()) return drop(QStringLiteral("sent more than %1 KB").arg(messageCap / 1024));
        command();
    });
    connect(socket, &QLocalSocket::disconnected, this, [take, finish, command] {
        if (!(take() && command())) finish();
    });
    connect(patience, &QTimer::timeout, socket, [drop] {
        drop(QStringLiteral("kept its connection open for %1 s").arg(peerWaitMs / 1000));
    });
    patience->start(peerWaitMs);
    if (socket->state() != QLocalSocket::ConnectedState && !(take() && command())) finish();
}

void SingleInstance::dropped(const QString& why) {
    // A flood of peers writes a few lines a minute, not one each.
    QString line =
        QStringLiteral("another start on the instance socket %1; it is dropped").arg(why);
    if (dropLines_.allow(line)) Log::error(line);
}

void SingleInstance::read(const QByteArray& data) {
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

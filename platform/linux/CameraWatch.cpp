#include "platform/linux/CameraWatch.h"

#include "base/Log.h"

#include <QDir>
#include <QFileInfo>
#include <QSocketNotifier>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool isVideoNode(const char* name) {
    return std::strncmp(name, "video", 5) == 0;
}

} // namespace

CameraWatch::CameraWatch(QString devRoot, QString procRoot, uid_t user, QObject* parent)
    : QObject(parent), dev_(std::move(devRoot)), proc_(std::move(procRoot)), user_(user) {
    fd_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd_ < 0) {
        Log::error(QStringLiteral("camera: inotify is not available (%1); the camera counts as "
                                  "off")
                       .arg(QString::fromLocal8Bit(std::strerror(errno))));
        return;
    }
    devWatch_ = inotify_add_watch(fd_, QFile::encodeName(dev_).constData(), IN_CREATE);
    const QStringList nodes =
        QDir(dev_).entryList({QStringLiteral("video*")}, QDir::System | QDir::Files);
    for (const QString& node : nodes)
        watchNode(node);
    // Watches first, then the scan: an open in between is counted by one of the two at least.
    scanProcesses();
    notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, [this] { readEvents(); });
}

CameraWatch::~CameraWatch() {
    notifier_.reset();
    if (fd_ >= 0) ::close(fd_);
}

void CameraWatch::watchNode(const QString& name) {
    const QString path = dev_ + QLatin1Char('/') + name;
    for (const QString& known : std::as_const(nodes_))
        if (known == path) return;
    const int wd = inotify_add_watch(fd_, QFile::encodeName(path).constData(),
                                     IN_OPEN | IN_CLOSE_WRITE | IN_CLOSE_NOWRITE);
    if (wd < 0) {
        Log::error(QStringLiteral("camera: cannot watch %1 (%2)")
                       .arg(Log::priv(path), QString::fromLocal8Bit(std::strerror(errno))));
        return;
    }
    nodes_.insert(wd, path);
}

void CameraWatch::scanProcesses() {
    QSet<QString> targets;
    for (const QString& node : std::as_const(nodes_)) {
        targets.insert(node);
        // /proc shows the kernel's path of the node even when the root is the real /dev.
        targets.insert(QFileInfo(node).canonicalFilePath());
    }
    if (targets.isEmpty()) return;
    const QByteArray procRoot = QFile::encodeName(proc_);
    DIR* proc = ::opendir(procRoot.constData());
    if (!proc) return;
    int found = 0;
    while (dirent* e = ::readdir(proc)) {
        if (e->d_name[0] < '0' || e->d_name[0] > '9') continue;
        const QByteArray pidDir = procRoot + '/' + e->d_name;
        struct stat st;
        // A process that ended meanwhile simply is not there any more.
        if (::stat(pidDir.constData(), &st) != 0 || st.st_uid != user_) continue;
        const QByteArray fdDir = pidDir + "/fd";
        DIR* fds = ::opendir(fdDir.constData());
        if (!fds) continue;
        while (dirent* f = ::readdir(fds)) {
            if (f->d_name[0] == '.') continue;
            char target[4096];
            const QByteArray link = fdDir + '/' + f->d_name;
            const ssize_t n = ::readlink(link.constData(), target, sizeof target - 1);
            if (n <= 0) continue;
            if (targets.contains(QFile::decodeName(QByteArray(target, int(n))))) ++found;
        }
        ::closedir(fds);
    }
    ::closedir(proc);
    open_ = found;
}

void CameraWatch::readEvents() {
    const bool was = inUse();
    readAll();
    if (inUse() != was && changed) changed();
}

void CameraWatch::readAll() {
    alignas(inotify_event) char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(fd_, buffer, sizeof buffer);
        if (n <= 0) break;
        for (ssize_t at = 0; at < n;) {
            const auto* e = reinterpret_cast<const inotify_event*>(buffer + at);
            at += ssize_t(sizeof(inotify_event) + e->len);
            if (e->wd == devWatch_) {
                if ((e->mask & IN_CREATE) && e->len > 0 && isVideoNode(e->name))
                    watchNode(QFile::decodeName(e->name));
                continue;
            }
            if (e->mask & IN_IGNORED) {
                nodes_.remove(e->wd); // the node went away with the device
                continue;
            }
            if (e->mask & IN_OPEN) ++open_;
            if (e->mask & (IN_CLOSE_WRITE | IN_CLOSE_NOWRITE)) open_ = std::max(open_ - 1, 0);
        }
    }
}

#include "platform/xdg/TrashFolder.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int dirFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;

// A descriptor closed when it goes out of scope unless taken.
class Fd {
  public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    Fd(Fd&& o) noexcept : fd_(o.take()) {}
    Fd& operator=(Fd&& o) noexcept {
        reset(o.take());
        return *this;
    }
    ~Fd() { reset(); }
    int get() const { return fd_; }
    int take() { return std::exchange(fd_, -1); }
    void reset(int fd = -1) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = fd;
    }
    explicit operator bool() const { return fd_ >= 0; }

  private:
    int fd_;
};

QString quoted(const QByteArray& name) {
    return QFile::decodeName(name);
}

// Opens the folder `name` in `dir` without following a link, making it (mode 0700) when asked
// and missing. With `own`, it must belong to the user; with `strict`, also be closed to everyone
// else (mode 0700).
Fd openOwnFolder(int dir, const QByteArray& name, bool create, bool own, bool strict,
                 QString& why) {
    bool made = false;
    Fd fd(::openat(dir, name.constData(), dirFlags | O_NOFOLLOW));
    if (!fd && errno == ENOENT && create) {
        if (::mkdirat(dir, name.constData(), 0700) != 0 && errno != EEXIST) {
            why = errno == EROFS ? QStringLiteral("the disk is read-only")
                  : errno == EACCES
                      ? QStringLiteral("no permission to make %1").arg(quoted(name))
                      : QStringLiteral("cannot make %1: %2").arg(quoted(name), trashReason(errno));
            return Fd();
        }
        made = true;
        fd = Fd(::openat(dir, name.constData(), dirFlags | O_NOFOLLOW));
    }
    if (!fd) {
        why = errno == ELOOP || errno == ENOTDIR
                  ? QStringLiteral("%1 is a link or not a folder").arg(quoted(name))
              : errno == ENOENT
                  ? QStringLiteral("there is no %1").arg(quoted(name))
                  : QStringLiteral("cannot open %1: %2").arg(quoted(name), trashReason(errno));
        return Fd();
    }
    if (made) ::fchmod(fd.get(), 0700); // whatever the umask left
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) {
        why = trashReason(errno);
        return Fd();
    }
    if (own && st.st_uid != ::getuid()) {
        why = QStringLiteral("%1 belongs to another user").arg(quoted(name));
        return Fd();
    }
    if (strict && (st.st_mode & 0777) != 0700) {
        why = QStringLiteral("%1 is open to other users (mode %2)")
                  .arg(quoted(name))
                  .arg(st.st_mode & 0777, 3, 8, QLatin1Char('0'));
        return Fd();
    }
    return fd;
}

QByteArray dataHome() {
    return QFile::encodeName(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
}

// The mount's top folder: the last folder up from `folder` that is still on its device.
QByteArray topOf(const QByteArray& folder) {
    struct stat here {};
    if (::stat(folder.constData(), &here) != 0) return QByteArray("/");
    QByteArray top = folder;
    while (top.size() > 1) {
        const qsizetype slash = top.lastIndexOf('/');
        const QByteArray up = slash <= 0 ? QByteArray("/") : top.left(slash);
        struct stat st {};
        if (::stat(up.constData(), &st) != 0 || st.st_dev != here.st_dev) break;
        top = up;
    }
    return top;
}

QByteArray joined(const QByteArray& dir, const QByteArray& name) {
    return dir.endsWith('/') ? dir + name : dir + '/' + name;
}

} // namespace

QString trashReason(int code) {
    switch (code) {
    case EROFS:
        return QStringLiteral("the disk is read-only");
    case EACCES:
    case EPERM:
        return QStringLiteral("permission denied");
    case ENOENT:
        return QStringLiteral("no such file or folder");
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("the disk is full");
    case EXDEV:
        return QStringLiteral("its trash is on another file system");
    case EBUSY:
        return QStringLiteral("it is in use (a mount point?)");
    case ENAMETOOLONG:
        return QStringLiteral("the name is too long");
    default:
        return QString::fromLocal8Bit(std::strerror(code));
    }
}

TrashFolder::TrashFolder(int files, int info, QByteArray path, QByteArray top)
    : files_(files), info_(info), path_(std::move(path)), top_(std::move(top)) {}

TrashFolder::TrashFolder(TrashFolder&& o) noexcept
    : files_(std::exchange(o.files_, -1)), info_(std::exchange(o.info_, -1)),
      path_(std::move(o.path_)), top_(std::move(o.top_)) {}

TrashFolder::~TrashFolder() {
    if (files_ >= 0) ::close(files_);
    if (info_ >= 0) ::close(info_);
}

QByteArray TrashFolder::recordPath(const QByteArray& absolute) const {
    if (top_.isEmpty()) return absolute;
    if (top_ == "/") return absolute.mid(1);
    return absolute.mid(top_.size() + 1);
}

namespace {

// files/ and info/ inside a trash folder; in a mount's trash they must be the user's own too.
std::optional<TrashFolder> withParts(int trash, QByteArray path, QByteArray top, bool create,
                                     QString& error,
                                     TrashFolder (*make)(int, int, QByteArray, QByteArray)) {
    const bool mount = !top.isEmpty();
    QString why;
    Fd files = openOwnFolder(trash, "files", create, mount, false, why);
    Fd info = files ? openOwnFolder(trash, "info", create, mount, false, why) : Fd();
    if (!files || !info) {
        error = QStringLiteral("the trash folder is unusable: %1").arg(why);
        return std::nullopt;
    }
    return make(files.take(), info.take(), std::move(path), std::move(top));
}

} // namespace

std::optional<TrashFolder> TrashFolder::forItem(dev_t device, const QByteArray& canonicalFolder,
                                                QString& error) {
    const auto make = [](int f, int i, QByteArray p, QByteArray t) {
        return TrashFolder(f, i, std::move(p), std::move(t));
    };
    // The home trash, when the item shares its disk. A fresh account may lack the data folder.
    const QByteArray home = dataHome();
    if (!home.isEmpty() && QDir().mkpath(QFile::decodeName(home))) {
        Fd data(::open(home.constData(), dirFlags));
        QString why;
        Fd trash = data ? openOwnFolder(data.get(), "Trash", true, false, false, why) : Fd();
        struct stat st {};
        if (trash && ::fstat(trash.get(), &st) == 0 && st.st_dev == device)
            return withParts(trash.get(), joined(home, "Trash"), {}, true, error, make);
    }

    // The mount's own trash.
    const QByteArray top = topOf(canonicalFolder);
    Fd topFd(::open(top.constData(), dirFlags));
    if (!topFd) {
        error = trashReason(errno);
        return std::nullopt;
    }
    const QByteArray uid = QByteArray::number(::getuid());
    QString shared; // why $topdir/.Trash was passed over, when it exists
    Fd admin(::openat(topFd.get(), ".Trash", dirFlags | O_NOFOLLOW));
    if (admin) {
        struct stat st {};
        if (::fstat(admin.get(), &st) == 0 && (st.st_mode & S_ISVTX)) {
            QString why;
            if (Fd mine = openOwnFolder(admin.get(), uid, true, true, true, why))
                return withParts(mine.get(), joined(joined(top, ".Trash"), uid), top, true, error,
                                 make);
            shared = why;
        } else {
            shared = QStringLiteral(".Trash is not sticky");
        }
    } else if (errno != ENOENT) {
        shared = errno == ELOOP || errno == ENOTDIR ? QStringLiteral(".Trash is a link")
                                                    : trashReason(errno);
    }
    const QByteArray own = ".Trash-" + uid;
    QString why;
    Fd mine = openOwnFolder(topFd.get(), own, true, true, true, why);
    if (!mine) {
        error = QStringLiteral("no usable trash folder on this disk: %1").arg(why);
        if (!shared.isEmpty()) error += QStringLiteral("; %1").arg(shared);
        return std::nullopt;
    }
    return withParts(mine.get(), joined(top, own), top, true, error, make);
}

std::optional<TrashFolder> TrashFolder::reopen(const QByteArray& path, QString& error) {
    const auto make = [](int f, int i, QByteArray p, QByteArray t) {
        return TrashFolder(f, i, std::move(p), std::move(t));
    };
    const QByteArray home = dataHome();
    if (!home.isEmpty() && path == joined(home, "Trash")) {
        Fd trash(::open(path.constData(), dirFlags));
        if (!trash) {
            error = QStringLiteral("the trash folder is gone: %1").arg(trashReason(errno));
            return std::nullopt;
        }
        return withParts(trash.get(), path, {}, false, error, make);
    }
    // $topdir/.Trash-$uid or $topdir/.Trash/$uid, checked as when the item went in.
    const QByteArray uid = QByteArray::number(::getuid());
    const qsizetype slash = path.lastIndexOf('/');
    const QByteArray name = path.mid(slash + 1);
    const QByteArray up = slash <= 0 ? QByteArray("/") : path.left(slash);
    QString why;
    if (name == ".Trash-" + uid) {
        Fd top(::open(up.constData(), dirFlags));
        Fd mine = top ? openOwnFolder(top.get(), name, false, true, true, why) : Fd();
        if (mine) return withParts(mine.get(), path, up, false, error, make);
    } else if (name == uid && up.endsWith("/.Trash")) {
        const QByteArray top = up.left(up.size() - 7);
        Fd topFd(::open(top.isEmpty() ? "/" : top.constData(), dirFlags));
        Fd admin = topFd ? Fd(::openat(topFd.get(), ".Trash", dirFlags | O_NOFOLLOW)) : Fd();
        struct stat st {};
        if (admin && ::fstat(admin.get(), &st) == 0 && (st.st_mode & S_ISVTX)) {
            if (Fd mine = openOwnFolder(admin.get(), name, false, true, true, why))
                return withParts(mine.get(), path, top.isEmpty() ? "/" : top, false, error, make);
        } else {
            why = QStringLiteral(".Trash is no longer a sticky folder");
        }
    } else {
        why = QStringLiteral("not a trash folder");
    }
    error = QStringLiteral("the trash folder fails its checks: %1").arg(why);
    return std::nullopt;
}

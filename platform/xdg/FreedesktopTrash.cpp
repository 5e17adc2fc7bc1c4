#include "platform/xdg/FreedesktopTrash.h"

#include "platform/xdg/TrashFolder.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QUrl>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace {

constexpr qsizetype maxName = NAME_MAX - qsizetype(sizeof(".trashinfo") - 1);

// A folder descriptor closed on scope exit.
struct Folder {
    explicit Folder(const QByteArray& path)
        : fd(::open(path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {}
    ~Folder() {
        if (fd >= 0) ::close(fd);
    }
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;
    int fd;
};

// rename(2) that never replaces: renameat2's no-replace flag, or where the file system does not
// offer it, a hard link and an unlink (files) or a checked rename (folders). 0 or an errno.
int renameNoReplace(int fromDir, const QByteArray& from, int toDir, const QByteArray& to) {
    if (::renameat2(fromDir, from.constData(), toDir, to.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS) return errno;
    struct stat st {};
    if (::fstatat(fromDir, from.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0) return errno;
    if (!S_ISDIR(st.st_mode)) {
        if (::linkat(fromDir, from.constData(), toDir, to.constData(), 0) != 0) return errno;
        if (::unlinkat(fromDir, from.constData(), 0) == 0) return 0;
        const int code = errno;
        ::unlinkat(toDir, to.constData(), 0);
        return code;
    }
    if (::fstatat(toDir, to.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0) return EEXIST;
    if (::renameat(fromDir, from.constData(), toDir, to.constData()) != 0) return errno;
    return 0;
}

// The n-th name to try for `name` in the trash: the name itself, then name.2.ext, name.3.ext…
// (past a hundred twins a random tag, so a crowded trash costs no long search), each cut at a
// character boundary so that its record's name still fits.
QByteArray trashName(const QByteArray& name, int n) {
    QByteArray stem = name, ext;
    const qsizetype dot = name.lastIndexOf('.');
    if (dot > 0 && name.size() - dot <= 16) {
        stem = name.left(dot);
        ext = name.mid(dot);
    }
    const QByteArray tag =
        n <= 1    ? QByteArray()
        : n < 100 ? '.' + QByteArray::number(n)
                  : '.' + QByteArray::number(QRandomGenerator::global()->generate64(), 36);
    if (stem.size() + tag.size() + ext.size() > maxName) {
        qsizetype keep = maxName - tag.size() - ext.size();
        while (keep > 0 && (uchar(stem[keep]) & 0xC0) == 0x80)
            --keep; // never half a UTF-8 character
        stem.truncate(keep);
    }
    return stem + tag + ext;
}

bool writeAll(int fd, const QByteArray& bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += n;
    }
    return true;
}

QByteArray joinedPath(const QByteArray& folder, const QByteArray& name) {
    return folder.endsWith('/') ? folder + name : folder + '/' + name;
}

void split(const QByteArray& path, QByteArray& folder, QByteArray& name) {
    const qsizetype slash = path.lastIndexOf('/');
    folder = slash <= 0 ? QByteArray("/") : path.left(slash);
    name = path.mid(slash + 1);
}

} // namespace

std::optional<TrashedItem> FreedesktopTrash::moveToTrash(const QString& path, QString& error) {
    const QByteArray full = QFile::encodeName(QDir::cleanPath(path));
    QByteArray folderPath, name;
    split(full, folderPath, name);
    if (!full.startsWith('/') || name.isEmpty() || name == "." || name == "..") {
        error = QStringLiteral("not a file's path");
        return std::nullopt;
    }
    const Folder folder(folderPath);
    struct stat st {};
    if (folder.fd < 0 || ::fstatat(folder.fd, name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
        error = trashReason(errno);
        return std::nullopt;
    }
    struct statvfs disk {};
    if (::fstatvfs(folder.fd, &disk) == 0 && (disk.f_flag & ST_RDONLY)) {
        error = trashReason(EROFS);
        return std::nullopt;
    }
    char* resolved = ::realpath(folderPath.constData(), nullptr);
    const QByteArray canonical = resolved ? QByteArray(resolved) : folderPath;
    std::free(resolved);
    const std::optional<TrashFolder> trash = TrashFolder::forItem(st.st_dev, canonical, error);
    if (!trash) return std::nullopt;

    // The record comes first and claims the name (the trash rules' order); the item follows.
    const QByteArray record =
        "[Trash Info]\nPath=" +
        QUrl::toPercentEncoding(trash->recordPath(joinedPath(canonical, name)), "/") +
        "\nDeletionDate=" +
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-ddThh:mm:ss")).toUtf8() +
        "\n";
    for (int n = 1; n < 200; ++n) {
        const QByteArray candidate = trashName(name, n);
        const QByteArray info = candidate + ".trashinfo";
        const int fd = ::openat(trash->info(), info.constData(),
                                O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            error = QStringLiteral("cannot write its trash record: %1").arg(trashReason(errno));
            return std::nullopt;
        }
        const bool written = writeAll(fd, record);
        const int closed = ::close(fd);
        if (!written || closed != 0) {
            const int code = errno;
            ::unlinkat(trash->info(), info.constData(), 0);
            error = QStringLiteral("cannot write its trash record: %1").arg(trashReason(code));
            return std::nullopt;
        }
        const int code = renameNoReplace(folder.fd, name, trash->files(), candidate);
        if (code != 0) ::unlinkat(trash->info(), info.constData(), 0);
        if (code == EEXIST) continue; // an item without a record holds the name
        if (code != 0) {
            error = code == EACCES || code == EPERM
                        ? QStringLiteral("no permission to move it out of its folder")
                        : trashReason(code);
            return std::nullopt;
        }
        struct stat in {};
        ::fstatat(trash->files(), candidate.constData(), &in, AT_SYMLINK_NOFOLLOW);
        const QByteArray where = trash->path() + "/files/" + candidate;
        return TrashedItem{QFile::decodeName(where), quint64(in.st_dev), quint64(in.st_ino)};
    }
    error = QStringLiteral("too many items of that name in the trash");
    return std::nullopt;
}

bool FreedesktopTrash::putBack(const TrashedItem& item, const QString& originalPath,
                               QString& error) {
    QByteArray filesPath, candidate, trashPath, filesName;
    split(QFile::encodeName(item.path), filesPath, candidate);
    split(filesPath, trashPath, filesName);
    if (filesName != "files" || candidate.isEmpty()) {
        error = QStringLiteral("not an item of a trash folder");
        return false;
    }
    const std::optional<TrashFolder> trash = TrashFolder::reopen(trashPath, error);
    if (!trash) return false;
    struct stat st {};
    if (::fstatat(trash->files(), candidate.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
        error = QStringLiteral("it is no longer in the trash");
        return false;
    }
    if (quint64(st.st_dev) != item.device || quint64(st.st_ino) != item.inode) {
        error = QStringLiteral("another file has taken its place in the trash");
        return false;
    }
    QByteArray homePath, homeName;
    split(QFile::encodeName(QDir::cleanPath(originalPath)), homePath, homeName);
    const Folder home(homePath);
    if (home.fd < 0) {
        error = QStringLiteral("its folder is gone: %1").arg(trashReason(errno));
        return false;
    }
    if (const int code = renameNoReplace(trash->files(), candidate, home.fd, homeName)) {
        error = code == EEXIST ? QStringLiteral("something else now lies at that path")
                               : trashReason(code);
        return false;
    }
    // Only once the item is home: a record without its item is harmless, the reverse is not.
    ::unlinkat(trash->info(), (candidate + ".trashinfo").constData(), 0);
    return true;
}

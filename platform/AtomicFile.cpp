#include "platform/AtomicFile.h"

#include "base/Log.h"
#include "platform/FileError.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace AtomicFile {

namespace {

QString errorText(int error) {
    return FileError::text(error);
}

// Straight to the descriptor: Qt's buffered write reports a short write on a full disk with
// no reason at all.
bool writeAll(int fd, const QByteArray& bytes, QString* why) {
    const char* p = bytes.constData();
    qint64 left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, size_t(std::min<qint64>(left, qint64(1) << 30)));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            // A write of nothing with no error is a full disk that said nothing.
            *why = errorText(n < 0 ? errno : ENOSPC);
            return false;
        }
        p += n;
        left -= n;
    }
    return true;
}

bool syncFolder(const QString& folder) {
    const int fd =
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    // Some file systems cannot sync a folder (EINVAL); there is nothing more to do on them.
    const bool ok = ::fsync(fd) == 0 || errno == EINVAL;
    ::close(fd);
    if (folderSynced) folderSynced(folder);
    return ok;
}

} // namespace

bool makeFolder(const QString& path) {
    const QString folder = QDir::cleanPath(QDir(path).absolutePath());
    QStringList missing;
    for (QString p = folder; !QFileInfo(p).isDir();) {
        missing.prepend(p);
        const QString parent = QFileInfo(p).path();
        if (parent == p) break;
        p = parent;
    }
    // A new folder's entry lives in its parent: without syncing the parent, a power cut can
    // take the folder and the first file written into it.
    for (const QString& m : std::as_const(missing)) {
        if (::mkdir(QFile::encodeName(m).constData(), 0700) != 0 && errno != EEXIST) return false;
        if (!syncFolder(QFileInfo(m).path())) return false;
    }
    return QFileInfo(folder).isDir();
}

bool write(const QString& path, const QByteArray& bytes, FileStamp* written, QString* error) {
    const auto fail = [error](const QString& why) {
        if (error) *error = why;
        return false;
    };
    // A store kept as a symbolic link is written where it leads (QSaveFile replaces the
    // target, not the link); that folder is the one to make durable.
    const QFileInfo info(path);
    const QString folder = info.isSymLink() && info.exists()
                               ? QFileInfo(info.canonicalFilePath()).absolutePath()
                               : info.absolutePath();
    if (!makeFolder(info.absolutePath()))
        return fail(QStringLiteral("cannot make the folder: %1").arg(errorText(errno)));
    QSaveFile file(path);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly))
        return fail(errno ? errorText(errno) : file.errorString());
    QString why;
    if (!writeAll(file.handle(), bytes, &why)) {
        file.cancelWriting();
        return fail(why);
    }
    // QSaveFile renames over the old file; make the data durable before it does.
    if (::fsync(file.handle()) != 0) {
        why = errorText(errno);
        file.cancelWriting();
        return fail(why);
    }
    const FileStamp stamp = FileStamp::ofDescriptor(file.handle());
    if (beforeRename) beforeRename();
    errno = 0;
    if (!file.commit()) return fail(errno ? errorText(errno) : file.errorString());
    if (written) *written = stamp;
    // The rename is only durable once the folder is: else a power cut can bring back the old file.
    if (!syncFolder(folder))
        Log::error(QStringLiteral("settings: could not make %1 durable").arg(Log::priv(path)));
    return true;
}

QString keepAside(const QString& path) {
    const QString stamp =
        QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'"));
    QString target = path + QStringLiteral(".unreadable-") + stamp;
    for (int n = 2; QFileInfo::exists(target); ++n)
        target =
            path + QStringLiteral(".unreadable-") + stamp + QLatin1Char('-') + QString::number(n);
    // rename() refuses to replace an existing file, so nothing older is lost either.
    if (!QFile::rename(path, target)) {
        Log::error(QStringLiteral("settings: could not keep %1 aside").arg(Log::priv(path)));
        return {};
    }
    return target;
}

} // namespace AtomicFile

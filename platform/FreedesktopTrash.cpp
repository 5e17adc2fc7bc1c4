#include "platform/FreedesktopTrash.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUrl>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString systemError(int code) {
    return QString::fromLocal8Bit(std::strerror(code));
}

// rename(2) that never replaces: renameat2's no-replace flag, or where the file system does not
// offer it, a hard link and an unlink (files) or a checked rename (folders).
int renameNoReplace(const QByteArray& from, const QByteArray& to) {
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS) return errno;
    struct stat st {};
    if (::lstat(from.constData(), &st) != 0) return errno;
    if (!S_ISDIR(st.st_mode)) {
        if (::link(from.constData(), to.constData()) != 0) return errno;
        if (::unlink(from.constData()) == 0) return 0;
        const int code = errno;
        ::unlink(to.constData());
        return code;
    }
    if (::lstat(to.constData(), &st) == 0) return EEXIST;
    if (::rename(from.constData(), to.constData()) != 0) return errno;
    return 0;
}

// The record of a trashed item lies beside its folder: <trash>/info/<name>.trashinfo.
QString infoPathOf(const QString& trashed) {
    const QFileInfo item(trashed);
    return QDir::cleanPath(item.absolutePath() + QStringLiteral("/../info/") + item.fileName() +
                           QStringLiteral(".trashinfo"));
}

// Qt writes the former path as it is, so a name with a newline or a percent sign leaves a record
// that file managers misread. The record is written again with the path escaped as a URI path.
void writeInfo(const QString& infoPath, QString original) {
    while (original.size() > 1 && original.endsWith(QLatin1Char('/')))
        original.chop(1);
    // The record is new and ours alone; no need for a synced replacement.
    QFile info(infoPath);
    if (!info.open(QIODevice::WriteOnly | QIODevice::Truncate)) return;
    info.write("[Trash Info]\nPath=" + QUrl::toPercentEncoding(original, "/") + "\nDeletionDate=" +
               QDateTime::currentDateTime().toString(Qt::ISODate).toUtf8() + "\n");
    info.close();
}

} // namespace

std::optional<QString> FreedesktopTrash::moveToTrash(const QString& path, QString& error) {
    // The home trash lives in $XDG_DATA_HOME, which a fresh account may not have yet; the trash
    // code creates only the Trash folder itself.
    const QString dataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (!dataHome.isEmpty()) QDir().mkpath(dataHome);

    QFile file(path);
    if (!file.moveToTrash()) {
        error = file.errorString();
        return std::nullopt;
    }
    const QString trashed = file.fileName();
    if (!QDir::isAbsolutePath(trashed) || trashed == path) {
        // The item moved but we cannot tell where: it stays in the trash, out of our reach.
        error = QStringLiteral("the trash did not say where the item went");
        return std::nullopt;
    }
    writeInfo(infoPathOf(trashed), QFileInfo(path).absoluteFilePath());
    return trashed;
}

bool FreedesktopTrash::putBack(const QString& trashedPath, const QString& originalPath,
                               QString& error) {
    const QString infoPath = infoPathOf(trashedPath);
    if (const int code =
            renameNoReplace(QFile::encodeName(trashedPath), QFile::encodeName(originalPath))) {
        error = code == EEXIST ? QStringLiteral("something else now lies at that path")
                               : systemError(code);
        return false;
    }
    // Only once the item is home: a record without its item is harmless, the reverse is not.
    QFile::remove(infoPath);
    return true;
}

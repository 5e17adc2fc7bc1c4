#include "updates/UpdateStage.h"

#include "updates/InstallPoints.h"
#include "updates/ReleaseArchive.h"
#include "updates/UpdateFailure.h"
#include "updates/UpdateVerify.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUuid>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace UpdateStage {

namespace {
const QString stagingName = QStringLiteral(".Purrlox-update");
}

QString stage(const QString& archive, const QString& app, const QByteArray& key) {
    const QString mount = QDir::tempPath() + "/purrlox-update-" +
                          QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
    if (::mkdir(QFile::encodeName(mount).constData(), 0700) != 0)
        throw UpdateFailure(
            QStringLiteral("cannot create %1: %2").arg(mount, qt_error_string(errno)));
    struct Remove {
        QString path;
        ~Remove() { ReleaseArchive::removeTree(path); }
    } unpacked{mount};

    ReleaseArchive::unpack(archive, mount);
    InstallPoints::reach("unpacked");
    const QString name = QFileInfo(app).fileName();
    const QString candidate = mount + "/" + name;
    if (!QFileInfo(candidate).isDir()) throw UpdateFailure("the release holds no folder " + name);
    UpdateVerify::signedFolder(candidate, key);

    const QString staged = QFileInfo(app).absolutePath() + "/" + stagingName;
    ReleaseArchive::removeTree(staged);
    try {
        ReleaseArchive::copyTree(candidate, staged);
        InstallPoints::reach("copied");
        UpdateVerify::signedFolder(staged, key);
    } catch (const UpdateFailure&) {
        ReleaseArchive::removeTree(staged);
        throw;
    }
    // The copy is on disk before it takes the install's place.
    const int fd = ::open(QFile::encodeName(staged).constData(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::syncfs(fd);
        ::close(fd);
    }
    return staged;
}

} // namespace UpdateStage

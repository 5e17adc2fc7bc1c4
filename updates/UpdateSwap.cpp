#include "updates/UpdateSwap.h"

#include "system/Relaunch.h"
#include "updates/InstallPoints.h"
#include "updates/UpdateFailure.h"

#include <QCoreApplication>
#include <QFile>
#include <cstdio>
#include <fcntl.h>

namespace UpdateSwap {

void swap(const QString& staged, const QString& app) {
    if (::renameat2(AT_FDCWD, QFile::encodeName(staged).constData(), AT_FDCWD,
                    QFile::encodeName(app).constData(), RENAME_EXCHANGE) != 0)
        throw UpdateFailure("swapping the bundles: " + qt_error_string(errno));
    InstallPoints::reach("swapped");
}

bool relaunchWhenGone(const QString& program, const QString& removing, QString* error) {
    QStringList arguments = QCoreApplication::arguments().mid(1);
    arguments.removeIf([](const QString& a) { return a.startsWith(QLatin1String("purrlox:")); });
    return Relaunch::whenGone(program, removing, arguments, error);
}

} // namespace UpdateSwap

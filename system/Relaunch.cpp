#include "system/Relaunch.h"

#include <QCoreApplication>
#include <QProcess>

namespace Relaunch {

bool whenGone(const QString& program, const QString& removing, const QStringList& arguments,
              QString* error) {
    static const QString wait =
        QStringLiteral("while kill -0 \"$0\" 2>/dev/null; do sleep 0.2; done; ");
    QStringList shell{QStringLiteral("-c")};
    if (removing.isEmpty()) {
        shell << wait + QStringLiteral("exec \"$@\"")
              << QString::number(QCoreApplication::applicationPid());
    } else {
        shell << wait + QStringLiteral("rm -rf \"$1\"; shift; exec \"$@\"")
              << QString::number(QCoreApplication::applicationPid()) << removing;
    }
    shell << program << arguments;
    QProcess process;
    process.setProgram(QStringLiteral("/bin/sh"));
    process.setArguments(shell);
    process.setStandardInputFile(QProcess::nullDevice());
    if (!process.startDetached()) {
        if (error) *error = process.errorString();
        return false;
    }
    return true;
}

} // namespace Relaunch

// Installs a release into an install folder and, when asked, kills itself with SIGKILL at a
// named moment of the install. Exit 0: installed; 1: the install failed; 2: bad arguments.
//   update_install_probe APP ARCHIVE VERSION KEY [POINT]

#include "platform/SettingsStore.h"
#include "updates/InstallPoints.h"
#include "updates/Updater.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <csignal>
#include <cstring>

namespace {
const char* killAt = nullptr;
}

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 5) return 2;
    killAt = argc > 5 ? argv[5] : nullptr;
    QTemporaryDir settings;
    SettingsStore defaults(settings.path() + "/config", settings.path() + "/data");
    Updater::Setup setup{QUrl(),
                         QByteArray(argv[4]),
                         QString::fromLocal8Bit(argv[1]),
                         settings.path() + "/cache",
                         24 * 3600 * 1000,
                         1000};
    Updater updater(defaults, setup);
    updater.ready =
        Updater::Ready{QString::fromLocal8Bit(argv[3]), QString::fromLocal8Bit(argv[2])};
    InstallPoints::reached = [](const char* point) {
        if (killAt && std::strcmp(point, killAt) == 0) std::raise(SIGKILL);
    };
    bool installed = false;
    updater.relaunch = [](const QString&, const QString&, QString*) { return true; };
    updater.quit = [&installed] { installed = true; };
    updater.install();
    return installed ? 0 : 1;
}

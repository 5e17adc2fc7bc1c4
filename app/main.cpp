#include "app/PurrloxApp.h"
#include "base/Log.h"
#include "platform/x11/X11Display.h"
#if PURRLOX_SELF_UPDATE
#include "updates/Updater.h"
#endif

#include <QApplication>
#include <QIcon>
#include <cstdio>

namespace {

// The platform Qt is about to load: -platform, else QT_QPA_PLATFORM, else xcb (the panels are
// X11 windows everywhere).
QString platformOf(const PurrloxApp::Options& options) {
    if (!options.platform.isEmpty()) return options.platform;
    const QString fromEnv = qEnvironmentVariable("QT_QPA_PLATFORM");
    return fromEnv.isEmpty() ? QStringLiteral("xcb") : fromEnv;
}

} // namespace

int main(int argc, char** argv) {
    // The command line is read before any display is opened: --help and --version work
    // anywhere, and a bad option never starts the cat.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const PurrloxApp::Options options = PurrloxApp::parse(arguments);
    switch (options.ask) {
    case PurrloxApp::Options::Ask::help:
        std::fputs(PurrloxApp::usage().toLocal8Bit().constData(), stdout);
        return 0;
    case PurrloxApp::Options::Ask::version:
        std::printf("Purrlox %s\n", PURRLOX_VERSION);
        return 0;
    case PurrloxApp::Options::Ask::refuse:
        std::fprintf(stderr, "purrlox: %s\n\n%s", options.problem.toLocal8Bit().constData(),
                     PurrloxApp::usage().toLocal8Bit().constData());
        return 2;
    case PurrloxApp::Options::Ask::run:
        break;
    }
    if (platformOf(options).startsWith(QLatin1String("xcb")) &&
        !X11Display::reachable(options.display)) {
        const QString display =
            options.display.isEmpty() ? qEnvironmentVariable("DISPLAY") : options.display;
        const QString problem =
            display.isEmpty() ? QStringLiteral("no X display (DISPLAY is not set)")
                              : QStringLiteral("cannot open the X display \"%1\"").arg(display);
        std::fprintf(stderr,
                     "purrlox: %s; Purrlox needs a graphical session (X11, or XWayland under "
                     "Wayland)\n",
                     problem.toLocal8Bit().constData());
        return 1;
    }

    QApplication app(argc, argv);
    // The class of every window (WM_CLASS) and the desktop entry share one name, so docks and
    // task switchers find the entry's icon and name; people read "Purrlox".
    QApplication::setApplicationName(QStringLiteral("app.purrlox.Purrlox"));
    QApplication::setApplicationDisplayName(QStringLiteral("Purrlox"));
    QApplication::setApplicationVersion(QStringLiteral(PURRLOX_VERSION));
    QApplication::setOrganizationDomain(QStringLiteral("purrlox.app"));
    QGuiApplication::setDesktopFileName(QStringLiteral("app.purrlox.Purrlox"));
    QIcon icon;
    for (int size : {48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/%1.png").arg(size), QSize(size, size));
    QApplication::setWindowIcon(icon);
    QApplication::setQuitOnLastWindowClosed(false);
    Log::notice(QStringLiteral("Purrlox %1 started").arg(QStringLiteral(PURRLOX_VERSION)));
#if PURRLOX_SELF_UPDATE
    PurrloxApp purrlox(&Updater::standard);
#else
    PurrloxApp purrlox; // a distribution package: its package manager keeps it current
#endif
    return purrlox.run(app);
}

#include "app/PurrloxApp.h"
#include "base/Log.h"
#include "kit/Accessibility.h"
#include "platform/wayland/WaylandSession.h"
#include "platform/x11/X11Display.h"
#if PURRLOX_SELF_UPDATE
#include "updates/Updater.h"
#endif

#include <QApplication>
#include <QIcon>
#include <cstdio>
#include <optional>

namespace {

// The platform the user asked for: -platform, else QT_QPA_PLATFORM; empty when neither is set.
QString askedPlatform(const PurrloxApp::Options& options) {
    if (!options.platform.isEmpty()) return options.platform;
    return qEnvironmentVariable("QT_QPA_PLATFORM");
}

// Chooses the platform before Qt loads one. The panels are X11 windows everywhere (on a
// Wayland session through XWayland, where they can stay above other windows and pass clicks),
// so xcb unless the user chose. Returns the error line when no display can carry the app.
std::optional<QString> choosePlatform(const PurrloxApp::Options& options) {
    const WaylandSession session = WaylandSession::detect(QProcessEnvironment::systemEnvironment());
    const QString asked = askedPlatform(options);
    // Qt takes a list ("wayland;xcb") and tries its entries in turn; the first one decides.
    const QString first = asked.section(u';', 0, 0);
    const QString display =
        options.display.isEmpty() ? qEnvironmentVariable("DISPLAY") : options.display;
    if (asked.isEmpty() || first.startsWith(QLatin1String("xcb"))) {
        if (!X11Display::reachable(options.display)) {
            QString problem = display.isEmpty()
                                  ? QStringLiteral("no X display (DISPLAY is not set)")
                                  : QStringLiteral("cannot open the X display \"%1\"").arg(display);
            if (session.wayland)
                problem += QStringLiteral(" in this Wayland session; is XWayland off?");
            return QStringLiteral("%1; Purrlox needs a graphical session (X11, or XWayland under "
                                  "Wayland)")
                .arg(problem);
        }
        if (asked.isEmpty()) {
            qputenv("QT_QPA_PLATFORM", "xcb");
            if (session.wayland)
                Log::notice(QStringLiteral("Wayland session: Purrlox runs on XWayland (xcb), where "
                                           "its panels can stay above other windows"));
        }
        return std::nullopt;
    }
    // Another platform, the user's choice: Qt would abort where it cannot connect.
    if (first.startsWith(QLatin1String("wayland")) &&
        qEnvironmentVariable("WAYLAND_DISPLAY").isEmpty() && !session.wayland)
        return QStringLiteral("no Wayland display (WAYLAND_DISPLAY is not set) for the platform "
                              "\"%1\" that was asked for")
            .arg(first);
    return std::nullopt;
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
    // A command goes to the running Purrlox; this start ends with its answer.
    if (options.command != PurrloxApp::Options::Command::none)
        if (const std::optional<int> code = PurrloxApp::askRunning(options)) return *code;
    const bool weChoose = askedPlatform(options).isEmpty();
    if (const std::optional<QString> problem = choosePlatform(options)) {
        std::fprintf(stderr, "purrlox: %s\n", problem->toLocal8Bit().constData());
        return 1;
    }

    QApplication app(argc, argv);
    // Our choice is for us: programs we start (a file manager, the relaunched app's own
    // choice) pick their platform themselves.
    if (weChoose) qunsetenv("QT_QPA_PLATFORM");
    // The class of every window (WM_CLASS) and the desktop entry share one name, so docks and
    // task switchers find the entry's icon and name; people read "Purrlox".
    QApplication::setApplicationName(QStringLiteral("app.purrlox.Purrlox"));
    QApplication::setApplicationDisplayName(QStringLiteral("Purrlox"));
    QApplication::setApplicationVersion(QStringLiteral(PURRLOX_VERSION));
    QApplication::setOrganizationDomain(QStringLiteral("purrlox.app"));
    QGuiApplication::setDesktopFileName(QStringLiteral("app.purrlox.Purrlox"));
    Accessibility::install(); // before any window: a screen reader may ask from the start
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

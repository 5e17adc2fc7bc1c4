#include "app/PurrloxApp.h"

#include "app/AppModel.h"
#include "app/Automation.h"
#include "app/BedPanelFactory.h"
#include "app/CatAutomation.h"
#include "app/CatPanelFactory.h"
#include "app/ExportAutomation.h"
#include "app/FrameSweep.h"
#include "app/IncomingLinks.h"
#include "app/InstanceClient.h"
#include "app/InstanceCommands.h"
#include "app/MenuBubbles.h"
#include "app/QuitOnSignals.h"
#include "app/SingleInstance.h"
#include "app/SubScreens.h"
#include "app/WidgetAutomation.h"
#include "base/Log.h"
#include "cat/CatOverlay.h"
#include "focus/Pomodoro.h"
#include "kit/SpriteImages.h"
#include "menu/MenuAutomation.h"
#include "menu/MenuView.h"
#include "menu/MenuWindow.h"
#include "menu/TrayEntry.h"
#include "menu/TrayMenu.h"
#include "platform/Clock.h"
#include "platform/Panel.h"
#include "platform/Random.h"
#include "platform/SettingsStore.h"
#include "platform/linux/LinuxDevices.h"
#include "platform/wayland/ShellPanelLabel.h"
#include "platform/wayland/WaylandDesktop.h"
#include "platform/x11/CompositorWatch.h"
#include "platform/x11/X11Desktop.h"
#include "platform/x11/X11InputIdle.h"
#include "platform/x11/X11Panel.h"
#include "platform/x11/X11Pointer.h"
#include "platform/x11/X11ScreenDark.h"
#include "platform/x11/X11Screens.h"
#include "platform/x11/X11WindowList.h"
#include "platform/xdg/FreedesktopTrash.h"
#include "platform/xdg/XdgAutostart.h"
#include "strings/Countdown.h"
#include "strings/Lang.h"
#include "strings/QtTexts.h"
#include "strings/Strings.h"
#include "system/Relaunch.h"

#include <QApplication>
#include <QDBusServiceWatcher>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPointer>
#include <QScreen>
#include <QThread>
#include <QTimer>
#include <cstdio>

PurrloxApp::PurrloxApp(Updates::Make makeUpdates) : makeUpdates_(std::move(makeUpdates)) {}
PurrloxApp::~PurrloxApp() {
    // Each goes before what it calls: the menu and the test hook call the models, the models
    // hold the login item, and the desktop and devices (left to the end) call into the cat.
    commands_.reset();
    trayHosts_.reset();
    shellPanel_.reset();
    menu_.reset();
    automation_.reset();
    model_.reset();
    loginItem_.reset();
}

namespace {

// Qt's own command-line options (QGuiApplication, QApplication and the xcb platform), which Qt
// takes out of the arguments itself. Those in the first list take a value.
const QStringList qtOptionsWithValue{"platform",
                                     "platformpluginpath",
                                     "platformtheme",
                                     "plugin",
                                     "qwindowgeometry",
                                     "qwindowicon",
                                     "qwindowtitle",
                                     "session",
                                     "style",
                                     "stylesheet",
                                     "display",
                                     "geometry",
                                     "name",
                                     "title",
                                     "visual",
                                     "fontengine",
                                     "dialogs",
                                     "qmljsdebugger"};
const QStringList qtFlags{"reverse", "widgetcount", "nograb", "dograb", "sync", "cmap"};

} // namespace

PurrloxApp::Options PurrloxApp::parse(const QStringList& arguments) {
    Options options;
    auto refuse = [&options](const QString& problem) {
        if (options.ask == Options::Ask::refuse) return; // the first problem is the one told
        options.ask = Options::Ask::refuse;
        options.problem = problem;
    };
    bool onlyLinks = false;
    QString stray; // the first argument that is neither an option nor a link
    int strays = 0;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (!onlyLinks && argument == QLatin1String("--")) {
            onlyLinks = true;
            continue;
        }
        if (!onlyLinks && argument.size() > 1 && argument.startsWith(u'-')) {
            const QString bare = argument.mid(argument.startsWith(QLatin1String("--")) ? 2 : 1);
            const qsizetype equals = bare.indexOf(u'=');
            const QString name = equals < 0 ? bare : bare.left(equals);
            std::optional<QString> value;
            if (equals >= 0) value = bare.mid(equals + 1);
            const bool ours = argument.startsWith(QLatin1String("--")) || name == u'h';
            if (ours && (name == QLatin1String("help") || name == QLatin1String("h")) && !value) {
                if (options.ask == Options::Ask::run) options.ask = Options::Ask::help;
            } else if (ours && name == QLatin1String("version") && !value) {
                if (options.ask == Options::Ask::run) options.ask = Options::Ask::version;
            } else if (name == QLatin1String("automation") &&
                       argument.startsWith(QLatin1String("--"))) {
                if (!value && i + 1 < arguments.size()) value = arguments[++i];
                if (!value || value->isEmpty())
                    refuse(QStringLiteral("option '--automation' needs a socket path"));
                else
                    options.automation = *value;
            } else if (ours && (name == QLatin1String("status") || name == QLatin1String("open")) &&
                       !value) {
                const auto command = name == QLatin1String("status") ? Options::Command::status
                                                                     : Options::Command::open;
                if (options.command != Options::Command::none && options.command != command)
                    refuse(QStringLiteral("one of --status, --focus and --open at a time"));
                options.command = command;
            } else if (ours && name == QLatin1String("focus")) {
                if (!value && i + 1 < arguments.size()) value = arguments[++i];
                const auto command = value == QLatin1String("start")  ? Options::Command::focusStart
                                     : value == QLatin1String("stop") ? Options::Command::focusStop
                                                                      : Options::Command::none;
                if (!value)
                    refuse(QStringLiteral("option '--focus' needs start or stop"));
                else if (command == Options::Command::none)
                    refuse(QStringLiteral("option '--focus' takes start or stop, not '%1'")
                               .arg(value->left(40)));
                else if (options.command != Options::Command::none && options.command != command)
                    refuse(QStringLiteral("one of --status, --focus and --open at a time"));
                else
                    options.command = command;
            } else if (ours && (name == QLatin1String("json") || name == QLatin1String("follow")) &&
                       !value) {
                (name == QLatin1String("json") ? options.json : options.follow) = true;
            } else if (qtOptionsWithValue.contains(name)) {
                if (!value && i + 1 < arguments.size()) value = arguments[++i];
                if (!value)
                    refuse(QStringLiteral("option '%1' needs a value").arg(argument));
                else if (name == QLatin1String("platform"))
                    options.platform = *value;
                else if (name == QLatin1String("display"))
                    options.display = *value;
            } else if (!qtFlags.contains(name) || value) {
                refuse(QStringLiteral("unknown option '%1'").arg(argument));
            }
            continue;
        }
        const QUrl url(argument, QUrl::StrictMode);
        if (url.isValid() && url.scheme() == QLatin1String("purrlox"))
            options.links.append(url);
        else if (++strays == 1)
            stray = argument;
    }
    // A command's line has no place for other words; a plain start skips them, as always.
    if (strays > 0 && options.command != Options::Command::none)
        refuse(QStringLiteral("unknown word '%1'").arg(stray.left(40)));
    else
        for (int i = 0; i < strays; ++i)
            Log::error(QStringLiteral("skipped an argument that is not a purrlox:// link"));
    if ((options.json || options.follow) && options.command != Options::Command::status)
        refuse(QStringLiteral("--json and --follow go with --status"));
    if (options.command != Options::Command::none && !options.links.isEmpty())
        refuse(QStringLiteral("a command takes no purrlox:// links"));
    return options;
}

QString PurrloxApp::Options::commandLine() const {
    switch (command) {
    case Command::status:
        return QStringLiteral("status") + (json ? QStringLiteral(" json") : QString()) +
               (follow ? QStringLiteral(" follow") : QString());
    case Command::focusStart:
        return QStringLiteral("focus start");
    case Command::focusStop:
        return QStringLiteral("focus stop");
    case Command::open:
        return QStringLiteral("open");
    case Command::none:
        break;
    }
    return {};
}

std::optional<int> PurrloxApp::askRunning(const Options& options) {
    switch (InstanceClient::ask(options.commandLine(), options.follow, stdout)) {
    case InstanceClient::Result::done:
        return 0;
    case InstanceClient::Result::failed:
        return 1;
    case InstanceClient::Result::notRunning:
        break;
    }
    if (options.command == Options::Command::focusStart ||
        options.command == Options::Command::open)
        return std::nullopt;
    const QString said = S().notRunning();
    if (options.command == Options::Command::focusStop) {
        std::fprintf(stderr, "purrlox: %s\n", said.toLocal8Bit().constData());
    } else if (options.json) {
        const QJsonObject out{
            {"text", QString()}, {"tooltip", said}, {"class", "off"}, {"alt", "off"}};
        std::printf("%s\n", QJsonDocument(out).toJson(QJsonDocument::Compact).constData());
    } else {
        std::printf("%s\n", said.toLocal8Bit().constData());
    }
    std::fflush(stdout);
    return 3;
}

QString PurrloxApp::usage() {
    return QStringLiteral(
        "Usage: purrlox [OPTION]... [purrlox://LINK]...\n"
        "A cat that lives on your desktop, with a pomodoro timer, focus statistics and "
        "reminders.\n"
        "\n"
        "  -h, --help            print this help and exit\n"
        "      --version         print the version and exit\n"
        "      --open            open the menu window of the running Purrlox (or start it)\n"
        "      --focus start|stop\n"
        "                        start or stop the focus timer (start starts Purrlox too)\n"
        "      --status          print the time left and the activity, and exit (3: Purrlox\n"
        "                        is not running)\n"
        "      --status --json   the same as one line of waybar's custom-module JSON\n"
        "      --status --follow a line at every change and each minute, until Purrlox quits\n"
        "      --automation SOCKET\n"
        "                        answer test requests on this local socket\n"
        "\n"
        "Qt's own options (-platform, -display, -style, ...) are accepted too. One Purrlox runs\n"
        "per user: a second start hands its links to the running one, or opens its menu.\n"
        "Its tray icon opens the menu; see purrlox(1).\n");
}

namespace {

// A panel's runs of moves, told to the desktop while it lasts.
std::function<void(bool)> movingOn(X11Desktop& desktop) {
    return [desktop = QPointer<X11Desktop>(&desktop)](bool moving) {
        if (desktop) desktop->panelMoving(moving);
    };
}

} // namespace

CatServices PurrloxApp::services() {
    desktop_ = std::make_unique<X11Desktop>(Clock::system());
    devices_ = std::make_unique<LinuxDevices>();
    trash_ = std::make_unique<FreedesktopTrash>();
    X11Desktop& desktop = *desktop_;
    desktop.screenDark().onChanged = [devices = devices_.get()](bool dark) {
        devices->screensDark(QStringLiteral("X server"), dark);
    };
    // The panels are X11 windows: on any other platform (the user's choice) the cat stays off
    // the desktop, and the menu and the focus tools work as usual.
    const bool onX11 = QGuiApplication::platformName() == QLatin1String("xcb");
    if (!onX11)
        Log::notice(QStringLiteral("the cat needs XWayland (the platform xcb) to live on the "
                                   "desktop; on \"%1\" it stays off it, the menu works as usual")
                        .arg(QGuiApplication::platformName()));
    // On a Wayland session the compositor tells the windows, and where it can the pointer and
    // the idle time; XWayland alone sees only X11 clients.
    if (onX11)
        wayland_ = WaylandDesktop::make(
            WaylandSession::detect(QProcessEnvironment::systemEnvironment()), desktop);
    const CatView::Images images = [](CatSprite sprite) -> const QImage& {
        return SpriteImages::image(sprite);
    };
    DesktopSource& source = wayland_ ? static_cast<DesktopSource&>(*wayland_) : desktop;
    return CatServices{
        source.screens(),
        source.windowList(),
        source.pointer(),
        source.inputIdle(),
        *devices_,
        *trash_,
        Clock::system(),
        Random::system(),
        SettingsStore::standard(),
        [this, images, &desktop, onX11](CatOverlay& overlay) -> std::unique_ptr<Panel> {
            if (!onX11) return nullptr;
            std::unique_ptr<X11Panel> cat =
                makeCatPanel(overlay, images, &SpriteImages::size, desktop.screens().refreshRate());
            cat->onMoving = movingOn(desktop);
            if (bedPanel_) bedPanel_->keepBelow(cat.get());
            return cat;
        },
        [this, images, &desktop, onX11](CatOverlay& overlay) -> std::unique_ptr<Panel> {
            if (!onX11) return nullptr;
            std::unique_ptr<Panel> bed =
                makeBedPanel(overlay, images(CatSprite::bedEmpty), &bedPanel_);
            if (bedPanel_) bedPanel_->onMoving = movingOn(desktop);
            return bed;
        },
    };
}

MenuModels PurrloxApp::menuModels(QApplication& app) {
    AppModel& root = model();
    // A relaunch starts the same program with the same options, without the links.
    QStringList arguments;
    const Options options = parse(app.arguments());
    if (!options.automation.isEmpty())
        arguments << QStringLiteral("--automation") << options.automation;
    if (auto* x11 = app.nativeInterface<QNativeInterface::QX11Application>())
        compositor_ = std::make_unique<CompositorWatch>(x11->connection(), nullptr);
    return MenuModels{
        *root.pomodoro,
        *root.focusLog,
        *root.reminders,
        *root.launchAtLogin,
        Clock::system(),
        SettingsStore::standard(),
        SpriteImages::image(CatSprite::sit),
        [] { QCoreApplication::quit(); },
        [arguments] {
            QString error;
            const bool arranged =
                Relaunch::whenGone(QCoreApplication::applicationFilePath(), {}, arguments, &error);
            if (!arranged) Log::error(QStringLiteral("relaunch failed: %1").arg(error));
            return arranged;
        },
        root.updater != nullptr,
        subScreens(*root.focusLog, *root.reminders, Clock::system()),
        [watch = compositor_.get()] { return watch && watch->running(); },
    };
}

AppModel& PurrloxApp::model() {
    Q_ASSERT(QThread::currentThread() == qApp->thread());
    if (!model_) {
        loginItem_ = std::make_unique<XdgAutostart>();
        model_ = std::make_unique<AppModel>(SettingsStore::standard(), services(), *loginItem_,
                                            makeUpdates_);
    }
    return *model_;
}

// GNOME shows neither the windows (under Wayland) nor a tray without an extension: the cat
// brings a letter that says which, once a run.
void PurrloxApp::adviseGnome(CatOverlay& cats) {
    if (wayland_)
        wayland_->onAdvice = [&cats](WaylandDesktop::Advice advice) {
            const bool installed = advice == WaylandDesktop::Advice::enableShellExtension;
            cats.deliver(Letter{S().enableShellExtension(installed), std::nullopt, false});
        };
    const QStringList desktops = qEnvironmentVariable("XDG_CURRENT_DESKTOP").split(u':');
    if (!desktops.contains(QStringLiteral("GNOME"), Qt::CaseInsensitive)) return;
    // A tray host that comes up with the session (the AppIndicator extension) has a moment.
    QTimer::singleShot(3000, &cats, [&cats, menu = menu_.get(), label = shellPanel_.get()] {
        if (menu->tray().shown()) return;
        auto advise = [&cats](bool shellShowsPaw) {
            if (shellShowsPaw) return;
            Log::notice(QStringLiteral("GNOME shows no paw without our extension or the "
                                       "AppIndicator one"));
            cats.deliver(Letter{S().trayNeedsAppIndicator(), std::nullopt, false});
        };
        // Our extension shows the paw in the top bar itself.
        if (label && label->exported())
            label->askShown(advise);
        else
            advise(false);
    });
}

void PurrloxApp::wireTray() {
    // On Wayland the compositor knows where a click on its panel's tray was; XWayland does not.
    // A tray host's click comes in the compositor's logical pixels.
    if (WaylandDesktop* wayland = wayland_.get()) {
        menu_->tray().pointer = [wayland] { return wayland->pointerInQt(); };
        menu_->tray().hostPoint = [wayland](QPoint p) { return wayland->logicalToQt(p); };
    }
}

// A tray host that comes after the start (the AppIndicator extension switched on) gets the paw
// as our own item, in place of the XEmbed icon nobody shows.
void PurrloxApp::followTrayHosts() {
    trayHosts_ = std::make_unique<QDBusServiceWatcher>(
        QStringLiteral("org.kde.StatusNotifierWatcher"), QDBusConnection::sessionBus(),
        QDBusServiceWatcher::WatchForRegistration);
    QObject::connect(trayHosts_.get(), &QDBusServiceWatcher::serviceRegistered, menu_.get(),
                     [this] {
                         if (menu_->tray().notifierItem()) return;
                         Log::info(QStringLiteral("a tray host came; the paw goes into it"));
                         menu_->renewTray();
                         wireTray();
                     });
}

// GNOME Shell's top bar can show the paw from our extension where no tray host does, fed the
// countdown as it changes (once a second while a timer runs, nothing while none does).
void PurrloxApp::offerShellPanel(Pomodoro& pomodoro) {
    const QStringList desktops = qEnvironmentVariable("XDG_CURRENT_DESKTOP").split(u':');
    if (!desktops.contains(QStringLiteral("GNOME"), Qt::CaseInsensitive)) return;
    shellPanel_ = std::make_unique<ShellPanelLabel>();
    if (!shellPanel_->exported()) return;
    ShellPanelLabel* label = shellPanel_.get();
    auto show = [label, &pomodoro] {
        const std::optional<double> left = pomodoro.remaining();
        label->setText(left ? countdown(*left) : QString());
    };
    QObject::connect(&pomodoro, &Pomodoro::phaseChanged, label, show);
    QObject::connect(&pomodoro, &Pomodoro::nowChanged, label, show);
    show();
    label->onOpen = [this](QPoint shell) {
        const QPoint at = wayland_ ? wayland_->logicalToQt(shell) : shell;
        menu_->openAt(QRect(at, QSize(1, 1)));
    };
}

// Every change of the screen layout reaches the cat (its bed stays on screen).
int PurrloxApp::run(QApplication& app) {
    const Options options = parse(app.arguments());

    instance_ = std::make_unique<SingleInstance>();
    if (!instance_->claim(options.links)) {
        if (!instance_->handedOver()) return 1; // the running one did not answer (logged)
        Log::notice(QStringLiteral("Purrlox already runs; handed over %1 link(s)")
                        .arg(options.links.size()));
        return 0;
    }
    QObject::connect(instance_.get(), &SingleInstance::linksArrived, &app,
                     [](const QList<QUrl>& urls) { IncomingLinks::open(urls); });
    QObject::connect(instance_.get(), &SingleInstance::startedAgain, &app, [this] {
        Log::info(QStringLiteral("started again without links"));
        if (menu_) menu_->open();
    });
    IncomingLinks::open(options.links);
    if (options.command == Options::Command::focusStart ||
        options.command == Options::Command::open)
        Log::info(QStringLiteral("no Purrlox was running: this start is Purrlox, and does what "
                                 "it was asked"));

    // Signals end the run like Quit does, so the pomodoro books its open stretch.
    quitSignals_ = std::make_unique<QuitOnSignals>();
    // Dates and weekday names speak the language of the texts.
    QLocale::setDefault(Lang::localeFor(Lang::current(), QLocale::system()));
    QtTexts::install(app, Lang::current());
    AppModel& root = model();
    menu_ = std::make_unique<TrayMenu>(menuModels(app));
    showBubblesInMenu(*root.cats, *menu_->window().view());
    offerShellPanel(*root.pomodoro);
    // The first start: the cat brings a letter that tells where things are and what the
    // start switched on.
    if (SettingsStore::standard().fresh())
        root.cats->deliver(Letter{S().welcome(root.updater != nullptr), std::nullopt, false});
    adviseGnome(*root.cats);
    // On Wayland the compositor knows where a click on its panel's tray was; XWayland does not.
    // A tray host's click comes in the compositor's logical pixels.
    wireTray();
    followTrayHosts();

    commands_ = std::make_unique<InstanceCommands>(*root.pomodoro, [this] {
        if (menu_) menu_->open();
    });
    QObject::connect(instance_.get(), &SingleInstance::commandArrived, commands_.get(),
                     &InstanceCommands::take);
    if (options.command == Options::Command::focusStart) root.pomodoro->start();
    if (options.command == Options::Command::open)
        QTimer::singleShot(0, menu_.get(), [menu = menu_.get()] { menu->open(); });

    if (!options.automation.isEmpty()) {
        AppModel* model = &root;
        TrayMenu* menu = menu_.get();
        automation_ = std::make_unique<Automation>([model, menu](const QJsonObject& request) {
            if (request.value("cmd").toString() == QLatin1String("menu"))
                return answerMenuRequest(*menu, request);
            if (auto reply = answerStoreRequest(*model->focusLog, *model->pomodoro, request))
                return *reply;
            if (auto reply = answerExportRequest(*model->focusLog, Clock::system(), request))
                return *reply;
            if (auto reply = answerWidgetRequest(request)) return *reply;
            return answerCatRequest(*model->cats, request);
        });
        automation_->listen(options.automation);
    }
    FrameSweep::start(&app);
    return app.exec();
}

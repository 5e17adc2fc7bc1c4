#include "app/PurrloxApp.h"

#include "app/AppModel.h"
#include "app/Automation.h"
#include "app/BedPanelFactory.h"
#include "app/CatAutomation.h"
#include "app/CatPanelFactory.h"
#include "app/ExportAutomation.h"
#include "app/IncomingLinks.h"
#include "app/QuitOnSignals.h"
#include "app/SingleInstance.h"
#include "app/SubScreens.h"
#include "app/WidgetAutomation.h"
#include "base/Log.h"
#include "cat/CatOverlay.h"
#include "kit/SpriteImages.h"
#include "menu/MenuAutomation.h"
#include "menu/TrayEntry.h"
#include "menu/TrayMenu.h"
#include "platform/Clock.h"
#include "platform/FreedesktopTrash.h"
#include "platform/Panel.h"
#include "platform/Random.h"
#include "platform/SettingsStore.h"
#include "platform/linux/LinuxDevices.h"
#include "platform/wayland/WaylandDesktop.h"
#include "platform/x11/CompositorWatch.h"
#include "platform/x11/X11Desktop.h"
#include "platform/x11/X11InputIdle.h"
#include "platform/x11/X11Panel.h"
#include "platform/x11/X11Pointer.h"
#include "platform/x11/X11ScreenDark.h"
#include "platform/x11/X11Screens.h"
#include "platform/x11/X11WindowList.h"
#include "platform/xdg/XdgAutostart.h"
#include "strings/Lang.h"
#include "strings/Strings.h"
#include "system/Relaunch.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QPointer>
#include <QScreen>
#include <QThread>
#include <QTimer>
#include <QTranslator>

PurrloxApp::PurrloxApp(Updates::Make makeUpdates) : makeUpdates_(std::move(makeUpdates)) {}
PurrloxApp::~PurrloxApp() {
    // Each goes before what it calls: the menu and the test hook call the models, the models
    // hold the login item, and the desktop and devices (left to the end) call into the cat.
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
        else
            Log::error(QStringLiteral("skipped an argument that is not a purrlox:// link"));
    }
    return options;
}

QString PurrloxApp::usage() {
    return QStringLiteral(
        "Usage: purrlox [OPTION]... [purrlox://LINK]...\n"
        "A cat that lives on your desktop, with a pomodoro timer, focus statistics and "
        "reminders.\n"
        "\n"
        "  -h, --help            print this help and exit\n"
        "      --version         print the version and exit\n"
        "      --automation SOCKET\n"
        "                        answer test requests on this local socket\n"
        "\n"
        "Qt's own options (-platform, -display, -style, ...) are accepted too. One Purrlox runs\n"
        "per user: a second start hands its links to the running one, or opens its menu.\n"
        "Its tray icon opens the menu; see purrlox(1).\n");
}

namespace {

// Qt's own texts (the save dialog, the context menus of text fields and the time picker) in
// the language of ours, from Qt's translations (package qt6-translations-l10n).
void installQtTexts(QApplication& app, Language language) {
    if (language == Language::en) return;
    auto* texts = new QTranslator(&app);
    if (texts->load(QLocale(code(language)), QStringLiteral("qtbase"), QStringLiteral("_"),
                    QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        app.installTranslator(texts);
        return;
    }
    Log::notice(QStringLiteral("Qt's own %1 texts are missing (qt6-translations-l10n); its "
                               "dialogs speak English")
                    .arg(code(language)));
    delete texts;
}

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
    return CatServices{
        desktop.screens(),
        wayland_ ? wayland_->windowList() : desktop.windowList(),
        wayland_ ? wayland_->pointer() : desktop.pointer(),
        wayland_ ? wayland_->inputIdle() : desktop.inputIdle(),
        *devices_,
        *trash_,
        Clock::system(),
        Random::system(),
        SettingsStore::standard(),
        [this, images, &desktop, onX11](CatOverlay& overlay) -> std::unique_ptr<Panel> {
            if (!onX11) return nullptr;
            std::unique_ptr<Panel> cat =
                makeCatPanel(overlay, images, desktop.screens().refreshRate());
            auto* panel = static_cast<X11Panel*>(cat.get());
            panel->onMoving = movingOn(desktop);
            if (bedPanel_) bedPanel_->keepBelow(panel);
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
        model_ = std::make_unique<AppModel>(services(), *loginItem_, makeUpdates_);
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
    QTimer::singleShot(3000, &cats, [&cats, menu = menu_.get()] {
        if (menu->tray().shown()) return;
        Log::notice(QStringLiteral("GNOME shows no tray without the AppIndicator extension"));
        cats.deliver(Letter{S().trayNeedsAppIndicator(), std::nullopt, false});
    });
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

    // Signals end the run like Quit does, so the pomodoro books its open stretch.
    quitSignals_ = std::make_unique<QuitOnSignals>();
    // Dates and weekday names speak the language of the texts.
    QLocale::setDefault(Lang::localeFor(Lang::current(), QLocale::system()));
    installQtTexts(app, Lang::current());
    AppModel& root = model();
    menu_ = std::make_unique<TrayMenu>(menuModels(app));
    // The first start: the cat brings a letter that tells where things are and what the
    // start switched on.
    if (SettingsStore::standard().fresh())
        root.cats->deliver(Letter{S().welcome(root.updater != nullptr), std::nullopt, false});
    adviseGnome(*root.cats);
    // On Wayland the compositor knows where a click on its panel's tray was; XWayland does not.
    // A tray host's click comes in the compositor's logical pixels.
    if (WaylandDesktop* wayland = wayland_.get()) {
        menu_->tray().pointer = [wayland] { return wayland->pointerInQt(); };
        menu_->tray().hostPoint = [wayland](QPoint p) { return wayland->logicalToQt(p); };
    }

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
    return app.exec();
}

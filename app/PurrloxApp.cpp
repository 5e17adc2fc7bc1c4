#include "app/PurrloxApp.h"

#include "app/AppDelegate.h"
#include "app/AppModel.h"
#include "app/Automation.h"
#include "app/BedPanelFactory.h"
#include "app/CatAutomation.h"
#include "app/CatPanelFactory.h"
#include "app/ExportAutomation.h"
#include "app/QuitOnSignals.h"
#include "app/SingleInstance.h"
#include "app/WidgetAutomation.h"
#include "base/Log.h"
#include "menu/MenuAutomation.h"
#include "menu/MenuBarExtra.h"
#include "platform/Clock.h"
#include "platform/Defaults.h"
#include "platform/FreedesktopTrash.h"
#include "platform/Panel.h"
#include "platform/Random.h"
#include "platform/linux/LinuxDevices.h"
#include "platform/x11/X11Desktop.h"
#include "platform/x11/X11InputIdle.h"
#include "platform/x11/X11Panel.h"
#include "platform/x11/X11Pointer.h"
#include "platform/x11/X11Screens.h"
#include "platform/x11/X11WindowList.h"
#include "platform/xdg/XdgAutostart.h"
#include "sprites/SpriteImages.h"
#include "strings/Lang.h"
#include "system/Relaunch.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QPointer>
#include <QScreen>
#include <QThread>

PurrloxApp::PurrloxApp() = default;
PurrloxApp::~PurrloxApp() {
    // Each goes before what it calls: the menu and the test hook call the models, the models
    // hold the login item, and the desktop and devices (left to the end) call into the cat.
    menu_.reset();
    automation_.reset();
    model_.reset();
    loginItem_.reset();
}

PurrloxApp::Options PurrloxApp::parse(const QStringList& arguments) {
    QCommandLineParser parser;
    const QCommandLineOption automation(
        QStringLiteral("automation"), QStringLiteral("Answer test requests on this local socket."),
        QStringLiteral("socket"));
    parser.addOption(automation);
    parser.addPositionalArgument(QStringLiteral("links"), QStringLiteral("purrlox:// links"));
    if (!parser.parse(arguments)) Log::error(parser.errorText());

    Options options;
    options.automation = parser.value(automation);
    for (const QString& argument : parser.positionalArguments()) {
        const QUrl url(argument, QUrl::StrictMode);
        if (url.isValid() && url.scheme() == QLatin1String("purrlox"))
            options.links.append(url);
        else
            Log::error(QStringLiteral("skipped an argument that is not a purrlox:// link"));
    }
    return options;
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
    const CatView::Images images = [](CatSprite sprite) -> const QImage& {
        return SpriteImages::image(sprite);
    };
    return CatServices{
        desktop.screens(),
        desktop.windowList(),
        desktop.pointer(),
        desktop.inputIdle(),
        *devices_,
        *trash_,
        Clock::system(),
        Random::system(),
        Defaults::standard(),
        [this, images, &desktop](CatOverlay& overlay) -> std::unique_ptr<Panel> {
            std::unique_ptr<Panel> cat =
                makeCatPanel(overlay, images, desktop.screens().refreshRate());
            auto* panel = static_cast<X11Panel*>(cat.get());
            panel->onMoving = movingOn(desktop);
            if (bedPanel_) bedPanel_->keepBelow(panel);
            return cat;
        },
        [this, images, &desktop](CatOverlay& overlay) -> std::unique_ptr<Panel> {
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
    return MenuModels{
        *root.pomodoro,
        *root.focusLog,
        *root.reminders,
        *root.launchAtLogin,
        Clock::system(),
        Defaults::standard(),
        SpriteImages::image(CatSprite::sit),
        [] { QCoreApplication::quit(); },
        [arguments] {
            QString error;
            const bool arranged =
                Relaunch::whenGone(QCoreApplication::applicationFilePath(), {}, arguments, &error);
            if (!arranged) Log::error(QStringLiteral("relaunch failed: %1").arg(error));
            return arranged;
        },
    };
}

AppModel& PurrloxApp::model() {
    Q_ASSERT(QThread::currentThread() == qApp->thread());
    if (!model_) {
        loginItem_ = std::make_unique<XdgAutostart>();
        model_ = std::make_unique<AppModel>(services(), *loginItem_);
    }
    return *model_;
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
                     [](const QList<QUrl>& urls) { AppDelegate::open(urls); });
    QObject::connect(instance_.get(), &SingleInstance::startedAgain, &app, [this] {
        Log::info(QStringLiteral("started again without links"));
        if (menu_) menu_->open();
    });
    AppDelegate::open(options.links);

    // Signals end the run like Quit does, so the pomodoro books its open stretch.
    quitSignals_ = std::make_unique<QuitOnSignals>();
    // Dates and weekday names speak the language of the texts.
    QLocale::setDefault(Lang::localeFor(Lang::current(), QLocale::system()));
    AppModel& root = model();
    menu_ = std::make_unique<MenuBarExtra>(menuModels(app));

    if (!options.automation.isEmpty()) {
        AppModel* model = &root;
        MenuBarExtra* menu = menu_.get();
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

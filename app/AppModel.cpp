#include "app/AppModel.h"

#include "app/IncomingLinks.h"
#include "app/ModelWiring.h"
#include "base/Config.h"
#include "base/Log.h"
#include "platform/Screens.h"
#include "strings/Strings.h"

#include <QCoreApplication>
#include <QPointer>

AppModel::AppModel(SettingsStore& store, const CatServices& services, Updates::Make makeUpdates,
                   QObject* parent)
    : AppModel(store, services, nullptr, std::move(makeUpdates), parent) {}

AppModel::AppModel(SettingsStore& store, const CatServices& services, LoginItem& loginItem,
                   Updates::Make makeUpdates, QObject* parent)
    : AppModel(store, services, &loginItem, std::move(makeUpdates), parent) {}

AppModel::AppModel(SettingsStore& store, const CatServices& services, LoginItem* loginItem,
                   Updates::Make makeUpdates, QObject* parent)
    : QObject(parent), cats(std::make_unique<CatOverlay>(services)),
      launchAtLogin(loginItem ? std::make_unique<LaunchAtLogin>(*loginItem, store) : nullptr),
      focusLog(std::make_unique<FocusLog>(store, services.clock)),
      reminders(std::make_unique<Reminders>(store, services.clock)),
      updater(makeUpdates ? makeUpdates(store) : nullptr),
      pomodoro(std::make_unique<Pomodoro>(store, services.clock, *focusLog)),
      screens_(services.screens) {
    // A new screen mode or work area puts the cat back on the desktop at once.
    QPointer<CatOverlay> cat(cats.get());
    services.screens.onChanged = [cat] {
        if (cat) cat->screenParametersChanged();
    };
    ModelWiring::connect(*cats, *focusLog, *reminders, *pomodoro);
    // Connected after the pomodoro books its open stretch on quit: then everything a failed
    // or unfinished save left is written before the process ends.
    if (QCoreApplication* app = QCoreApplication::instance()) {
        SettingsStore* defaults = &store;
        connect(app, &QCoreApplication::aboutToQuit, this, [this, defaults] {
            if (!focusLog->flush())
                Log::error(QStringLiteral("quitting with %1 finished stretch(es) not saved")
                               .arg(focusLog->unsavedCount()));
            reminders->flush();
            defaults->flush();
        });
    }
    if (updater) {
        CatOverlay* overlay = cats.get();
        Updates* update = updater.get();
        updater->onReady = [overlay](const QString& version) {
            overlay->deliver(Letter{S().updateReady(version), std::nullopt, true});
        };
        updater->onFailed = [overlay] {
            overlay->deliver(Letter{S().updateFailed(Config::site()), std::nullopt, false});
        };
        cats->onUpdate = [update] { update->install(); };
    }

    // A letter handed over while wiring the other models has already brought the cat in.
    if (!cats->snapshot().panelFrame) cats->enter(false);

    QPointer<AppModel> self(this);
    IncomingLinks::onOpen = [self](const QUrl& url) {
        if (self) self->open(url);
    };
    const QList<QUrl> waiting = std::exchange(IncomingLinks::pending, {});
    for (const QUrl& url : waiting)
        if (self) self->open(url);
}

AppModel::~AppModel() {
    // A guard on this model or the cat still lets calls through while their destructors run:
    // every way in is cut before anything goes.
    screens_.onChanged = [] {};
    IncomingLinks::onOpen = nullptr; // links wait in pending again
    if (updater) {
        updater->onReady = [](const QString&) {};
        updater->onFailed = [] {};
    }
    cats->onUpdate = [] {};
    ModelWiring::disconnect(*focusLog, *reminders, *pomodoro);
    pomodoro.reset();
    updater.reset();
    reminders.reset();
    focusLog.reset();
    launchAtLogin.reset();
    cats.reset();
}

void AppModel::open(const QUrl& url) {
    const QString host = url.host(QUrl::FullyEncoded);
    Log::notice(QStringLiteral("ignored a purrlox:// link (%1)")
                    .arg(host.isEmpty() ? QStringLiteral("no host") : host));
}

#include "app/PurrloxApp.h"

#include "app/AppDelegate.h"
#include "app/AppModel.h"
#include "app/Automation.h"
#include "app/Log.h"
#include "app/SingleInstance.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QThread>

PurrloxApp::PurrloxApp() = default;
PurrloxApp::~PurrloxApp() = default;

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

AppModel& PurrloxApp::model() {
    Q_ASSERT(QThread::currentThread() == qApp->thread());
    if (!model_) model_ = std::make_unique<AppModel>();
    return *model_;
}

int PurrloxApp::run(QApplication& app) {
    const Options options = parse(app.arguments());

    instance_ = std::make_unique<SingleInstance>();
    if (!instance_->claim(options.links)) {
        Log::notice(QStringLiteral("Purrlox already runs; handed over %1 link(s)")
                        .arg(options.links.size()));
        return 0;
    }
    QObject::connect(instance_.get(), &SingleInstance::linksArrived, &app,
                     [](const QList<QUrl>& urls) { AppDelegate::open(urls); });
    QObject::connect(instance_.get(), &SingleInstance::startedAgain, &app,
                     [] { Log::info(QStringLiteral("started again without links")); });
    AppDelegate::open(options.links);

    model();

    if (!options.automation.isEmpty()) {
        automation_ = std::make_unique<Automation>([](const QJsonObject&) {
            return QJsonObject{{"error", QStringLiteral("no cat yet")}};
        });
        automation_->listen(options.automation);
    }
    return app.exec();
}

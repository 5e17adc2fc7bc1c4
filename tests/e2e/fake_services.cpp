// Small stand-ins for the D-Bus services the cat listens to, for the e2e scripts. Reads one
// command per line on standard input and prints "ready" once its name is on the bus.
//
//   fake-services mpris NAME     a media player org.mpris.MediaPlayer2.NAME on the session bus
//       status TEXT              sets PlaybackStatus and announces it (PropertiesChanged)
//       bad                      announces a PlaybackStatus that is a number, not text
//   fake-services logind         org.freedesktop.login1 on the system bus
//       sleep true|false         sends PrepareForSleep
//   fake-services watcher        org.kde.StatusNotifierWatcher on the session bus; prints
//                                "registered SERVICE SENDER" for each item that registers
//       flood SERVICE METHOD N X Y   calls the item's METHOD(X, Y) N times, waiting for none

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QSocketNotifier>
#include <QTextStream>
#include <cstdio>
#include <unistd.h>

namespace {

const QString properties = QStringLiteral("org.freedesktop.DBus.Properties");
const QString playerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");
const QString playerPath = QStringLiteral("/org/mpris/MediaPlayer2");

class Player final : public QDBusVirtualObject {
  public:
    explicit Player(QString identity) : identity_(std::move(identity)) {}
    QVariant status = QStringLiteral("Stopped");

    QString introspect(const QString&) const override { return {}; }

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& bus) override {
        if (message.interface() != properties) return false;
        const QVariantList args = message.arguments();
        if (message.member() == QLatin1String("Get") && args.size() == 2) {
            const QVariant v = property(args[0].toString(), args[1].toString());
            if (!v.isValid()) {
                bus.send(message.createErrorReply(QStringLiteral("org.freedesktop.DBus.Error."
                                                                 "UnknownProperty"),
                                                  args[1].toString()));
                return true;
            }
            bus.send(message.createReply(QVariant::fromValue(QDBusVariant(v))));
            return true;
        }
        if (message.member() == QLatin1String("GetAll") && args.size() == 1) {
            QVariantMap all;
            if (args[0].toString() == playerInterface) all.insert("PlaybackStatus", status);
            bus.send(message.createReply(all));
            return true;
        }
        return false;
    }

    QVariant property(const QString& interface, const QString& name) const {
        if (interface == playerInterface && name == QLatin1String("PlaybackStatus")) return status;
        if (interface == QLatin1String("org.mpris.MediaPlayer2") &&
            name == QLatin1String("Identity"))
            return identity_;
        return {};
    }

  private:
    QString identity_;
};

// A tray's watcher as far as an item sees it: it takes registrations and says a host is there.
class Watcher final : public QDBusVirtualObject {
  public:
    static constexpr const char* interface = "org.kde.StatusNotifierWatcher";

    QString introspect(const QString&) const override { return {}; }

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& bus) override {
        const QVariantList args = message.arguments();
        if (message.interface() == QLatin1String(interface) &&
            message.member() == QLatin1String("RegisterStatusNotifierItem") && args.size() == 1) {
            std::printf("registered %s %s\n", qPrintable(args[0].toString()),
                        qPrintable(message.service()));
            std::fflush(stdout);
            bus.send(message.createReply());
            return true;
        }
        if (message.interface() == properties && message.member() == QLatin1String("Get") &&
            args.value(1).toString() == QLatin1String("IsStatusNotifierHostRegistered")) {
            bus.send(message.createReply(QVariant::fromValue(QDBusVariant(true))));
            return true;
        }
        return false;
    }
};

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: fake-services mpris NAME | logind | watcher\n");
        return 2;
    }
    const bool mpris = args[1] == QLatin1String("mpris");
    const bool watcher = args[1] == QLatin1String("watcher");
    QDBusConnection bus =
        mpris || watcher ? QDBusConnection::sessionBus() : QDBusConnection::systemBus();
    if (!bus.isConnected()) {
        std::fprintf(stderr, "fake-services: no bus: %s\n", qPrintable(bus.lastError().message()));
        return 1;
    }
    Player player(args.value(2));
    Watcher tray;
    QString service;
    if (mpris) {
        service = QStringLiteral("org.mpris.MediaPlayer2.") + args.value(2);
        bus.registerVirtualObject(playerPath, &player);
    } else if (watcher) {
        service = QString::fromLatin1(Watcher::interface);
        bus.registerVirtualObject(QStringLiteral("/StatusNotifierWatcher"), &tray);
    } else {
        service = QStringLiteral("org.freedesktop.login1");
    }
    if (!bus.registerService(service)) {
        std::fprintf(stderr, "fake-services: cannot own %s\n", qPrintable(service));
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);

    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &app, [&] {
        char line[256];
        if (!std::fgets(line, sizeof line, stdin)) {
            app.quit();
            return;
        }
        const QStringList words = QString::fromLocal8Bit(line).simplified().split(' ');
        const QString command = words.value(0);
        if (mpris && (command == QLatin1String("status") || command == QLatin1String("bad"))) {
            player.status =
                command == QLatin1String("bad") ? QVariant(42) : QVariant(words.value(1));
            QDBusMessage signal = QDBusMessage::createSignal(playerPath, properties,
                                                             QStringLiteral("PropertiesChanged"));
            signal << playerInterface << QVariantMap{{"PlaybackStatus", player.status}}
                   << QStringList();
            bus.send(signal);
        } else if (watcher && command == QLatin1String("flood")) {
            // flood SERVICE METHOD COUNT X Y: a peer calling an item's method as fast as the
            // bus takes it, never waiting for an answer.
            const int count = words.value(3).toInt();
            for (int i = 0; i < count; ++i) {
                QDBusMessage call = QDBusMessage::createMethodCall(
                    words.value(1), QStringLiteral("/StatusNotifierItem"),
                    QStringLiteral("org.kde.StatusNotifierItem"), words.value(2));
                call << words.value(4).toInt() << words.value(5).toInt();
                bus.send(call);
            }
        } else if (!mpris && command == QLatin1String("sleep")) {
            QDBusMessage signal =
                QDBusMessage::createSignal(QStringLiteral("/org/freedesktop/login1"),
                                           QStringLiteral("org.freedesktop.login1.Manager"),
                                           QStringLiteral("PrepareForSleep"));
            signal << (words.value(1) == QLatin1String("true"));
            bus.send(signal);
        }
        std::printf("done %s\n", qPrintable(command));
        std::fflush(stdout);
    });
    return app.exec();
}

#include "platform/wayland/GnomeShellChannel.h"

#include "base/Log.h"
#include "platform/wayland/MutterIdle.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

const QString kShell = QStringLiteral("org.gnome.Shell");
const QString kShellPath = QStringLiteral("/org/gnome/Shell");
const QString kExtensions = QStringLiteral("org.gnome.Shell.Extensions");
const QString kPath = QStringLiteral("/app/purrlox/Shell/Windows");
const QString kInterface = QStringLiteral("app.purrlox.Shell.Windows");
constexpr double kEnabled = 1; // the Shell's ExtensionState.ENABLED, the same from 43 on

bool number(const QJsonObject& o, const char* key, int* out) {
    const QJsonValue v = o.value(QLatin1String(key));
    if (!v.isDouble()) return false;
    const double d = v.toDouble();
    if (!(d > -(1 << 30) && d < (1 << 30))) return false;
    *out = int(d);
    return true;
}

int layerOf(const QJsonObject& w) {
    const QString type = w.value(QLatin1String("type")).toString();
    if (type == QLatin1String("desktop")) return -1000;
    if (type == QLatin1String("dock")) return 20;
    if (type != QLatin1String("normal") && type != QLatin1String("dialog")) return 8;
    return w.value(QLatin1String("above")).toBool() ? 3 : 0;
}

} // namespace

GnomeShellChannel::GnomeShellChannel(InputIdle& xwayland, QDBusConnection bus)
    : bus_(bus), idle_(std::make_unique<MutterIdle>(xwayland, bus)) {
    pointerTimer_.setInterval(1000);
    // A still pointer is what the cat hunts: read once when input stops, it is exact until
    // input comes again, without any reading while the user is away.
    idle_->onQuiet = [this] { askPointer(); };
    idle_->onActive = [this] {
        if (onPointerUnknown && !pointerTimer_.isActive()) onPointerUnknown();
    };
    connect(&pointerTimer_, &QTimer::timeout, this, &GnomeShellChannel::askPointer);
}

GnomeShellChannel::~GnomeShellChannel() = default;

std::optional<CompositorWindows> GnomeShellChannel::parse(const QByteArray& json, qint64 ownPid,
                                                          QString* why) {
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
    const QJsonObject root = doc.object();
    if (error.error != QJsonParseError::NoError || !doc.isObject() ||
        !root.value(QLatin1String("windows")).isArray() ||
        !root.value(QLatin1String("outputs")).isArray()) {
        *why = error.error != QJsonParseError::NoError ? error.errorString()
                                                       : QStringLiteral("not a window list");
        return std::nullopt;
    }
    CompositorWindows list;
    // Each output is [x, y, width, height], then (from newer extensions) an object with its
    // work area, scale, refresh rate, name and whether it is the primary.
    const QJsonArray outputs = root.value(QLatin1String("outputs")).toArray();
    for (const QJsonValue& v : outputs) {
        const QJsonArray o = v.toArray();
        const QRect r(o.at(0).toInt(), o.at(1).toInt(), o.at(2).toInt(), o.at(3).toInt());
        if (o.size() >= 4 && r.width() > 0 && r.height() > 0) list.outputs |= r;
        CompositorOutput screen;
        screen.frame = o.size() >= 4 ? r : QRect();
        screen.workArea = screen.frame;
        const QJsonObject more = o.at(4).toObject();
        const QJsonArray work = more.value(QLatin1String("work")).toArray();
        if (work.size() == 4)
            screen.workArea = QRect(work.at(0).toInt(), work.at(1).toInt(), work.at(2).toInt(),
                                    work.at(3).toInt());
        screen.name = more.value(QLatin1String("name")).toString().left(64);
        screen.scale = more.value(QLatin1String("scale")).toDouble(0);
        screen.refreshRate = more.value(QLatin1String("refresh")).toDouble(0);
        screen.primary = more.value(QLatin1String("primary")).toBool(false);
        list.outputList.push_back(std::move(screen));
    }
    const QJsonArray windows = root.value(QLatin1String("windows")).toArray();
    list.windows.reserve(std::size_t(windows.size()));
    for (const QJsonValue& v : windows) {
        const QJsonObject w = v.toObject();
        CompositorWindow window;
        int x = 0, y = 0, width = 0, height = 0;
        // An entry without a frame keeps an empty key: the list leaves it out, with a log line.
        if (number(w, "x", &x) && number(w, "y", &y) && number(w, "width", &width) &&
            number(w, "height", &height))
            window.key = w.value(QLatin1String("id")).toString();
        window.frame = QRect(x, y, width, height);
        window.onScreen = w.value(QLatin1String("shown")).toBool();
        window.layer = layerOf(w);
        if (w.value(QLatin1String("pid")).isDouble()) {
            const qint64 pid = qint64(w.value(QLatin1String("pid")).toDouble());
            if (pid > 0) window.pid = pid;
            if (pid == ownPid) continue; // our own panels are not walked on
        }
        list.windows.push_back(std::move(window));
    }
    return list;
}

void GnomeShellChannel::start() {
    // Any sender may emit on these names; windowsSignal and extensionSignal check who did.
    bus_.connect(QString(), kPath, kInterface, QStringLiteral("WindowsChanged"), this,
                 SLOT(windowsSignal(QDBusMessage)));
    bus_.connect(QString(), kShellPath, kExtensions, QStringLiteral("ExtensionStateChanged"), this,
                 SLOT(extensionSignal(QDBusMessage)));
    watcher_.setConnection(bus_);
    watcher_.addWatchedService(kShell);
    watcher_.setWatchMode(QDBusServiceWatcher::WatchForOwnerChange);
    connect(&watcher_, &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString&, const QString&, const QString& owner) { ownerIs(owner); });

    QDBusMessage ask = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("GetNameOwner"));
    auto* call = new QDBusPendingCallWatcher(bus_.asyncCall(ask << kShell), this);
    connect(call, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        const QDBusPendingReply<QString> reply = *w;
        if (owner_.isEmpty()) ownerIs(reply.isError() ? QString() : reply.value());
    });
    idle_->start();
}

void GnomeShellChannel::ownerIs(const QString& owner) {
    if (owner == owner_ && !owner.isEmpty()) return;
    const bool restarted = !owner_.isEmpty();
    owner_ = owner;
    if (restarted || owner.isEmpty())
        lose(owner.isEmpty() ? QStringLiteral("GNOME Shell is not on the session bus")
                             : QStringLiteral("GNOME Shell restarted"));
    if (!owner.isEmpty()) askState();
}

void GnomeShellChannel::askState() {
    QDBusMessage ask = QDBusMessage::createMethodCall(owner_, kShellPath, kExtensions,
                                                      QStringLiteral("GetExtensionInfo"));
    ask << QString::fromLatin1(kUuid);
    const quint64 epoch = epoch_;
    auto* call = new QDBusPendingCallWatcher(bus_.asyncCall(ask), this);
    connect(call, &QDBusPendingCallWatcher::finished, this,
            [this, epoch](QDBusPendingCallWatcher* w) {
                w->deleteLater();
                if (epoch != epoch_) return;
                const QDBusPendingReply<QVariantMap> reply = *w;
                if (reply.isError()) {
                    lose(QStringLiteral("GNOME Shell does not list its extensions: %1")
                             .arg(reply.error().message()));
                    return;
                }
                const QVariantMap info = reply.value();
                stateIs(info.isEmpty() ? -1 : info.value(QStringLiteral("state")).toDouble());
            });
}

void GnomeShellChannel::stateIs(double state) {
    // Only the state found at start brings advice: an extension the user turns off later was
    // turned off on purpose.
    const bool first = !stateKnown_;
    stateKnown_ = true;
    if (state == kEnabled) {
        askWindows();
        return;
    }
    const bool installed = state >= 0;
    lose(installed ? QStringLiteral("the Purrlox extension of GNOME Shell is not enabled")
                   : QStringLiteral("GNOME Shell does not know the Purrlox extension"));
    if (first && onExtensionOff) onExtensionOff(installed);
}

void GnomeShellChannel::askWindows() {
    const QDBusMessage ask =
        QDBusMessage::createMethodCall(owner_, kPath, kInterface, QStringLiteral("GetWindows"));
    const quint64 epoch = epoch_;
    auto* call = new QDBusPendingCallWatcher(bus_.asyncCall(ask), this);
    connect(call, &QDBusPendingCallWatcher::finished, this,
            [this, epoch](QDBusPendingCallWatcher* w) {
                w->deleteLater();
                if (epoch != epoch_) return;
                const QDBusPendingReply<QString> reply = *w;
                if (reply.isError())
                    lose(QStringLiteral("the Purrlox extension did not answer: %1")
                             .arg(reply.error().message()));
                else
                    accept(reply.value());
            });
}

void GnomeShellChannel::windowsSignal(const QDBusMessage& message) {
    if (owner_.isEmpty() || message.service() != owner_) {
        if (!strangerTold_)
            Log::error(QStringLiteral("ignored a window list from %1, which is not GNOME Shell")
                           .arg(message.service()));
        strangerTold_ = true;
        return;
    }
    const QList<QVariant> args = message.arguments();
    if (args.size() != 1 || args.first().metaType() != QMetaType::fromType<QString>()) {
        accept(QString()); // told as malformed
        return;
    }
    accept(args.first().toString());
}

void GnomeShellChannel::extensionSignal(const QDBusMessage& message) {
    if (owner_.isEmpty() || message.service() != owner_) return;
    const QList<QVariant> args = message.arguments();
    if (args.size() != 2 || args.at(0).toString() != QLatin1String(kUuid)) return;
    const QVariantMap info = qdbus_cast<QVariantMap>(args.at(1));
    stateIs(info.value(QStringLiteral("state")).toDouble());
}

void GnomeShellChannel::accept(const QString& json) {
    std::optional<CompositorWindows> list;
    QString why;
    if (json.size() > kMaxBytes)
        why = QStringLiteral("%1 characters, more than a window list needs").arg(json.size());
    else
        list = parse(json.toUtf8(), QCoreApplication::applicationPid(), &why);
    if (!list) {
        if (!badTold_)
            Log::error(QStringLiteral("ignored a window list from GNOME Shell: %1").arg(why));
        badTold_ = true;
        return;
    }
    badTold_ = false;
    const bool back = !live_;
    if (back) Log::notice(QStringLiteral("GNOME Shell tells the cat where its windows are"));
    live_ = true;
    if (back) askPointer();
    lostTold_ = false;
    if (onWindows) onWindows(std::move(*list));
}

void GnomeShellChannel::lose(const QString& why) {
    ++epoch_;
    if (!live_ && lostTold_) return;
    live_ = false;
    lostTold_ = true;
    if (onLost) onLost(why);
}

void GnomeShellChannel::wantPointer(bool wanted) {
    if (wanted == pointerTimer_.isActive()) return;
    if (!wanted) {
        pointerTimer_.stop();
        return;
    }
    pointerTimer_.start();
    askPointer();
}

void GnomeShellChannel::askPointer() {
    if (!live_) return;
    const QDBusMessage ask =
        QDBusMessage::createMethodCall(owner_, kPath, kInterface, QStringLiteral("GetPointer"));
    const quint64 epoch = epoch_;
    auto* call = new QDBusPendingCallWatcher(bus_.asyncCall(ask), this);
    connect(call, &QDBusPendingCallWatcher::finished, this,
            [this, epoch](QDBusPendingCallWatcher* w) {
                w->deleteLater();
                const QDBusPendingReply<int, int> reply = *w;
                if (epoch != epoch_ || reply.isError() || !onPointer) return;
                onPointer(QPointF(reply.argumentAt<0>(), reply.argumentAt<1>()));
            });
}

InputIdle* GnomeShellChannel::idle() {
    return idle_.get();
}

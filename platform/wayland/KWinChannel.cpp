#include "platform/wayland/KWinChannel.h"

#include "base/Log.h"
#include "platform/wayland/KWinWindows.h"

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTimer>

namespace {

const QString kKWin = QStringLiteral("org.kde.KWin");
const QString kScripting = QStringLiteral("org.kde.kwin.Scripting");
const QString kScript = QStringLiteral("org.kde.kwin.Script");
// One name per user session: a script left behind by a Purrlox that crashed is replaced.
const QString kPluginName = QStringLiteral("app.purrlox.Purrlox.windows");
constexpr int kFirstListWithin = 5000; // ms

QDBusMessage scripting(const QString& method, const QVariantList& arguments) {
    QDBusMessage m =
        QDBusMessage::createMethodCall(kKWin, QStringLiteral("/Scripting"), kScripting, method);
    m.setArguments(arguments);
    return m;
}

} // namespace

KWinChannel::KWinChannel(QDBusConnection bus) : bus_(std::move(bus)) {}

KWinChannel::~KWinChannel() {
    unload();
    if (registered_) bus_.unregisterObject(QString::fromLatin1(kObjectPath));
    if (!script_.isEmpty()) QFile::remove(script_);
}

void KWinChannel::start() {
    if (!bus_.isConnected()) {
        if (onLost) onLost(QStringLiteral("no session bus"));
        return;
    }
    registered_ = bus_.registerObject(QString::fromLatin1(kObjectPath), this,
                                      QDBusConnection::ExportScriptableSlots);
    if (!registered_) {
        if (onLost) onLost(QStringLiteral("cannot offer our object on the session bus"));
        return;
    }
    watcher_ = new QDBusServiceWatcher(kKWin, bus_, QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(watcher_, &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString&, const QString&, const QString& owner) { ownerChanged(owner); });
    // The owner now, asked without waiting; a change meanwhile comes through the watcher.
    auto* call = new QDBusPendingCallWatcher(
        bus_.interface()->asyncCall(QStringLiteral("GetNameOwner"), kKWin), this);
    connect(call, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        const QDBusPendingReply<QString> reply = *w;
        if (owner_.isEmpty()) ownerChanged(reply.isValid() ? reply.value() : QString());
    });
}

void KWinChannel::ownerChanged(const QString& owner) {
    if (owner == owner_ && !owner.isEmpty()) return;
    const bool had = !owner_.isEmpty() || loaded_;
    owner_ = owner;
    loaded_ = false;
    ++loading_;
    if (owner.isEmpty()) {
        if (onLost)
            onLost(had ? QStringLiteral("KWin left the session bus")
                       : QStringLiteral("KWin is not on the session bus"));
        return;
    }
    if (had && onLost) onLost(QStringLiteral("KWin restarted"));
    load();
}

QString KWinChannel::scriptPath() const {
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty()) dir = QDir::tempPath();
    return dir + QStringLiteral("/app.purrlox.Purrlox-kwin-windows.js");
}

void KWinChannel::load() {
    if (script_.isEmpty()) {
        QFile source(QStringLiteral(":/wayland/kwin/windows.js"));
        QString text;
        if (source.open(QIODevice::ReadOnly)) text = QString::fromUtf8(source.readAll());
        text.replace(QLatin1String("@SERVICE@"), bus_.baseService());
        text.replace(QLatin1String("@PID@"), QString::number(QCoreApplication::applicationPid()));
        QSaveFile file(scriptPath());
        if (text.isEmpty() || !file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0 ||
            !file.commit()) {
            if (onLost)
                onLost(QStringLiteral("cannot write the KWin script to %1").arg(scriptPath()));
            return;
        }
        script_ = file.fileName();
    }
    const quint64 attempt = loading_;
    // A script of ours left loaded (a crash, a KWin that kept it) goes first.
    auto* unloading = new QDBusPendingCallWatcher(
        bus_.asyncCall(scripting(QStringLiteral("unloadScript"), {kPluginName})), this);
    connect(unloading, &QDBusPendingCallWatcher::finished, this,
            [this, attempt](QDBusPendingCallWatcher* w) {
                w->deleteLater();
                if (attempt != loading_) return;
                auto* loading = new QDBusPendingCallWatcher(
                    bus_.asyncCall(scripting(QStringLiteral("loadScript"), {script_, kPluginName})),
                    this);
                connect(loading, &QDBusPendingCallWatcher::finished, this,
                        [this, attempt](QDBusPendingCallWatcher* l) {
                            l->deleteLater();
                            if (attempt != loading_) return;
                            const QDBusPendingReply<int> reply = *l;
                            if (!reply.isValid() || reply.value() < 0) {
                                if (onLost)
                                    onLost(QStringLiteral("KWin did not load the script: %1")
                                               .arg(reply.isValid() ? QStringLiteral("refused")
                                                                    : reply.error().message()));
                                return;
                            }
                            run(reply.value(), true);
                        });
            });
}

// A loaded script runs from /Scripting/Script<id> on KWin 6 and from /<id> on 5.27.
void KWinChannel::run(int id, bool plasma6Path) {
    const QString path =
        plasma6Path ? QStringLiteral("/Scripting/Script%1").arg(id) : QStringLiteral("/%1").arg(id);
    const quint64 attempt = loading_;
    auto* running = new QDBusPendingCallWatcher(
        bus_.asyncCall(QDBusMessage::createMethodCall(kKWin, path, kScript, QStringLiteral("run"))),
        this);
    connect(running, &QDBusPendingCallWatcher::finished, this,
            [this, attempt, id, plasma6Path](QDBusPendingCallWatcher* w) {
                w->deleteLater();
                if (attempt != loading_) return;
                if (w->isError()) {
                    if (plasma6Path) return run(id, false);
                    if (onLost)
                        onLost(QStringLiteral("KWin did not run the script: %1")
                                   .arg(w->error().message()));
                    return;
                }
                loaded_ = true;
                heard_ = false;
                Log::notice(
                    QStringLiteral("window list: from our script in KWin (%1)")
                        .arg(plasma6Path ? QStringLiteral("KWin 6") : QStringLiteral("KWin 5")));
                // The script sends the whole list as soon as it runs; one that stays silent met
                // a KWin whose scripting it does not know. Said once, not polled.
                QTimer::singleShot(kFirstListWithin, this, [this, attempt] {
                    if (attempt == loading_ && !heard_)
                        Log::error(QStringLiteral("KWin runs our window script but it sent no "
                                                  "window list; the cat walks on the floor"));
                });
            });
}

// At quit: KWin forgets the script. The answer is waited for, briefly, so the call is not lost
// with the process.
void KWinChannel::unload() {
    if (owner_.isEmpty() || !bus_.isConnected()) return;
    bus_.call(scripting(QStringLiteral("unloadScript"), {kPluginName}), QDBus::Block, 500);
}

bool KWinChannel::fromKWin() {
    if (!calledFromDBus()) return false;
    const QString sender = message().service();
    if (!owner_.isEmpty() && sender == owner_) return true;
    if (!refusedStranger_)
        Log::error(QStringLiteral("ignored a window list from %1, which is not KWin").arg(sender));
    refusedStranger_ = true;
    return false;
}

void KWinChannel::windows(const QString& list) {
    if (!fromKWin()) return;
    QString problem;
    std::optional<CompositorWindows> windows = KWinWindows::parse(list, &problem);
    if (!windows) {
        if (problem != lastProblem_)
            Log::error(QStringLiteral("KWin sent %1; the list is kept as it was").arg(problem));
        lastProblem_ = problem;
        return;
    }
    lastProblem_.clear();
    heard_ = true;
    if (onWindows) onWindows(std::move(*windows));
}

void KWinChannel::pointer(const QString& position) {
    if (!fromKWin()) return;
    if (const std::optional<QPointF> p = KWinWindows::parsePointer(position); p && onPointer)
        onPointer(*p);
}

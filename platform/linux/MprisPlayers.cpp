#include "platform/linux/MprisPlayers.h"

#include "base/Log.h"
#include "platform/linux/AudioApps.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QMimeDatabase>
#include <QUrl>

namespace {

const QString prefix = QStringLiteral("org.mpris.MediaPlayer2.");
const QString path = QStringLiteral("/org/mpris/MediaPlayer2");
const QString properties = QStringLiteral("org.freedesktop.DBus.Properties");
const QString playerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");
const QString rootInterface = QStringLiteral("org.mpris.MediaPlayer2");

// Property maps arrive as a{sv}, sometimes still wrapped.
QVariantMap toMap(const QVariant& v) {
    if (v.canConvert<QDBusArgument>()) return qdbus_cast<QVariantMap>(v.value<QDBusArgument>());
    return v.toMap();
}

QVariant unwrap(const QVariant& v) {
    if (v.canConvert<QDBusVariant>()) return v.value<QDBusVariant>().variant();
    return v;
}

} // namespace

MprisPlayers::MprisPlayers(QDBusConnection bus, QObject* parent)
    : QObject(parent), bus_(std::move(bus)) {
    if (!bus_.isConnected()) {
        Log::notice(QStringLiteral("music: no session bus; media players are not followed"));
        return;
    }
    bus_.connect(QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
                 QStringLiteral("org.freedesktop.DBus"), QStringLiteral("NameOwnerChanged"), this,
                 SLOT(nameOwnerChanged(QString, QString, QString)));
    bus_.connect(QString(), path, properties, QStringLiteral("PropertiesChanged"), this,
                 SLOT(propertiesChanged(QDBusMessage)));

    const QDBusMessage list = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), "ListNames");
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(list), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        const QDBusPendingReply<QStringList> reply = *w;
        if (reply.isError()) return;
        for (const QString& name : reply.value())
            if (name.startsWith(prefix)) add(name, QString());
    });
}

void MprisPlayers::nameOwnerChanged(const QString& name, const QString&, const QString& owner) {
    if (!name.startsWith(prefix)) return;
    if (owner.isEmpty()) {
        players_.remove(name);
        update();
    } else {
        add(name, owner);
    }
}

void MprisPlayers::add(const QString& name, const QString& owner) {
    Player& p = players_[name];
    p.owner = owner;
    p.kind = audioApp(QStringView(name).mid(prefix.size()));
    p.playing = false;
    p.audioTrack = false;
    ask(name);
}

void MprisPlayers::ask(const QString& name) {
    const auto get = [&](const QString& interface, const QString& property) {
        QDBusMessage call = QDBusMessage::createMethodCall(name, path, properties, "Get");
        call << interface << property;
        return new QDBusPendingCallWatcher(bus_.asyncCall(call), this);
    };
    auto* status = get(playerInterface, QStringLiteral("PlaybackStatus"));
    connect(status, &QDBusPendingCallWatcher::finished, this,
            [this, name](QDBusPendingCallWatcher* w) {
                w->deleteLater();
                const QDBusMessage reply = w->reply();
                if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
                    return;
                if (auto it = players_.find(name); it != players_.end() && it->owner.isEmpty())
                    it->owner = reply.service();
                statusOf(name, unwrap(reply.arguments().first()));
            });
    auto* metadata = get(playerInterface, QStringLiteral("Metadata"));
    connect(metadata, &QDBusPendingCallWatcher::finished, this,
            [this, name](QDBusPendingCallWatcher* w) {
                w->deleteLater();
                const QDBusMessage reply = w->reply();
                if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty())
                    metadataOf(name, unwrap(reply.arguments().first()));
            });
    // The bus name may be generic (a browser's instance); the desktop entry names the player.
    for (const QString& property : {QStringLiteral("DesktopEntry"), QStringLiteral("Identity")}) {
        auto* identity = get(rootInterface, property);
        connect(identity, &QDBusPendingCallWatcher::finished, this,
                [this, name](QDBusPendingCallWatcher* w) {
                    w->deleteLater();
                    const QDBusMessage reply = w->reply();
                    if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty())
                        identityOf(name, unwrap(reply.arguments().first()));
                });
    }
}

void MprisPlayers::statusOf(const QString& name, const QVariant& value) {
    const auto it = players_.find(name);
    if (it == players_.end()) return;
    if (value.typeId() != QMetaType::QString) {
        if (!saidBadStatus_)
            Log::notice(QStringLiteral("music: a media player reports its playback status as "
                                       "something other than text; it counts as stopped"));
        saidBadStatus_ = true;
        it->playing = false;
    } else {
        it->playing = value.toString() == QLatin1String("Playing");
    }
    update();
}

void MprisPlayers::identityOf(const QString& name, const QVariant& value) {
    const auto it = players_.find(name);
    if (it == players_.end() || value.typeId() != QMetaType::QString) return;
    // A music player stays one whatever else its names say.
    const AudioApp kind = audioApp(value.toString());
    if (kind == AudioApp::musicPlayer ||
        (kind == AudioApp::mediaPlayer && it->kind != AudioApp::musicPlayer)) {
        it->kind = kind;
        update();
    }
}

void MprisPlayers::metadataOf(const QString& name, const QVariant& value) {
    const auto it = players_.find(name);
    if (it == players_.end()) return;
    const QVariantMap metadata = toMap(value);
    const QUrl url(unwrap(metadata.value(QStringLiteral("xesam:url"))).toString());
    bool audio = false;
    if (url.isValid() && !url.path().isEmpty()) {
        static const QMimeDatabase types;
        audio = types.mimeTypeForFile(url.path(), QMimeDatabase::MatchExtension)
                    .name()
                    .startsWith(QLatin1String("audio/"));
    }
    it->audioTrack = audio;
    update();
}

void MprisPlayers::propertiesChanged(const QDBusMessage& message) {
    const QVariantList args = message.arguments();
    if (args.size() < 2 || args[0].toString() != playerInterface) return;
    const QVariantMap changed = toMap(args[1]);
    for (auto it = players_.begin(); it != players_.end(); ++it) {
        if (it->owner != message.service()) continue;
        if (const auto meta = changed.constFind(QStringLiteral("Metadata"));
            meta != changed.constEnd())
            metadataOf(it.key(), unwrap(*meta));
        const auto status = changed.constFind(QStringLiteral("PlaybackStatus"));
        if (status != changed.constEnd())
            statusOf(it.key(), unwrap(*status));
        else if (args.size() >= 3 &&
                 args[2].toStringList().contains(QStringLiteral("PlaybackStatus")))
            ask(it.key()); // invalidated: ask again
    }
}

void MprisPlayers::update() {
    bool any = false;
    for (const Player& p : std::as_const(players_))
        any |= p.playing && (p.kind == AudioApp::musicPlayer ||
                             (p.kind == AudioApp::mediaPlayer && p.audioTrack));
    if (any == playing_) return;
    playing_ = any;
    if (changed) changed();
}

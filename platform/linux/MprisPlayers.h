#pragma once

#include "platform/linux/AudioApps.h"

#include <QDBusConnection>
#include <QHash>
#include <QObject>
#include <QString>
#include <functional>

class QDBusMessage;
class QDBusPendingCallWatcher;

// Media players on the session bus (MPRIS). Each player's PlaybackStatus and Metadata are asked
// once and then followed through PropertiesChanged; players come and go with their bus names.
// Reading the answer costs nothing.
class MprisPlayers final : public QObject {
    Q_OBJECT
  public:
    explicit MprisPlayers(QDBusConnection bus, QObject* parent = nullptr);

    // A known music player reports "Playing", or a general media player plays a sound file. MPRIS
    // has no field that says a track has no picture (mpv's and VLC's metadata carry none), so
    // the track's own type tells: a media player's track whose address names an audio file
    // (its media type by name is audio/*) is music; one whose type cannot be told (a stream)
    // is not.
    bool musicPlaying() const { return playing_; }
    // Called when musicPlaying() flips.
    std::function<void()> changed;

  private slots:
    void nameOwnerChanged(const QString& name, const QString& oldOwner, const QString& newOwner);
    void propertiesChanged(const QDBusMessage& message);

  private:
    struct Player {
        QString owner; // unique bus name, the sender of its signals
        AudioApp kind = AudioApp::other;
        bool playing = false;
        bool audioTrack = false; // the current track is a sound file
    };
    void add(const QString& name, const QString& owner);
    void ask(const QString& name);
    void statusOf(const QString& name, const QVariant& value);
    void identityOf(const QString& name, const QVariant& value);
    void metadataOf(const QString& name, const QVariant& value);
    void update();

    QDBusConnection bus_;
    QHash<QString, Player> players_; // well-known name → player
    bool playing_ = false;
    bool saidBadStatus_ = false;
};

#pragma once

#include "platform/Devices.h"

#include <QObject>
#include <memory>

class CameraWatch;
class MprisPlayers;
class PulseAudio;
class SleepSignals;

// The devices as Linux reports them: the camera through /dev and /proc, sound streams through
// the pulse server, media players and sleep through D-Bus. Every answer is kept current by
// notifications, so asking costs no system call.
class LinuxDevices final : public QObject, public Devices {
    Q_OBJECT
  public:
    explicit LinuxDevices(QObject* parent = nullptr);
    ~LinuxDevices() override;

    bool cameraInUse() override;
    std::vector<AudioProcess> audioProcesses() override;
    bool microphoneInUse() override;
    bool musicPlaying() override;
    void watchSleep(std::function<void()> asleep, std::function<void()> awake) override;
    // The screens went dark or came back by a means the desktop backend follows.
    void screensDark(const QString& source, bool dark);
    bool notifiesChanges() const override { return true; }

  private:
    void changed();

    std::unique_ptr<CameraWatch> camera_;
    std::unique_ptr<PulseAudio> sound_;
    std::unique_ptr<MprisPlayers> players_;
    std::unique_ptr<SleepSignals> sleep_;
};

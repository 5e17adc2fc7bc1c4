#include "platform/linux/LinuxDevices.h"

#include "platform/linux/CameraWatch.h"
#include "platform/linux/MprisPlayers.h"
#include "platform/linux/PulseAudio.h"
#include "platform/linux/SleepSignals.h"

LinuxDevices::LinuxDevices(QObject* parent)
    : QObject(parent), camera_(std::make_unique<CameraWatch>()),
      // The sound thread's news reaches the engine on the main thread.
      sound_(std::make_unique<PulseAudio>([this] {
          QMetaObject::invokeMethod(this, &LinuxDevices::changed, Qt::QueuedConnection);
      })),
      players_(std::make_unique<MprisPlayers>(QDBusConnection::sessionBus())),
      sleep_(std::make_unique<SleepSignals>(QDBusConnection::systemBus(),
                                            QDBusConnection::sessionBus())) {
    camera_->changed = [this] { changed(); };
    players_->changed = [this] { changed(); };
}

void LinuxDevices::changed() {
    if (onChange) onChange();
}

LinuxDevices::~LinuxDevices() = default;

bool LinuxDevices::cameraInUse() {
    return camera_->inUse();
}

std::vector<AudioProcess> LinuxDevices::audioProcesses() {
    return sound_->processes();
}

bool LinuxDevices::microphoneInUse() {
    return sound_->microphoneInUse();
}

bool LinuxDevices::musicPlaying() {
    return sound_->musicPlaying() || players_->musicPlaying();
}

void LinuxDevices::watchSleep(std::function<void()> asleep, std::function<void()> awake) {
    sleep_->asleep = std::move(asleep);
    sleep_->awake = std::move(awake);
}

void LinuxDevices::screensDark(const QString& source, bool dark) {
    sleep_->screensDark(source, dark);
}

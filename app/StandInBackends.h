#pragma once

#include "platform/Devices.h"
#include "platform/Trash.h"

// Until the camera, sound and trash backends exist the cat sees a quiet machine and eats
// nothing.
class QuietDevices final : public Devices {
  public:
    bool cameraInUse() override { return false; }
    std::vector<AudioProcess> audioProcesses() override { return {}; }
    bool microphoneInUse() override { return false; }
    bool musicPlaying() override { return false; }
};

class NoTrash final : public Trash {
  public:
    std::optional<QString> moveToTrash(const QString&) override { return std::nullopt; }
    bool putBack(const QString&, const QString&) override { return false; }
};

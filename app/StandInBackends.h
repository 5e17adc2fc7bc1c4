#pragma once

#include "platform/Devices.h"

// Until the camera and sound backends exist the cat sees a quiet machine.
class QuietDevices final : public Devices {
  public:
    bool cameraInUse() override { return false; }
    std::vector<AudioProcess> audioProcesses() override { return {}; }
    bool microphoneInUse() override { return false; }
    bool musicPlaying() override { return false; }
};

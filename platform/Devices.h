#pragma once

#include <QString>
#include <functional>
#include <vector>

// A process that uses audio, as the sound server reports it.
struct AudioProcess {
    QString id;                 // application id, else binary, else name
    bool runningInput = false;  // records from a non-monitor source, not corked
    bool runningOutput = false; // plays, not corked
};

class Devices {
  public:
    virtual ~Devices() = default;
    virtual bool cameraInUse() = 0;
    virtual std::vector<AudioProcess> audioProcesses() = 0;
    virtual bool microphoneInUse() = 0;
    virtual bool musicPlaying() = 0;
    // Reports, on the main thread, when the machine or its screens go to sleep and when they
    // wake. A system without such notifications never calls them.
    virtual void watchSleep(std::function<void()> asleep, std::function<void()> awake) {
        (void)asleep;
        (void)awake;
    }

    // Devices whose answers are kept by notifications call onChange, on the main thread, when
    // the camera, the microphone or the music may have changed, and say so here; the others are
    // asked once a second.
    virtual bool notifiesChanges() const { return false; }
    std::function<void()> onChange;
};

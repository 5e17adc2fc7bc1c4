#pragma once

#include <functional>
#include <optional>

class Devices;
class InputIdle;

// What the system tells the cat: a call (the camera or the microphone in use, held for a few
// seconds so a blip is no call), music playing, the user typing, and the session going to
// sleep and waking. Main thread only; the devices and the input must outlive it.
class SystemSignals {
  public:
    SystemSignals(Devices& devices, InputIdle& input) : devices(devices), input(input) {}
    ~SystemSignals() { stopWatching(); }

    // The session goes to sleep; it wakes (once per sleep).
    std::function<void()> onSleep = [] {};
    std::function<void()> onWake = [] {};
    // Starts the sleep watch (once).
    void watch();
    void stopWatching();

    // Asks the devices and the input; the overlay calls it about once a second.
    enum class CallChange { none, started, ended };
    CallChange poll(double now);

    bool inCall() const { return call; }
    // The device signal disagrees with inCall and may soon turn it.
    bool callChanging() const { return callSignalSince.has_value(); }
    bool musicPlaying() const { return music; }
    // Since when the user types; none after a 2-second pause.
    std::optional<double> typingSince() const { return typing; }
    bool asleep() const { return sleeping; }

  private:
    void wentToSleep();
    void woke();

    Devices& devices;
    InputIdle& input;
    bool call = false;
    std::optional<double> callSignalSince;
    bool music = false;
    std::optional<double> typing;
    bool sleeping = false;
    bool watching = false;
};

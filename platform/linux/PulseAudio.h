#pragma once

#include "platform/Devices.h"
#include "platform/linux/AudioApps.h"

#include <atomic>
#include <functional>
#include <map>
#include <mutex>
#include <pulse/def.h>
#include <vector>

struct pa_threaded_mainloop;
struct pa_context;
struct pa_time_event;

// Who records and who plays, as the sound server (PulseAudio, or PipeWire's pulse server) reports
// it. A subscription keeps a cache current on libpulse's own thread; the readers on the main
// thread only look at the cache. Without a server everything is "no"; a server that goes away is
// reconnected with a growing pause, and one that appears later is found.
class PulseAudio final {
  public:
    // `changed` is called on the sound thread whenever the microphone or music answer flips.
    explicit PulseAudio(std::function<void()> changed = {});
    ~PulseAudio();
    PulseAudio(const PulseAudio&) = delete;
    PulseAudio& operator=(const PulseAudio&) = delete;

    std::vector<AudioProcess> processes() const;
    // A recording stream that records for someone: not corked, on a source that is not a
    // monitor, neither a peak meter nor a mixer's.
    bool microphoneInUse() const { return microphone_.load(std::memory_order_relaxed); }
    // A playing stream, not corked, of a known music player, or of a general media player whose
    // stream plays music.
    bool musicPlaying() const { return music_.load(std::memory_order_relaxed); }
    // Updates of the cache so far (tests and benchmarks).
    int updates() const { return updates_.load(std::memory_order_relaxed); }

  private:
    struct Stream {
        QString id;
        AudioApp app = AudioApp::other;
        bool corked = false;
        quint32 source = 0; // recording streams: the source they record from
        bool meter = false; // recording streams: only measures levels (peak detection)
        bool music = false; // playing streams: media.role is "music"
    };

    // All of these run on libpulse's thread with its lock held.
    void connect();
    void retryLater();
    void stateChanged();
    void refresh();
    void listed();
    void publish();

    static void onState(pa_context* c, void* self);
    static void onEvent(pa_context* c, pa_subscription_event_type_t type, quint32 index,
                        void* self);

    pa_threaded_mainloop* loop_ = nullptr;
    pa_context* context_ = nullptr;
    pa_time_event* retry_ = nullptr;
    int retryDelay_ = 1; // seconds, doubled up to a minute while no server answers
    bool wasReady_ = false;
    bool saidNoServer_ = false;
    int pending_ = 0;                        // list requests in flight
    bool dirty_ = false;                     // something changed while listing
    std::map<quint32, bool> monitorSources_; // index → is a monitor
    std::vector<Stream> recording_, playing_;

    mutable std::mutex mutex_; // guards processes_
    std::vector<AudioProcess> processes_;
    std::atomic<bool> microphone_{false};
    std::atomic<bool> music_{false};
    std::atomic<int> updates_{0};
    const std::function<void()> changed_; // set before the sound thread starts
};

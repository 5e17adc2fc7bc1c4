#include "platform/linux/PulseAudio.h"

#include "base/Log.h"
#include "platform/linux/AudioApps.h"

#include <algorithm>
#include <pulse/pulseaudio.h>

namespace {

QString streamId(const pa_proplist* p) {
    for (const char* key :
         {PA_PROP_APPLICATION_ID, PA_PROP_APPLICATION_PROCESS_BINARY, PA_PROP_APPLICATION_NAME}) {
        const char* v = p ? pa_proplist_gets(p, key) : nullptr;
        if (v && *v) return QString::fromUtf8(v);
    }
    return {};
}

// What the stream's application is, by whichever of its names the list knows.
AudioApp appOf(const pa_proplist* p) {
    for (const char* key :
         {PA_PROP_APPLICATION_ID, PA_PROP_APPLICATION_PROCESS_BINARY, PA_PROP_APPLICATION_NAME}) {
        const char* v = p ? pa_proplist_gets(p, key) : nullptr;
        if (!v || !*v) continue;
        if (const AudioApp app = audioApp(QString::fromUtf8(v)); app != AudioApp::other) return app;
    }
    return AudioApp::other;
}

bool propertyIs(const pa_proplist* p, const char* key, const char* value) {
    const char* v = p ? pa_proplist_gets(p, key) : nullptr;
    return v && qstrcmp(v, value) == 0;
}

// A stream that only measures levels: PulseAudio resamples a peak-detect stream with the
// "peaks" method; PipeWire's pulse server marks it as a monitor stream in its properties.
bool measuresLevels(const pa_source_output_info* i) {
    return qstrcmp(i->resample_method, "peaks") == 0 ||
           propertyIs(i->proplist, "stream.monitor", "true") ||
           propertyIs(i->proplist, "resample.peaks", "true");
}

// PulseAudio clients say "music"; PipeWire's own say "Music".
bool roleIsMusic(const pa_proplist* p) {
    const char* v = p ? pa_proplist_gets(p, PA_PROP_MEDIA_ROLE) : nullptr;
    return v && qstricmp(v, "music") == 0;
}

} // namespace

PulseAudio::PulseAudio(std::function<void()> changed) : changed_(std::move(changed)) {
    loop_ = pa_threaded_mainloop_new();
    if (!loop_) {
        Log::error(QStringLiteral("sound: libpulse could not make its main loop; the cat hears "
                                  "nothing"));
        return;
    }
    pa_threaded_mainloop_set_name(loop_, "purrlox-sound");
    if (pa_threaded_mainloop_start(loop_) < 0) {
        Log::error(QStringLiteral("sound: libpulse's thread did not start; the cat hears nothing"));
        pa_threaded_mainloop_free(loop_);
        loop_ = nullptr;
        return;
    }
    pa_threaded_mainloop_lock(loop_);
    connect();
    pa_threaded_mainloop_unlock(loop_);
}

PulseAudio::~PulseAudio() {
    if (!loop_) return;
    pa_threaded_mainloop_lock(loop_);
    if (retry_) pa_threaded_mainloop_get_api(loop_)->time_free(retry_);
    retry_ = nullptr;
    if (context_) {
        pa_context_set_state_callback(context_, nullptr, nullptr);
        pa_context_set_subscribe_callback(context_, nullptr, nullptr);
        pa_context_disconnect(context_);
        pa_context_unref(context_);
        context_ = nullptr;
    }
    pa_threaded_mainloop_unlock(loop_);
    pa_threaded_mainloop_stop(loop_);
    pa_threaded_mainloop_free(loop_);
}

std::vector<AudioProcess> PulseAudio::processes() const {
    std::lock_guard lock(mutex_);
    return processes_;
}

void PulseAudio::connect() {
    pa_proplist* props = pa_proplist_new();
    pa_proplist_sets(props, PA_PROP_APPLICATION_NAME, "Purrlox");
    pa_proplist_sets(props, PA_PROP_APPLICATION_ID, "app.purrlox.Purrlox");
    context_ = pa_context_new_with_proplist(pa_threaded_mainloop_get_api(loop_), "Purrlox", props);
    pa_proplist_free(props);
    if (!context_) return retryLater();
    pa_context_set_state_callback(context_, &PulseAudio::onState, this);
    // Never start a server of our own.
    if (pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0 && context_)
        stateChanged();
}

void PulseAudio::retryLater() {
    if (retry_) return;
    pa_mainloop_api* api = pa_threaded_mainloop_get_api(loop_);
    timeval when;
    pa_gettimeofday(&when);
    pa_timeval_add(&when, pa_usec_t(retryDelay_) * PA_USEC_PER_SEC);
    retryDelay_ = std::min(retryDelay_ * 2, 60);
    retry_ = api->time_new(
        api, &when,
        [](pa_mainloop_api* a, pa_time_event* e, const timeval*, void* self) {
            auto* me = static_cast<PulseAudio*>(self);
            a->time_free(e);
            me->retry_ = nullptr;
            me->connect();
        },
        this);
}

void PulseAudio::onState(pa_context*, void* self) {
    static_cast<PulseAudio*>(self)->stateChanged();
}

void PulseAudio::stateChanged() {
    if (!context_) return;
    switch (pa_context_get_state(context_)) {
    case PA_CONTEXT_READY:
        retryDelay_ = 1;
        wasReady_ = true;
        saidNoServer_ = false;
        Log::notice(QStringLiteral("sound: following the sound server's streams"));
        pa_context_set_subscribe_callback(context_, &PulseAudio::onEvent, this);
        pa_operation_unref(
            pa_context_subscribe(context_,
                                 pa_subscription_mask_t(PA_SUBSCRIPTION_MASK_SINK_INPUT |
                                                        PA_SUBSCRIPTION_MASK_SOURCE_OUTPUT |
                                                        PA_SUBSCRIPTION_MASK_SOURCE),
                                 nullptr, nullptr));
        refresh();
        break;
    case PA_CONTEXT_FAILED:
    case PA_CONTEXT_TERMINATED: {
        if (wasReady_) {
            Log::notice(QStringLiteral("sound: the sound server went away; waiting for it"));
            wasReady_ = false;
        } else if (!saidNoServer_) {
            Log::notice(QStringLiteral("sound: no sound server (%1); the cat hears nothing until "
                                       "one starts")
                            .arg(QString::fromUtf8(pa_strerror(pa_context_errno(context_)))));
        }
        saidNoServer_ = true;
        pa_context_set_state_callback(context_, nullptr, nullptr);
        pa_context_set_subscribe_callback(context_, nullptr, nullptr);
        pa_context_disconnect(context_);
        pa_context_unref(context_);
        context_ = nullptr;
        pending_ = 0;
        dirty_ = false;
        recording_.clear();
        playing_.clear();
        monitorSources_.clear();
        publish();
        retryLater();
        break;
    }
    default:
        break;
    }
}

void PulseAudio::onEvent(pa_context*, pa_subscription_event_type_t, quint32, void* self) {
    static_cast<PulseAudio*>(self)->refresh();
}

void PulseAudio::refresh() {
    if (!context_ || pa_context_get_state(context_) != PA_CONTEXT_READY) return;
    if (pending_ > 0) {
        dirty_ = true; // list again once the lists under way are in
        return;
    }
    dirty_ = false;
    monitorSources_.clear();
    recording_.clear();
    playing_.clear();
    pending_ = 3;
    pa_operation_unref(pa_context_get_source_info_list(
        context_,
        [](pa_context*, const pa_source_info* i, int eol, void* self) {
            auto* me = static_cast<PulseAudio*>(self);
            if (eol) return me->listed();
            me->monitorSources_[i->index] = i->monitor_of_sink != PA_INVALID_INDEX;
        },
        this));
    pa_operation_unref(pa_context_get_source_output_info_list(
        context_,
        [](pa_context*, const pa_source_output_info* i, int eol, void* self) {
            auto* me = static_cast<PulseAudio*>(self);
            if (eol) return me->listed();
            me->recording_.push_back(Stream{streamId(i->proplist), appOf(i->proplist),
                                            i->corked != 0, i->source, measuresLevels(i), false});
        },
        this));
    pa_operation_unref(pa_context_get_sink_input_info_list(
        context_,
        [](pa_context*, const pa_sink_input_info* i, int eol, void* self) {
            auto* me = static_cast<PulseAudio*>(self);
            if (eol) return me->listed();
            me->playing_.push_back(Stream{streamId(i->proplist), appOf(i->proplist), i->corked != 0,
                                          0, false, roleIsMusic(i->proplist)});
        },
        this));
}

void PulseAudio::listed() {
    if (--pending_ > 0) return;
    publish();
    if (dirty_) refresh();
}

void PulseAudio::publish() {
    std::vector<AudioProcess> list;
    const auto entry = [&list](const QString& id) -> AudioProcess& {
        for (AudioProcess& p : list)
            if (p.id == id) return p;
        list.push_back(AudioProcess{id, false, false});
        return list.back();
    };
    bool microphone = false, music = false;
    for (const Stream& s : recording_) {
        const auto source = monitorSources_.find(s.source);
        const bool monitor = source != monitorSources_.end() && source->second;
        // Level meters and mixers record for nobody: not a call.
        const bool running = !s.corked && !monitor && !s.meter && s.app != AudioApp::mixer;
        entry(s.id).runningInput |= running;
        microphone |= running;
    }
    for (const Stream& s : playing_) {
        entry(s.id).runningOutput |= !s.corked;
        music |= !s.corked &&
                 (s.app == AudioApp::musicPlayer || (s.app == AudioApp::mediaPlayer && s.music));
    }
    {
        std::lock_guard lock(mutex_);
        processes_ = std::move(list);
    }
    const bool flipped = microphone_.exchange(microphone, std::memory_order_relaxed) != microphone;
    const bool musicFlipped = music_.exchange(music, std::memory_order_relaxed) != music;
    updates_.fetch_add(1, std::memory_order_relaxed);
    if ((flipped || musicFlipped) && changed_) changed_();
}

#include "platform/wayland/WaylandIdle.h"

#include "base/Log.h"

#include <QSocketNotifier>
#include <cstring>
#include <ext-idle-notify-v1-client-protocol.h>
#include <kde-idle-client-protocol.h>
#include <wayland-client.h>

struct WaylandIdle::Globals {
    wl_registry* registry = nullptr;
    wl_seat* seat = nullptr;
    ext_idle_notifier_v1* notifier = nullptr;
    org_kde_kwin_idle* kde = nullptr;
};

namespace {

void global(void* data, wl_registry* registry, uint32_t name, const char* interface,
            uint32_t /*version*/) {
    auto* g = static_cast<WaylandIdle::Globals*>(data);
    if (!g->seat && std::strcmp(interface, wl_seat_interface.name) == 0)
        g->seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
    else if (!g->notifier && std::strcmp(interface, ext_idle_notifier_v1_interface.name) == 0)
        g->notifier = static_cast<ext_idle_notifier_v1*>(
            wl_registry_bind(registry, name, &ext_idle_notifier_v1_interface, 1));
    else if (!g->kde && std::strcmp(interface, org_kde_kwin_idle_interface.name) == 0)
        g->kde = static_cast<org_kde_kwin_idle*>(
            wl_registry_bind(registry, name, &org_kde_kwin_idle_interface, 1));
}

void globalRemoved(void*, wl_registry*, uint32_t) {}

const wl_registry_listener kRegistry{global, globalRemoved};

} // namespace

// The listeners reach the object through its QObject base: one pointer, whichever protocol.
struct WaylandIdleEvents {
    static void idled(void* data, ext_idle_notification_v1*) {
        static_cast<WaylandIdle*>(data)->idled();
    }
    static void resumed(void* data, ext_idle_notification_v1*) {
        static_cast<WaylandIdle*>(data)->resumed();
    }
    static void kdeIdle(void* data, org_kde_kwin_idle_timeout*) {
        static_cast<WaylandIdle*>(data)->idled();
    }
    static void kdeResumed(void* data, org_kde_kwin_idle_timeout*) {
        static_cast<WaylandIdle*>(data)->resumed();
    }
};

namespace {
const ext_idle_notification_v1_listener kExt{WaylandIdleEvents::idled, WaylandIdleEvents::resumed};
const org_kde_kwin_idle_timeout_listener kKde{WaylandIdleEvents::kdeIdle,
                                              WaylandIdleEvents::kdeResumed};
} // namespace

WaylandIdle::WaylandIdle(InputIdle& x11, bool pointerKnown)
    : x11_(x11), pointerKnown_(pointerKnown), globals_(std::make_unique<Globals>()) {
    // The X11 source's pointer wake-ups still count: a resting frame clock wakes for them.
    x11_.onPointer = [this] {
        if (onPointer) onPointer();
    };
    display_ = wl_display_connect(nullptr);
    if (!display_) {
        Log::notice(QStringLiteral("idle: no Wayland display to ask; idle time counts only "
                                   "XWayland's input"));
        return;
    }
    globals_->registry = wl_display_get_registry(display_);
    wl_registry_add_listener(globals_->registry, &kRegistry, globals_.get());
    // One round trip at start, on our own local connection: the globals are listed at once.
    wl_display_roundtrip(display_);
    if (globals_->seat && globals_->notifier) {
        auto* n =
            ext_idle_notifier_v1_get_idle_notification(globals_->notifier, kStepMs, globals_->seat);
        ext_idle_notification_v1_add_listener(n, &kExt, this);
        notification_ = n;
        protocol_ = QStringLiteral("ext_idle_notifier_v1");
    } else if (globals_->seat && globals_->kde) {
        auto* n = org_kde_kwin_idle_get_idle_timeout(globals_->kde, globals_->seat, kStepMs);
        org_kde_kwin_idle_timeout_add_listener(n, &kKde, this);
        notification_ = n;
        protocol_ = QStringLiteral("org_kde_kwin_idle");
    }
    if (!notification_) {
        Log::notice(QStringLiteral("idle: the compositor offers no idle-notify protocol; idle "
                                   "time counts only XWayland's input and the cat does not hunt"));
        pointerKnown_ = false;
        return;
    }
    wl_display_flush(display_);
    Log::notice(QStringLiteral("idle: from the compositor's %1").arg(protocol_));
    notifier_ = new QSocketNotifier(wl_display_get_fd(display_), QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &WaylandIdle::dispatch);
}

WaylandIdle::~WaylandIdle() {
    x11_.onPointer = nullptr;
    if (!display_) return;
    if (notification_) {
        if (protocol_ == QLatin1String("ext_idle_notifier_v1"))
            ext_idle_notification_v1_destroy(static_cast<ext_idle_notification_v1*>(notification_));
        else
            org_kde_kwin_idle_timeout_release(
                static_cast<org_kde_kwin_idle_timeout*>(notification_));
    }
    if (globals_->notifier) ext_idle_notifier_v1_destroy(globals_->notifier);
    if (globals_->kde) org_kde_kwin_idle_destroy(globals_->kde);
    if (globals_->seat) wl_seat_destroy(globals_->seat);
    if (globals_->registry) wl_registry_destroy(globals_->registry);
    wl_display_disconnect(display_);
}

void WaylandIdle::dispatch() {
    // The socket is readable: read what came without blocking, then run the listeners.
    if (wl_display_prepare_read(display_) == 0) {
        if (wl_display_read_events(display_) != 0) {
            notifier_->setEnabled(false);
            idle_ = false;
            Log::notice(QStringLiteral("idle: the compositor's connection closed; idle time "
                                       "counts only XWayland's input"));
            notification_ = nullptr;
            pointerKnown_ = false;
            if (onActive) onActive(true);
            return;
        }
    }
    wl_display_dispatch_pending(display_);
    wl_display_flush(display_);
}

void WaylandIdle::idled() {
    idle_ = true;
    lastInput_ = std::chrono::steady_clock::now() - std::chrono::milliseconds(kStepMs);
    if (onActive) onActive(false);
}

void WaylandIdle::resumed() {
    idle_ = false;
    lastInput_ = std::chrono::steady_clock::now();
    if (onActive) onActive(true);
    if (onPointer) onPointer(); // input came: a resting clock looks again
}

double WaylandIdle::compositorIdle() const {
    if (!notification_) return x11_.secondsSinceAnyInput();
    // Active: somewhere within the last step; said as none, the safe side for a cat that
    // waits for stillness.
    if (!idle_) return 0;
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - lastInput_).count();
}

double WaylandIdle::secondsSinceAnyInput() const {
    return std::min(compositorIdle(), x11_.secondsSinceAnyInput());
}

double WaylandIdle::secondsSinceKeyDown() const {
    // Keys to native windows are not told apart from other input: only XWayland's count.
    return x11_.secondsSinceKeyDown();
}

double WaylandIdle::secondsSinceMouseMoved() const {
    if (!pointerKnown_) return 0;
    return std::min(compositorIdle(), x11_.secondsSinceMouseMoved());
}

#pragma once

#include "platform/InputIdle.h"

#include <QObject>
#include <QString>
#include <chrono>
#include <functional>
#include <memory>

class QSocketNotifier;
struct wl_display;

// The user's idle time on a Wayland session, from the idle-notify protocol the compositor
// offers (ext_idle_notifier_v1, or org_kde_kwin_idle on sway 1.7 and KWin 5), on a connection
// of its own watched by the event loop. The protocol says only "idle for kStepMs" and "active
// again", for all input at once: so the idle time is known to kStepMs, and keys are told apart
// from the pointer only where XWayland saw them. Where no pointer position can be had (the
// compositor does not tell it), the pointer never counts as still: no prey, no hunt.
class WaylandIdle final : public QObject, public InputIdle {
  public:
    // x11: XWayland's input times (X11 clients' input only). pointerKnown: whether the
    // compositor tells where the pointer is.
    WaylandIdle(InputIdle& x11, bool pointerKnown);
    ~WaylandIdle() override;

    // Whether the compositor offered an idle protocol (else one line said so).
    bool offered() const { return notification_ != nullptr; }
    QString protocol() const { return protocol_; }

    double secondsSinceAnyInput() const override;
    double secondsSinceKeyDown() const override;
    double secondsSinceMouseMoved() const override;

    static constexpr int kStepMs = 1000;

    // The compositor's notices as they come, no polling: false once no input came for kStepMs,
    // true when input comes again; true too when its connection closes (no notices any more,
    // so nobody may wait for one).
    std::function<void(bool active)> onActive;

    struct Globals; // the compositor's globals this connection bound

  private:
    friend struct WaylandIdleEvents;
    void dispatch();
    void idled();
    void resumed();
    double compositorIdle() const;

    InputIdle& x11_;
    bool pointerKnown_;
    wl_display* display_ = nullptr;
    std::unique_ptr<Globals> globals_;
    void* notification_ = nullptr;
    QString protocol_;
    QSocketNotifier* notifier_ = nullptr;
    bool idle_ = false;
    std::chrono::steady_clock::time_point lastInput_ = std::chrono::steady_clock::now();
};

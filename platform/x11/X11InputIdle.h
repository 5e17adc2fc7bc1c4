#pragma once

#include "platform/InputIdle.h"
#include "platform/x11/XcbBatch.h"

#include <optional>
#include <xcb/xcb.h>

class Clock;
class X11EventFilter;

// Idle times: the XScreenSaver counter for any input, XInput2 raw events for key presses and
// pointer motion; input the counter saw without a raw event is taken for motion. Only the
// times of raw events are kept, never what they carried.
class X11InputIdle final : public InputIdle {
  public:
    X11InputIdle(xcb_connection_t* c, xcb_window_t root, X11EventFilter& events, Clock& clock);

    double secondsSinceAnyInput() const override;
    double secondsSinceKeyDown() const override;
    double secondsSinceMouseMoved() const override;
    bool notifiesKeys() const override { return xinputOpcode_ != 0; }

    // Called just before the pointer backend warps: whatever the server counts as input for
    // that warp is not the user's.
    void warping();

    // When the last raw pointer event (motion, press, release) arrived, on the clock's monotonic
    // scale; none without XInput2. Lets the pointer backend skip queries while nothing moved.
    std::optional<double> lastPointerEvent() const;
    double monotonicNow() const;

  private:
    bool handle(const xcb_generic_event_t* event);
    double serverIdle() const; // seconds, or -1 without the extension
    void readServer() const;   // at most once a second
    // The last input the server counted, our own warp excused.
    std::optional<double> serverInput() const;
    // The last input the server counted that came without a raw event, if newer than those.
    std::optional<double> inputWithoutRawEvents() const;

    xcb_connection_t* c_;
    xcb_window_t root_;
    Clock& clock_;
    bool hasScreenSaver_ = false;
    uint8_t xinputOpcode_ = 0;
    double lastKey_ = 0, lastMotion_ = 0, lastRaw_ = 0; // Clock::monotonic() seconds
    double lastPointer_ = 0;                            // including our own warps' motion
    double warpedAt_ = -1, inputBeforeWarp_ = 0;
    static constexpr double kServerPoll = 1.0; // seconds between server idle queries
    mutable double serverCheckedAt_ = -1;
    mutable std::optional<double> serverLast_; // monotonic time of the last input it reported
    mutable RoundTrips trips_;
};

#include "platform/x11/X11InputIdle.h"

#include "base/Log.h"
#include "platform/Clock.h"
#include "platform/x11/X11EventFilter.h"

#include <algorithm>
#include <xcb/screensaver.h>
#include <xcb/xinput.h>

namespace {
// Raw motion that follows our own warp this closely is the warp's, not the user's.
constexpr double kWarpEcho = 0.1;
// The server may take longer to count the warp when it is busy; its idle time is only read
// once a second, so this costs at most one reading of real input after a warp.
constexpr double kServerWarpEcho = 0.5;
// Input the server counted this much later than the last raw event had none of its own.
constexpr double kRawLag = 0.05;
} // namespace

X11InputIdle::X11InputIdle(xcb_connection_t* c, xcb_window_t root, X11EventFilter& events,
                           Clock& clock)
    : c_(c), root_(root), clock_(clock) {
    events.add([this](const xcb_generic_event_t* e) { return handle(e); });
    if (!c_) return;
    const auto* ss = xcb_get_extension_data(c_, &xcb_screensaver_id);
    hasScreenSaver_ = ss && ss->present;
    if (!hasScreenSaver_)
        Log::notice(QStringLiteral("input idle: no XScreenSaver extension; idle time comes from "
                                   "raw input events only"));
    const auto* xi = xcb_get_extension_data(c_, &xcb_input_id);
    if (xi && xi->present) {
        xinputOpcode_ = xi->major_opcode;
        struct {
            xcb_input_event_mask_t head;
            uint32_t bits;
        } mask{{XCB_INPUT_DEVICE_ALL_MASTER, 1},
               XCB_INPUT_XI_EVENT_MASK_RAW_KEY_PRESS | XCB_INPUT_XI_EVENT_MASK_RAW_KEY_RELEASE |
                   XCB_INPUT_XI_EVENT_MASK_RAW_BUTTON_PRESS |
                   XCB_INPUT_XI_EVENT_MASK_RAW_BUTTON_RELEASE | XCB_INPUT_XI_EVENT_MASK_RAW_MOTION};
        const auto cookie = xcb_input_xi_select_events_checked(c_, root_, 1, &mask.head);
        if (auto* error = xcb_request_check(c_, cookie)) {
            Log::error(QStringLiteral("input idle: XInput2 raw events refused (error %1)")
                           .arg(error->error_code));
            free(error);
            xinputOpcode_ = 0;
        }
    } else {
        Log::notice(QStringLiteral("input idle: no XInput2; key and motion times follow any "
                                   "input"));
    }
    // Until the first raw event, the last key and motion are as old as the last input.
    const double now = clock_.monotonic();
    const double idle = std::max(0.0, serverIdle());
    lastKey_ = lastMotion_ = lastRaw_ = now - idle;
}

double X11InputIdle::serverIdle() const {
    if (!c_ || !hasScreenSaver_) return -1;
    const auto cookie = xcb_screensaver_query_info(c_, root_);
    auto info = XcbBatch(c_, trips_).get(xcb_screensaver_query_info_reply, cookie);
    return info ? info->ms_since_user_input / 1000.0 : -1;
}

void X11InputIdle::readServer() const {
    const double now = clock_.monotonic();
    // The server's idle time costs a round trip and the cat asks every frame; raw events keep
    // the answer current in between, so the server is asked once a second at most.
    if (serverCheckedAt_ >= 0 && now - serverCheckedAt_ < kServerPoll) return;
    const double idle = serverIdle();
    serverLast_ = idle < 0 ? std::nullopt : std::optional<double>(now - idle);
    serverCheckedAt_ = now;
}

std::optional<double> X11InputIdle::serverInput() const {
    readServer();
    if (!serverLast_) return std::nullopt;
    // The server may count our warp as input; that moment is not the user's.
    if (warpedAt_ >= 0 && *serverLast_ >= warpedAt_ - kWarpEcho &&
        *serverLast_ <= warpedAt_ + kServerWarpEcho)
        return inputBeforeWarp_;
    return serverLast_;
}

std::optional<double> X11InputIdle::inputWithoutRawEvents() const {
    if (!xinputOpcode_) return std::nullopt;
    const std::optional<double> last = serverInput();
    // Absolute motion injected through XTEST (xdotool, VNC servers, software KVMs) reaches the
    // server's idle counter but brings no raw event; keys and buttons always bring theirs.
    if (!last || *last <= lastRaw_ + kRawLag) return std::nullopt;
    return last;
}

double X11InputIdle::secondsSinceAnyInput() const {
    const double now = clock_.monotonic();
    const std::optional<double> last = serverInput();
    return std::max(0.0, now - std::max(last.value_or(lastRaw_), lastRaw_));
}

double X11InputIdle::secondsSinceKeyDown() const {
    if (!xinputOpcode_) return secondsSinceAnyInput();
    return std::max(0.0, clock_.monotonic() - lastKey_);
}

double X11InputIdle::secondsSinceMouseMoved() const {
    if (!xinputOpcode_) return secondsSinceAnyInput();
    const double motion = std::max(lastMotion_, inputWithoutRawEvents().value_or(lastMotion_));
    return std::max(0.0, clock_.monotonic() - motion);
}

void X11InputIdle::warping() {
    const double now = clock_.monotonic();
    inputBeforeWarp_ = now - secondsSinceAnyInput();
    warpedAt_ = now;
}

std::optional<double> X11InputIdle::lastPointerEvent() const {
    if (!xinputOpcode_) return std::nullopt;
    return std::max(lastPointer_, inputWithoutRawEvents().value_or(lastPointer_));
}

double X11InputIdle::monotonicNow() const {
    return clock_.monotonic();
}

bool X11InputIdle::handle(const xcb_generic_event_t* event) {
    if (!xinputOpcode_ || (event->response_type & ~0x80) != XCB_GE_GENERIC) return false;
    const auto* ge = reinterpret_cast<const xcb_ge_generic_event_t*>(event);
    if (ge->extension != xinputOpcode_) return false;
    const double now = clock_.monotonic();
    switch (ge->event_type) {
    case XCB_INPUT_RAW_KEY_PRESS:
        lastKey_ = lastRaw_ = now;
        if (onKey) onKey();
        return true;
    case XCB_INPUT_RAW_KEY_RELEASE:
        lastRaw_ = now;
        return true;
    case XCB_INPUT_RAW_BUTTON_PRESS:
        lastRaw_ = lastPointer_ = now;
        if (onPointer) onPointer();
        return true;
    case XCB_INPUT_RAW_BUTTON_RELEASE:
        lastPointer_ = now;
        if (onPointer) onPointer();
        return true;
    case XCB_INPUT_RAW_MOTION:
        lastPointer_ = now;
        if (onPointer) onPointer();
        if (warpedAt_ >= 0 && now - warpedAt_ < kWarpEcho) return true;
        lastMotion_ = lastRaw_ = now;
        return true;
    default:
        return false;
    }
}

#include "platform/x11/X11ScreenDark.h"

#include "base/Log.h"
#include "platform/x11/X11EventFilter.h"
#include "platform/x11/X11Properties.h"

#include <xcb/dpms.h>

namespace {

xcb_atom_t intern(xcb_connection_t* c, const char* name, bool onlyIfExists) {
    RoundTrips ignored;
    const auto cookie = xcb_intern_atom(c, onlyIfExists, uint16_t(qstrlen(name)), name);
    auto reply = XcbBatch(c, ignored).get(xcb_intern_atom_reply, cookie);
    return reply ? reply->atom : 0;
}

} // namespace

X11ScreenDark::X11ScreenDark(xcb_connection_t* c, xcb_window_t root, X11EventFilter& events)
    : c_(c), root_(root) {
    if (!c_) return;
    // The atom is made here if no xscreensaver ran yet, so one that starts later is heard.
    statusAtom_ = intern(c_, "_SCREENSAVER_STATUS", false);
    events.add([this](const xcb_generic_event_t* e) { return handle(e); });
    readSaverStatus();

    const auto* dpms = xcb_get_extension_data(c_, &xcb_dpms_id);
    if (dpms && dpms->present) {
        dpmsTimer_.setInterval(2000);
        connect(&dpmsTimer_, &QTimer::timeout, this, [this] { askMonitors(); });
        dpmsTimer_.start();
    }
}

// xscreensaver keeps [state, since, hacks…] on the root: state is the atom BLANK or LOCK while
// the screens are dark and 0 once they are back.
void X11ScreenDark::readSaverStatus() {
    RoundTrips ignored;
    const auto cookie = X11Properties::request(c_, root_, statusAtom_, 1);
    const auto status =
        X11Properties::values(XcbBatch(c_, ignored).get(xcb_get_property_reply, cookie));
    saver_ = !status.empty() && status[0] != 0;
    update();
}

void X11ScreenDark::askMonitors() {
    RoundTrips ignored;
    XcbBatch batch(c_, ignored);
    const auto info = batch.get(xcb_dpms_info_reply, xcb_dpms_info(c_));
    monitorsOff_ = info && info->state && info->power_level != XCB_DPMS_DPMS_MODE_ON;
    update();
}

bool X11ScreenDark::handle(const xcb_generic_event_t* event) {
    if ((event->response_type & ~0x80) != XCB_PROPERTY_NOTIFY) return false;
    const auto* e = reinterpret_cast<const xcb_property_notify_event_t*>(event);
    if (e->window == root_ && e->atom == statusAtom_) readSaverStatus();
    return false; // Qt watches the root's properties too
}

void X11ScreenDark::update() {
    const bool now = dark();
    if (now == wasDark_) return;
    wasDark_ = now;
    Log::info(now ? QStringLiteral("sleep: the screens went dark (%1)")
                        .arg(saver_ ? QStringLiteral("screen saver") : QStringLiteral("DPMS"))
                  : QStringLiteral("sleep: the screens are back"));
    if (onChanged) onChanged(now);
}

#include "platform/x11/X11WindowManager.h"

#include "base/Log.h"
#include "platform/x11/X11EventFilter.h"
#include "platform/x11/X11Properties.h"

X11WindowManager::X11WindowManager(xcb_connection_t* c, xcb_window_t root, const X11Atoms& atoms,
                                   X11EventFilter& events)
    : c_(c), root_(root), atoms_(atoms) {
    events.add([this](const xcb_generic_event_t* e) { return handle(e); });
    check();
}

void X11WindowManager::check() {
    if (!c_ || !atoms_.netSupportingWmCheck) return set(false);
    const auto rootC = X11Properties::request(c_, root_, atoms_.netSupportingWmCheck, 1);
    const auto named =
        X11Properties::values(XcbBatch(c_, trips_).get(xcb_get_property_reply, rootC));
    const xcb_window_t w = named.empty() ? xcb_window_t(XCB_WINDOW_NONE) : named[0];
    if (w != checkWindow_) {
        checkWindow_ = w;
        // Watched before it is read, so a window that dies right after the read still reports.
        if (w != XCB_WINDOW_NONE) {
            const uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
            const auto cookie =
                xcb_change_window_attributes_checked(c_, w, XCB_CW_EVENT_MASK, &mask);
            xcb_discard_reply(c_, cookie.sequence); // gone already: the read below says so
        }
    }
    if (w == XCB_WINDOW_NONE) return set(false);
    const auto selfC = X11Properties::request(c_, w, atoms_.netSupportingWmCheck, 1);
    const auto self =
        X11Properties::values(XcbBatch(c_, trips_).get(xcb_get_property_reply, selfC));
    set(!self.empty() && self[0] == w);
}

void X11WindowManager::set(bool running) {
    if (running == running_) return;
    running_ = running;
    Log::notice(running ? QStringLiteral("window manager: one runs; its stacking list and work "
                                         "area are trusted")
                        : QStringLiteral("window manager: none runs; windows come from the root's "
                                         "children and the work area is the whole monitor"));
    if (changed) changed();
}

bool X11WindowManager::handle(const xcb_generic_event_t* event) {
    switch (event->response_type & ~0x80) {
    case XCB_DESTROY_NOTIFY: {
        const auto* e = reinterpret_cast<const xcb_destroy_notify_event_t*>(event);
        if (checkWindow_ == XCB_WINDOW_NONE || e->window != checkWindow_) return false;
        checkWindow_ = XCB_WINDOW_NONE;
        set(false);
        // Reported on the check window itself only because we asked; through the root the
        // window list wants it too.
        return e->event == e->window;
    }
    case XCB_PROPERTY_NOTIFY: {
        const auto* e = reinterpret_cast<const xcb_property_notify_event_t*>(event);
        if (e->window == root_ && e->atom == atoms_.netSupportingWmCheck) check();
        return false;
    }
    default:
        return false;
    }
}

#include "platform/x11/CompositorWatch.h"

#include "platform/x11/XcbBatch.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <xcb/xfixes.h>

CompositorWatch::CompositorWatch(xcb_connection_t* c, std::function<void(bool)> changed)
    : changed_(std::move(changed)) {
    if (!c) return;
    int screenNumber = 0;
    const xcb_setup_t* setup = xcb_get_setup(c);
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(setup);
    root_ = screens.data->root;
    const char* display = std::getenv("DISPLAY");
    if (display && std::strchr(display, '.'))
        screenNumber = std::atoi(std::strrchr(display, '.') + 1);
    const std::string name = "_NET_WM_CM_S" + std::to_string(screenNumber);

    RoundTrips ignored;
    const auto atomC = xcb_intern_atom(c, 0, uint16_t(name.size()), name.c_str());
    const auto ownerAtom = XcbBatch(c, ignored).get(xcb_intern_atom_reply, atomC);
    if (!ownerAtom) return;
    selection_ = ownerAtom->atom;

    const auto* xfixes = xcb_get_extension_data(c, &xcb_xfixes_id);
    if (xfixes && xfixes->present) {
        const auto versionC = xcb_xfixes_query_version(c, 5, 0);
        const auto version = XcbBatch(c, ignored).get(xcb_xfixes_query_version_reply, versionC);
        if (version && version->major_version >= 1) {
            xfixesEvents_ = xfixes->first_event;
            events_.add([this](const xcb_generic_event_t* e) { return handle(e); });
            xcb_xfixes_select_selection_input(
                c, root_, selection_,
                XCB_XFIXES_SELECTION_EVENT_MASK_SET_SELECTION_OWNER |
                    XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_WINDOW_DESTROY |
                    XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_CLIENT_CLOSE);
        }
    }
    // Read after asking for the events, so an owner that comes or goes in between is seen.
    const auto ownerC = xcb_get_selection_owner(c, selection_);
    const auto owner = XcbBatch(c, ignored).get(xcb_get_selection_owner_reply, ownerC);
    running_ = owner && owner->owner != XCB_WINDOW_NONE;
}

void CompositorWatch::set(bool running) {
    if (running == running_) return;
    running_ = running;
    if (changed_) changed_(running);
}

bool CompositorWatch::handle(const xcb_generic_event_t* event) {
    if ((event->response_type & ~0x80) != xfixesEvents_ + XCB_XFIXES_SELECTION_NOTIFY) return false;
    const auto* e = reinterpret_cast<const xcb_xfixes_selection_notify_event_t*>(event);
    if (e->window != root_ || e->selection != selection_) return false; // Qt's own watch
    if (e->subtype == XCB_XFIXES_SELECTION_EVENT_SET_SELECTION_OWNER)
        set(e->owner != XCB_WINDOW_NONE);
    else
        set(false); // the owner's window or its client went away
    // Not consumed: every watch (the panels', the menu's) and Qt's own must hear it.
    return false;
}

#include "platform/x11/DragWatch.h"

#include "platform/x11/XcbBatch.h"

#include <cstring>
#include <xcb/xfixes.h>

DragWatch::DragWatch(xcb_connection_t* c) : c_(c) {
    if (!c) return;
    root_ = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    RoundTrips ignored;
    const char* name = "XdndSelection";
    const auto atomC = xcb_intern_atom(c, 0, uint16_t(std::strlen(name)), name);
    const auto atom = XcbBatch(c, ignored).get(xcb_intern_atom_reply, atomC);
    if (!atom) return;
    selection_ = atom->atom;
    const auto* xfixes = xcb_get_extension_data(c, &xcb_xfixes_id);
    if (!xfixes || !xfixes->present) return;
    const auto versionC = xcb_xfixes_query_version(c, 5, 0);
    const auto version = XcbBatch(c, ignored).get(xcb_xfixes_query_version_reply, versionC);
    if (!version || version->major_version < 1) return;
    xfixesEvents_ = xfixes->first_event;
    events_.add([this](const xcb_generic_event_t* e) { return handle(e); });
    xcb_xfixes_select_selection_input(c, root_, selection_,
                                      XCB_XFIXES_SELECTION_EVENT_MASK_SET_SELECTION_OWNER);
    xcb_flush(c);
    // A drag is only looked at while it lasts: ten times a second, one small round trip.
    buttons_.setInterval(100);
    connect(&buttons_, &QTimer::timeout, this, &DragWatch::checkButtons);
}

bool DragWatch::handle(const xcb_generic_event_t* event) {
    if ((event->response_type & ~0x80) != xfixesEvents_ + XCB_XFIXES_SELECTION_NOTIFY) return false;
    const auto* e = reinterpret_cast<const xcb_xfixes_selection_notify_event_t*>(event);
    if (e->window != root_ || e->selection != selection_ || e->owner == XCB_WINDOW_NONE)
        return false;
    // Every drag sets the owner anew, even the same source's next one.
    if (!dragging_) {
        dragging_ = true;
        buttons_.start();
        if (onChange) onChange();
    }
    return false; // Qt's own drag code hears it too
}

void DragWatch::checkButtons() {
    RoundTrips ignored;
    const auto reply =
        XcbBatch(c_, ignored).get(xcb_query_pointer_reply, xcb_query_pointer(c_, root_));
    constexpr uint16_t anyButton = XCB_BUTTON_MASK_1 | XCB_BUTTON_MASK_2 | XCB_BUTTON_MASK_3;
    if (reply && (reply->mask & anyButton)) return;
    dragging_ = false;
    buttons_.stop();
    if (onChange) onChange();
}

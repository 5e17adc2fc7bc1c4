#include "platform/x11/X11ScreenChanges.h"

#include "platform/x11/X11EventFilter.h"
#include "platform/x11/X11Screens.h"
#include "platform/x11/X11WindowList.h"

#include <QTimer>
#include <xcb/randr.h>

X11ScreenChanges::X11ScreenChanges(xcb_connection_t* c, xcb_window_t root, X11EventFilter& events,
                                   X11Screens& screens, X11WindowList& windowList)
    : screens_(screens), windowList_(windowList) {
    events.add([this](const xcb_generic_event_t* e) { return handle(e); });
    screens_.dirtied = [this] { note(); };
    frame_ = screens_.frame();
    visible_ = screens_.visibleFrame();
    rate_ = screens_.refreshRate();
    monitors_ = screens_.monitors();
    if (!c) return;
    const auto* randr = xcb_get_extension_data(c, &xcb_randr_id);
    if (!randr || !randr->present) return;
    randrEvents_ = randr->first_event;
    // The same selection Qt makes on the root: one mask per client and window, so asking for
    // less would take events away from Qt.
    xcb_randr_select_input(
        c, root,
        XCB_RANDR_NOTIFY_MASK_SCREEN_CHANGE | XCB_RANDR_NOTIFY_MASK_OUTPUT_CHANGE |
            XCB_RANDR_NOTIFY_MASK_CRTC_CHANGE | XCB_RANDR_NOTIFY_MASK_OUTPUT_PROPERTY);
    xcb_flush(c);
}

void X11ScreenChanges::note() {
    if (pending_) return;
    pending_ = true;
    // Qt handles the same RANDR events after us; its screens are current once the events at
    // hand are processed.
    QTimer::singleShot(0, this, [this] { refresh(); });
}

void X11ScreenChanges::refresh() {
    pending_ = false;
    screens_.invalidate();
    const Rect frame = screens_.frame();
    const Rect visible = screens_.visibleFrame();
    // A new mode at the same size (60 to 144 Hz) or a new primary screen changes the rate only.
    const double rate = screens_.refreshRate();
    std::vector<Monitor> monitors = screens_.monitors();
    if (frame == frame_ && visible == visible_ && rate == rate_ && monitors == monitors_) return;
    frame_ = frame;
    visible_ = visible;
    rate_ = rate;
    monitors_ = std::move(monitors);
    windowList_.invalidate(); // every frame converts through the screen
    ++notifications_;
    if (screens_.onChanged) screens_.onChanged();
}

bool X11ScreenChanges::handle(const xcb_generic_event_t* event) {
    if (!randrEvents_) return false;
    const uint8_t type = event->response_type & ~0x80;
    if (type == randrEvents_ + XCB_RANDR_SCREEN_CHANGE_NOTIFY) {
        note();
    } else if (type == randrEvents_ + XCB_RANDR_NOTIFY) {
        const auto* e = reinterpret_cast<const xcb_randr_notify_event_t*>(event);
        // Output properties (a backlight level, say) change often and move nothing.
        if (e->subCode == XCB_RANDR_NOTIFY_CRTC_CHANGE ||
            e->subCode == XCB_RANDR_NOTIFY_OUTPUT_CHANGE)
            note();
    }
    return false; // Qt follows the screens through the same events
}

#pragma once

#include "platform/x11/XcbBatch.h"

#include <cstdint>
#include <vector>
#include <xcb/xcb.h>

// 32-bit window properties (CARDINAL, ATOM, WINDOW lists), the only kind the backends read.
namespace X11Properties {

inline xcb_get_property_cookie_t request(xcb_connection_t* c, xcb_window_t w, xcb_atom_t atom,
                                         uint32_t maxValues) {
    return xcb_get_property(c, 0, w, atom, XCB_GET_PROPERTY_TYPE_ANY, 0, maxValues);
}

// Empty when the property is absent, of another format, or the window is gone.
inline std::vector<uint32_t> values(const XcbPtr<xcb_get_property_reply_t>& r) {
    if (!r || r->format != 32 || r->type == XCB_ATOM_NONE) return {};
    const auto* p = static_cast<const uint32_t*>(xcb_get_property_value(r.get()));
    return std::vector<uint32_t>(p, p + xcb_get_property_value_length(r.get()) / 4);
}

} // namespace X11Properties

#include "platform/x11/X11Atoms.h"

#include "platform/x11/XcbBatch.h"

#include <cstring>
#include <utility>

X11Atoms X11Atoms::intern(xcb_connection_t* c) {
    X11Atoms a;
    const std::pair<const char*, xcb_atom_t*> names[] = {
        {"_NET_CLIENT_LIST_STACKING", &a.netClientListStacking},
        {"_NET_CLIENT_LIST", &a.netClientList},
        {"_NET_CURRENT_DESKTOP", &a.netCurrentDesktop},
        {"_NET_WORKAREA", &a.netWorkarea},
        {"_NET_FRAME_EXTENTS", &a.netFrameExtents},
        {"_GTK_FRAME_EXTENTS", &a.gtkFrameExtents},
        {"_NET_WM_WINDOW_TYPE", &a.netWmWindowType},
        {"_NET_WM_STATE", &a.netWmState},
        {"_NET_WM_DESKTOP", &a.netWmDesktop},
        {"_NET_WM_PID", &a.netWmPid},
        {"_NET_WM_WINDOW_OPACITY", &a.netWmWindowOpacity},
        {"_NET_WM_STRUT", &a.netWmStrut},
        {"_NET_WM_STRUT_PARTIAL", &a.netWmStrutPartial},
        {"_NET_SUPPORTING_WM_CHECK", &a.netSupportingWmCheck},
        {"_NET_WM_WINDOW_TYPE_NORMAL", &a.typeNormal},
        {"_NET_WM_WINDOW_TYPE_DIALOG", &a.typeDialog},
        {"_NET_WM_WINDOW_TYPE_DOCK", &a.typeDock},
        {"_NET_WM_WINDOW_TYPE_DESKTOP", &a.typeDesktop},
        {"_NET_WM_STATE_ABOVE", &a.stateAbove},
        {"_NET_WM_STATE_BELOW", &a.stateBelow},
        {"_NET_WM_STATE_HIDDEN", &a.stateHidden},
        {"_NET_WM_STATE_STICKY", &a.stateSticky},
        {"WM_STATE", &a.wmState},
    };
    if (!c) return a;
    xcb_intern_atom_cookie_t cookies[std::size(names)];
    for (size_t i = 0; i < std::size(names); ++i)
        cookies[i] = xcb_intern_atom(c, 0, uint16_t(std::strlen(names[i].first)), names[i].first);
    RoundTrips ignored;
    XcbBatch batch(c, ignored);
    for (size_t i = 0; i < std::size(names); ++i)
        if (auto r = batch.get(xcb_intern_atom_reply, cookies[i])) *names[i].second = r->atom;
    return a;
}

xcb_atom_t X11Atoms::named(xcb_connection_t* c, const char* name) {
    if (!c) return 0;
    RoundTrips ignored;
    auto cookie = xcb_intern_atom(c, 0, uint16_t(std::strlen(name)), name);
    auto r = XcbBatch(c, ignored).get(xcb_intern_atom_reply, cookie);
    return r ? r->atom : 0;
}

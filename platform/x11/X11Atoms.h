#pragma once

#include <xcb/xcb.h>

// The EWMH and GTK atoms the backends read, interned together in one round trip.
struct X11Atoms {
    xcb_atom_t netClientListStacking = 0, netClientList = 0, netCurrentDesktop = 0, netWorkarea = 0,
               netFrameExtents = 0, gtkFrameExtents = 0, netWmWindowType = 0, netWmState = 0,
               netWmDesktop = 0, netWmPid = 0, netWmWindowOpacity = 0, netWmStrut = 0,
               netWmStrutPartial = 0, netSupportingWmCheck = 0;
    xcb_atom_t typeNormal = 0, typeDialog = 0, typeDock = 0, typeDesktop = 0;
    xcb_atom_t stateAbove = 0, stateBelow = 0, stateHidden = 0, stateSticky = 0;
    xcb_atom_t wmState = 0; // set by the manager on the clients it manages (ICCCM)

    static X11Atoms intern(xcb_connection_t* c);
    // One more atom by name (for example _GTK_WORKAREAS_D3). Created when the server does not
    // know it yet, so that a property set later under that name is recognised.
    static xcb_atom_t named(xcb_connection_t* c, const char* name);
};

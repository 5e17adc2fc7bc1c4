#include "platform/x11/X11Display.h"

#include <xcb/xcb.h>

namespace X11Display {

bool reachable(const QString& name) {
    const QByteArray display = name.toLocal8Bit();
    xcb_connection_t* connection =
        xcb_connect(display.isEmpty() ? nullptr : display.constData(), nullptr);
    const bool ok = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    return ok;
}

} // namespace X11Display

#include "platform/x11/X11EventFilter.h"

#include <QCoreApplication>

X11EventFilter::X11EventFilter() {
    if (auto* app = QCoreApplication::instance()) app->installNativeEventFilter(this);
}

X11EventFilter::~X11EventFilter() {
    if (auto* app = QCoreApplication::instance()) app->removeNativeEventFilter(this);
}

bool X11EventFilter::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != "xcb_generic_event_t" || !message) return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    bool ours = false;
    for (auto& handler : handlers_)
        ours = handler(event) || ours;
    return ours;
}

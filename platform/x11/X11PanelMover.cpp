#include "platform/x11/X11PanelMover.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QWidget>
#include <QtGui/qguiapplication_platform.h>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace {

xcb_atom_t intern(xcb_connection_t* c, const char* name) {
    auto* reply =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, quint16(std::strlen(name)), name), nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return atom;
}

} // namespace

X11PanelMover::X11PanelMover(QWidget* window) : window_(window) {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    c_ = x11 ? x11->connection() : nullptr;
    if (c_) {
        xdndEnter_ = intern(c_, "XdndEnter");
        xdndPosition_ = intern(c_, "XdndPosition");
    }
    still_.setSingleShot(true);
    still_.setInterval(stillMs);
    connect(&still_, &QTimer::timeout, this, &X11PanelMover::settle);
    QCoreApplication::instance()->installNativeEventFilter(this);
    if (auto* loop = QCoreApplication::eventDispatcher())
        connect(loop, &QAbstractEventDispatcher::aboutToBlock, this, [this] {
            if (!std::exchange(unsent_, false)) return;
            if (!xcb_connection_has_error(c_)) xcb_flush(c_);
        });
}

X11PanelMover::~X11PanelMover() {
    if (QCoreApplication::instance()) QCoreApplication::instance()->removeNativeEventFilter(this);
    if (qtBehind_ && onMoving) onMoving(false);
}

void X11PanelMover::beginRun() {
    // Each move would come back as a notice waking two threads: the window asks for none
    // until the run ends. The mask is read afresh, as Qt may have changed it.
    const auto window = xcb_window_t(window_->winId());
    auto* attributes =
        xcb_get_window_attributes_reply(c_, xcb_get_window_attributes(c_, window), nullptr);
    if (attributes) {
        qtMask_ = attributes->your_event_mask;
        std::free(attributes);
        const quint32 mask = qtMask_ & ~quint32(XCB_EVENT_MASK_STRUCTURE_NOTIFY);
        xcb_change_window_attributes(c_, window, XCB_CW_EVENT_MASK, &mask);
        quieted_ = window;
    }
    if (onMoving) onMoving(true);
}

void X11PanelMover::move(QPoint p, QPoint root) {
    if (!c_ || !window_->isVisible()) {
        window_->move(p);
        return;
    }
    if (p == (qtBehind_ ? placed_ : window_->pos())) return;
    if (!qtBehind_) beginRun();
    const quint32 values[] = {quint32(qint32(root.x())), quint32(qint32(root.y()))};
    xcb_configure_window(c_, xcb_window_t(window_->winId()),
                         XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y, values);
    // Sent with the frame's picture, which flushes, or else before the event loop sleeps:
    // one write and one wake-up of the server per frame, and nothing posted to get there.
    unsent_ = true;
    placed_ = p;
    qtBehind_ = true;
    // Put off on every move: a timer left to run out and look again would wake the thread
    // five times a second while the cat walks, which costs more than moving its deadline.
    still_.start();
}

void X11PanelMover::settle() {
    still_.stop();
    if (!qtBehind_) return;
    qtBehind_ = false;
    if (quieted_) {
        // Before Qt's own request, so its notification is reported again.
        if (quieted_ == xcb_window_t(window_->winId()))
            xcb_change_window_attributes(c_, quieted_, XCB_CW_EVENT_MASK, &qtMask_);
        quieted_ = 0;
    }
    // The request repeats the position the window already has; its notification reaches Qt,
    // which then reads the true place once.
    window_->move(placed_);
    if (onMoving) onMoving(false);
}

bool X11PanelMover::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (!qtBehind_ || eventType != "xcb_generic_event_t") return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    const auto window = xcb_window_t(window_->winId());
    switch (event->response_type & ~0x80) {
    case XCB_CONFIGURE_NOTIFY: {
        // Our own moves, reported to the window itself (never sent by a client), while its size
        // stays: Qt need not hear of them yet.
        const auto* e = reinterpret_cast<const xcb_configure_notify_event_t*>(event);
        const QSize size = (QSizeF(window_->size()) * window_->devicePixelRatioF()).toSize();
        return !(event->response_type & 0x80) && e->event == window && e->window == window &&
               e->width == size.width() && e->height == size.height();
    }
    case XCB_CLIENT_MESSAGE: {
        // A drag arriving over the panel: Qt maps its position through the window's place.
        const auto* e = reinterpret_cast<const xcb_client_message_event_t*>(event);
        if (e->window == window && e->type != XCB_ATOM_NONE &&
            (e->type == xdndEnter_ || e->type == xdndPosition_))
            settle();
        return false;
    }
    default:
        return false;
    }
}

#include "platform/x11/X11Desktop.h"

#include "base/Log.h"
#include "platform/x11/X11EventFilter.h"
#include "platform/x11/X11InputIdle.h"
#include "platform/x11/X11Pointer.h"
#include "platform/x11/X11ScreenChanges.h"
#include "platform/x11/X11ScreenDark.h"
#include "platform/x11/X11Screens.h"
#include "platform/x11/X11WindowList.h"
#include "platform/x11/X11WindowManager.h"
#include "platform/x11/XcbBatch.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>

namespace {

xcb_connection_t* qtConnection() {
    auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    auto* x11 = app ? app->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

} // namespace

X11Desktop::X11Desktop(Clock& clock) : events_(std::make_unique<X11EventFilter>()) {
    xcb_connection_t* c = qtConnection();
    xcb_window_t root = 0;
    bool substructureIsOurs = true;
    if (c && !xcb_connection_has_error(c)) {
        connected_ = true;
        root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
        // Add to the mask Qt already set on the root rather than replacing it.
        RoundTrips ignored;
        const auto cookie = xcb_get_window_attributes(c, root);
        auto attributes = XcbBatch(c, ignored).get(xcb_get_window_attributes_reply, cookie);
        const uint32_t had = attributes ? attributes->your_event_mask : 0;
        substructureIsOurs = !(had & XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY);
        const uint32_t mask =
            had | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_change_window_attributes(c, root, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(c);
        c_ = c;
        root_ = root;
        rootMask_ = mask;
        substructureIsOurs_ = substructureIsOurs;
    } else {
        c = nullptr;
        Log::notice(QStringLiteral("desktop: not on an X11 display; no window list or idle "
                                   "times"));
    }
    const X11Atoms atoms = X11Atoms::intern(c);
    windowManager_ = std::make_unique<X11WindowManager>(c, root, atoms, *events_);
    screens_ = std::make_unique<X11Screens>(c, root, atoms, *events_, *windowManager_);
    windowList_ = std::make_unique<X11WindowList>(c, root, atoms, *events_, *windowManager_,
                                                  substructureIsOurs);
    inputIdle_ = std::make_unique<X11InputIdle>(c, root, *events_, clock);
    pointer_ = std::make_unique<X11Pointer>(c, root, inputIdle_.get());
    screenChanges_ = std::make_unique<X11ScreenChanges>(c, root, *events_, *screens_, *windowList_);
    screenDark_ = std::make_unique<X11ScreenDark>(c, root, *events_);
    windowManager_->changed = [this] {
        // Without a manager the root's structure events are all there is to hear of windows.
        if (rootQuiet_ && !windowManager_->running()) quietRoot(false);
        windowList_->invalidate();
        screenChanges_->note();
    };
    watchScreens();
}

X11Desktop::~X11Desktop() = default;

void X11Desktop::panelMoving(bool moving) {
    movingPanels_ = std::max(0, movingPanels_ + (moving ? 1 : -1));
    if (movingPanels_ > 0 && !rootQuiet_ && substructureIsOurs_ && windowManager_->running())
        quietRoot(true);
    else if (movingPanels_ == 0 && rootQuiet_)
        quietRoot(false);
}

void X11Desktop::quietRoot(bool quiet) {
    if (!c_ || xcb_connection_has_error(c_)) return;
    rootQuiet_ = quiet;
    const uint32_t mask =
        quiet ? rootMask_ & ~uint32_t(XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY) : rootMask_;
    xcb_change_window_attributes(c_, root_, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(c_);
    if (!quiet) windowList_->invalidate(); // whatever the quiet spell did not report
}

// Screen geometry feeds every conversion, so a change refreshes both cached views.
void X11Desktop::watchScreens() {
    auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (!app) return;
    const auto changed = [this] {
        screens_->invalidate();
        windowList_->invalidate();
        screenChanges_->note();
    };
    const auto follow = [this, changed](QScreen* screen) {
        if (!screen) return;
        connect(screen, &QScreen::geometryChanged, this, changed);
        connect(screen, &QScreen::availableGeometryChanged, this, changed);
        connect(screen, &QScreen::refreshRateChanged, this, changed);
        connect(screen, &QScreen::logicalDotsPerInchChanged, this, changed);
    };
    for (QScreen* s : QGuiApplication::screens())
        follow(s);
    connect(app, &QGuiApplication::screenAdded, this, [changed, follow](QScreen* s) {
        follow(s);
        changed();
    });
    connect(app, &QGuiApplication::screenRemoved, this, changed);
    connect(app, &QGuiApplication::primaryScreenChanged, this, changed);
}

#include "platform/x11/X11Screens.h"

#include "base/Log.h"
#include "platform/x11/ScreenSpace.h"
#include "platform/x11/WorkArea.h"
#include "platform/x11/X11EventFilter.h"
#include "platform/x11/X11Properties.h"
#include "platform/x11/X11WindowManager.h"

#include <QGuiApplication>
#include <QScreen>

X11Screens::X11Screens(xcb_connection_t* c, xcb_window_t root, const X11Atoms& atoms,
                       X11EventFilter& events, const X11WindowManager& windowManager)
    : c_(c), root_(root), atoms_(atoms), windowManager_(windowManager) {
    events.add([this](const xcb_generic_event_t* e) { return handle(e); });
}

bool X11Screens::hasScreen() const {
    return ScreenSpace::current().valid;
}

Rect X11Screens::frame() const {
    const ScreenSpace space = ScreenSpace::current();
    return space.valid ? space.fromX11(space.primaryPx) : Rect{};
}

Rect X11Screens::visibleFrame() const {
    const ScreenSpace space = ScreenSpace::current();
    return space.valid ? space.fromX11(workAreaPixels()) : Rect{};
}

double X11Screens::refreshRate() const {
    const QScreen* screen = hasScreen() ? QGuiApplication::primaryScreen() : nullptr;
    const double rate = screen ? screen->refreshRate() : 0;
    return rate >= 1 ? rate : 60;
}

QRect X11Screens::workAreaPixels() const {
    const ScreenSpace space = ScreenSpace::current();
    if (!space.valid) return {};
    if (dirty_ || !space.primaryPx.contains(workPx_)) {
        dirty_ = false;
        workPx_ = readWorkArea(space.primaryPx);
    }
    return workPx_;
}

// Docks take a band along an edge, never most of the screen: an area under a quarter of the
// monitor either way is a mistake (or mischief), and the next source is asked instead.
QRect X11Screens::plausible(const QRect& area, const QRect& monitor) const {
    if (area.isEmpty() ||
        (area.width() * 4 >= monitor.width() && area.height() * 4 >= monitor.height()))
        return area;
    if (area != rejected_) {
        rejected_ = area;
        Log::notice(QStringLiteral("screens: ignoring a work area of %1 × %2 at %3, %4: too small "
                                   "for a %5 × %6 monitor")
                        .arg(area.width())
                        .arg(area.height())
                        .arg(area.x())
                        .arg(area.y())
                        .arg(monitor.width())
                        .arg(monitor.height()));
    }
    return {};
}

QRect X11Screens::readWorkArea(const QRect& monitor) const {
    if (!c_) return monitor;
    if (!windowManager_.running()) {
        // What a dead manager left on the root is stale, and nothing keeps windows off docks.
        if (lastSource_ != QStringLiteral("no window manager")) {
            lastSource_ = QStringLiteral("no window manager");
            Log::notice(QStringLiteral("screens: no window manager runs, so no work area; using "
                                       "the whole monitor"));
        }
        return monitor;
    }
    const auto desktopC = X11Properties::request(c_, root_, atoms_.netCurrentDesktop, 1);
    const auto listC = X11Properties::request(c_, root_, atoms_.netClientList, 4096);
    const auto netC = X11Properties::request(c_, root_, atoms_.netWorkarea, 4096);
    const auto rootC = xcb_get_geometry(c_, root_);
    XcbBatch first(c_, trips_);
    const auto desktop = X11Properties::values(first.get(xcb_get_property_reply, desktopC));
    const auto clients = X11Properties::values(first.get(xcb_get_property_reply, listC));
    const auto net = X11Properties::values(first.get(xcb_get_property_reply, netC));
    const auto rootGeom = first.get(xcb_get_geometry_reply, rootC);
    const quint32 current = desktop.empty() ? 0 : desktop[0];
    const QSize rootSize = rootGeom ? QSize(rootGeom->width, rootGeom->height) : monitor.size();

    QString source;
    QRect area;
    if (gtkDesktop_ != current) {
        gtkDesktop_ = current;
        gtkAtom_ =
            X11Atoms::named(c_, qPrintable(QStringLiteral("_GTK_WORKAREAS_D%1").arg(current)));
    }
    // The second batch: GTK's per-monitor areas and every client's type and struts.
    std::vector<xcb_get_property_cookie_t> typeC, partialC, strutC;
    xcb_get_property_cookie_t gtkC{};
    if (gtkAtom_) gtkC = X11Properties::request(c_, root_, gtkAtom_, 4096);
    for (quint32 w : clients) {
        typeC.push_back(X11Properties::request(c_, w, atoms_.netWmWindowType, 32));
        partialC.push_back(X11Properties::request(c_, w, atoms_.netWmStrutPartial, 12));
        strutC.push_back(X11Properties::request(c_, w, atoms_.netWmStrut, 4));
    }
    XcbBatch second(c_, trips_);
    if (gtkAtom_) {
        const auto gtk = X11Properties::values(second.get(xcb_get_property_reply, gtkC));
        area = plausible(WorkArea::onMonitor(WorkArea::rectsFromValues(gtk), monitor), monitor);
        if (!area.isEmpty()) source = QStringLiteral("GTK work areas");
    }
    std::vector<WorkArea::Strut> struts;
    for (size_t i = 0; i < clients.size(); ++i) {
        const auto types = X11Properties::values(second.get(xcb_get_property_reply, typeC[i]));
        auto partial = X11Properties::values(second.get(xcb_get_property_reply, partialC[i]));
        auto plain = X11Properties::values(second.get(xcb_get_property_reply, strutC[i]));
        if (std::find(types.begin(), types.end(), atoms_.typeDock) == types.end()) continue;
        if (auto s = WorkArea::Strut::fromValues(partial.empty() ? plain : partial, rootSize))
            struts.push_back(*s);
    }
    if (area.isEmpty() && !clients.empty()) {
        area = plausible(WorkArea::minusStruts(monitor, rootSize, struts), monitor);
        source = QStringLiteral("dock struts");
    }
    if (area.isEmpty()) {
        const auto rects = WorkArea::rectsFromValues(net);
        if (current < rects.size()) area = plausible(rects[current].intersected(monitor), monitor);
        if (!area.isEmpty()) source = QStringLiteral("_NET_WORKAREA");
    }
    if (area.isEmpty()) {
        area = monitor;
        source = QStringLiteral("the whole monitor");
    }
    if (source != lastSource_) {
        lastSource_ = source;
        if (source == QStringLiteral("the whole monitor"))
            Log::notice(QStringLiteral("screens: the window manager publishes no work area; "
                                       "using the whole monitor"));
        else
            Log::info(QStringLiteral("screens: work area from %1").arg(source));
    }
    return area;
}

bool X11Screens::handle(const xcb_generic_event_t* event) {
    if ((event->response_type & ~0x80) != XCB_PROPERTY_NOTIFY) return false;
    const auto* e = reinterpret_cast<const xcb_property_notify_event_t*>(event);
    bool relevant = false;
    if (e->window == root_)
        relevant = e->atom == atoms_.netWorkarea || e->atom == atoms_.netCurrentDesktop ||
                   e->atom == atoms_.netClientList || (gtkAtom_ && e->atom == gtkAtom_);
    else
        relevant = e->atom == atoms_.netWmStrutPartial || e->atom == atoms_.netWmStrut ||
                   e->atom == atoms_.netWmWindowType;
    if (relevant) {
        dirty_ = true;
        if (dirtied) dirtied();
    }
    return false; // the window list decides whether a client's events are ours alone
}

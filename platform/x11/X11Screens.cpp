#include "platform/x11/X11Screens.h"

#include "base/Log.h"
#include "platform/x11/ScreenSpace.h"
#include "platform/x11/WorkArea.h"
#include "platform/x11/X11EventFilter.h"
#include "platform/x11/X11Properties.h"
#include "platform/x11/X11WindowManager.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStringList>
#include <algorithm>

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

std::vector<Monitor> X11Screens::monitors() const {
    if (!hasScreen()) return {};
    update();
    return monitors_;
}

QRect X11Screens::workAreaPixels() const {
    const ScreenSpace space = ScreenSpace::current();
    if (!space.valid) return {};
    update();
    for (size_t i = 0; i < outputs_.size(); ++i)
        if (outputs_[i].primary && i < workPx_.size()) return workPx_[i];
    return space.primaryPx;
}

namespace {

// Qt's screens in root pixels: on Qt 6.4 RandR's monitors, so `xrandr --setmonitor` counts.
std::vector<MonitorLayout::Output> qtOutputs() {
    std::vector<MonitorLayout::Output> out;
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return out;
    const QScreen* primary = QGuiApplication::primaryScreen();
    for (const QScreen* screen : QGuiApplication::screens()) {
        // Qt keeps a screen's top-left at its native position and scales only its size.
        const QRect g = screen->geometry();
        const double ratio = screen->devicePixelRatio() > 0 ? screen->devicePixelRatio() : 1.0;
        out.push_back({screen->name(), QRect(g.topLeft(), (QSizeF(g.size()) * ratio).toSize()),
                       screen->refreshRate(), ratio, screen == primary});
    }
    return out;
}

QString sourceName(MonitorLayout::Source source) {
    switch (source) {
    case MonitorLayout::Source::gtk:
        return QStringLiteral("GTK work areas");
    case MonitorLayout::Source::struts:
        return QStringLiteral("dock struts");
    case MonitorLayout::Source::net:
        return QStringLiteral("_NET_WORKAREA");
    case MonitorLayout::Source::whole:
        break;
    }
    return QStringLiteral("the whole monitor");
}

} // namespace

// Qt's screens are asked each time (no server round trip); the work areas only when a property
// they come from changed or the screens did.
void X11Screens::update() const {
    std::vector<MonitorLayout::Output> outputs = qtOutputs();
    if (!dirty_ && outputs == outputs_) return;
    dirty_ = false;
    outputs_ = std::move(outputs);
    workPx_ = readWorkAreas(outputs_);
    monitors_ = MonitorLayout::monitors(outputs_, workPx_, ScreenSpace::current());
}

std::vector<QRect>
X11Screens::readWorkAreas(const std::vector<MonitorLayout::Output>& outputs) const {
    std::vector<QRect> whole;
    for (const auto& o : outputs)
        whole.push_back(o.pixels);
    if (!c_ || outputs.empty()) return whole;
    if (!windowManager_.running()) {
        // What a dead manager left on the root is stale, and nothing keeps windows off docks.
        if (lastSource_ != QStringLiteral("no window manager")) {
            lastSource_ = QStringLiteral("no window manager");
            Log::notice(QStringLiteral("screens: no window manager runs, so no work area; using "
                                       "the whole monitor"));
        }
        return whole;
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

    MonitorLayout::Reserved reserved;
    QRect all;
    for (const auto& o : outputs)
        all |= o.pixels;
    reserved.root = rootGeom ? QSize(rootGeom->width, rootGeom->height) : all.size();
    reserved.clients = !clients.empty();
    const auto netRects = WorkArea::rectsFromValues(net);
    if (current < netRects.size()) reserved.net = netRects[current];
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
    if (gtkAtom_)
        reserved.gtk = WorkArea::rectsFromValues(
            X11Properties::values(second.get(xcb_get_property_reply, gtkC)));
    for (size_t i = 0; i < clients.size(); ++i) {
        const auto types = X11Properties::values(second.get(xcb_get_property_reply, typeC[i]));
        auto partial = X11Properties::values(second.get(xcb_get_property_reply, partialC[i]));
        auto plain = X11Properties::values(second.get(xcb_get_property_reply, strutC[i]));
        if (std::find(types.begin(), types.end(), atoms_.typeDock) == types.end()) continue;
        if (auto s = WorkArea::Strut::fromValues(partial.empty() ? plain : partial, reserved.root))
            reserved.struts.push_back(*s);
    }

    std::vector<MonitorLayout::Area> areas;
    std::vector<QRect> rejected;
    for (const auto& o : outputs) {
        areas.push_back(MonitorLayout::workArea(o.pixels, reserved, int(outputs.size())));
        for (const QRect& area : areas.back().rejected) {
            rejected.push_back(area);
            if (std::find(rejected_.begin(), rejected_.end(), area) != rejected_.end()) continue;
            Log::notice(QStringLiteral("screens: ignoring a work area of %1 × %2 at %3, %4: too "
                                       "small for a %5 × %6 monitor")
                            .arg(area.width())
                            .arg(area.height())
                            .arg(area.x())
                            .arg(area.y())
                            .arg(o.pixels.width())
                            .arg(o.pixels.height()));
        }
    }
    rejected_ = std::move(rejected);
    logSources(outputs, areas);
    std::vector<QRect> out;
    for (const auto& a : areas)
        out.push_back(a.pixels);
    return out;
}

void X11Screens::logSources(const std::vector<MonitorLayout::Output>& outputs,
                            const std::vector<MonitorLayout::Area>& areas) const {
    bool anyPublished = false;
    QStringList parts;
    for (size_t i = 0; i < areas.size(); ++i) {
        anyPublished = anyPublished || areas[i].source != MonitorLayout::Source::whole;
        parts << (areas.size() == 1 ? sourceName(areas[i].source)
                                    : QStringLiteral("%1 (%2)").arg(sourceName(areas[i].source),
                                                                    outputs[i].name));
    }
    const QString source = parts.join(QStringLiteral(", "));
    if (source == lastSource_) return;
    lastSource_ = source;
    if (!anyPublished)
        Log::notice(QStringLiteral("screens: the window manager publishes no work area; using "
                                   "the whole monitor"));
    else
        Log::info(QStringLiteral("screens: work area from %1").arg(source));
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

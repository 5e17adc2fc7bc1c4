#include "platform/x11/X11WindowList.h"

#include "base/Log.h"
#include "platform/x11/ScreenSpace.h"
#include "platform/x11/WindowFrame.h"
#include "platform/x11/X11EventFilter.h"
#include "platform/x11/X11Properties.h"
#include "platform/x11/X11WindowManager.h"

#include <algorithm>
#include <unordered_set>
#include <xcb/res.h>

namespace {

constexpr uint32_t kClientEvents = XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_PROPERTY_CHANGE;

bool has(const std::vector<uint32_t>& v, xcb_atom_t a) {
    return a && std::find(v.begin(), v.end(), a) != v.end();
}

// Ordinary application windows are layer 0; the rest get a number that sorts them as the
// window server's layers would: desktop and "below" under, docks and "above" over.
int layerFor(const std::vector<uint32_t>& types, const std::vector<uint32_t>& states,
             const X11Atoms& a) {
    if (has(types, a.typeDesktop)) return -1000;
    if (has(types, a.typeDock)) return 20;
    const bool ordinary = types.empty() || has(types, a.typeNormal) || has(types, a.typeDialog);
    if (!ordinary) return 8;
    if (has(states, a.stateAbove)) return 3;
    if (has(states, a.stateBelow)) return -1;
    return 0;
}

struct Pending {
    xcb_get_geometry_cookie_t geometry;
    xcb_translate_coordinates_cookie_t origin;
    xcb_get_window_attributes_cookie_t attributes;
    xcb_get_property_cookie_t frameExtents, gtkExtents, type, state, desktop, pid, opacity;
    // Root children only: whether the window is a client itself, else the windows it holds.
    xcb_get_property_cookie_t wmState{};
    xcb_query_tree_cookie_t tree{};
};

} // namespace

X11WindowList::X11WindowList(xcb_connection_t* c, xcb_window_t root, const X11Atoms& atoms,
                             X11EventFilter& events, const X11WindowManager& windowManager,
                             bool rootSubstructureIsOurs)
    : c_(c), root_(root), atoms_(atoms), windowManager_(windowManager),
      rootSubstructureIsOurs_(rootSubstructureIsOurs) {
    if (c_) {
        const auto* res = xcb_get_extension_data(c_, &xcb_res_id);
        hasXRes_ = res && res->present;
        clientMask_ = ~xcb_get_setup(c_)->resource_id_mask;
    }
    events.add([this](const xcb_generic_event_t* e) { return handle(e); });
}

void X11WindowList::invalidate() {
    if (dirty_) return;
    dirty_ = true;
    ++generation_;
    if (onChange) onChange();
}

std::vector<WindowInfo> X11WindowList::windows() {
    const auto& list = current();
    std::vector<WindowInfo> out;
    out.reserve(list.size());
    for (const auto& w : list)
        out.push_back(w.info);
    return out;
}

const std::vector<X11Window>& X11WindowList::current() {
    if (dirty_) refresh();
    return cache_;
}

// Round trip one: the stacking list and the current desktop (and the root's children while the
// window manager publishes no stacking list). Front-most first.
std::vector<xcb_window_t> X11WindowList::stackingOrder(quint32& desktop, bool& known) {
    // Enough for any real desktop; the property is read from its front-most end when longer.
    const auto stackingC =
        X11Properties::request(c_, root_, atoms_.netClientListStacking, uint32_t(kMaxWindows));
    const auto desktopC = X11Properties::request(c_, root_, atoms_.netCurrentDesktop, 1);
    xcb_query_tree_cookie_t treeC{};
    if (noStackingList_) treeC = xcb_query_tree(c_, root_);
    XcbBatch batch(c_, trips_);
    auto stackingReply = batch.get(xcb_get_property_reply, stackingC);
    const auto current = X11Properties::values(batch.get(xcb_get_property_reply, desktopC));
    known = !current.empty();
    desktop = known ? current[0] : 0;

    std::vector<uint32_t> bottomToTop;
    std::size_t listed = 0;
    // A list left behind by a manager that died names frames and windows that moved on.
    const bool published = windowManager_.running() && stackingReply &&
                           stackingReply->type == XCB_ATOM_WINDOW && stackingReply->format == 32;
    if (published) {
        if (noStackingList_) xcb_discard_reply(c_, treeC.sequence);
        bottomToTop = X11Properties::values(stackingReply);
        listed = bottomToTop.size() + stackingReply->bytes_after / 4;
        if (stackingReply->bytes_after > 0) {
            // Only the top of the stack can be in front of anything the cat stands on.
            const auto tailC =
                xcb_get_property(c_, 0, root_, atoms_.netClientListStacking, XCB_ATOM_WINDOW,
                                 uint32_t(listed - kMaxWindows), uint32_t(kMaxWindows));
            bottomToTop =
                X11Properties::values(XcbBatch(c_, trips_).get(xcb_get_property_reply, tailC));
        }
    } else {
        if (!noStackingList_) {
            Log::notice(windowManager_.running()
                            ? QStringLiteral("window list: the window manager publishes no "
                                             "_NET_CLIENT_LIST_STACKING; listing the root's "
                                             "children")
                            : QStringLiteral("window list: no window manager runs (no "
                                             "_NET_CLIENT_LIST_STACKING to trust); listing the "
                                             "root's children"));
            noStackingList_ = true;
            treeC = xcb_query_tree(c_, root_);
        }
        XcbBatch tree(c_, trips_);
        if (auto r = tree.get(xcb_query_tree_reply, treeC)) {
            const xcb_window_t* children = xcb_query_tree_children(r.get());
            bottomToTop.assign(children, children + xcb_query_tree_children_length(r.get()));
        }
        listed = bottomToTop.size();
    }
    if (published && noStackingList_) {
        Log::notice(QStringLiteral("window list: the window manager now publishes its stacking "
                                   "list"));
        noStackingList_ = false;
    }
    const bool capped = listed > kMaxWindows;
    if (capped && !capped_)
        Log::notice(QStringLiteral("window list: %1 windows are listed; asking about the "
                                   "front-most %2 only")
                        .arg(listed)
                        .arg(kMaxWindows));
    capped_ = capped;
    return WindowFrame::frontMost(bottomToTop.data(), bottomToTop.size(), kMaxWindows);
}

void X11WindowList::refresh() {
    dirty_ = false;
    ++refreshes_;
    const ScreenSpace space = ScreenSpace::current();
    if (!c_ || !space.valid) {
        cache_.clear();
        return;
    }
    quint32 desktop = 0;
    bool desktopKnown = false;
    const std::vector<xcb_window_t> ids = stackingOrder(desktop, desktopKnown);

    // Round trip two: everything about every window, plus one XRes query for all owners.
    std::vector<Pending> pending(ids.size());
    for (size_t i = 0; i < ids.size(); ++i) {
        const xcb_window_t w = ids[i];
        Pending& p = pending[i];
        p.geometry = xcb_get_geometry(c_, w);
        p.origin = xcb_translate_coordinates(c_, w, root_, 0, 0);
        p.attributes = xcb_get_window_attributes(c_, w);
        p.frameExtents = X11Properties::request(c_, w, atoms_.netFrameExtents, 4);
        p.gtkExtents = X11Properties::request(c_, w, atoms_.gtkFrameExtents, 4);
        p.type = X11Properties::request(c_, w, atoms_.netWmWindowType, 16);
        p.state = X11Properties::request(c_, w, atoms_.netWmState, 16);
        p.desktop = X11Properties::request(c_, w, atoms_.netWmDesktop, 1);
        p.pid = X11Properties::request(c_, w, atoms_.netWmPid, 1);
        p.opacity = X11Properties::request(c_, w, atoms_.netWmWindowOpacity, 1);
        if (noStackingList_) {
            p.wmState = X11Properties::request(c_, w, atoms_.wmState, 1);
            p.tree = xcb_query_tree(c_, w);
        }
    }
    xcb_res_query_client_ids_cookie_t ownersC{};
    if (hasXRes_ && !ids.empty()) {
        std::vector<xcb_res_client_id_spec_t> specs;
        for (xcb_window_t w : ids)
            specs.push_back({w, XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID});
        ownersC = xcb_res_query_client_ids(c_, uint32_t(specs.size()), specs.data());
    }

    XcbBatch batch(c_, trips_);
    std::unordered_map<quint32, qint64> pidOfClient;
    if (hasXRes_ && !ids.empty()) {
        if (auto r = batch.get(xcb_res_query_client_ids_reply, ownersC)) {
            for (auto it = xcb_res_query_client_ids_ids_iterator(r.get()); it.rem;
                 xcb_res_client_id_value_next(&it)) {
                if (!(it.data->spec.mask & XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID) ||
                    xcb_res_client_id_value_value_length(it.data) < 1)
                    continue;
                pidOfClient[it.data->spec.client & clientMask_] =
                    *xcb_res_client_id_value_value(it.data);
            }
        }
    }

    // For the root's children only: a manager's frame holds, a level or two down, the client
    // whose client-side shadow (_GTK_FRAME_EXTENTS) the frame includes. One more round trip
    // per level, for all frames at once.
    const size_t roots = noStackingList_ ? ids.size() : 0;
    std::vector<bool> isClient(roots, false), frameWindow(roots, false);
    std::vector<std::vector<uint32_t>> heldShadow(roots); // of the client in frame i
    std::vector<std::vector<xcb_window_t>> frontier(roots);
    for (size_t i = 0; i < roots; ++i) {
        const auto state = batch.get(xcb_get_property_reply, pending[i].wmState);
        auto tree = batch.get(xcb_query_tree_reply, pending[i].tree);
        isClient[i] = state && state->type != XCB_ATOM_NONE;
        if (isClient[i] || !tree) continue;
        const xcb_window_t* kids = xcb_query_tree_children(tree.get());
        const int n = std::min(xcb_query_tree_children_length(tree.get()), kMaxInside);
        frontier[i].assign(kids, kids + n);
        frameWindow[i] = n > 0;
    }
    for (int level = 0; level < kFrameDepth; ++level) {
        struct Asked {
            size_t root;
            xcb_get_property_cookie_t state, gtk;
            xcb_get_geometry_cookie_t geometry;
            xcb_query_tree_cookie_t tree;
        };
        std::vector<Asked> asked;
        for (size_t i = 0; i < roots; ++i)
            for (xcb_window_t w : frontier[i])
                asked.push_back({i, X11Properties::request(c_, w, atoms_.wmState, 1),
                                 X11Properties::request(c_, w, atoms_.gtkFrameExtents, 4),
                                 xcb_get_geometry(c_, w), xcb_query_tree(c_, w)});
        if (asked.empty()) break;
        // Decorations are many small windows; the client is inside the largest one.
        std::vector<bool> found(roots, false);
        std::vector<quint64> largest(roots, 0);
        for (auto& f : frontier)
            f.clear();
        XcbBatch levelBatch(c_, trips_);
        for (const Asked& a : asked) {
            const auto state = levelBatch.get(xcb_get_property_reply, a.state);
            auto gtk = levelBatch.get(xcb_get_property_reply, a.gtk);
            auto geometry = levelBatch.get(xcb_get_geometry_reply, a.geometry);
            auto tree = levelBatch.get(xcb_query_tree_reply, a.tree);
            if (found[a.root]) continue;
            if (state && state->type != XCB_ATOM_NONE) {
                found[a.root] = true;
                heldShadow[a.root] = X11Properties::values(gtk);
                frontier[a.root].clear();
                continue;
            }
            const quint64 area = geometry ? quint64(geometry->width) * geometry->height : 0;
            if (!tree || area <= largest[a.root]) continue;
            largest[a.root] = area;
            const xcb_window_t* kids = xcb_query_tree_children(tree.get());
            const int n = std::min(xcb_query_tree_children_length(tree.get()), kMaxInside);
            frontier[a.root].assign(kids, kids + n);
        }
    }

    std::vector<X11Window> list;
    list.reserve(ids.size());
    std::unordered_set<xcb_window_t> seen;
    for (size_t i = 0; i < ids.size(); ++i) {
        const xcb_window_t w = ids[i];
        const Pending& p = pending[i];
        auto geometry = batch.get(xcb_get_geometry_reply, p.geometry);
        auto origin = batch.get(xcb_translate_coordinates_reply, p.origin);
        auto attributes = batch.get(xcb_get_window_attributes_reply, p.attributes);
        const auto frame = X11Properties::values(batch.get(xcb_get_property_reply, p.frameExtents));
        const auto gtk = X11Properties::values(batch.get(xcb_get_property_reply, p.gtkExtents));
        const auto types = X11Properties::values(batch.get(xcb_get_property_reply, p.type));
        const auto states = X11Properties::values(batch.get(xcb_get_property_reply, p.state));
        const auto onDesktop = X11Properties::values(batch.get(xcb_get_property_reply, p.desktop));
        const auto pid = X11Properties::values(batch.get(xcb_get_property_reply, p.pid));
        const auto opacity = X11Properties::values(batch.get(xcb_get_property_reply, p.opacity));
        // Closed between the stacking list and these replies: it is simply no longer listed.
        if (!geometry || !origin || !attributes) continue;
        // The root's own children: popups, tooltips and panels (ours too) bypass the manager.
        if (noStackingList_ &&
            (attributes->_class != XCB_WINDOW_CLASS_INPUT_OUTPUT ||
             attributes->map_state != XCB_MAP_STATE_VIEWABLE || attributes->override_redirect))
            continue;
        seen.insert(w);

        const int border = geometry->border_width;
        // Among the root's children, a manager's frame already includes its decoration and holds
        // the client whose shadow it must lose; a client on the root itself is decorated only
        // by a manager that runs (what one that died left in its properties is stale).
        static const std::vector<uint32_t> none;
        const bool framed = noStackingList_ && frameWindow[i];
        const std::vector<uint32_t>& shadow = framed ? heldShadow[i] : gtk;
        const std::vector<uint32_t>& decoration =
            !noStackingList_ || (!framed && windowManager_.running()) ? frame : none;
        const WindowFrame::Outer outer =
            WindowFrame::outer(origin->dst_x - border, origin->dst_y - border, geometry->width,
                               geometry->height, border, decoration, shadow);
        if (outer.extentsIgnored && oddExtents_.insert(w).second)
            Log::notice(QStringLiteral("window list: window 0x%1 publishes frame extents larger "
                                       "than itself; ignoring them")
                            .arg(w, 0, 16));
        const QRect px = outer.frame;

        X11Window entry;
        entry.pixels = px;
        entry.info.id = w;
        entry.info.frame = space.fromX11(px);
        entry.info.layer = layerFor(types, states, atoms_);
        if (auto it = pidOfClient.find(w & clientMask_); it != pidOfClient.end() && it->second > 0)
            entry.info.pid = it->second;
        else if (!pid.empty())
            entry.info.pid = qint64(pid[0]);
        entry.info.alpha = opacity.empty() ? 1.0 : double(opacity[0]) / 0xffffffffu;
        const bool sticky =
            has(states, atoms_.stateSticky) || (!onDesktop.empty() && onDesktop[0] == 0xffffffffu);
        const bool onCurrent =
            onDesktop.empty() || !desktopKnown || onDesktop[0] == desktop || sticky;
        entry.info.onScreen = attributes->map_state == XCB_MAP_STATE_VIEWABLE && onCurrent &&
                              !has(states, atoms_.stateHidden);
        list.push_back(entry);

        // Watch the client itself, keeping whatever Qt selected on its own windows.
        if (!isListed(w)) {
            const uint32_t had = attributes->your_event_mask;
            if ((had & kClientEvents) != kClientEvents) {
                const uint32_t mask = had | kClientEvents;
                const auto cookie =
                    xcb_change_window_attributes_checked(c_, w, XCB_CW_EVENT_MASK, &mask);
                xcb_discard_reply(c_, cookie.sequence); // a window gone meanwhile is fine
            }
            watched_[w] = had == 0;
        }
    }
    for (auto it = watched_.begin(); it != watched_.end();)
        it = seen.count(it->first) ? std::next(it) : watched_.erase(it);
    for (auto it = oddExtents_.begin(); it != oddExtents_.end();)
        it = seen.count(*it) ? std::next(it) : oddExtents_.erase(it);
    xcb_flush(c_);
    cache_ = std::move(list);
}

bool X11WindowList::handle(const xcb_generic_event_t* event) {
    // For events reported through the root's SubstructureNotify: ours alone unless Qt asked.
    const auto viaRoot = [this](xcb_window_t reportedOn, xcb_window_t w, bool overrideRedirect) {
        if (reportedOn != root_ || w == root_) return false;
        // Popups and our own panels move without the window manager: not in the list.
        if (!overrideRedirect || isListed(w)) invalidate();
        return rootSubstructureIsOurs_;
    };
    const auto onClient = [this](xcb_window_t reportedOn) {
        auto it = watched_.find(reportedOn);
        if (it == watched_.end()) return false;
        invalidate();
        return it->second;
    };
    switch (event->response_type & ~0x80) {
    case XCB_CONFIGURE_NOTIFY: {
        const auto* e = reinterpret_cast<const xcb_configure_notify_event_t*>(event);
        return e->event == root_ ? viaRoot(e->event, e->window, e->override_redirect)
                                 : onClient(e->event);
    }
    case XCB_MAP_NOTIFY: {
        const auto* e = reinterpret_cast<const xcb_map_notify_event_t*>(event);
        return e->event == root_ ? viaRoot(e->event, e->window, e->override_redirect)
                                 : onClient(e->event);
    }
    case XCB_UNMAP_NOTIFY: {
        const auto* e = reinterpret_cast<const xcb_unmap_notify_event_t*>(event);
        return e->event == root_ ? viaRoot(e->event, e->window, false) : onClient(e->event);
    }
    case XCB_DESTROY_NOTIFY: {
        const auto* e = reinterpret_cast<const xcb_destroy_notify_event_t*>(event);
        return e->event == root_ ? viaRoot(e->event, e->window, false) : onClient(e->event);
    }
    case XCB_REPARENT_NOTIFY: {
        const auto* e = reinterpret_cast<const xcb_reparent_notify_event_t*>(event);
        return e->event == root_ ? viaRoot(e->event, e->window, e->override_redirect)
                                 : onClient(e->event);
    }
    case XCB_GRAVITY_NOTIFY: {
        const auto* e = reinterpret_cast<const xcb_gravity_notify_event_t*>(event);
        return e->event == root_ ? viaRoot(e->event, e->window, false) : onClient(e->event);
    }
    case XCB_CIRCULATE_NOTIFY: {
        const auto* e = reinterpret_cast<const xcb_circulate_notify_event_t*>(event);
        return e->event == root_ ? viaRoot(e->event, e->window, false) : onClient(e->event);
    }
    case XCB_CREATE_NOTIFY: {
        // A new window matters once it is mapped and listed; nothing to refresh yet.
        const auto* e = reinterpret_cast<const xcb_create_notify_event_t*>(event);
        return e->parent == root_ && e->window != root_ && rootSubstructureIsOurs_;
    }
    case XCB_PROPERTY_NOTIFY: {
        const auto* e = reinterpret_cast<const xcb_property_notify_event_t*>(event);
        if (e->window == root_) {
            if (e->atom == atoms_.netClientListStacking || e->atom == atoms_.netCurrentDesktop)
                invalidate();
            return false; // Qt watches the root's properties too
        }
        auto it = watched_.find(e->window);
        if (it == watched_.end()) return false;
        const xcb_atom_t a = e->atom;
        if (a == atoms_.netFrameExtents || a == atoms_.gtkFrameExtents || a == atoms_.netWmState ||
            a == atoms_.netWmDesktop || a == atoms_.netWmWindowType || a == atoms_.netWmPid ||
            a == atoms_.netWmWindowOpacity)
            invalidate();
        return it->second;
    }
    default:
        return false;
    }
}

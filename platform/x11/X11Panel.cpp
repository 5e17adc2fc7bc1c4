#include "platform/x11/X11Panel.h"

#include "base/Log.h"
#include "platform/x11/CompositorWatch.h"
#include "platform/x11/ScreenSpace.h"
#include "platform/x11/X11PanelMover.h"
#include "platform/x11/X11ServerFrames.h"
#include "platform/x11/XcbBatch.h"

#include <QBitmap>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QVBoxLayout>
#include <QWindow>
#include <QtGui/qguiapplication_platform.h>
#include <algorithm>
#include <cstdlib>
#include <optional>
#include <utility>
#include <vector>
#include <xcb/shape.h>
#include <xcb/xcb.h>
#include <xcb/xfixes.h>

namespace {

xcb_connection_t* connection() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

bool xfixesReady(xcb_connection_t* c) {
    static const bool ready = [c] {
        auto* reply = xcb_xfixes_query_version_reply(c, xcb_xfixes_query_version(c, 5, 0), nullptr);
        const bool ok = reply && reply->major_version >= 2;
        std::free(reply);
        return ok;
    }();
    return ready;
}

} // namespace

X11Panel::X11Panel(QObject* parent) : QObject(parent), window_(std::make_unique<QWidget>()) {
    window_->setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                            Qt::WindowDoesNotAcceptFocus | Qt::X11BypassWindowManagerHint |
                            Qt::NoDropShadowWindowHint);
    window_->setAttribute(Qt::WA_TranslucentBackground);
    window_->setAttribute(Qt::WA_ShowWithoutActivating);
    window_->setAttribute(Qt::WA_X11DoNotAcceptFocus);
    window_->setFocusPolicy(Qt::NoFocus);
    window_->setWindowTitle(QStringLiteral("Purrlox"));
    window_->setProperty(panelProperty, true);
    auto* layout = new QVBoxLayout(window_.get());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    window_->resize(130, 150);
    mover_ = std::make_unique<X11PanelMover>(window_.get());

    // Other windows (menus, notifications, a raised window) may stack over us. Their maps and
    // restacks, reported through the root, bring a look at the stacking order soon after; a
    // slow periodic look covers what the root does not report to us.
    guard_.setInterval(5000);
    connect(&guard_, &QTimer::timeout, this, [this] { keepOnTop(); });
    soon_.setSingleShot(true);
    soon_.setInterval(100); // a window being dragged reports every step: one look for them all
    connect(&soon_, &QTimer::timeout, this, [this] { keepOnTop(); });
    if (xcb_connection_t* c = connection()) {
        QCoreApplication::instance()->installNativeEventFilter(this);
        // Restacks by the window manager, heard even while the root's structure is quiet.
        static const char name[] = "_NET_CLIENT_LIST_STACKING";
        auto* reply =
            xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, sizeof name - 1, name), nullptr);
        stackingAtom_ = reply ? reply->atom : 0;
        std::free(reply);
    }
    mover_->onMoving = [this](bool moving) {
        if (onMoving) onMoving(moving);
        if (!moving) soon_.start(); // what the run did not hear of
    };

    compositor_ = std::make_unique<CompositorWatch>(
        connection(), [this](bool running) { compositorChanged(running); });
    composited_ = compositor_->running();
    if (!composited_)
        Log::notice(QStringLiteral("no compositing manager: the cat panel cuts itself to its "
                                   "drawing"));
}

X11Panel::~X11Panel() {
    if (QCoreApplication::instance()) QCoreApplication::instance()->removeNativeEventFilter(this);
    keepBelow(nullptr);
    if (below_) below_->upper_ = nullptr;
    mover_.reset();  // its run ends while onMoving can still be called
    frames_.reset(); // its pixmaps go before the window
}

bool X11Panel::showFrame(QWidget* content, const QList<int>& key,
                         const std::function<void(QPainter&)>& paint, const QRect& changed) {
    // Without a compositor every new picture also recuts the window's shape, which Qt's paint
    // drives.
    if (!composited_ || !content || !window_->isAncestorOf(content)) return false;
    if (!frames_ || frames_->content() != content) {
        frames_ = std::make_unique<X11ServerFrames>(window_.get(), content);
        frames_->onExposed = [content] { content->update(); };
    }
    return frames_->show(key, paint, changed);
}

void X11Panel::setContent(QWidget* content) {
    if (content_) delete content_;
    content_ = content;
    if (!content) return;
    window_->layout()->addWidget(content);
    content->installEventFilter(this);
}

// Without a compositor the window's shape has to follow every new drawing.
bool X11Panel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == content_ && event->type() == QEvent::Paint && !composited_ && !grabbing_ &&
        !cutPending_) {
        cutPending_ = true;
        QTimer::singleShot(0, this, [this] {
            cutPending_ = false;
            cutToDrawing();
        });
    }
    return false;
}

void X11Panel::cutToDrawing() {
    if (composited_ || !window_->isVisible()) return;
    grabbing_ = true;
    const QPixmap drawn = window_->grab();
    grabbing_ = false;
    const QBitmap mask = drawn.mask();
    // A frame with nothing drawn would leave an unshaped, opaque window: keep one pixel.
    window_->setMask(mask.isNull() ? QRegion(0, 0, 1, 1) : QRegion(mask));
}

QPointF X11Panel::pointFromQtGlobal(QPointF qtGlobal) {
    return ScreenSpace::current().pointFromQtGlobal(qtGlobal);
}

void X11Panel::setFrame(const Rect& frame) {
    frame_ = frame;
    const ScreenSpace space = ScreenSpace::current();
    const QRect px = space.toQtGlobal(frame);
    // A walking cat moves every frame: a move alone is one request, no round trip.
    if (window_->isVisible() && px.size() == window_->size()) {
        mover_->move(px.topLeft(), space.toX11(frame).topLeft());
        return;
    }
    mover_->settle();
    if (window_->geometry() != px) window_->setGeometry(px);
}

void X11Panel::show() {
    if (window_->isVisible()) return;
    window_->show();
    applyInputRegion();
    // On top, but never over our own menu window or a screen saver; straight back under the
    // panel it belongs below.
    keepOnTop();
    guard_.start();
}

void X11Panel::keepBelow(X11Panel* upper) {
    if (upper_ && upper_->below_ == this) upper_->below_ = nullptr;
    upper_ = upper;
    if (upper_) upper_->below_ = this;
}

bool X11Panel::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != "xcb_generic_event_t" || !window_->isVisible() || soon_.isActive())
        return false;
    xcb_connection_t* c = connection();
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const auto own = xcb_window_t(window_->winId());
    switch (event->response_type & ~0x80) {
    case XCB_MAP_NOTIFY: {
        const auto* e = reinterpret_cast<const xcb_map_notify_event_t*>(event);
        if (e->event == root && e->window != own) soon_.start();
        break;
    }
    case XCB_CONFIGURE_NOTIFY: {
        const auto* e = reinterpret_cast<const xcb_configure_notify_event_t*>(event);
        if (e->event != root || e->window == own) break;
        if (upper_ && upper_->window_->isVisible() &&
            e->window == xcb_window_t(upper_->window_->winId())) {
            // The panel we stay under moves all the time; only its restacks matter.
            if (std::exchange(upperAbove_, e->above_sibling) != e->above_sibling) soon_.start();
            break;
        }
        soon_.start();
        break;
    }
    case XCB_PROPERTY_NOTIFY: {
        const auto* e = reinterpret_cast<const xcb_property_notify_event_t*>(event);
        if (e->window == root && stackingAtom_ && e->atom == stackingAtom_) soon_.start();
        break;
    }
    default:
        break;
    }
    return false;
}

void X11Panel::hide() {
    mover_->settle();
    guard_.stop();
    soon_.stop();
    window_->hide();
}

bool X11Panel::isVisible() const {
    return window_->isVisible();
}

void X11Panel::setInputRegion(const QRegion& region) {
    if (region == input_) return;
    input_ = region;
    applyInputRegion();
}

void X11Panel::applyInputRegion() {
    xcb_connection_t* c = connection();
    if (!c || !window_->isVisible()) return;
    const auto window = xcb_window_t(window_->winId());
    if (!composited_) {
        // No compositor, no per-pixel alpha: cut the window to the pixels actually drawn.
        cutToDrawing();
        return;
    }
    window_->clearMask();
    if (!xfixesReady(c)) return;
    // In device pixels: Qt's logical ones are scaled on a high-density screen.
    const qreal ratio = window_->devicePixelRatioF();
    std::vector<xcb_rectangle_t> rects;
    for (const QRect& logical : input_) {
        const QRect r = QRectF(QPointF(logical.topLeft()) * ratio, QSizeF(logical.size()) * ratio)
                            .toAlignedRect();
        rects.push_back({qint16(r.x()), qint16(r.y()), quint16(r.width()), quint16(r.height())});
    }
    const xcb_xfixes_region_t region = xcb_generate_id(c);
    xcb_xfixes_create_region(c, region, quint32(rects.size()), rects.data());
    xcb_xfixes_set_window_shape_region(c, window, XCB_SHAPE_SK_INPUT, 0, 0, region);
    xcb_xfixes_destroy_region(c, region);
    xcb_flush(c);
}

void X11Panel::keepOnTop() {
    xcb_connection_t* c = connection();
    if (!c || !window_->isVisible()) return;
    const auto window = xcb_window_t(window_->winId());
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    auto* tree = xcb_query_tree_reply(c, xcb_query_tree(c, root), nullptr);
    if (!tree) return;
    const int n = xcb_query_tree_children_length(tree);
    const xcb_window_t* first = xcb_query_tree_children(tree);
    const std::vector<xcb_window_t> children(first, first + n);
    std::free(tree);
    if (upper_ && upper_->window_->isVisible()) {
        const auto upper = xcb_window_t(upper_->window_->winId());
        int mine = -1, theirs = -1;
        for (int i = 0; i < n; ++i) {
            if (children[i] == window) mine = i;
            if (children[i] == upper) theirs = i;
        }
        if (theirs < 0 || mine == theirs - 1) return;
        const quint32 below[] = {upper, XCB_STACK_MODE_BELOW};
        xcb_configure_window(c, window, XCB_CONFIG_WINDOW_SIBLING | XCB_CONFIG_WINDOW_STACK_MODE,
                             below);
        xcb_flush(c);
        return;
    }
    const std::optional<StackPlace> place = placeInStack(c, children, window);
    if (!place) return;
    const quint32 values[] = {place->sibling,
                              quint32(place->above ? XCB_STACK_MODE_ABOVE : XCB_STACK_MODE_BELOW)};
    xcb_configure_window(c, window, XCB_CONFIG_WINDOW_SIBLING | XCB_CONFIG_WINDOW_STACK_MODE,
                         values);
    xcb_flush(c);
    if (below_) below_->soon_.start(); // it follows without waiting to hear of the restack
}

// The panel belongs directly above the front-most window that it may cover: every window in
// front of that one is one it must leave alone (our own menu window and dialogs, a screen
// saver's or locker's full-screen window and anything in front of it) or covers nothing (unmapped,
// or another panel of ours). None when the panel already stands there.
std::optional<X11Panel::StackPlace>
X11Panel::placeInStack(xcb_connection_t* c, const std::vector<xcb_window_t>& children,
                       xcb_window_t window) const {
    const int n = int(children.size());
    const int mine = int(std::find(children.begin(), children.end(), window) - children.begin());
    if (mine >= n) return std::nullopt;
    // Only the front of the stack is looked at: what lies deeper is behind some plain window.
    const int from = std::max(0, n - kStackLook);

    // Our own windows, each as the root's child that holds it (a manager's frame, or itself).
    std::vector<xcb_window_t> ours, panels;
    for (QWindow* w : QGuiApplication::topLevelWindows()) {
        if (!w->handle()) continue;
        const QWidget* widget = QWidget::find(WId(w->winId()));
        if (widget && widget->property(panelProperty).toBool()) {
            panels.push_back(xcb_window_t(w->winId()));
            continue;
        }
        // The tray icon is ours too, but lives in another program's panel: that one is not.
        const bool embedded = w->flags().testFlag(Qt::BypassWindowManagerHint) &&
                              w->type() != Qt::Popup && w->type() != Qt::ToolTip;
        if (!w->isVisible() || embedded) continue;
        xcb_window_t top = xcb_window_t(w->winId());
        for (int depth = 0; depth < 4; ++depth) {
            XcbPtr<xcb_query_tree_reply_t> up(
                xcb_query_tree_reply(c, xcb_query_tree(c, top), nullptr));
            if (!up || up->parent == up->root || up->parent == XCB_NONE) break;
            top = up->parent;
        }
        ours.push_back(top);
    }
    const auto in = [](const std::vector<xcb_window_t>& v, xcb_window_t w) {
        return std::find(v.begin(), v.end(), w) != v.end();
    };

    std::vector<xcb_get_window_attributes_cookie_t> attributesC;
    std::vector<xcb_get_geometry_cookie_t> geometryC;
    for (int i = from; i < n; ++i) {
        attributesC.push_back(xcb_get_window_attributes(c, children[std::size_t(i)]));
        geometryC.push_back(xcb_get_geometry(c, children[std::size_t(i)]));
    }
    RoundTrips ignored;
    XcbBatch batch(c, ignored);
    std::vector<bool> viewable(std::size_t(n - from)), leaveAlone(std::size_t(n - from));
    int lowestSaver = n;
    for (int i = from; i < n; ++i) {
        const std::size_t k = std::size_t(i - from);
        const xcb_window_t w = children[std::size_t(i)];
        auto a = batch.get(xcb_get_window_attributes_reply, attributesC[k]);
        auto g = batch.get(xcb_get_geometry_reply, geometryC[k]);
        viewable[k] = a && a->map_state == XCB_MAP_STATE_VIEWABLE && !in(panels, w) && w != window;
        if (!viewable[k]) continue;
        const bool saver = a->override_redirect && g && coversAScreen(*g);
        leaveAlone[k] = in(ours, w) || saver;
        // What a screen saver or locker shows over its own blank window (an unlock dialog, a
        // message) is the locker's too.
        if (saver) lowestSaver = std::min(lowestSaver, i);
    }
    for (int i = lowestSaver + 1; i < n; ++i)
        leaveAlone[std::size_t(i - from)] = true;
    int front = -1; // the front-most window the panel may cover
    for (int i = n - 1; i >= from; --i) {
        const std::size_t k = std::size_t(i - from);
        if (viewable[k] && !leaveAlone[k]) {
            front = i;
            break;
        }
    }
    if (front < 0) {
        // Nothing to cover: stay behind the windows left alone.
        for (int i = from; i < n; ++i) {
            const std::size_t k = std::size_t(i - from);
            if (viewable[k] && i < mine) return StackPlace{children[std::size_t(i)], false};
        }
        return std::nullopt;
    }
    if (mine > front) {
        bool clear = true;
        for (int i = front + 1; i < mine; ++i)
            clear = clear && (i < from || !viewable[std::size_t(i - from)]);
        if (clear) return std::nullopt;
    }
    return StackPlace{children[std::size_t(front)], true};
}

bool X11Panel::coversAScreen(const xcb_get_geometry_reply_t& g) {
    const QRect r(g.x, g.y, g.width + 2 * g.border_width, g.height + 2 * g.border_width);
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect logical = screen->geometry();
        const qreal ratio = screen->devicePixelRatio();
        const QRect device(QPoint(logical.topLeft()), logical.size() * ratio);
        if (r.contains(device)) return true;
    }
    return false;
}

// Without a compositor the clear pixels of the panel would show black: the shape mask goes on
// in the same event that says the compositor left. A compositor that arrives takes the
// selection before it redirects and paints the windows, so the mask stays a moment longer.
void X11Panel::compositorChanged(bool running) {
    if (!running) {
        composited_ = false;
        Log::notice(QStringLiteral("no compositing manager: the cat panel cuts itself to its "
                                   "drawing"));
        applyInputRegion();
        return;
    }
    QTimer::singleShot(kCompositorSettles, this, [this] {
        if (composited_ || !compositor_->running()) return;
        composited_ = true;
        Log::notice(QStringLiteral("a compositing manager runs: the cat panel is translucent"));
        applyInputRegion();
    });
}

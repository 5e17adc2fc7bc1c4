#include "platform/wayland/WaylandDesktop.h"

#include "base/Log.h"
#include "platform/wayland/CompositorChannel.h"
#include "platform/wayland/CompositorPointer.h"
#include "platform/wayland/CompositorScreens.h"
#include "platform/wayland/CompositorWindowList.h"
#include "platform/wayland/GnomeShellChannel.h"
#include "platform/wayland/HyprlandChannel.h"
#include "platform/wayland/KWinChannel.h"
#include "platform/wayland/SwayChannel.h"
#include "platform/wayland/WaylandIdle.h"
#include "platform/x11/ScreenSpace.h"
#include "platform/x11/X11Desktop.h"
#include "platform/x11/X11InputIdle.h"
#include "platform/x11/X11Pointer.h"
#include "platform/x11/X11Screens.h"
#include "platform/x11/X11WindowList.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

namespace {

// XWayland's monitors in the root: the union of its screens in native pixels (Qt keeps a
// screen's corner native and divides its size).
QRect monitors() {
    QRect root;
    for (const QScreen* s : QGuiApplication::screens()) {
        const QRect g = s->geometry();
        root |= QRect(g.topLeft(), (QSizeF(g.size()) * s->devicePixelRatio()).toSize());
    }
    return root;
}

} // namespace

std::unique_ptr<CompositorChannel> WaylandDesktop::channelFor(const WaylandSession& session,
                                                              X11Desktop& x11) {
    switch (session.compositor) {
    case WaylandSession::Compositor::sway:
        return std::make_unique<SwayChannel>(qEnvironmentVariable("SWAYSOCK"));
    case WaylandSession::Compositor::hyprland: {
        const QString dir =
            HyprlandChannel::instanceDir(qEnvironmentVariable("XDG_RUNTIME_DIR"),
                                         qEnvironmentVariable("HYPRLAND_INSTANCE_SIGNATURE"));
        if (dir.isEmpty()) return nullptr;
        return std::make_unique<HyprlandChannel>(dir);
    }
    case WaylandSession::Compositor::kwin:
        return std::make_unique<KWinChannel>();
    case WaylandSession::Compositor::gnomeShell:
        return std::make_unique<GnomeShellChannel>(x11.inputIdle());
    case WaylandSession::Compositor::none:
    case WaylandSession::Compositor::other:
        break;
    }
    return nullptr;
}

std::unique_ptr<WaylandDesktop> WaylandDesktop::make(const WaylandSession& session,
                                                     X11Desktop& x11) {
    if (!session.wayland) return nullptr;
    std::unique_ptr<CompositorChannel> channel = channelFor(session, x11);
    if (!channel)
        Log::notice(QStringLiteral("%1 does not tell other programs where its windows are; the "
                                   "cat walks on the floor only")
                        .arg(session.name));
    return std::unique_ptr<WaylandDesktop>(new WaylandDesktop(session, x11, std::move(channel)));
}

WaylandDesktop::WaylandDesktop(const WaylandSession& session, X11Desktop& x11,
                               std::unique_ptr<CompositorChannel> channel)
    : session_(session), x11_(x11), channel_(std::move(channel)) {
    windows_ = std::make_unique<CompositorWindowList>(monitors, ScreenSpace::current);
    screens_ = std::make_unique<CompositorScreens>(x11.screens(), monitors, ScreenSpace::current);
    pointer_ = std::make_unique<CompositorPointer>(x11.pointer(), ScreenSpace::current,
                                                   channel_ && channel_->allowsWarp());
    // The idle time from the compositor's idle-notify protocol, unless the channel has its own.
    if (!channel_ || !channel_->idle())
        idle_ =
            std::make_unique<WaylandIdle>(x11.inputIdle(), channel_ && channel_->offersPointer());
    if (!channel_) return;

    channel_->onWindows = [this](CompositorWindows list) {
        // The monitors first: the engine re-reads the windows when they change.
        screens_->update(list);
        windows_->update(list);
    };
    channel_->onLost = [this](const QString& why) {
        Log::notice(QStringLiteral("lost the window list of %1 (%2); the cat walks on the floor "
                                   "until it comes back")
                        .arg(session_.name, why));
        windows_->lost();
        pointer_->setRootPosition(std::nullopt);
    };
    channel_->onPointer = [this](QPointF logical) {
        pointer_->setRootPosition(windows_->pointToRoot(logical));
        // The engine's resting frame clock wakes for the pointer through the idle source.
        InputIdle& idle = inputIdle();
        if (idle.onPointer) idle.onPointer();
    };
    if (session.compositor == WaylandSession::Compositor::gnomeShell)
        static_cast<GnomeShellChannel*>(channel_.get())->onExtensionOff = [this](bool installed) {
            if (onAdvice)
                onAdvice(installed ? Advice::enableShellExtension : Advice::installShellExtension);
        };
    // A channel that read the pointer once may learn it has moved since (input came again)
    // without knowing where: XWayland's reading serves until the next one.
    channel_->onPointerUnknown = [this] { pointer_->setRootPosition(std::nullopt); };
    // A channel that is asked for the pointer (Hyprland) is asked only while the engine reads
    // it, and a few seconds after.
    if (channel_->offersPointer()) {
        pointerWanted_ = new QTimer(this);
        pointerWanted_->setSingleShot(true);
        pointerWanted_->setInterval(5000);
        connect(pointerWanted_, &QTimer::timeout, this, [this] { channel_->wantPointer(false); });
        pointer_->onRead = [this] {
            if (!pointerWanted_->isActive()) channel_->wantPointer(true);
            pointerWanted_->start();
        };
    }
    // A floating window moves unannounced only while someone gives input (or runs a command):
    // the channels that re-read for it on a timer rest while the user is idle.
    if (channel_->rereadsFloating()) {
        if (idle_ && idle_->offered())
            idle_->onActive = [this](bool active) { channel_->userActive(active); };
        else
            Log::notice(QStringLiteral("%1 gives no idle notice: while a floating window shows "
                                       "its list is re-read on a timer, input or not")
                            .arg(session_.name));
    }
    // XWayland hears when an X11 window is configured, which sway and Hyprland do not announce
    // for floating windows: a hint to read the list at once. The X11 list tells one change
    // until it is read; it is read (to hear the next) when a burst of moves has settled.
    x11Settled_ = new QTimer(this);
    x11Settled_->setSingleShot(true);
    x11Settled_->setInterval(50);
    connect(x11Settled_, &QTimer::timeout, this, [this] {
        x11_.windowList().windows();
        channel_->refresh();
    });
    x11_.windowList().onChange = [this] {
        channel_->refresh();
        if (!x11Settled_->isActive()) x11Settled_->start();
    };
    x11_.windowList().windows(); // armed: the next change is told
    channel_->start();
}

WaylandDesktop::~WaylandDesktop() {
    x11_.windowList().onChange = nullptr;
}

Screens& WaylandDesktop::screens() {
    return *screens_;
}

WindowList& WaylandDesktop::windowList() {
    return *windows_;
}

Pointer& WaylandDesktop::pointer() {
    return *pointer_;
}

namespace {

// Qt's xcb coordinates are the root's pixels divided by its device pixel ratio.
QPoint rootToQt(QPointF px) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const qreal ratio = screen ? screen->devicePixelRatio() : 1.0;
    return (px / ratio).toPoint();
}

} // namespace

std::optional<QPoint> WaylandDesktop::pointerInQt() const {
    const std::optional<QPointF> px = pointer_->rootPosition();
    if (!px) return std::nullopt;
    return rootToQt(*px);
}

QPoint WaylandDesktop::logicalToQt(QPoint logical) const {
    return rootToQt(windows_->pointToRoot(logical));
}

InputIdle& WaylandDesktop::inputIdle() {
    if (channel_)
        if (InputIdle* idle = channel_->idle()) return *idle;
    if (idle_) return *idle_;
    return x11_.inputIdle();
}

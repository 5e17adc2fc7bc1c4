#pragma once

#include "platform/DesktopSource.h"
#include "platform/wayland/WaylandSession.h"

#include <QObject>
#include <QPoint>
#include <functional>
#include <memory>
#include <optional>

class CompositorChannel;
class CompositorPointer;
class CompositorScreens;
class CompositorWindowList;
class InputIdle;
class Pointer;
class WaylandIdle;
class QTimer;
class Screens;
class WindowList;
class X11Desktop;

// The desktop's windows, monitors, pointer and idle time on a Wayland session, from the
// compositor's own channel, with the X11 backends (XWayland) for what the compositor does not tell.
class WaylandDesktop final : public QObject, public DesktopSource {
  public:
    // Null when the session is not Wayland: the X11 backends see everything there.
    static std::unique_ptr<WaylandDesktop> make(const WaylandSession& session, X11Desktop& x11);
    ~WaylandDesktop() override;

    WindowList& windowList() override;
    // Every output the compositor tells, each with its work area; XWayland's screens until it
    // has told them.
    Screens& screens() override;
    Pointer& pointer() override;
    InputIdle& inputIdle() override;
    const WaylandSession& session() const { return session_; }

    // What the user can do to give the cat the windows, told once for the app to explain.
    enum class Advice { enableShellExtension, installShellExtension };
    std::function<void(Advice)> onAdvice;

    // Where the compositor last said the pointer is, in Qt's global coordinates; nullopt when
    // it does not tell (sway) or has not yet.
    std::optional<QPoint> pointerInQt() const;
    // A point in the compositor's logical pixels (where a tray host was clicked) in Qt's
    // global coordinates. Before the compositor has told its outputs (or with no channel)
    // the root is taken to hold logical pixels from the origin.
    QPoint logicalToQt(QPoint logical) const;

  private:
    WaylandDesktop(const WaylandSession& session, X11Desktop& x11,
                   std::unique_ptr<CompositorChannel> channel);
    static std::unique_ptr<CompositorChannel> channelFor(const WaylandSession& session,
                                                         X11Desktop& x11);

    WaylandSession session_;
    X11Desktop& x11_;
    std::unique_ptr<CompositorChannel> channel_;
    std::unique_ptr<CompositorWindowList> windows_;
    std::unique_ptr<CompositorScreens> screens_;
    std::unique_ptr<CompositorPointer> pointer_;
    std::unique_ptr<WaylandIdle> idle_;
    QTimer* pointerWanted_ = nullptr; // runs while the engine reads the pointer
    QTimer* x11Settled_ = nullptr;    // X11 windows moved a moment ago
};

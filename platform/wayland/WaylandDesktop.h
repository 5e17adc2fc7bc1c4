#pragma once

#include "platform/wayland/WaylandSession.h"

#include <QObject>
#include <functional>
#include <memory>

class CompositorChannel;
class CompositorPointer;
class CompositorWindowList;
class InputIdle;
class Pointer;
class WindowList;
class X11Desktop;

// The desktop's windows, pointer and idle time on a Wayland session, from the compositor's
// own channel, with the X11 backends (XWayland) for what the compositor does not tell.
class WaylandDesktop final : public QObject {
  public:
    // Null when the session is not Wayland: the X11 backends see everything there.
    static std::unique_ptr<WaylandDesktop> make(const WaylandSession& session, X11Desktop& x11);
    ~WaylandDesktop() override;

    WindowList& windowList();
    Pointer& pointer();
    InputIdle& inputIdle();
    const WaylandSession& session() const { return session_; }

    // What the user can do to give the cat the windows, told once for the app to explain.
    enum class Advice { enableShellExtension, installShellExtension };
    std::function<void(Advice)> onAdvice;

  private:
    WaylandDesktop(const WaylandSession& session, X11Desktop& x11,
                   std::unique_ptr<CompositorChannel> channel);
    static std::unique_ptr<CompositorChannel> channelFor(const WaylandSession& session,
                                                         X11Desktop& x11);

    WaylandSession session_;
    X11Desktop& x11_;
    std::unique_ptr<CompositorChannel> channel_;
    std::unique_ptr<CompositorWindowList> windows_;
    std::unique_ptr<CompositorPointer> pointer_;
};

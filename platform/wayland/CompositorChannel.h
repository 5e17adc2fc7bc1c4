#pragma once

#include <QPointF>
#include <QRect>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

class InputIdle;

// One window as a compositor reports it, in the compositor's own logical pixels.
struct CompositorWindow {
    QString key;                   // the compositor's id, stable while the window lives
    QRect frame;                   // top-left origin, y down, decorations included
    bool onScreen = true;          // mapped, on a shown workspace, not minimized
    int layer = 0;                 // as WindowInfo: 0 ordinary, 3 above, -1 below,
                                   // -1000 desktop, 20 dock or panel, 8 anything else
    std::optional<qint64> pid;     // owner process (XWayland windows included)
    std::optional<double> opacity; // absent = opaque

    bool operator==(const CompositorWindow&) const = default;
};

// One output as the compositor reports it, in its logical pixels (top-left origin, y down).
struct CompositorOutput {
    QString name;
    QRect frame;
    QRect workArea;         // the frame less the panels and bars on this output
    double scale = 0;       // 0: not told
    double refreshRate = 0; // frames per second; 0: not told
    bool primary = false;   // the compositor's own primary; none said: the output at the origin

    bool operator==(const CompositorOutput&) const = default;
};

// What the compositor sent: every window, front-most first, the union of its outputs, and each
// output where the channel tells them (empty: not told).
struct CompositorWindows {
    std::vector<CompositorWindow> windows;
    QRect outputs;
    std::vector<CompositorOutput> outputList;

    // Channels that re-read on a hint pass a list on only when it differs.
    bool operator==(const CompositorWindows&) const = default;
};

// A live channel to one compositor: a loaded KWin script, a GNOME Shell extension, an IPC
// socket. It pushes; nothing here polls. Everything is called on the main thread.
class CompositorChannel {
  public:
    virtual ~CompositorChannel() = default;

    virtual QString name() const = 0; // for log lines
    // Opens the channel. A channel that cannot open now says so through onLost and keeps
    // trying on its own (KWin restarted, the extension enabled later, sway reloaded).
    virtual void start() = 0;

    // Something may have moved that the compositor does not announce (an X11 window configured
    // through XWayland): read the list once more. Channels that push every change ignore it.
    virtual void refresh() {}

    // Whether the channel re-reads the list on its own while a floating window shows, for
    // moves the compositor does not announce (sway, Hyprland).
    virtual bool rereadsFloating() const { return false; }
    // Whether the user is giving input (keys, pointer) at the moment, as the compositor's idle
    // notice tells it. A floating window moves unannounced only by the user's hand or by a
    // command: while nobody touches anything a channel that re-reads on its own asks nothing.
    // Never told: active, and the channel re-reads as long as a floating window shows.
    virtual void userActive(bool /*active*/) {}

    // The whole list, each time any window changed.
    std::function<void(CompositorWindows)> onWindows;
    // The channel went away: the cat walks on the floor until onWindows comes again.
    std::function<void(const QString& why)> onLost;

    // The pointer, where the compositor tells it (logical pixels). Channels that can push it
    // on change, or at most once a second while wanted, say so here.
    virtual bool offersPointer() const { return false; }
    virtual void wantPointer(bool /*wanted*/) {}
    std::function<void(QPointF)> onPointer;
    // The pointer moved since the last onPointer and the channel does not know where to.
    std::function<void()> onPointerUnknown;
    // Whether XWayland's pointer warps reach the compositor's pointer.
    virtual bool allowsWarp() const { return false; }

    // The compositor's idle time, where it offers one; null when it does not.
    virtual InputIdle* idle() { return nullptr; }
};

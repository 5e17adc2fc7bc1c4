#pragma once

#include <QAbstractNativeEventFilter>
#include <QPoint>
#include <QTimer>
#include <functional>
#include <xcb/xcb.h>

class QWidget;

// Moves a top-level panel with one ConfigureWindow request and nothing else. Moving through
// Qt costs two round trips per move (Qt re-reads the position and the frame margins on every
// ConfigureNotify), which for a walking cat means several thread wake-ups per frame. While
// the panel moves, the server does not report our own moves at all (the window's
// StructureNotify is off, and whoever watches the root is told through onMoving); Qt learns
// the final position once the panel has stood still for a moment, or at once when a drag
// reaches it (drag and drop maps the pointer through Qt's idea of the window's place).
class X11PanelMover final : public QObject, public QAbstractNativeEventFilter {
    Q_OBJECT
  public:
    explicit X11PanelMover(QWidget* window);
    ~X11PanelMover() override;

    // Puts the window's top-left corner at qt (Qt's global coordinates), which is root in
    // the server's pixels.
    void move(QPoint qt, QPoint root);
    // Qt is told where the window is now, before it changes the geometry itself.
    void settle();

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

    // A run of moves starts (true) or has ended and Qt knows the place again (false).
    std::function<void(bool moving)> onMoving;

  private:
    QWidget* window_;
    xcb_connection_t* c_ = nullptr;
    xcb_atom_t xdndEnter_ = XCB_ATOM_NONE;
    xcb_atom_t xdndPosition_ = XCB_ATOM_NONE;
    void beginRun();

    QPoint placed_;
    xcb_window_t quieted_ = 0;          // the window whose StructureNotify is off for the run
    quint32 qtMask_ = 0;                // the events Qt selected on it
    bool qtBehind_ = false;             // Qt's idea of the position is out of date
    bool unsent_ = false;               // a move waits in the connection's buffer
    static constexpr int stillMs = 200; // standing this long ends a run of moves
    QTimer still_;
};

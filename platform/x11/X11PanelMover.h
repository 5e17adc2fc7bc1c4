#pragma once

#include <QAbstractNativeEventFilter>
#include <QPoint>
#include <QTimer>
#include <xcb/xcb.h>

class QWidget;

// Moves a top-level panel with one ConfigureWindow request and nothing else. Moving through
// Qt costs two round trips per move (Qt re-reads the position and the frame margins on every
// ConfigureNotify), which for a walking cat means several thread wake-ups per frame. While
// the panel moves, the server's notifications of our own moves are kept from Qt; Qt learns
// the final position once the panel has stood still for a moment, or at once when a drag
// reaches it (drag and drop maps the pointer through Qt's idea of the window's place).
class X11PanelMover final : public QObject, public QAbstractNativeEventFilter {
    Q_OBJECT
  public:
    explicit X11PanelMover(QWidget* window);
    ~X11PanelMover() override;

    // Puts the window's top-left corner at p (root pixels).
    void move(QPoint p);
    // Qt is told where the window is now, before it changes the geometry itself.
    void settle();

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

  private:
    QWidget* window_;
    xcb_connection_t* c_ = nullptr;
    xcb_atom_t xdndEnter_ = XCB_ATOM_NONE;
    xcb_atom_t xdndPosition_ = XCB_ATOM_NONE;
    QPoint placed_;
    bool qtBehind_ = false; // Qt's idea of the position is out of date
    QTimer still_;
};

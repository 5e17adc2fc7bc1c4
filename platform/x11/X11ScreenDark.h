#pragma once

#include <QObject>
#include <QTimer>
#include <functional>
#include <xcb/xcb.h>

class X11EventFilter;

// The screens going dark by means that send nothing on D-Bus: xscreensaver blanking or locking
// (the status it keeps on the root, the same one `xscreensaver-command -watch` follows) and the
// monitors switched off through DPMS (asked every two seconds: the extension has no events).
class X11ScreenDark final : public QObject {
  public:
    X11ScreenDark(xcb_connection_t* c, xcb_window_t root, X11EventFilter& events);

    bool dark() const { return saver_ || monitorsOff_; }
    // Called on the main thread whenever dark() changes.
    std::function<void(bool dark)> onChanged;

  private:
    bool handle(const xcb_generic_event_t* event);
    void readSaverStatus();
    void askMonitors();
    void update();

    xcb_connection_t* c_;
    xcb_window_t root_;
    xcb_atom_t statusAtom_ = 0; // _SCREENSAVER_STATUS
    bool saver_ = false;
    bool monitorsOff_ = false;
    bool wasDark_ = false;
    QTimer dpmsTimer_;
};

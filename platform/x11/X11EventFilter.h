#pragma once

#include <QAbstractNativeEventFilter>
#include <functional>
#include <vector>
#include <xcb/xcb.h>

// Hands the events of Qt's own xcb connection to the backends before Qt sees them. A handler
// returns true for an event that only the backends asked for, so Qt never processes it.
class X11EventFilter final : public QAbstractNativeEventFilter {
  public:
    using Handler = std::function<bool(const xcb_generic_event_t*)>;

    X11EventFilter();
    ~X11EventFilter() override;
    X11EventFilter(const X11EventFilter&) = delete;
    X11EventFilter& operator=(const X11EventFilter&) = delete;

    void add(Handler handler) { handlers_.push_back(std::move(handler)); }
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

  private:
    std::vector<Handler> handlers_;
};

#pragma once

#include <QtGlobal>
#include <cstdlib>
#include <memory>
#include <xcb/xcb.h>

struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};
template <class T> using XcbPtr = std::unique_ptr<T, FreeDeleter>;

// What a backend has waited on the X server for.
struct RoundTrips {
    quint64 trips = 0;   // one per batch of requests whose replies were awaited
    quint64 replies = 0; // every reply (or error) read
};

// Replies of requests that were all sent before the first one is read: however many there
// are, the batch costs one round trip. Errors (a window gone since it was listed) come back as
// an empty pointer, never as an event.
class XcbBatch {
  public:
    XcbBatch(xcb_connection_t* c, RoundTrips& counter) : c_(c), counter_(counter) {}

    template <class Reply, class Cookie>
    XcbPtr<Reply> get(Reply* (*fetch)(xcb_connection_t*, Cookie, xcb_generic_error_t**),
                      Cookie cookie) {
        if (!counted_) {
            ++counter_.trips;
            counted_ = true;
        }
        ++counter_.replies;
        xcb_generic_error_t* error = nullptr;
        Reply* reply = fetch(c_, cookie, &error);
        std::free(error);
        return XcbPtr<Reply>(reply);
    }

  private:
    xcb_connection_t* c_;
    RoundTrips& counter_;
    bool counted_ = false;
};

#pragma once

#include <QAbstractNativeEventFilter>
#include <QHash>
#include <QList>
#include <QObject>
#include <QRect>
#include <functional>
#include <xcb/xcb.h>

class QImage;
class QPainter;
class QPoint;
class QWidget;

// Pictures of a panel's content kept as pixmaps on the X server, each as the part around what
// it draws (the rest of a plain picture is clear). Showing a picture seen before is one
// CopyArea request, and a fill where it is clear: no upload, no shared-memory sync, no reply,
// no event back.
// A walking cat cycles through a handful of frames, so after its first steps every frame
// change is a copy on the server, and so is each pose a swinging cat comes back to. A picture
// that will not come again (a landing's squash) goes straight to the window in one PutImage,
// which still spares Qt's shared-memory sync round trip. Works on 32-bit (ARGB) windows only,
// i.e. with a compositor; anywhere else show() declines and the content paints through Qt as
// usual.
class X11ServerFrames final : public QObject, public QAbstractNativeEventFilter {
    Q_OBJECT
  public:
    // window: the top-level panel; content: the widget whose pictures are shown, inside it.
    X11ServerFrames(QWidget* window, QWidget* content);
    ~X11ServerFrames() override;

    // Puts the picture named key on the window, rendering it with paint first if the server
    // does not hold it yet; an empty key is a one-off picture, sent straight to the window.
    // Only changed (content coordinates) is sent: the rest already shows the same pixels.
    // False when it cannot (not shown, not 32-bit, no X11).
    bool show(const QList<int>& key, const std::function<void(QPainter&)>& paint,
              const QRect& changed);
    // Frees every held picture (the window changed underneath).
    void clear();
    QWidget* content() const { return content_; }

    // The window was exposed while a copied picture was up: Qt's own buffer is older than the
    // screen, so the content must paint again.
    std::function<void()> onExposed = [] {};

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

  private:
    struct Held {
        xcb_pixmap_t pixmap = 0;
        QRect area; // the part of the content it was rendered for, in device pixels
        quint64 used = 0;
    };
    bool ready();
    QImage render(const std::function<void(QPainter&)>& paint, const QRect& part,
                  qreal ratio) const;
    void put(xcb_drawable_t to, const QImage& image, QPoint at);

    QWidget* window_;
    QWidget* content_;
    xcb_connection_t* c_ = nullptr;
    xcb_window_t target_ = 0; // the window the GC and pixmaps were made for
    xcb_gcontext_t gc_ = 0;
    bool usable_ = false;
    bool copied_ = false; // the screen shows a copy Qt has not painted
    QHash<QList<int>, Held> held_;
    quint64 clock_ = 0;
    qsizetype heldBytes_ = 0;
    // What the held pictures may take on the server: a picture is the part around the cat,
    // so two hundred or so of a resting or walking cat, enough for a gait, the poses a dangling
    // cat swings through and a bed clip or two; always at least a few.
    static constexpr qsizetype kBudget = 8 << 20;
    static constexpr qsizetype kFew = 16;
};

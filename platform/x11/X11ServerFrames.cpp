#include "platform/x11/X11ServerFrames.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QRegion>
#include <QWidget>
#include <QtGui/qguiapplication_platform.h>
#include <algorithm>
#include <cstdlib>
#include <vector>

X11ServerFrames::X11ServerFrames(QWidget* window, QWidget* content)
    : window_(window), content_(content) {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    c_ = x11 ? x11->connection() : nullptr;
    if (c_) QCoreApplication::instance()->installNativeEventFilter(this);
}

X11ServerFrames::~X11ServerFrames() {
    if (!c_) return;
    QCoreApplication::instance()->removeNativeEventFilter(this);
    clear();
}

void X11ServerFrames::clear() {
    if (c_ && !xcb_connection_has_error(c_)) {
        for (const Held& h : std::as_const(held_))
            xcb_free_pixmap(c_, h.pixmap);
        if (gc_) xcb_free_gc(c_, gc_);
        xcb_flush(c_);
    }
    held_.clear();
    heldBytes_ = 0;
    gc_ = 0;
    target_ = 0;
    usable_ = false;
    copied_ = false;
}

bool X11ServerFrames::ready() {
    if (!c_ || !window_->isVisible() || xcb_connection_has_error(c_)) return false;
    const auto window = xcb_window_t(window_->winId());
    if (window == target_) return usable_;
    clear();
    target_ = window;
    // Once per native window: its depth decides whether a 32-bit picture can be copied in.
    auto* geometry = xcb_get_geometry_reply(c_, xcb_get_geometry(c_, window), nullptr);
    const bool argb = geometry && geometry->depth == 32;
    std::free(geometry);
    const bool sameOrder = (xcb_get_setup(c_)->image_byte_order == XCB_IMAGE_ORDER_LSB_FIRST) ==
                           (QSysInfo::ByteOrder == QSysInfo::LittleEndian);
    usable_ = argb && sameOrder;
    if (!usable_) return false;
    gc_ = xcb_generate_id(c_);
    // Fills clear to transparent; a copy from a whole pixmap never needs exposures.
    const quint32 values[] = {0, 0};
    xcb_create_gc(c_, gc_, window, XCB_GC_FOREGROUND | XCB_GC_GRAPHICS_EXPOSURES, values);
    return true;
}

QImage X11ServerFrames::render(const std::function<void(QPainter&)>& paint, const QRect& part,
                               qreal ratio) const {
    QImage image(part.size(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    QPainter p(&image);
    // Whole device pixels, so the part holds the very pixels of the whole picture.
    p.translate(-QPointF(part.topLeft()) / ratio);
    paint(p);
    return image;
}

void X11ServerFrames::put(xcb_drawable_t to, const QImage& image, QPoint at) {
    // In bands that fit one request (the server's limit is in 4-byte units).
    const qsizetype stride = image.bytesPerLine();
    const qsizetype limit = qsizetype(xcb_get_maximum_request_length(c_)) * 4 - 64;
    const int band = int(std::max<qsizetype>(1, limit / stride));
    for (int y = 0; y < image.height(); y += band) {
        const int rows = std::min(band, image.height() - y);
        xcb_put_image(c_, XCB_IMAGE_FORMAT_Z_PIXMAP, to, gc_, quint16(image.width()), quint16(rows),
                      qint16(at.x()), qint16(at.y() + y), 0, 32, quint32(rows * stride),
                      image.constScanLine(y));
    }
}

bool X11ServerFrames::show(const QList<int>& key, const std::function<void(QPainter&)>& paint,
                           const QRect& changed) {
    if (!ready()) return false;
    const qreal ratio = window_->devicePixelRatioF();
    const QSize pixels = (QSizeF(content_->size()) * ratio).toSize();
    if (pixels.isEmpty() || pixels.width() > 4096 || pixels.height() > 4096) return false;
    const QPoint at = (QPointF(content_->mapTo(window_, QPoint(0, 0))) * ratio).toPoint();
    // The changed part in device pixels, grown to whole pixels.
    const QRectF area(QPointF(changed.topLeft()) * ratio, QSizeF(changed.size()) * ratio);
    const QRect part = area.toAlignedRect() & QRect(QPoint(0, 0), pixels);
    if (part.isEmpty()) return true;
    copied_ = true;
    if (key.isEmpty()) {
        put(target_, render(paint, part, ratio), at + part.topLeft());
        xcb_flush(c_);
        return true;
    }
    // A held picture is only the part first sent; the picture is clear beyond it, as the
    // changed part takes in everything it draws.
    QList<int> name = key;
    name << pixels.width() << pixels.height();
    auto it = held_.find(name);
    if (it == held_.end()) {
        const qsizetype bytes = qsizetype(part.width()) * part.height() * 4;
        while (held_.size() >= kFew && heldBytes_ + bytes > kBudget) {
            auto oldest =
                std::min_element(held_.begin(), held_.end(),
                                 [](const Held& a, const Held& b) { return a.used < b.used; });
            xcb_free_pixmap(c_, oldest->pixmap);
            heldBytes_ -= qsizetype(oldest->area.width()) * oldest->area.height() * 4;
            held_.erase(oldest);
        }
        const xcb_pixmap_t pixmap = xcb_generate_id(c_);
        xcb_create_pixmap(c_, 32, pixmap, target_, quint16(part.width()), quint16(part.height()));
        put(pixmap, render(paint, part, ratio), QPoint(0, 0));
        heldBytes_ += bytes;
        it = held_.insert(name, Held{pixmap, part, 0});
    }
    it->used = ++clock_;
    const QRect kept = it->area;
    if (const QRect from = part & kept; !from.isEmpty())
        xcb_copy_area(c_, it->pixmap, target_, gc_, qint16(from.x() - kept.x()),
                      qint16(from.y() - kept.y()), qint16(at.x() + from.x()),
                      qint16(at.y() + from.y()), quint16(from.width()), quint16(from.height()));
    const QRegion clear = QRegion(part) - kept;
    if (!clear.isEmpty()) {
        std::vector<xcb_rectangle_t> rects;
        for (const QRect& r : clear)
            rects.push_back({qint16(at.x() + r.x()), qint16(at.y() + r.y()), quint16(r.width()),
                             quint16(r.height())});
        xcb_poly_fill_rectangle(c_, target_, gc_, quint32(rects.size()), rects.data());
    }
    xcb_flush(c_);
    return true;
}

bool X11ServerFrames::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (!copied_ || eventType != "xcb_generic_event_t") return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & ~0x80) != XCB_EXPOSE) return false;
    if (reinterpret_cast<const xcb_expose_event_t*>(event)->window != target_) return false;
    copied_ = false;
    onExposed();
    return false; // Qt still handles it
}

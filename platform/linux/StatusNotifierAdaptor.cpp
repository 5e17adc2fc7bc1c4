#include "platform/linux/StatusNotifierAdaptor.h"

#include "platform/linux/StatusNotifierItem.h"

#include <QtEndian>

SniPixmap SniPixmap::fromImage(const QImage& image) {
    // Hosts want straight (not premultiplied) alpha, each pixel A, R, G, B from the first byte.
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    SniPixmap p;
    p.width = argb.width();
    p.height = argb.height();
    p.bytes.resize(qsizetype(p.width) * p.height * 4);
    auto* out = reinterpret_cast<uchar*>(p.bytes.data());
    for (int y = 0; y < p.height; ++y) {
        const auto* row = reinterpret_cast<const quint32*>(argb.constScanLine(y));
        for (int x = 0; x < p.width; ++x, out += 4)
            qToBigEndian(row[x], out);
    }
    return p;
}

QDBusArgument& operator<<(QDBusArgument& out, const SniPixmap& p) {
    out.beginStructure();
    out << p.width << p.height << p.bytes;
    out.endStructure();
    return out;
}

const QDBusArgument& operator>>(const QDBusArgument& in, SniPixmap& p) {
    in.beginStructure();
    in >> p.width >> p.height >> p.bytes;
    in.endStructure();
    return in;
}

QDBusArgument& operator<<(QDBusArgument& out, const SniToolTip& t) {
    out.beginStructure();
    out << t.iconName << t.pixmaps << t.title << t.text;
    out.endStructure();
    return out;
}

const QDBusArgument& operator>>(const QDBusArgument& in, SniToolTip& t) {
    in.beginStructure();
    in >> t.iconName >> t.pixmaps >> t.title >> t.text;
    in.endStructure();
    return in;
}

StatusNotifierAdaptor::StatusNotifierAdaptor(StatusNotifierItem& item)
    : QDBusAbstractAdaptor(&item), item_(item) {}

QString StatusNotifierAdaptor::id() const {
    return item_.id();
}

QString StatusNotifierAdaptor::title() const {
    return item_.title();
}

QString StatusNotifierAdaptor::status() const {
    return item_.status();
}

SniPixmaps StatusNotifierAdaptor::iconPixmap() const {
    return item_.pixmaps();
}

QDBusObjectPath StatusNotifierAdaptor::menu() const {
    return QDBusObjectPath(item_.menuPath());
}

SniToolTip StatusNotifierAdaptor::toolTip() const {
    return SniToolTip{{}, {}, item_.toolTip(), {}};
}

void StatusNotifierAdaptor::Activate(int x, int y) {
    item_.activate(QPoint(x, y));
}

void StatusNotifierAdaptor::SecondaryActivate(int x, int y) {
    Activate(x, y);
}

// One window holds everything the menu offers: a right-click opens it too.
void StatusNotifierAdaptor::ContextMenu(int x, int y) {
    Activate(x, y);
}

void StatusNotifierAdaptor::Scroll(int, const QString&) {}

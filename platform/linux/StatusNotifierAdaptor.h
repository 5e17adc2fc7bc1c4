#pragma once

#include <QByteArray>
#include <QDBusAbstractAdaptor>
#include <QDBusArgument>
#include <QDBusObjectPath>
#include <QImage>
#include <QList>
#include <QMetaType>
#include <QString>

class StatusNotifierItem;

// One picture of the icon as a tray host reads it: ARGB32 in network byte order, row by row.
struct SniPixmap {
    int width = 0;
    int height = 0;
    QByteArray bytes;

    static SniPixmap fromImage(const QImage& image);
};
using SniPixmaps = QList<SniPixmap>;

// The tooltip as a host reads it: an icon name, pictures, a title and a body.
struct SniToolTip {
    QString iconName;
    SniPixmaps pixmaps;
    QString title;
    QString text;
};

Q_DECLARE_METATYPE(SniPixmap)
Q_DECLARE_METATYPE(SniToolTip)

QDBusArgument& operator<<(QDBusArgument& out, const SniPixmap& p);
const QDBusArgument& operator>>(const QDBusArgument& in, SniPixmap& p);
QDBusArgument& operator<<(QDBusArgument& out, const SniToolTip& t);
const QDBusArgument& operator>>(const QDBusArgument& in, SniToolTip& t);

// The item's face on the bus: the org.kde.StatusNotifierItem properties, methods and signals,
// read from and handed to the item it belongs to.
class StatusNotifierAdaptor final : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierItem")
    Q_PROPERTY(QString Category READ category)
    Q_PROPERTY(QString Id READ id)
    Q_PROPERTY(QString Title READ title)
    Q_PROPERTY(QString Status READ status)
    Q_PROPERTY(int WindowId READ windowId)
    Q_PROPERTY(QString IconName READ iconName)
    Q_PROPERTY(SniPixmaps IconPixmap READ iconPixmap)
    Q_PROPERTY(QString OverlayIconName READ iconName)
    Q_PROPERTY(SniPixmaps OverlayIconPixmap READ noPixmaps)
    Q_PROPERTY(QString AttentionIconName READ iconName)
    Q_PROPERTY(SniPixmaps AttentionIconPixmap READ noPixmaps)
    Q_PROPERTY(QString AttentionMovieName READ iconName)
    Q_PROPERTY(SniToolTip ToolTip READ toolTip)
    Q_PROPERTY(bool ItemIsMenu READ itemIsMenu)
    // Hosts that read dbusmenus show this one on a right-click; the rest (swaybar) call
    // ContextMenu, which opens our window.
    Q_PROPERTY(QDBusObjectPath Menu READ menu)

  public:
    explicit StatusNotifierAdaptor(StatusNotifierItem& item);

    QString category() const { return QStringLiteral("ApplicationStatus"); }
    QString id() const;
    QString title() const;
    QString status() const;
    int windowId() const { return 0; }
    QString iconName() const { return {}; }
    SniPixmaps iconPixmap() const;
    SniPixmaps noPixmaps() const { return {}; }
    SniToolTip toolTip() const;
    bool itemIsMenu() const { return false; }
    QDBusObjectPath menu() const;

  public slots:
    void Activate(int x, int y);
    void SecondaryActivate(int x, int y);
    void ContextMenu(int x, int y);
    void Scroll(int delta, const QString& orientation);

  signals:
    void NewTitle();
    void NewIcon();
    void NewToolTip();
    void NewStatus(const QString& status);

  private:
    StatusNotifierItem& item_;
};

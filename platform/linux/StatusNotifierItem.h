#pragma once

#include "platform/linux/StatusNotifierAdaptor.h"

#include <QDBusConnection>
#include <QElapsedTimer>
#include <QObject>
#include <QPoint>
#include <QString>
#include <functional>

class DbusMenu;
class QDBusServiceWatcher;

// The app's icon in a StatusNotifierItem host (swaybar, waybar, KDE's panel, GNOME's
// AppIndicator extension): an org.kde.StatusNotifierItem of our own on the session bus,
// registered with the watcher, and again whenever the watcher comes back. Unlike Qt's tray
// icon it hands on where the host says it was clicked.
class StatusNotifierItem final : public QObject {
    Q_OBJECT
  public:
    // Whether a watcher is on the bus now: the hosts then show items, not XEmbed icons.
    static bool watcherPresent(const QDBusConnection& bus);
    // An item on the session bus when a watcher is there now, else none (hosts then take
    // XEmbed icons).
    static StatusNotifierItem* onSessionBusIfWatched(const QString& id, QObject* parent);

    StatusNotifierItem(QDBusConnection bus, const QString& id, QObject* parent = nullptr);
    ~StatusNotifierItem() override;

    // The bus name the item owns (org.kde.StatusNotifierItem-<pid>-1).
    QString service() const { return service_; }
    // Whether the watcher took the item and has not gone since.
    bool registered() const { return registered_; }

    void setTitle(const QString& title);
    // The icon at every size it is drawn at; hosts pick the nearest.
    void setIcon(const QList<QImage>& images);
    void setToolTip(const QString& title);
    // The menu a host shows on a right-click, exported beside the item.
    DbusMenu& menu() const { return *menu_; }
    // Its object path, or "/NO_DBUSMENU" when it could not be exported.
    QString menuPath() const;

    // The host's click at (x, y) in its own coordinates (the compositor's logical pixels);
    // (0, 0) from a host that tells none. Activate, SecondaryActivate and ContextMenu alike.
    // Calls that arrive in one turn of the event loop, or within 100 ms of the last click, are
    // one click, at the last point: a peer flooding the bus opens the window a few times a
    // second, not once a call.
    std::function<void(QPoint)> onActivate;
    // What the adaptor calls for each of those methods.
    void activate(QPoint host);

    const QString& id() const { return id_; }
    const QString& title() const { return title_; }
    const QString& status() const { return status_; }
    const SniPixmaps& pixmaps() const { return pixmaps_; }
    const QString& toolTip() const { return toolTip_; }

  private:
    void registerWithWatcher();

    QDBusConnection bus_;
    QString id_;
    QString service_;
    QString title_;
    QString status_ = QStringLiteral("Active");
    SniPixmaps pixmaps_;
    QString toolTip_;
    DbusMenu* menu_;
    StatusNotifierAdaptor* adaptor_;
    QDBusServiceWatcher* watcher_;
    bool exported_ = false;
    bool registered_ = false;
    bool toolTipHeld_ = false; // changed while a host showed the menu, not yet told
    int attempt_ = 0;          // a reply to an older registration is not the word on this one
    QPoint pendingClick_;
    bool clickPending_ = false;
    QElapsedTimer lastClick_;
    static constexpr qint64 clickGapMs = 100;
};

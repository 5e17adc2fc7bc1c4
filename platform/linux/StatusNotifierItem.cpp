#include "platform/linux/StatusNotifierItem.h"

#include "base/Log.h"
#include "platform/linux/DbusMenu.h"

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QTimer>
#include <algorithm>

namespace {

const QString watcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString watcherPath = QStringLiteral("/StatusNotifierWatcher");
const QString itemPath = QStringLiteral("/StatusNotifierItem");

} // namespace

bool StatusNotifierItem::watcherPresent(const QDBusConnection& bus) {
    if (!bus.isConnected() || !bus.interface()) return false;
    return bus.interface()->isServiceRegistered(watcherService).value();
}

StatusNotifierItem* StatusNotifierItem::onSessionBusIfWatched(const QString& id, QObject* parent) {
    const QDBusConnection bus = QDBusConnection::sessionBus();
    return watcherPresent(bus) ? new StatusNotifierItem(bus, id, parent) : nullptr;
}

StatusNotifierItem::StatusNotifierItem(QDBusConnection bus, const QString& id, QObject* parent)
    : QObject(parent), bus_(std::move(bus)), id_(id),
      service_(QStringLiteral("org.kde.StatusNotifierItem-%1-1")
                   .arg(QCoreApplication::applicationPid())),
      title_(id), menu_(new DbusMenu(bus_, this)), adaptor_(new StatusNotifierAdaptor(*this)),
      watcher_(new QDBusServiceWatcher(watcherService, bus_,
                                       QDBusServiceWatcher::WatchForOwnerChange, this)) {
    qDBusRegisterMetaType<SniPixmap>();
    qDBusRegisterMetaType<SniPixmaps>();
    qDBusRegisterMetaType<SniToolTip>();
    // The watcher restarted (the panel did): it knows no items until they register again.
    connect(watcher_, &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString&, const QString&, const QString& owner) {
                registered_ = false;
                if (!owner.isEmpty()) registerWithWatcher();
            });
    menu_->onHidden = [this] {
        if (!toolTipHeld_) return;
        toolTipHeld_ = false;
        emit adaptor_->NewToolTip();
    };
    exported_ = bus_.registerObject(itemPath, this, QDBusConnection::ExportAdaptors);
    if (!exported_ || !bus_.registerService(service_)) {
        Log::error(QStringLiteral("cannot put the tray item on the session bus: %1")
                       .arg(bus_.lastError().message()));
        return;
    }
    registerWithWatcher();
}

StatusNotifierItem::~StatusNotifierItem() {
    if (!exported_) return;
    bus_.unregisterService(service_);
    bus_.unregisterObject(itemPath);
}

void StatusNotifierItem::registerWithWatcher() {
    if (!exported_) return;
    QDBusMessage call = QDBusMessage::createMethodCall(
        watcherService, watcherPath, watcherService, QStringLiteral("RegisterStatusNotifierItem"));
    call << service_;
    auto* pending = new QDBusPendingCallWatcher(bus_.asyncCall(call), this);
    const int attempt = ++attempt_;
    connect(pending, &QDBusPendingCallWatcher::finished, this,
            [this, attempt](QDBusPendingCallWatcher* w) {
                w->deleteLater();
                if (attempt != attempt_) return;
                const QDBusPendingReply<> reply = *w;
                registered_ = !reply.isError();
                if (registered_)
                    Log::info(QStringLiteral("the tray icon is registered as %1").arg(service_));
                else
                    Log::notice(QStringLiteral("the tray's watcher refused the icon: %1")
                                    .arg(reply.error().message()));
            });
}

QString StatusNotifierItem::menuPath() const {
    return menu_->exported() ? DbusMenu::path : QStringLiteral("/NO_DBUSMENU");
}

void StatusNotifierItem::activate(QPoint host) {
    pendingClick_ = host;
    if (clickPending_) return;
    clickPending_ = true;
    // Behind the calls already waiting, which only move the point; and no sooner than a
    // moment after the last click, which no hand clicks faster than.
    const qint64 since = lastClick_.isValid() ? lastClick_.elapsed() : clickGapMs;
    QTimer::singleShot(int(std::max<qint64>(0, clickGapMs - since)), this, [this] {
        clickPending_ = false;
        lastClick_.start();
        if (onActivate) onActivate(pendingClick_);
    });
}

void StatusNotifierItem::setTitle(const QString& title) {
    if (title == title_) return;
    title_ = title;
    emit adaptor_->NewTitle();
}

void StatusNotifierItem::setIcon(const QList<QImage>& images) {
    SniPixmaps pixmaps;
    for (const QImage& image : images)
        if (!image.isNull()) pixmaps.append(SniPixmap::fromImage(image));
    pixmaps_ = std::move(pixmaps);
    emit adaptor_->NewIcon();
}

void StatusNotifierItem::setToolTip(const QString& title) {
    if (title == toolTip_) return;
    toolTip_ = title;
    // No host shows a tooltip over an open menu, whose own label counts down: one message a
    // second is enough, and the tooltip's news waits until the menu closes.
    if (menu_->shownByHost()) {
        toolTipHeld_ = true;
        return;
    }
    emit adaptor_->NewToolTip();
}

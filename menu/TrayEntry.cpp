#include "menu/TrayEntry.h"

#include "base/Log.h"
#include "focus/Pomodoro.h"
#include "menu/PawIcon.h"
#include "platform/linux/DbusMenu.h"
#include "platform/linux/StatusNotifierItem.h"
#include "strings/Countdown.h"
#include "strings/Strings.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QToolTip>
#include <algorithm>

namespace {

// The item's menu entries; Start and Stop are two, so a click on an entry of a menu shown
// before the timer changed finds it gone instead of doing the opposite.
enum MenuId : int { openId = 1, startId, stopId, separatorId, quitId };

QList<DbusMenu::Entry> menuEntries(const Pomodoro& pomodoro) {
    const std::optional<double> left = pomodoro.remaining();
    return {
        {openId, S().openApp()},
        left ? DbusMenu::Entry{stopId, S().stopFocus(countdown(*left))}
             : DbusMenu::Entry{startId, S().startFocus()},
        {separatorId, {}, true},
        {quitId, S().quit()},
    };
}

// A host's point far off any screen (a hostile or confused one) stays a point on one, so the
// window opens on a screen and no arithmetic on it overflows.
QPoint onSomeScreen(QPoint p) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return {};
    const QRect all = screen->virtualGeometry();
    return {std::clamp(p.x(), all.left(), all.right()), std::clamp(p.y(), all.top(), all.bottom())};
}

} // namespace

TrayEntry::TrayEntry(Pomodoro& pomodoro, std::function<void(const QRect&)> open,
                     std::function<void()> quit, QObject* parent)
    : QObject(parent), pomodoro_(pomodoro), open_(std::move(open)), quit_(std::move(quit)),
      menu_(std::make_unique<QMenu>()) {
    // Where a watcher is, Qt would show its own item, which drops the host's click point.
    item_ = StatusNotifierItem::onSessionBusIfWatched(QStringLiteral("purrlox"), this);
    if (item_) {
        item_->setTitle(QStringLiteral("Purrlox"));
        item_->onActivate = [this](QPoint host) { openByHost(host); };
        item_->menu().onClicked = [this](int id) { menuClicked(id); };
        item_->menu().entriesNow = [this] { return menuEntries(pomodoro_); };
    } else {
        tray_ = new QSystemTrayIcon(this);
        connect(tray_, &QSystemTrayIcon::activated, this,
                [this](QSystemTrayIcon::ActivationReason r) {
                    if (r != QSystemTrayIcon::Trigger && r != QSystemTrayIcon::DoubleClick) return;
                    openHere();
                });
    }
    setIcon(std::nullopt);
    setToolTip(QStringLiteral("Purrlox"));
    menu_->setObjectName(QStringLiteral("trayMenu"));
    QAction* openApp = menu_->addAction(S().openApp());
    openApp->setObjectName(QStringLiteral("trayOpen"));
    // Queued: the menu closes first, so its grab is gone when the window opens.
    connect(
        openApp, &QAction::triggered, this, [this] { openHere(); }, Qt::QueuedConnection);
    startStop_ = menu_->addAction(S().startFocus());
    startStop_->setObjectName(QStringLiteral("trayStartStop"));
    connect(startStop_, &QAction::triggered, this, [this] {
        if (pomodoro_.remaining())
            pomodoro_.stop();
        else
            pomodoro_.start();
    });
    menu_->addSeparator();
    QAction* quitApp = menu_->addAction(S().quit());
    quitApp->setObjectName(QStringLiteral("trayQuit"));
    connect(
        quitApp, &QAction::triggered, this,
        [this] {
            if (quit_) quit_();
        },
        Qt::QueuedConnection);
    connect(&pomodoro, &Pomodoro::phaseChanged, this, &TrayEntry::showCountdown);
    connect(&pomodoro, &Pomodoro::nowChanged, this, &TrayEntry::showCountdown);
    if (tray_) {
        tray_->setContextMenu(menu_.get());
        if (!QSystemTrayIcon::isSystemTrayAvailable())
            Log::notice(QStringLiteral("no system tray yet; start Purrlox again to open its menu"));
        tray_->show();
        squareSlot();
    }
    showCountdown();
}

TrayEntry::~TrayEntry() = default;

void TrayEntry::squareSlot() {
    // Qt's XEmbed icon asks for 22 × 22 points; a tray of another height (22 pixels at scale
    // 2) keeps the width, leaving an icon-wide gap. The icon follows the height the tray gives.
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() != QLatin1String("QSystemTrayIconSys")) continue;
        w->installEventFilter(this);
    }
}

bool TrayEntry::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize) {
        auto* w = static_cast<QWidget*>(watched);
        if (w->width() > w->height()) {
            w->setMinimumSize(w->height(), w->height());
            w->resize(w->height(), w->height());
        }
    }
    return QObject::eventFilter(watched, event);
}

bool TrayEntry::shown() const {
    if (item_) return item_->registered();
    return QSystemTrayIcon::isSystemTrayAvailable() && tray_->isVisible();
}

QRect TrayEntry::iconGeometry() const {
    return tray_ ? tray_->geometry() : QRect();
}

QString TrayEntry::toolTip() const {
    return toolTip_;
}

QPoint TrayEntry::pointerNow() const {
    if (pointer)
        if (const std::optional<QPoint> p = pointer()) return *p;
    return QCursor::pos();
}

void TrayEntry::openHere() {
    QRect anchor = iconGeometry();
    if (anchor.isEmpty()) anchor = QRect(pointerNow(), QSize(1, 1));
    open_(anchor);
}

void TrayEntry::openByHost(QPoint host) {
    // (0, 0) is a host that does not say where: as a click on an icon that does not say.
    if (host.isNull()) {
        openHere();
        return;
    }
    // Bounded before mapping, so scaling cannot overflow.
    constexpr int far = 1 << 20;
    host = QPoint(std::clamp(host.x(), -far, far), std::clamp(host.y(), -far, far));
    const QPoint at = hostPoint ? hostPoint(host) : host;
    const QPoint shown = onSomeScreen(at);
    if (shown != at) {
        QString line = QStringLiteral("the tray sent a click at %1, %2, off every screen; the menu "
                                      "opens at the nearest edge")
                           .arg(host.x())
                           .arg(host.y());
        if (offScreenLines_.allow(line)) Log::notice(line);
    }
    open_(QRect(shown, QSize(1, 1)));
}

void TrayEntry::showCountdown() {
    const std::optional<double> left = pomodoro_.remaining();
    setIcon(left ? std::optional(PawIcon::shownMinutes(*left)) : std::nullopt);
    const QString tip =
        left ? QStringLiteral("Purrlox · ") + countdown(*left) : QStringLiteral("Purrlox");
    if (tip != toolTip_) {
        // A tooltip on show keeps its text: the one showing ours counts down in place.
        if (tray_ && QToolTip::isVisible() && QToolTip::text() == toolTip_)
            QToolTip::showText(QCursor::pos(), tip);
        setToolTip(tip);
    }
    // An open context menu counts down with the tooltip.
    const QString action = left ? S().stopFocus(countdown(*left)) : S().startFocus();
    if (action != startStop_->text()) startStop_->setText(action);
    if (item_) showMenuEntries();
}

void TrayEntry::showMenuEntries() {
    const QList<DbusMenu::Entry> entries = menuEntries(pomodoro_);
    DbusMenu& menu = item_->menu();
    // A countdown nobody sees is not worth a message a second: a host asks before it shows.
    const bool sameKind =
        menu.entries().size() == entries.size() && menu.entries()[1].id == entries[1].id;
    if (sameKind && !menu.shownByHost()) return;
    menu.setEntries(entries);
}

void TrayEntry::menuClicked(int id) {
    switch (id) {
    case openId:
        if (openFromMenu)
            openFromMenu();
        else
            openHere();
        break;
    case startId:
        if (!pomodoro_.remaining()) pomodoro_.start();
        break;
    case stopId:
        if (pomodoro_.remaining()) pomodoro_.stop();
        break;
    case quitId:
        if (quit_) quit_();
        break;
    default:
        break;
    }
}

void TrayEntry::setIcon(std::optional<int> minutes) {
    if (iconSet_ && minutes == minutes_) return;
    minutes_ = minutes;
    iconSet_ = true;
    ++redraws_;
    const QIcon icon = PawIcon::icon(minutes);
    if (tray_) {
        tray_->setIcon(icon);
        return;
    }
    // The host gets the picture at every size the icon draws itself at, and scales none.
    QList<QImage> images;
    for (const QSize& size : icon.availableSizes())
        images.append(PawIcon::draw(size.width(), minutes));
    item_->setIcon(images);
}

void TrayEntry::setToolTip(const QString& tip) {
    toolTip_ = tip;
    if (tray_)
        tray_->setToolTip(tip);
    else
        item_->setToolTip(tip);
}

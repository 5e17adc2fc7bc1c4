#include "menu/TrayEntry.h"

#include "base/Log.h"
#include "focus/Pomodoro.h"
#include "menu/PawIcon.h"
#include "strings/Strings.h"

#include <QAction>
#include <QCursor>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <QSystemTrayIcon>

namespace {

QIcon pawIcon(std::optional<int> minutes) {
    QIcon icon;
    const qreal ratio = qGuiApp->devicePixelRatio();
    for (int size : {16, 22, 24, 32, 48, 64})
        icon.addPixmap(QPixmap::fromImage(PawIcon::draw(size, minutes, ratio)));
    return icon;
}

} // namespace

TrayEntry::TrayEntry(Pomodoro& pomodoro, std::function<void(const QRect&)> open,
                     std::function<void()> quit, QObject* parent)
    : QObject(parent), pomodoro_(pomodoro), open_(std::move(open)),
      tray_(new QSystemTrayIcon(this)), menu_(std::make_unique<QMenu>()) {
    setIcon(std::nullopt);
    tray_->setToolTip(QStringLiteral("Purrlox"));
    connect(tray_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason r) {
        if (r != QSystemTrayIcon::Trigger && r != QSystemTrayIcon::DoubleClick) return;
        openHere();
    });
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
    connect(quitApp, &QAction::triggered, this, std::move(quit), Qt::QueuedConnection);
    tray_->setContextMenu(menu_.get());
    connect(&pomodoro, &Pomodoro::phaseChanged, this, &TrayEntry::showCountdown);
    connect(&pomodoro, &Pomodoro::nowChanged, this, &TrayEntry::showCountdown);
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        Log::notice(QStringLiteral("no system tray yet; start Purrlox again to open its menu"));
    tray_->show();
    showCountdown();
}

TrayEntry::~TrayEntry() = default;

bool TrayEntry::shown() const {
    return QSystemTrayIcon::isSystemTrayAvailable() && tray_->isVisible();
}

QRect TrayEntry::iconGeometry() const {
    return tray_->geometry();
}

QString TrayEntry::toolTip() const {
    return tray_->toolTip();
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

void TrayEntry::showCountdown() {
    const std::optional<double> left = pomodoro_.remaining();
    setIcon(left ? std::optional(PawIcon::shownMinutes(*left)) : std::nullopt);
    const QString tip =
        left ? QStringLiteral("Purrlox · ") + Pomodoro::clock(*left) : QStringLiteral("Purrlox");
    if (tip != tray_->toolTip()) tray_->setToolTip(tip);
    // An open context menu counts down with the tooltip.
    const QString action = left ? S().stopFocus(Pomodoro::clock(*left)) : S().startFocus();
    if (action != startStop_->text()) startStop_->setText(action);
}

void TrayEntry::setIcon(std::optional<int> minutes) {
    if (iconSet_ && minutes == minutes_) return;
    minutes_ = minutes;
    iconSet_ = true;
    ++redraws_;
    tray_->setIcon(pawIcon(minutes));
}

#include "menu/TrayEntry.h"

#include "base/Log.h"
#include "focus/Pomodoro.h"
#include "menu/PawIcon.h"
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
    squareSlot();
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
        left ? QStringLiteral("Purrlox · ") + countdown(*left) : QStringLiteral("Purrlox");
    if (tip != tray_->toolTip()) {
        // A tooltip on show keeps its text: the one showing ours counts down in place.
        if (QToolTip::isVisible() && QToolTip::text() == tray_->toolTip())
            QToolTip::showText(QCursor::pos(), tip);
        tray_->setToolTip(tip);
    }
    // An open context menu counts down with the tooltip.
    const QString action = left ? S().stopFocus(countdown(*left)) : S().startFocus();
    if (action != startStop_->text()) startStop_->setText(action);
}

void TrayEntry::setIcon(std::optional<int> minutes) {
    if (iconSet_ && minutes == minutes_) return;
    minutes_ = minutes;
    iconSet_ = true;
    ++redraws_;
    tray_->setIcon(PawIcon::icon(minutes));
}

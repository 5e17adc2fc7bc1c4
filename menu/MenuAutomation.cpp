#include "menu/MenuAutomation.h"

#include "focus/Pomodoro.h"
#include "kit/FocusRing.h"
#include "menu/MenuView.h"
#include "menu/MenuWindow.h"
#include "menu/TrayEntry.h"
#include "menu/TrayMenu.h"

#include <QAbstractButton>
#include <QApplication>
#include <QJsonArray>
#include <QLineEdit>
#include <QMenu>
#include <QToolTip>

namespace {

QJsonArray rectJson(const QRect& r) {
    return {r.x(), r.y(), r.width(), r.height()};
}

QString screenName(const MenuView& view) {
    if (!view.screen()) return QStringLiteral("main");
    switch (*view.screen()) {
    case MenuView::Screen::reminders:
        return QStringLiteral("reminders");
    case MenuView::Screen::stats:
        return QStringLiteral("stats");
    case MenuView::Screen::language:
        return QStringLiteral("language");
    }
    return {};
}

} // namespace

QJsonObject answerMenuRequest(TrayMenu& menu, const QJsonObject& request) {
    if (request.value("open").toBool()) menu.open();
    MenuWindow& window = menu.window();
    QJsonObject controls;
    for (QWidget* w : window.findChildren<QWidget*>()) {
        if (w->objectName().isEmpty() || !w->isVisible()) continue;
        QJsonObject control{{"frame", rectJson(QRect(w->mapToGlobal(QPoint(0, 0)), w->size()))}};
        if (auto* button = qobject_cast<QAbstractButton*>(w)) {
            control.insert("text", button->text());
            control.insert("enabled", button->isEnabled());
            if (button->isCheckable()) control.insert("checked", button->isChecked());
        } else if (auto* field = qobject_cast<QLineEdit*>(w)) {
            control.insert("text", field->text());
        }
        controls.insert(w->objectName(), control);
    }
    const TrayEntry& tray = menu.tray();
    const QMenu& trayMenu = tray.contextMenu();
    QJsonArray items;
    for (QAction* action : trayMenu.actions()) {
        if (action->isSeparator()) continue;
        const QRect r = trayMenu.actionGeometry(action);
        items.append(
            QJsonObject{{"name", action->objectName()},
                        {"text", action->text()},
                        {"frame", rectJson(QRect(trayMenu.mapToGlobal(r.topLeft()), r.size()))}});
    }
    QWidget* focus = QApplication::focusWidget();
    const FocusRing* ring = FocusRing::shown();
    return {
        {"open", window.isVisible()},
        {"focus",
         focus && focus->window() == &window ? QJsonValue(focus->objectName()) : QJsonValue()},
        {"ring", ring && ring->around() ? QJsonValue(ring->around()->objectName()) : QJsonValue()},
        {"ringColour", FocusRing::colour().name()},
        {"activity", window.view()->pomodoro().activity()},
        {"frame", rectJson(window.contentGeometry())},
        {"screen", screenName(*window.view())},
        {"controls", controls},
        {"tray",
         QJsonObject{
             {"shown", tray.shown()},
             {"icon", rectJson(tray.iconGeometry())},
             {"minutes", tray.shownMinutes() ? QJsonValue(*tray.shownMinutes()) : QJsonValue()},
             {"tooltip", tray.toolTip()},
             {"tooltipShown", QToolTip::isVisible() ? QJsonValue(QToolTip::text()) : QJsonValue()},
             {"iconRedraws", tray.iconRedraws()},
             {"menu", QJsonObject{{"open", trayMenu.isVisible()}, {"items", items}}}}}};
}
